// An area's own keys as the editor reads and stores them, in one table:
// loading an area into the boxes, telling whether OK would lose a change,
// setting up the reading check of the area as shown, and the writes of
// "認識エリア記録" all go through it, so that a key is never read under one
// rule and stored under another.
//
// The order of the table is the order the area is stored in: [ENDDATA]
// AREA first, then CHRGROP, COMMENT, LEFT, TOP, WIDTH, HEIGHT, BWLEVELT,
// 区切り, BLANKWIDTH and WRITEUNREAD (these two only once set), then the
// monitor the area lies on.
#pragma once

#include "ProfileDocument.h"
#include "ProfileLayout.h"
#include "ProfileStore.h"
#include "Reading.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// An area's settings as texts, as the editor shows them or as stored.
struct AreaTexts {
    std::u16string comment, left, top, width, height, level, kugiri, blank;
    // CHRGROP as a group number; -1 where no 32-bit integer names a group
    // (profile::GroupNumber), so a hand-edited "1e10" reads alike each time.
    int group = 0;
    bool writeUnread = false; // WRITEUNREAD is "True"
};

// The area's keys as stored (missing keys read as the empty text).
AreaTexts ReadArea(const profile::Reader& read, std::u16string_view area);

// Whether storing the area would change what is stored: it has no section
// yet, or a field differs from its key. A missing level counts as 128 (what
// the editor shows for it).
bool AreaNeedsStoring(const AreaTexts& shown, const AreaTexts& stored, bool hasSection);

// The area as the editor shows it, read as a profile: the shown texts (and
// group) for the area's own keys, the stored profile for everything else,
// so that the reading check sets the area up exactly as a reading would
// once it is stored.
profile::Source ShownAreaSource(std::u16string_view area, const AreaTexts& shown,
                                profile::Source stored);

// The writes that store the shown area, in order. BLANKWIDTH and WRITEUNREAD
// are written once they are set or already stored, so that an area that
// never used them is stored exactly as before. The monitor the area lies on
// now is recorded; on none, an old record is emptied (it would only
// mislead), and nothing is written where there is none.
std::vector<settings::KeyWrite> AreaWrites(std::u16string_view area, const AreaTexts& shown,
                                           const std::optional<engine::Monitor>& monitor,
                                           const profile::Reader& stored);

// What the user is told when the profile at path refused to store the
// area: that nothing was stored, and why.
std::u16string AreaNotStoredText(std::u16string_view area, const store::WriteFailure& refusal,
                                 std::u16string_view path);

} // namespace editor
