#include "ScreenGrab.h"

#include "Numbers.h"
#include "PlatformCommon.h"
#include "ScreenMap.h"

#include <cmath>

namespace capture {

namespace {

int Pixel(float v) {
    // Coordinates far off every screen give nothing but white anyway.
    return settings::RoundToInt32(static_cast<double>(v)).value_or(v < 0 ? -(1 << 30) : (1 << 30));
}

QString GrabProblem(platform::Platform& platform) {
    const QString why = platform.grabFailure();
    return why.isEmpty() ? QStringLiteral("画面を読み取れませんでした。") : why;
}

} // namespace

QString ScrCap(platform::Platform& platform, QImage& image, float left, float top) {
    if (image.width() <= 0 || image.height() <= 0) return {};
    const QImage grab =
        platform.grabScreen(QRect(Pixel(left), Pixel(top), image.width(), image.height()));
    if (grab.size() != image.size()) return GrabProblem(platform);
    image = grab.convertToFormat(QImage::Format_RGB32);
    return {};
}

QString FullScrCap(platform::Platform& platform) {
    const QRect all = platform::Bounds(platform.screens());
    if (all.isEmpty()) return {};
    const QImage picture = platform.grabScreen(all);
    if (picture.isNull()) return GrabProblem(platform);
    platform.setClipboardImage(picture);
    return {};
}

engine::AreaImage ToAreaImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    engine::AreaImage out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width;
        for (int x = 0; x < rgb.width(); ++x)
            dst[x] = static_cast<std::uint32_t>(qRed(line[x]) | (qGreen(line[x]) << 8) |
                                                (qBlue(line[x]) << 16));
    }
    return out;
}

} // namespace capture
