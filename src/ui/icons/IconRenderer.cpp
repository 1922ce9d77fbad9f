#include "ui/icons/IconRenderer.h"

#include "core/mascot/MascotBrain.h"
#include "ui/icons/IconView.h"
#include "ui/icons/MobileIconView.h"
#include "ui/mascot/MascotView.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>

namespace IconRenderer {

namespace {

// Writes the whole file, replacing any old one. The writer adds no text or time chunks, so the
// same picture always gives the same bytes. A failure is told on stderr, except in a folder that
// could not be made (prepare() has told that once).
bool write(const QDir& dir, const QString& name, const QImage& image) {
    if (!dir.exists())
        return false;
    QImageWriter writer(dir.filePath(name), "png");
    if (!image.isNull() && writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        return true;
    qWarning().noquote() << QStringLiteral("Pobi: icon not written: %1: %2")
                                .arg(dir.filePath(name), image.isNull()
                                                             ? QStringLiteral("nothing was drawn")
                                                             : writer.errorString());
    return false;
}

QImage mascotAlone(int pixels) {
    QImage img(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    MascotBrain brain(MascotBrain::Mood::Content, false);
    MascotView::draw(p, brain, QRectF(0, 0, pixels, pixels), 0, false);
    return img;
}

QDir prepare(const QString& directory) {
    QDir dir(directory);
    if (!dir.mkpath(QStringLiteral(".")))
        qWarning().noquote() << QStringLiteral(
                                    "Pobi: icons not written: %1: the folder cannot be made")
                                    .arg(directory);
    return dir;
}

} // namespace

QImage monochrome(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = qRgba(0, 0, 0, qAlpha(line[x]));
    }
    return out;
}

void render(const QString& directory) {
    const QDir dir = prepare(directory);
    for (int size : {16, 32, 128, 256, 512}) {
        for (int scale : {1, 2}) {
            const QString name = QStringLiteral("icon_%1x%1%2.png")
                                     .arg(size)
                                     .arg(scale == 2 ? QStringLiteral("@2x") : QString());
            write(dir, name, IconView::render(size * scale));
        }
    }
}

void renderMobile(const QString& directory) {
    const QDir dir = prepare(directory);
    write(dir, QStringLiteral("icon.png"), MobileIconView::render(false));
    const QImage foreground = MobileIconView::render(true);
    write(dir, QStringLiteral("android-icon-foreground.png"), foreground);
    QImage background(MobileIconView::side, MobileIconView::side, QImage::Format_ARGB32);
    background.fill(QColor(255, 235, 221));
    write(dir, QStringLiteral("android-icon-background.png"), background);
    write(dir, QStringLiteral("android-icon-monochrome.png"), monochrome(foreground));
    write(dir, QStringLiteral("mascot.png"), mascotAlone(512));
}

bool renderTheme(const QString& directory, const QString& name) {
    bool all = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QDir dir = prepare(QStringLiteral("%1/%2x%2/apps").arg(directory).arg(size));
        all = write(dir, name + QStringLiteral(".png"), IconView::render(size)) && all;
    }
    return all;
}

} // namespace IconRenderer
