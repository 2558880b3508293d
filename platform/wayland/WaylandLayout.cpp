#include "WaylandLayout.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <vector>

namespace platform::wayland {

Session DetectSession(const QByteArray& waylandDisplay, const QByteArray& sessionType,
                      const QByteArray& x11Display) {
    if (!waylandDisplay.isEmpty() || sessionType == "wayland") return Session::Wayland;
    if (!x11Display.isEmpty()) return Session::X11;
    return Session::None;
}

QSize ShownSize(QSize mode, int transform) {
    return transform % 2 ? mode.transposed() : mode;
}

double OutputScale(QSize shown, QSize logical) {
    if (logical.width() <= 0 || logical.height() <= 0) return 1;
    const double ratio = static_cast<double>(shown.width()) / logical.width();
    // Some compositors cut the logical size, others round it.
    const auto gives = [](int physical, double scale, int logical) {
        const double exact = physical / scale;
        return static_cast<int>(exact) == logical ||
               static_cast<int>(std::lround(exact)) == logical;
    };
    const long guess = std::lround(ratio * 120);
    for (long d = 0; d <= 2; ++d)
        for (long k : {guess - d, guess + d}) {
            if (k <= 0) continue;
            const double scale = static_cast<double>(k) / 120;
            if (gives(shown.width(), scale, logical.width()) &&
                gives(shown.height(), scale, logical.height()))
                return scale;
        }
    return ratio;
}

namespace {

// One output on one axis: where it starts and how long it is, logical, and
// how long it is in physical pixels.
struct Span {
    int start, length, physical;
};

// The physical coordinate of every logical edge on one axis, 0 at origin:
// the logical distance times scale, pushed outwards where an output whose
// logical size was cut to whole pixels would otherwise reach into its
// neighbour. Edges further out never come closer than edges nearer in.
std::map<int, int> PlaceAxis(const std::vector<Span>& spans, int origin, double scale) {
    std::set<int> edges{origin};
    for (const Span& s : spans) {
        edges.insert(s.start);
        edges.insert(s.start + s.length);
    }
    std::map<int, int> at{{origin, 0}};
    const auto scaled = [&](int edge) {
        return static_cast<int>(std::lround((edge - origin) * scale));
    };
    // Before the origin first: an output reaching across it is then placed
    // when the edges after the origin are.
    int last = 0;
    for (auto it = std::make_reverse_iterator(edges.lower_bound(origin)); it != edges.rend();
         ++it) {
        int v = std::min(scaled(*it), last);
        for (const Span& s : spans)
            if (s.start == *it && at.count(s.start + s.length))
                v = std::min(v, at[s.start + s.length] - s.physical);
        at[*it] = last = v;
    }
    last = 0;
    for (auto it = edges.upper_bound(origin); it != edges.end(); ++it) {
        int v = std::max(scaled(*it), last);
        for (const Span& s : spans)
            if (s.start + s.length == *it && at.count(s.start))
                v = std::max(v, at[s.start] + s.physical);
        at[*it] = last = v;
    }
    return at;
}

} // namespace

QList<Monitor> LayOut(const QList<Output>& outputs) {
    QList<Monitor> monitors;
    for (const Output& o : outputs) {
        if (o.mode.isEmpty() || o.logical.isEmpty()) continue;
        const QSize shown = ShownSize(o.mode, o.transform);
        monitors.append(Monitor{o.name, o.logical, QRect(QPoint(), shown),
                                OutputScale(shown, o.logical.size()), o.transform});
    }
    if (monitors.isEmpty()) return monitors;
    const auto atOrigin = std::find_if(monitors.begin(), monitors.end(), [](const Monitor& m) {
        return m.logical.topLeft() == QPoint(0, 0);
    });
    if (atOrigin != monitors.end()) std::rotate(monitors.begin(), atOrigin, atOrigin + 1);
    double largest = 0;
    for (const Monitor& m : monitors)
        largest = std::max(largest, m.scale);
    std::vector<Span> across, down;
    for (const Monitor& m : monitors) {
        across.push_back({m.logical.x(), m.logical.width(), m.physical.width()});
        down.push_back({m.logical.y(), m.logical.height(), m.physical.height()});
    }
    const QPoint origin = monitors.front().logical.topLeft();
    std::map<int, int> x = PlaceAxis(across, origin.x(), largest);
    std::map<int, int> y = PlaceAxis(down, origin.y(), largest);
    for (Monitor& m : monitors)
        m.physical.moveTopLeft(QPoint(x[m.logical.x()], y[m.logical.y()]));
    return monitors;
}

QImage ShownImage(const QImage& buffer, int transform, bool yInverted) {
    QImage image = buffer.convertToFormat(QImage::Format_RGB32);
    if (yInverted) image = image.mirrored(false, true);
    // The buffer is the output's as the hardware scans it out: turned a
    // quarter clockwise per step of the transform, then mirrored for the
    // flipped ones, it is what the user sees.
    if (const int quarters = transform % 4)
        image = image.transformed(QTransform().rotate(90.0 * quarters));
    if (transform >= Flipped) image = image.mirrored(true, false);
    return image;
}

QImage FromLayoutPicture(const QImage& picture, const QList<Monitor>& monitors, const QRect& rect) {
    if (picture.isNull() || monitors.isEmpty() || rect.isEmpty()) return {};
    QRect bounds;
    double largest = 0;
    for (const Monitor& m : monitors) {
        bounds |= m.logical;
        largest = std::max(largest, m.scale);
    }
    // The scale of the picture: the largest monitor's where the size says
    // so (to a pixel, for logical sizes cut to whole pixels), else its own.
    const auto fits = [&](double k) {
        return std::abs(picture.width() - bounds.width() * k) <= 1 &&
               std::abs(picture.height() - bounds.height() * k) <= 1;
    };
    double kx = largest, ky = largest;
    if (!fits(largest)) {
        kx = static_cast<double>(picture.width()) / bounds.width();
        ky = static_cast<double>(picture.height()) / bounds.height();
        if (std::abs(kx - ky) > 0.02 * std::max(kx, ky)) return {};
    }
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QImage out(rect.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    for (const Monitor& m : monitors) {
        const QRect part = rect & m.physical;
        if (part.isEmpty()) continue;
        const double s = m.scale > 0 ? m.scale : 1;
        // A physical pixel's centre, in the monitor's logical pixels, then
        // in the picture.
        const auto sourceOf = [](int p, int physical0, int logical0, int bound0, double s, double k,
                                 int size) {
            const double logical = (logical0 - bound0) + (p - physical0 + 0.5) / s;
            return std::clamp(static_cast<int>(std::floor(logical * k)), 0, size - 1);
        };
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const int sy =
                sourceOf(y, m.physical.y(), m.logical.y(), bounds.y(), s, ky, source.height());
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
            auto* to = reinterpret_cast<QRgb*>(out.scanLine(y - rect.y()));
            for (int x = part.left(); x <= part.right(); ++x)
                to[x - rect.x()] = from[sourceOf(x, m.physical.x(), m.logical.x(), bounds.x(), s,
                                                 kx, source.width())];
        }
    }
    return out;
}

} // namespace platform::wayland
