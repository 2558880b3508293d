// Profile access and the small services shared by all windows.
#pragma once

#include "Numbers.h"
#include "ProfileDocument.h"
#include "ProfileLayout.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace FUMIni {

// The module's text and number services, which need no profile.
using settings::CombSort;
using settings::NumberValue;
using settings::RoundOff;
using settings::SingleText;
using settings::SpaceCut;
using settings::StrSwap;

// The value under section/key of the profile file, or the empty text when the
// file, the section or the key is missing.
std::u16string IniRead(std::u16string_view section, std::u16string_view key);

// Stores value under section/key; nonzero on success. A refused write leaves
// the file as it was and is reported to the failure handler.
std::int32_t IniWrite(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value);

// Stores every write in order in one replacement of the file (see
// settings::ProfileFile::writeAll): all of them, or none when one is refused,
// which the failure handler hears of. Nonzero on success.
std::int32_t IniWriteAll(const std::vector<settings::KeyWrite>& writes);

// Whether the profile file has the section at all.
bool IniHasSection(std::u16string_view section);

// The profile file as a source to read from (ProfileLayout.h).
profile::Source ProfileSource();

// Folder of the profile file, ending in exactly one separator: beside the
// program or the user's configuration folder, as settings::ProfileFolder()
// decides (Locations.h). The default result files go there too.
std::u16string IniDir();

// Points IniDir() at another folder (tests, the command-line reader); an empty
// text returns to the profile's own folder.
void SetIniDir(std::u16string dir);

// IniDir() joined with modPub::IniName; leading separators of the name are
// dropped, so "\Kavoren.ini" and "Kavoren.ini" give the same file.
std::filesystem::path ProfilePath();

// Called once for every write the profile file refused.
struct WriteFailure {
    settings::WriteStatus status;
    std::u16string section, key, value;
};
void SetWriteFailureHandler(std::function<void(const WriteFailure&)> handler);

// A window's placement in twips, as FormPosSave stores it.
struct FormPlacement {
    double Top = 0, Left = 0, Height = 0, Width = 0;
};

// Writes Top, Left, Height and Width (in this order) to the section named
// after the caption without blanks. False when any write was refused.
bool FormPosSave(std::u16string_view caption, const FormPlacement& placement);

// What the window's placement becomes: Top and Left always from the file
// (0 when missing), Height and Width only for a resizable window and only
// when greater than 0; otherwise the design size.
FormPlacement FormPosLoad(std::u16string_view caption, const FormPlacement& design, bool resizable);

} // namespace FUMIni
