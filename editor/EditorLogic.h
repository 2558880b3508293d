// The editor's rules that need no window: snapping a cut to cells, row masks,
// two-level conversion and magnification, and the checks that keep the
// profile file readable (names, character texts, list length, area size).
// An area's keys are in AreaKeys.h.
//
// Pixels: the area image and the two-level image are in physical screen
// pixels, one image pixel per screen pixel. The magnified image is ten image
// pixels per area pixel in each direction (a cell); it is the editor's own
// drawing, so its coordinates are plain widget pixels.
#pragma once

#include "ProfileLayout.h"

#include "TextCodec.h"

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// One area pixel is a cell of kCell x kCell pixels in the magnified view.
inline constexpr int kCell = 10;

// Largest area the editor captures and magnifies: each side at most 3000
// pixels and at most 160000 pixels in all, so the magnified image stays within
// 16 million pixels (64 MB) and the window within what window systems draw.
inline constexpr long long kMaxAreaSide = 3000;
inline constexpr long long kMaxAreaPixels = 160000;

// Template sizes a cut may have, in cells. A row mask holds at most 28
// columns; the height is bounded only by the largest area.
inline constexpr int kMinCutCells = 2;
inline constexpr int kMaxCutWidth = 28;
inline constexpr long long kMaxCutHeight = kMaxAreaSide;

// Snaps a coordinate of the magnified view to the cell grid: the remainder of
// the rounded value decides (0..4 down, 5..9 up); negative values snap down.
float KyoukaiChk(float x);

// A cut on the magnified view: anchor and moving corner while dragging; left,
// top, right and bottom once it is finished.
struct CutRect {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Orders the corners and snaps each edge (x1, y1, x2, y2 in this order).
CutRect FinishCut(CutRect cut);

// Whether a cut of w x h cells may become a template.
bool CutSizeAcceptable(double w, double h);

// The template size that the width and height labels describe, when it is an
// acceptable one (whole numbers, CutSizeAcceptable).
struct CellSize {
    int w = 0;
    int h = 0;
};
std::optional<CellSize> LabelCutSize(std::u16string_view width, std::u16string_view height);

// Colour of a picture's pixel as 0x00BBGGRR, or -1 outside the picture.
std::int32_t PictureColour(const QImage& image, long long x, long long y);

// Row masks of a template: for row i and column j, bit j is set when the
// magnified picture is exactly black at the centre of cell (j, i) counted from
// the cut's top-left corner. Points outside the picture count as white.
std::vector<std::int32_t> RowMasks(const QImage& magnified, float left, float top, CellSize size);
// The same, the colours read through colourAt(x, y) of the magnified view.
std::vector<std::int32_t> RowMasks(const std::function<std::int32_t(double, double)>& colourAt,
                                   float left, float top, CellSize size);

// Two-level copy of an area image: black where the red component is at most
// level, white elsewhere (green and blue do not count). Only the first
// boundWidth columns of the first boundHeight rows are converted (the bounds
// come from the area fields); the rest stays white.
QImage Binarize(const QImage& area, double level, double boundWidth, double boundHeight);

// The picture with every pixel repeated into a factor x factor block.
QImage Magnify(const QImage& image, int factor);

// The number a whole field holds: the lenient number of the text when the
// text is nothing but one number (blanks around it allowed), else nothing.
std::optional<double> FieldNumber(std::u16string_view text);

// Whether an area of this size can be captured and magnified.
bool AreaSizeAcceptable(double width, double height);

// Why the profile cannot hold an area or group name faithfully.
enum class NameProblem { None, BadCharacter, BlankAtEnd, TooLong };
NameProblem CheckName(std::u16string_view name, settings::FileEncoding encoding);

// Why a character text cannot be registered as it is.
enum class CharProblem { None, BadCharacter };
CharProblem CheckCharText(std::u16string_view text);

// Section and key names match with only A-Z folded and outer blanks dropped,
// so two texts that differ in nothing else share one section.
std::u16string SectionIdentity(std::u16string_view name);

// The entry of names that would share its section with name without being
// name itself ("a" for "A"), if any.
std::optional<std::u16string> SectionTwin(std::u16string_view name,
                                          const std::vector<std::u16string>& names);

// Bytes text takes in a profile file of the encoding; text CP932 cannot hold
// is counted in UTF-8, since writing it switches the file to UTF-8.
std::size_t StoredBytes(std::u16string_view text, settings::FileEncoding encoding);

// Encoding of the profile file now: UTF-8 when it starts with a byte-order
// mark, CP932 otherwise (also when there is no file yet).
settings::FileEncoding ProfileEncoding(const std::filesystem::path& profile);

} // namespace editor
