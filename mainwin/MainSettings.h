// What the main window takes from the profile each time it initializes: the
// output settings of [ENDDATA] and the current area.
#pragma once

#include "Reading.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mainwin {

struct OutputSettings {
    std::u16string OutFileName; // FILENAME, as typed
    bool CommentBefore = false; // コメント前 is exactly "True"
    double Kizami = 0;          // 刻み, 0 when missing
    bool CsvMode = false;       // CSV is exactly "True"
};

struct AreaData {
    std::u16string AriaName; // [ENDDATA] AREA
    float AreaLeft = 0, AreaTop = 0, AreaWidth = 0, AreaHeight = 0;
    std::int32_t ChrGroup = 0;
    std::u16string Kugiri;
    int BlankWidth = 0;  // BLANKWIDTH: blank columns that put Kugiri into the answer
    bool Stored = false; // the area has its own section
    // All of it as a reading takes it, with the keys only readings use
    // (WRITEUNREAD, MONITOR, MONITORSCALE).
    engine::AreaSettings settings;
};

OutputSettings ReadOutputSettings();

// What a new user has to do before a reading can show anything: create an
// area, give it a place on the screen, register its characters.
enum class FirstStep { None, NoArea, NoPlace, NoCharacters };
FirstStep NextFirstStep(const AreaData& area, std::size_t templateCount);

// The current area: its name from [ENDDATA] AREA, then the rectangle, group
// delimiter and blank width from its section (numbers by the lenient rule,
// the group rounded half to even; a group that is no 32-bit number reads as 0).
AreaData AriaDataGet();

// Whole pixels of an area side, and the areas too large to read (Reading.h).
using engine::AreaPixels;
using engine::AreaTooLarge;
using engine::kMaxAreaPixels;
using engine::kMaxAreaSide;

} // namespace mainwin
