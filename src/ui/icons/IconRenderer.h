#pragma once

#include <QImage>
#include <QString>

// Writes the application's icons as PNG files, drawn from the same mascot geometry as the running
// program. A picture that cannot be made or written is skipped, and said so on stderr.
namespace IconRenderer {

// icon_16x16.png ... icon_512x512@2x.png (ten files).
void render(const QString& directory);
// icon.png, android-icon-foreground.png, android-icon-background.png,
// android-icon-monochrome.png and mascot.png.
void renderMobile(const QString& directory);
// The hicolor icon theme's tree: <directory>/<n>x<n>/apps/<name>.png at every size a desktop
// asks for, 16 to 512 pixels. False when any file could not be written.
bool renderTheme(const QString& directory, const QString& name);

// Every pixel black, keeping its alpha.
QImage monochrome(const QImage& image);

} // namespace IconRenderer
