#include "ScreenReading.h"

#include "ScreenGrab.h"
#include "ScreenMap.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace capture {

namespace {

// The factor the program was started with, which is no scale of the desktop.
double OwnScaleFactor() {
    bool ok = false;
    const double f = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && f > 0 ? f : 1.0;
}

} // namespace

std::vector<engine::Monitor> Monitors(platform::Platform& platform) {
    const QList<QRect> desktop = platform.screens();
    QList<QtScreen> qt;
    for (const QScreen* s : QGuiApplication::screens())
        qt.append(QtScreen{s->geometry(), s->devicePixelRatio()});
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QList<ScreenPlace> places =
        PlaceScreens(qt, primary ? primary->geometry() : QRect(), desktop);
    std::vector<engine::Monitor> out;
    for (const QRect& r : desktop) {
        engine::Monitor m{{r.x(), r.y(), r.width(), r.height()}, 0};
        for (const ScreenPlace& p : places)
            if (p.physical == r && p.ratio > 0)
                m.scalePercent = static_cast<int>(std::lround(p.ratio / OwnScaleFactor() * 100));
        out.push_back(m);
    }
    return out;
}

engine::ScreenShot ShotOf(platform::Platform& platform, const engine::PressSetup& press) {
    engine::ScreenShot shot;
    shot.monitors = Monitors(platform);
    shot.rects = engine::PressRects(press, shot.monitors);
    if (shot.rects.empty()) return shot;
    QList<QRect> rects;
    for (const engine::PixelRect& r : shot.rects)
        rects.append(QRect(r.left, r.top, r.width, r.height));
    const QList<QImage> pictures = platform.grabScreens(rects);
    for (qsizetype i = 0; i < rects.size(); ++i) {
        const QImage picture = pictures.value(i);
        if (!picture.isNull() && picture.size() == rects[i].size())
            shot.pictures.emplace_back(ToAreaImage(picture));
        else
            shot.pictures.emplace_back();
    }
    shot.failure = platform.grabFailure().toStdU16String();
    return shot;
}

std::vector<engine::Reading> ReadPress(platform::Platform& platform,
                                       const engine::PressSetup& press) {
    return engine::ReadPress(press, ShotOf(platform, press));
}

std::optional<engine::Monitor> MonitorOf(platform::Platform& platform, const QRect& rect) {
    return engine::MonitorUnder({rect.x(), rect.y(), rect.width(), rect.height()},
                                Monitors(platform));
}

QImage ToQImage(const engine::AreaImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* src =
            picture.pixels.data() +
            static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width);
        for (int x = 0; x < picture.width; ++x)
            line[x] = qRgb(static_cast<int>(src[x] & 0xFF), static_cast<int>((src[x] >> 8) & 0xFF),
                           static_cast<int>((src[x] >> 16) & 0xFF));
    }
    return image;
}

} // namespace capture
