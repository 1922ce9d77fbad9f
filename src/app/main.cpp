#include "IconRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

// Starts the tray application.
int runApplication(int& argc, char** argv) {
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    std::fputs("Pobi: the application is not built yet.\n", stderr);
    return 1;
}

// Draws icons off screen and exits 0 whatever happened: the export must also work on a build
// machine with no display at all.
int runExport(int& argc, char** argv, void (*render)(const QString&)) {
    const QString directory = QFile::decodeName(argv[2]); // before Qt takes its own options out
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    render(directory);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--render-icon") == 0)
        return runExport(argc, argv, IconRenderer::render);
    if (argc >= 3 && std::strcmp(argv[1], "--render-mobile-icons") == 0)
        return runExport(argc, argv, IconRenderer::renderMobile);
    return runApplication(argc, argv);
}
