// Every place of a sampled area where a template of a group fits with no
// mismatching pixel.
//
// Candidates come from keys. A key is one template row's 8 columns that
// start on a byte of the area's bit rows, so a key is compared with a whole
// byte of the area, and which columns of the template it covers depends on
// the phase of the template's place (its column mod 8). Templates are taken
// in buckets of eight; for each bucket and phase two keys on different rows
// or bytes are chosen, those least likely to be met in a line made of these
// glyphs (judged from the slices of all templates of the group, and never a
// key the background alone would match). A byte is split in halves, and one
// table per half tells which templates of the bucket agree with it there, so
// one look-up tests eight templates; with AVX2, 32 places at a time. Places
// where both keys agree are checked row by row.
#pragma once

#include "BitPlane.h"
#include "ChrTemp.h"

#include <array>
#include <cstdint>
#include <vector>

namespace engine {

// A perfect fit: the template's left column and top row in the area.
struct Fit {
    long long x = 0;
    int v = 0;
    int index = 0; // of the template in the group

    bool operator==(const Fit&) const = default;
};

class FitFinder {
public:
    explicit FitFinder(const modTemp::ChrTempList& list);

    // Columns of padding the plane needs right of the area for the finder's
    // reads, given how many columns are searched beyond the area's width.
    static int PaddingColumns(int searchedBeyond) { return searchedBeyond + 8 * 48; }

    // The fits at columns [0, columns) and rows 0 .. H - th - 1 (H the
    // plane's height, th the template's), one per template and column, with
    // its top-most row; sorted by column, then template. At most one per
    // template and column is kept, so memory is bounded by the columns.
    void find(const BitPlane& plane, long long columns, std::vector<Fit>& out);

    struct RowCheck {
        std::size_t offset; // of the template row in the plane, in bytes
        std::uint32_t bits;
    };

    // Whether fewer than `cap` near-fits of template `index` (placements with
    // some mismatching pixels, but fewer than `limit`; stopAt is the whole
    // number at which counting can stop) come before placement (u0, v0) in
    // the order of its window at column `left` (rows first, each row's
    // columns left + 0 .. left + width - 1). No placement before it may fit
    // perfectly. Placements are looked at only until the answer is known.
    bool fewerNearFits(const BitPlane& plane, int index, long long left, int u0, int v0,
                       double limit, int stopAt, int cap) const;

    // A key's look-up tables: bit b of lo[n] (hi[n]) is set when the low
    // (high) half n of the area's byte agrees with bucket member b's key.
    struct Key {
        int row = 0;  // template row
        int byte = 0; // the area byte is (x / 8 + byte) for a place at column x
        std::array<std::uint8_t, 16> lo{}, hi{};
    };
    struct Bucket {
        std::array<int, 8> members{}; // template indices, bit b of a table is members[b]
        int count = 0;
        std::array<std::array<Key, 2>, 8> phases{}; // two keys per phase x mod 8
    };
    // A candidate of a bucket in one row: the column 8 q + phase and the
    // members whose keys agree there.
    struct Candidate {
        long long q;
        std::uint8_t phase, members;
    };

private:
    struct Checks {
        std::uint64_t mask = 0;
        int width = 0;
        std::uint32_t begin = 0, end = 0; // rows in checks_, the most telling first
        int height = 0;
        int lastOffset = -1; // of the current area
    };

    void addChecks(std::size_t t, const modTemp::ChrTemp& tmpl, const int* mixed);
    bool verify(const BitPlane& plane, const Checks& c, long long x, int v) const;

    std::vector<Bucket> buckets_;
    std::vector<Checks> info_;
    std::vector<RowCheck> checks_;
    std::vector<int> checkRows_;
    std::size_t stride_ = 0; // bytes per plane row the offsets were made for
    std::vector<Candidate> candidates_;
    std::vector<std::uint64_t> seen_; // per template, bit x: a fit at column x is kept
    std::vector<int> lastV_;          // per bucket: the last row any of its members can fit at
};

// The bucket's candidates at row v of the area, columns [0, columns): the
// plain way and the AVX2 way (the same results, in the same order).
void ScanBucket(const FitFinder::Bucket& b, const BitPlane& plane, int v, long long columns,
                std::vector<FitFinder::Candidate>& out);
void ScanBucketAvx2(const FitFinder::Bucket& b, const BitPlane& plane, int v, long long columns,
                    std::vector<FitFinder::Candidate>& out);

} // namespace engine
