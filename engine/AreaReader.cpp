#include "AreaReader.h"

#include "modTemp.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace engine {

AreaReader::AreaReader(modTemp::ChrTempList list) : list_(std::move(list)), finder_(list_) {
    for (const auto& t : list_) {
        widths_.push_back(t.width());
        maxWidth_ = std::max(maxWidth_, t.width());
    }
}

std::u16string AreaReader::read(const AreaImage& image, double matchLimit) {
    std::u16string answer;
    answer.reserve(64);
    for (const ReadChar& c : readChars(image, matchLimit))
        answer += list_[static_cast<std::size_t>(c.index)].Chr;
    return answer;
}

std::vector<ReadChar> AreaReader::readChars(const AreaImage& image, double matchLimit) {
    std::vector<ReadChar> answer;
    answer.reserve(64);
    // Sampled in every case: the verdict judges the same samples.
    plane_.assign(image, FitFinder::PaddingColumns(maxWidth_ + 1));
    // No template, or a bound that admits no perfect fit: every position gives 999.
    if (list_.empty() || !(0.0 < matchLimit)) return answer;
    const int stopAt = matchLimit > 1e9 ? 1'000'000'000 : static_cast<int>(std::ceil(matchLimit));

    // Every position tried is below the width (or 0), and a window reaches
    // at most its template's width past the position.
    const long long columns = static_cast<long long>(std::max(image.width, 1)) + maxWidth_;
    finder_.find(plane_, columns, fits_);

    const float windowWidth = ScanWindow(list_);
    const float areaWidth = static_cast<float>(image.width);
    // Below 2^24 every sum is exact in single precision, so runs of empty
    // positions can be jumped over; beyond, go one column at a time.
    const bool canJump = image.width < (1 << 23);
    const long long stopFrom = static_cast<long long>(std::ceil(areaWidth - windowWidth));

    std::size_t next = 0; // the first fit at or right of the position
    long long L = 0;
    for (;;) {
        while (next < fits_.size() && fits_[next].x < L)
            ++next;
        // The templates with a fit in their own window [L, L + width).
        inWindow_.clear();
        for (std::size_t k = next; k < fits_.size() && fits_[k].x < L + maxWidth_; ++k) {
            const Fit& f = fits_[k];
            if (f.x >= L + widths_[static_cast<std::size_t>(f.index)]) continue;
            auto it = std::find_if(inWindow_.begin(), inWindow_.end(),
                                   [&](const InWindow& w) { return w.index == f.index; });
            if (it == inWindow_.end())
                inWindow_.push_back({f.index, f.x, f.v, f.x, f.v});
            else if (f.v < it->firstV) // fits come by column, so the leftmost is the first seen
                it->firstX = f.x, it->firstV = f.v;
        }
        if (inWindow_.size() > 1)
            std::sort(inWindow_.begin(), inWindow_.end(),
                      [](const InWindow& a, const InWindow& b) { return a.index < b.index; });
        const InWindow* found = nullptr;
        for (const InWindow& w : inWindow_) {
            // Its first perfect fit must be among the window's first 50 candidates.
            if (finder_.fewerNearFits(plane_, w.index, L, static_cast<int>(w.firstX - L), w.firstV,
                                      matchLimit, stopAt, modTemp::kMaxCandidates)) {
                found = &w;
                break;
            }
        }
        if (found != nullptr) {
            answer.push_back({found->index, L, found->leftmost, found->leftmostV});
            L += widths_[static_cast<std::size_t>(found->index)];
        } else if (canJump && inWindow_.empty()) {
            // Positions before the first one whose window can reach the next
            // fit give nothing either.
            const long long x = next < fits_.size() ? fits_[next].x : columns;
            const long long to = std::max(L + 1, x - maxWidth_ + 1);
            L = std::max(L + 1, std::min(to, std::max(stopFrom, L + 1)));
        } else {
            L += 1;
        }
        if (!ScanTries(L, windowWidth, image.width)) break;
    }
    return answer;
}

JudgedRead AreaReader::readJudged(const AreaImage& image, double matchLimit) {
    JudgedRead out;
    out.chars = readChars(image, matchLimit);
    // Prepared with the first verdict, so that preparing a group stays as
    // cheap as the reading alone needs.
    if (ink_.width.size() != list_.size()) ink_ = InkOf(list_);
    out.unread = UnreadInkOfFits(plane_, ink_, out.chars);
    return out;
}

float ScanWindow(const modTemp::ChrTempList& list) {
    return list.empty() ? 0.0F : 2 * list.back().X;
}

bool ScanTries(long long position, float window, int areaWidth) {
    return position == 0 || static_cast<float>(static_cast<float>(position) + window) <
                                static_cast<float>(areaWidth);
}

std::u16string ReadArea(const AreaImage& image, const modTemp::ChrTempList& list,
                        double matchLimit) {
    AreaReader reader(list);
    return reader.read(image, matchLimit);
}

} // namespace engine
