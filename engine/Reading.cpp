#include "Reading.h"

#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace engine {

namespace {

struct Box {
    long long left, top, right, bottom; // right and bottom exclusive

    long long area() const { return (right - left) * (bottom - top); }
};

Box BoxOf(const PixelRect& r) {
    return {r.left, r.top, static_cast<long long>(r.left) + r.width,
            static_cast<long long>(r.top) + r.height};
}

long long Overlap(const Box& a, const Box& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// What of box is left outside cut: up to four boxes.
void Subtract(const Box& box, const Box& cut, std::vector<Box>& out) {
    if (Overlap(box, cut) == 0) {
        out.push_back(box);
        return;
    }
    if (cut.top > box.top) out.push_back({box.left, box.top, box.right, cut.top});
    if (cut.bottom < box.bottom) out.push_back({box.left, cut.bottom, box.right, box.bottom});
    const long long top = std::max(box.top, cut.top), bottom = std::min(box.bottom, cut.bottom);
    if (cut.left > box.left) out.push_back({box.left, top, cut.left, bottom});
    if (cut.right < box.right) out.push_back({cut.right, top, box.right, bottom});
}

std::optional<int> WholeNumber(std::u16string_view text) {
    std::string ascii;
    for (const char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        ascii.push_back(static_cast<char>(c));
    }
    const auto first = ascii.find_first_not_of(' ');
    const auto last = ascii.find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    int value = 0;
    const char* begin = ascii.data() + first;
    const char* end = ascii.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

} // namespace

AreaSettings ReadAreaSettings(std::u16string_view name, const profile::Reader& read) {
    AreaSettings a;
    a.name = std::u16string(name);
    const std::u16string s = profile::AreaSection(name);
    const auto number = [&](std::u16string_view key) {
        return settings::NumberValue(read(s, key));
    };
    a.left = static_cast<float>(number(profile::kLeft));
    a.top = static_cast<float>(number(profile::kTop));
    a.width = static_cast<float>(number(profile::kWidth));
    a.height = static_cast<float>(number(profile::kHeight));
    a.group = profile::GroupNumber(read(s, profile::kChrGrop));
    a.blanks = {BlankWidthValue(read(s, profile::kBlankWidth)), read(s, profile::kKugiri)};
    if (const auto rect = ParseMonitorRect(read(s, profile::kMonitor))) {
        const double scale = number(profile::kMonitorScale);
        const auto percent = settings::RoundToInt32(scale);
        a.monitor = Monitor{*rect, percent && *percent > 0 ? *percent : 0};
    }
    a.writeUnread = profile::IsTrue(read(s, profile::kWriteUnread));
    return a;
}

int AreaPixels(float side) {
    if (!std::isfinite(side) || side <= 0) return 0;
    const auto r = settings::RoundToInt32(static_cast<double>(side));
    return r ? *r : kMaxAreaSide + 1;
}

bool AreaTooLarge(int width, int height) {
    return width > kMaxAreaSide || height > kMaxAreaSide ||
           static_cast<long long>(width) * height > kMaxAreaPixels;
}

std::optional<PixelRect> ScreenRect(const AreaSettings& area) {
    const auto left = settings::RoundToInt32(area.left);
    const auto top = settings::RoundToInt32(area.top);
    const int width = AreaPixels(area.width), height = AreaPixels(area.height);
    if (!left || !top || AreaTooLarge(width, height)) return std::nullopt;
    return PixelRect{*left, *top, width, height};
}

Reading ReadPicture(AreaSettings area, AreaImage picture, Grab grab, AreaReader& reader) {
    Reading r;
    r.area = std::move(area);
    r.picture = std::move(picture);
    r.verdict.grab = grab;
    if (grab == Grab::Off || grab == Grab::Failed) return r;
    JudgedRead judged = reader.readJudged(r.picture, kReadingMatchLimit);
    r.chars = std::move(judged.chars);
    r.verdict.unread = std::move(judged.unread);
    r.text = JoinReading(r.chars, reader.templates(), r.area.blanks);
    return r;
}

Grab Coverage(const PixelRect& rect, const std::vector<Monitor>& monitors) {
    if (rect.empty()) return Grab::Whole;
    std::vector<Box> left{BoxOf(rect)}, next;
    for (const Monitor& m : monitors) {
        next.clear();
        for (const Box& b : left)
            Subtract(b, BoxOf(m.rect), next);
        left.swap(next);
    }
    long long uncovered = 0;
    for (const Box& b : left)
        uncovered += b.area();
    if (uncovered == 0) return Grab::Whole;
    return uncovered == BoxOf(rect).area() ? Grab::Off : Grab::PartlyOff;
}

std::optional<Monitor> MonitorUnder(const PixelRect& rect, const std::vector<Monitor>& monitors) {
    std::optional<Monitor> best;
    long long most = 0;
    for (const Monitor& m : monitors) {
        const long long o = Overlap(BoxOf(rect), BoxOf(m.rect));
        if (o > most) most = o, best = m;
    }
    return best;
}

std::optional<MonitorChange> MonitorChangeAt(const std::optional<Monitor>& recorded,
                                             const PixelRect& rect,
                                             const std::vector<Monitor>& monitors) {
    const auto now = MonitorUnder(rect, monitors);
    if (!recorded || !now) return std::nullopt;
    const bool scaleDiffers = recorded->scalePercent > 0 && now->scalePercent > 0 &&
                              recorded->scalePercent != now->scalePercent;
    if (recorded->rect == now->rect && !scaleDiffers) return std::nullopt;
    return MonitorChange{*recorded, *now};
}

const AreaImage* ScreenShot::pictureOf(const PixelRect& rect) const {
    for (std::size_t i = 0; i < rects.size() && i < pictures.size(); ++i)
        if (rects[i] == rect && pictures[i] && pictures[i]->width == rect.width &&
            pictures[i]->height == rect.height)
            return &*pictures[i];
    return nullptr;
}

Reading ReadShot(AreaSettings area, const std::optional<PixelRect>& rect, const ScreenShot& shot,
                 AreaReader& reader) {
    if (!rect) return ReadPicture(std::move(area), AreaImage(), Grab::Failed, reader);
    AreaImage picture(rect->width, rect->height);
    Grab grab = Grab::Whole;
    if (!rect->empty()) {
        grab = shot.monitors.empty() ? Grab::Failed : Coverage(*rect, shot.monitors);
        if (grab == Grab::Whole || grab == Grab::PartlyOff) {
            if (const AreaImage* copy = shot.pictureOf(*rect))
                picture = *copy;
            else
                grab = Grab::Failed;
        }
    }
    // A screen that gave nothing shows no white area either.
    if (grab == Grab::Failed) picture = AreaImage();
    const std::optional<Monitor> recorded = area.monitor;
    Reading r = ReadPicture(std::move(area), std::move(picture), grab, reader);
    if (grab == Grab::Failed) r.verdict.failure = shot.failure;
    r.monitorChange = MonitorChangeAt(recorded, *rect, shot.monitors);
    return r;
}

std::u16string MonitorRectText(const PixelRect& r) {
    const std::string s = std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                          std::to_string(r.width) + "," + std::to_string(r.height);
    return std::u16string(s.begin(), s.end());
}

std::optional<PixelRect> ParseMonitorRect(std::u16string_view text) {
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto comma = text.find(u',');
        if ((comma == std::u16string_view::npos) != (i == 3)) return std::nullopt;
        const auto v = WholeNumber(text.substr(0, comma));
        if (!v) return std::nullopt;
        values[i] = *v;
        if (i < 3) text.remove_prefix(comma + 1);
    }
    if (values[2] <= 0 || values[3] <= 0) return std::nullopt;
    return PixelRect{values[0], values[1], values[2], values[3]};
}

} // namespace engine
