// The module's shared services: the window placements in the profile, and
// the text and number helpers every window uses. The profile access itself
// is the ProfileStore each program passes to its windows.
#pragma once

#include "Numbers.h"
#include "ProfileStore.h"

#include <string_view>

namespace FUMIni {

// The text and number services, which need no profile.
using settings::CombSort;
using settings::NumberValue;
using settings::RoundOff;
using settings::SingleText;
using settings::SpaceCut;
using settings::StrSwap;

// A window's placement in twips, as FormPosSave stores it.
struct FormPlacement {
    double Top = 0, Left = 0, Height = 0, Width = 0;
};

// Writes Top, Left, Height and Width (in this order) to the section named
// after the caption without blanks. False when any write was refused.
bool FormPosSave(store::ProfileStore& profile, std::u16string_view caption,
                 const FormPlacement& placement);

// What the window's placement becomes: Top and Left always from the file
// (0 when missing), Height and Width only for a resizable window and only
// when greater than 0; otherwise the design size.
FormPlacement FormPosLoad(store::ProfileStore& profile, std::u16string_view caption,
                          const FormPlacement& design, bool resizable);

} // namespace FUMIni
