// Starting the program when the user signs in, as each system does it.
//
// Linux: an XDG autostart entry, tirelma.desktop, in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart). It has the name of the entry that an
// administrator may install for every user (/etc/xdg/autostart), so the
// user's own entry replaces that one; turning start-up off where such an
// entry exists keeps a user entry that says Hidden=true.
//
// Windows: the value "Tirelma" of the user's Run key, the program's path in
// quotes. Windows' own list of start-up programs (Task Manager, Settings)
// can turn that value off without removing it; that shows as
// DisabledBySystem, and only the user can turn it on again there.
//
// The entry names the program's own path; when that program is gone (the
// folder was moved), the next start of the program points it at itself.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

enum class AutostartState {
    Off,
    On,
    DisabledBySystem, // there, but turned off in the system's start-up list
};

// --- Linux: the XDG autostart entry --------------------------------------

inline const QString kAutostartEntryName = QStringLiteral("tirelma.desktop");

// The user's autostart folder: $XDG_CONFIG_HOME/autostart, or
// $HOME/.config/autostart when XDG_CONFIG_HOME is unset, empty or relative.
// Empty when neither gives an absolute folder.
QString XdgAutostartFolder(const QString& xdgConfigHome, const QString& home);

// The system's autostart folders, most important first: each absolute
// folder of $XDG_CONFIG_DIRS (default /etc/xdg) followed by /autostart.
QStringList XdgSystemAutostartFolders(const QString& xdgConfigDirs);

// The program as the first word of an Exec line: quoted where the desktop
// entry rules want it, and escaped for a desktop entry's string value.
QString DesktopExecArgument(const QString& program);

// The program an Exec line starts (its first word, unquoted).
QString ExecProgram(const QString& exec);

// The whole autostart entry for the program.
QString AutostartDesktopEntry(const QString& program);

// A key's value in the [Desktop Entry] group (the untranslated one, the
// string escapes undone); empty when it is not there.
QString DesktopEntryValue(const QString& entry, const QString& key);

// The entry with its Exec line starting another program (its arguments and
// every other line kept).
QString DesktopEntryWithProgram(const QString& entry, const QString& program);

// What an entry says: Hidden=true means it is not there (Off); the desktop's
// start-up settings turn it off with X-GNOME-Autostart-enabled=false.
AutostartState DesktopEntryState(const QString& entry);

// --- Windows: the Run value ----------------------------------------------

inline const QString kRunValueName = QStringLiteral("Tirelma");

// The Run value for the program: its path in quotes.
QString RunCommand(const QString& program);

// The program a Run value starts: the quoted path, or for an unquoted one
// the text up to ".exe".
QString RunCommandProgram(const QString& command);

// Whether the start-up list's record of a Run value (12 bytes; the first
// one 2 when on, 3 when off) says it is turned off.
bool StartupApprovedDisables(const QByteArray& record);

// --- Either system ---------------------------------------------------------

// Whether two paths name the same program (Windows ignores letter case).
bool SameProgram(const QString& a, const QString& b, Qt::CaseSensitivity cs);

// Where the entries live: on Linux the user's autostart folder and the
// system's; on Windows the user's Run key and the start-up list's key (both
// below HKEY_CURRENT_USER). Tests use folders and keys of their own.
struct AutostartPlaces {
    QString userFolder;
    QStringList systemFolders;
    QString runKey;
    QString approvedKey;
};

// The system's own places for this user.
AutostartPlaces SystemAutostartPlaces();

// The state for a program (a native path).
AutostartState ReadAutostart(const AutostartPlaces& places, const QString& program);

// Turns start-up of the program on or off; false when the system refused.
bool WriteAutostart(const AutostartPlaces& places, const QString& program, bool on);

// Where start-up is on for a program that no longer exists, points it at
// this program instead. True when it changed something.
bool MendAutostart(const AutostartPlaces& places, const QString& program);

// What the switch is called, what it adds when the system turned it off,
// and how to turn it on there.
struct AutostartTexts {
    QString menu;
    QString disabledNote;
    QString howToEnable;
};
AutostartTexts AutostartWording();

// The same for the running program in the system's own places.
AutostartState ThisProgramAutostart();
bool SetThisProgramAutostart(bool on);
void MendThisProgramAutostart();

} // namespace platform
