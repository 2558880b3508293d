#include "PlatformScreen.h"

#include "ScreenGrab.h"

namespace tools {

std::vector<PixelRect> PlatformScreen::screens() {
    std::vector<PixelRect> out;
    for (const QRect& r : platform_.screens())
        out.push_back({r.x(), r.y(), r.width(), r.height()});
    return out;
}

engine::AreaImage PlatformScreen::grab(const PixelRect& r) {
    QImage image(r.width, r.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString problem =
        capture::ScrCap(platform_, image, static_cast<float>(r.left), static_cast<float>(r.top));
    failure_ = problem.toStdString();
    if (!problem.isEmpty()) return {};
    return capture::ToAreaImage(image);
}

} // namespace tools
