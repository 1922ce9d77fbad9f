#include "app/AppMain.h"
#include "app/CommandLine.h"
#include "ui/icons/IconRenderer.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

// Draws icons off screen and exits 0 whatever happened (failures are told on standard error):
// the export must also work on a build machine with no display at all.
int runExport(char* program, const CommandLine& line) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    if (line.mode() == CommandLine::Mode::RenderIcon)
        IconRenderer::render(line.directory());
    else
        IconRenderer::renderMobile(line.directory());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line(arguments);
    // The pictures are drawn into images: whatever platform the environment names (even one
    // that cannot start here), they need none but the off-screen one.
    if (line.offscreen())
        qputenv("QT_QPA_PLATFORM", "offscreen");

    switch (line.mode()) {
    case CommandLine::Mode::Help:
        std::fputs(line.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Mode::Version:
        std::printf("pobi %s\n", POBI_VERSION);
        return 0;
    case CommandLine::Mode::Invalid:
        std::fprintf(stderr, "pobi: %s\n\n%s", line.error().toLocal8Bit().constData(),
                     line.helpText().toLocal8Bit().constData());
        return 2;
    case CommandLine::Mode::RenderIcon:
    case CommandLine::Mode::RenderMobileIcons:
        return runExport(argv[0], line);
    case CommandLine::Mode::Status:
        return askStatus(argc, argv, line);
    case CommandLine::Mode::Run:
    case CommandLine::Mode::Toggle:
    case CommandLine::Mode::Command:
    case CommandLine::Mode::Snapshot:
        break;
    }
    return runPobi(argc, argv, line);
}
