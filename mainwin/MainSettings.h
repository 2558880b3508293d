// What the main window takes from the profile each time it initializes: the
// output settings of [ENDDATA] and the current area with its fields.
#pragma once

#include "PressSetup.h"
#include "ProfileLayout.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mainwin {

// What is typed after the answer in the user's window.
enum class TypeAfter { Nothing, Tab, Enter };
TypeAfter TypeAfterOf(std::u16string_view stored);
std::u16string_view TypeAfterText(TypeAfter after); // as stored; empty for Nothing

struct OutputSettings {
    std::u16string OutFileName; // FILENAME, as typed
    bool CommentBefore = false; // コメント前 is exactly "True"
    bool CsvMode = false;       // CSV is exactly "True"
    bool TimeStamp = false;     // TIMESTAMP is exactly "True": a time column
    bool CsvHeader = false;     // CSVHEADER is exactly "True": a header in a new CSV file
    bool WriteNotice = false;   // WRITENOTICE is exactly "True": each line written is told
    bool Clipboard = false;     // CLIPBOARD is exactly "True": each write copies too
    bool ClipboardLine = false; // CLIPBOARDLINE is exactly "True": the whole line, not the answer
    bool TypeInto = false;      // TYPEINTO is exactly "True": typed into the user's window
    TypeAfter TypeAfterKey = TypeAfter::Nothing; // TYPEAFTER: "Tab", "Enter", else nothing
    bool RunCommand = false; // RUNCOMMAND is exactly "True": Command runs after each write
    std::u16string Command;  // COMMAND, as typed
};

OutputSettings ReadOutputSettings(const profile::Reader& read);

// The current area with its fields, set up for the next press: the name
// from [ENDDATA] AREA, then everything from its section (PressSetup.h).
engine::PressSetup AriaDataGet(const profile::Source& profile, engine::GroupReaders& readers);

// What a new user has to do before a reading can show anything: create an
// area, give it a place on the screen, register its characters (or choose
// a group again where a hand-edited profile names none).
enum class FirstStep { None, NoArea, NoPlace, UnusableGroup, NoCharacters };
FirstStep NextFirstStep(const engine::AreaSetup& area);

// Whole pixels of an area side, and the areas too large to read (Reading.h).
using engine::AreaPixels;
using engine::AreaTooLarge;

} // namespace mainwin
