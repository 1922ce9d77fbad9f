// pobi_icon_theme DIR NAME: writes DIR/<n>x<n>/apps/NAME.png for the hicolor icon theme. Runs
// off screen, so it needs no display, and fails when a file could not be written: a build must
// not go on without its icons.
#include "ui/icons/IconRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pobi_icon_theme DIR NAME\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool written =
        IconRenderer::renderTheme(QFile::decodeName(argv[1]), QFile::decodeName(argv[2]));
    return written ? 0 : 1;
}
