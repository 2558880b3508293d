#include "ScreenMap.h"

#include <algorithm>
#include <cmath>

namespace capture {

namespace {

// The physical coordinates on one axis that Qt reports as logical position g:
// those p with |l0 + (p - p0) / f - g| <= 1/2.
struct Span {
    int lo, hi;
};

Span Candidates(double g, int l0, int p0, double f) {
    const double lo = p0 + (g - l0 - 0.5) * f, hi = p0 + (g - l0 + 0.5) * f;
    Span s{static_cast<int>(std::ceil(lo - 1e-9)), static_cast<int>(std::floor(hi + 1e-9))};
    if (s.hi < s.lo) s.hi = s.lo = static_cast<int>(std::lround(p0 + (g - l0) * f));
    return s;
}

int Pick(const Span& s, double g, int l0, int p0, double f, std::optional<int> hint) {
    if (hint) return std::clamp(*hint, s.lo, s.hi);
    const int middle = static_cast<int>(std::lround(p0 + (g - l0) * f));
    return std::clamp(middle, s.lo, s.hi);
}

double Distance(const QRect& r, QPointF p) {
    const double dx = std::max({r.left() - p.x(), 0.0, p.x() - (r.left() + r.width())});
    const double dy = std::max({r.top() - p.y(), 0.0, p.y() - (r.top() + r.height())});
    return dx * dx + dy * dy;
}

} // namespace

QList<ScreenPlace> PlaceScreens(const QList<QtScreen>& qt, const QRect& qtPrimary,
                                const QList<QRect>& desktop) {
    QList<ScreenPlace> out;
    for (const QtScreen& s : qt) {
        const QPoint at = s.geometry.topLeft() - qtPrimary.topLeft();
        const auto same = std::find_if(desktop.begin(), desktop.end(),
                                       [at](const QRect& m) { return m.topLeft() == at; });
        const QRect physical =
            same != desktop.end()
                ? *same
                : QRect(at, QSize(static_cast<int>(std::lround(s.geometry.width() * s.ratio)),
                                  static_cast<int>(std::lround(s.geometry.height() * s.ratio))));
        out.append(ScreenPlace{s.geometry, physical, s.ratio});
    }
    return out;
}

QList<ScreenPlace> PlaceScreensByLayout(const QList<QtScreen>& qt,
                                        const QList<platform::Platform::WindowScreen>& layout) {
    QList<ScreenPlace> out;
    for (const QtScreen& s : qt) {
        auto same = std::find_if(layout.begin(), layout.end(), [&s](const auto& m) {
            return !s.name.isEmpty() && m.name == s.name;
        });
        if (same == layout.end())
            same = std::find_if(layout.begin(), layout.end(),
                                [&s](const auto& m) { return m.logical == s.geometry; });
        if (same != layout.end()) {
            out.append(ScreenPlace{s.geometry, same->physical, same->scale});
            continue;
        }
        const QSize size(static_cast<int>(std::lround(s.geometry.width() * s.ratio)),
                         static_cast<int>(std::lround(s.geometry.height() * s.ratio)));
        out.append(ScreenPlace{s.geometry, QRect(s.geometry.topLeft(), size), s.ratio});
    }
    return out;
}

QPoint PhysicalPoint(const QList<ScreenPlace>& places, QPointF logicalGlobal,
                     std::optional<QPoint> pointer) {
    const QPointF g = logicalGlobal;
    if (places.isEmpty())
        return QPoint(static_cast<int>(std::lround(g.x())), static_cast<int>(std::lround(g.y())));
    // Qt converts each position with the monitor it lies on.
    const ScreenPlace* on = &places.front();
    for (const ScreenPlace& p : places)
        if (Distance(p.logical, g) < Distance(on->logical, g)) on = &p;
    const QRect& l = on->logical;
    const QRect& p = on->physical;
    const double f = on->ratio > 0 ? on->ratio : 1.0;
    const Span x = Candidates(g.x(), l.left(), p.left(), f);
    const Span y = Candidates(g.y(), l.top(), p.top(), f);
    std::optional<int> hx, hy;
    if (pointer) hx = pointer->x(), hy = pointer->y();
    return QPoint(Pick(x, g.x(), l.left(), p.left(), f, hx),
                  Pick(y, g.y(), l.top(), p.top(), f, hy));
}

QRectF LocalRect(const ScreenPlace& place, const QRectF& physical) {
    const double f = place.ratio > 0 ? place.ratio : 1.0;
    const QPointF topLeft = (physical.topLeft() - QPointF(place.physical.topLeft())) / f;
    return QRectF(topLeft, physical.size() / f);
}

} // namespace capture
