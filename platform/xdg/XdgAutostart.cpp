// Linux: start at sign-in through an XDG autostart entry (any desktop that
// follows the XDG autostart rules, on X11 and on Wayland alike).
#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace platform {

namespace {

std::optional<QString> ReadEntry(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromUtf8(f.readAll());
}

bool WriteEntry(const QString& folder, const QString& text) {
    if (!QDir().mkpath(folder)) return false;
    QSaveFile f(folder + u'/' + kAutostartEntryName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = text.toUtf8();
    return f.write(bytes) == bytes.size() && f.commit();
}

// The administrator's entry for every user, if there is one.
std::optional<QString> SystemEntry(const AutostartPlaces& places) {
    for (const QString& folder : places.systemFolders)
        if (auto entry = ReadEntry(folder + u'/' + kAutostartEntryName)) return entry;
    return std::nullopt;
}

QString UserEntryPath(const AutostartPlaces& places) {
    return places.userFolder + u'/' + kAutostartEntryName;
}

} // namespace

AutostartPlaces SystemAutostartPlaces() {
    AutostartPlaces places;
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) home = QDir::homePath();
    places.userFolder = XdgAutostartFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), home);
    places.systemFolders = XdgSystemAutostartFolders(qEnvironmentVariable("XDG_CONFIG_DIRS"));
    return places;
}

AutostartState ReadAutostart(const AutostartPlaces& places, const QString&) {
    // The user's entry replaces the system's one of the same name.
    std::optional<QString> entry;
    if (!places.userFolder.isEmpty()) entry = ReadEntry(UserEntryPath(places));
    if (!entry) entry = SystemEntry(places);
    return entry ? DesktopEntryState(*entry) : AutostartState::Off;
}

bool WriteAutostart(const AutostartPlaces& places, const QString& program, bool on) {
    if (places.userFolder.isEmpty()) return false;
    if (on) return WriteEntry(places.userFolder, AutostartDesktopEntry(program));
    // Off: the system's entry for every user is hidden by one of the user's
    // own; otherwise the user's entry simply goes.
    const auto system = SystemEntry(places);
    if (system && DesktopEntryState(*system) != AutostartState::Off)
        return WriteEntry(places.userFolder,
                          AutostartDesktopEntry(program) + QStringLiteral("Hidden=true\n"));
    QFile user(UserEntryPath(places));
    return !user.exists() || user.remove();
}

bool MendAutostart(const AutostartPlaces& places, const QString& program) {
    if (places.userFolder.isEmpty()) return false;
    const auto entry = ReadEntry(UserEntryPath(places));
    if (!entry || DesktopEntryState(*entry) == AutostartState::Off) return false;
    const QString started = ExecProgram(DesktopEntryValue(*entry, QStringLiteral("Exec")));
    // A bare name is looked up on the PATH: the package's own entry.
    if (!QDir::isAbsolutePath(started) || QFileInfo::exists(started) ||
        SameProgram(started, program, Qt::CaseSensitive))
        return false;
    return WriteEntry(places.userFolder, DesktopEntryWithProgram(*entry, program));
}

AutostartTexts AutostartWording() {
    return {QStringLiteral("ログイン時に Tirelma を開始(&S)"),
            QStringLiteral("（デスクトップの設定で無効）"),
            QStringLiteral("Tirelma の自動起動は、デスクトップの設定（「自動起動」や"
                           "「スタートアップアプリケーション」）で無効になっています。")};
}

} // namespace platform
