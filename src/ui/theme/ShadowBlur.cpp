#include "ui/theme/ShadowBlur.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Box widths whose three passes approximate a Gaussian of the given sigma.
std::vector<int> boxWidths(double sigma, int passes) {
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double mIdeal =
        (12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes) /
        (-4.0 * lower - 4);
    const long m = std::lround(mIdeal);
    std::vector<int> widths;
    for (int i = 0; i < passes; ++i)
        widths.push_back(i < m ? lower : upper);
    return widths;
}

// One box pass of the given radius over n samples spaced by stride; outside is transparent.
void boxLine(uchar* data, int n, qsizetype stride, int radius, std::vector<uchar>& scratch) {
    scratch.resize(n);
    for (int i = 0; i < n; ++i)
        scratch[i] = data[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i <= radius && i < n; ++i)
        sum += scratch[i];
    for (int i = 0; i < n; ++i) {
        data[i * stride] = static_cast<uchar>((sum + width / 2) / width);
        const int in = i + radius + 1, out = i - radius;
        if (in < n)
            sum += scratch[in];
        if (out >= 0)
            sum -= scratch[out];
    }
}

} // namespace

void ShadowBlur::blurAlpha(QImage& alpha8, double sigma) {
    if (sigma < 0.5 || alpha8.isNull())
        return;
    const int w = alpha8.width(), h = alpha8.height();
    const qsizetype bpl = alpha8.bytesPerLine();
    uchar* bits = alpha8.bits();
    std::vector<uchar> scratch;
    for (int width : boxWidths(sigma, 3)) {
        const int r = (width - 1) / 2;
        if (r <= 0)
            continue;
        for (int y = 0; y < h; ++y)
            boxLine(bits + y * bpl, w, 1, r, scratch);
        for (int x = 0; x < w; ++x)
            boxLine(bits + x, h, bpl, r, scratch);
    }
}

QImage ShadowBlur::dropShadow(const QPainterPath& shape, double scale, QSize size, QPointF offset,
                              double radius, const QColor& color) {
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(offset);
        p.fillPath(shape, Qt::black);
    }
    blurAlpha(mask, radius * scale / 2);

    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    const int alpha = color.alpha();
    for (int y = 0; y < size.height(); ++y) {
        const uchar* m = mask.constScanLine(y);
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int a = (m[x] * alpha + 127) / 255;
            o[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), a));
        }
    }
    return out;
}
