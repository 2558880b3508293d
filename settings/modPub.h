// Process-wide state shared by the windows.
#pragma once

#include <string>

namespace modPub {

// File name of the profile, joined to FUMIni::IniDir(). The tray sets
// "\Kavoren.ini" at start and the editor "Kavoren.ini" when it opens; both
// name the same file.
extern std::u16string IniName;

// Name of the current recognition area while the editor works on it.
extern std::u16string AriaName;

} // namespace modPub
