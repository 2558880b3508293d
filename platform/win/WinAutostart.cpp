// Windows: start at sign-in through the user's Run key; Windows' own list of
// start-up programs records beside it whether the user turned it off.
#include "Autostart.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

namespace {

// An open registry key, closed with its owner.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

std::wstring W(const QString& s) {
    return s.toStdWString();
}

std::optional<QByteArray> ReadValue(const QString& keyPath, DWORD* type) {
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring name = W(kRunValueName);
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(size), '\0');
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(static_cast<qsizetype>(size));
    return data;
}

// The Run value's text; nothing when it is missing or not text.
std::optional<QString> RunValue(const AutostartPlaces& places) {
    DWORD type = 0;
    const auto data = ReadValue(places.runKey, &type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    QString text = QString::fromWCharArray(reinterpret_cast<const wchar_t*>(data->constData()),
                                           data->size() / static_cast<qsizetype>(sizeof(wchar_t)));
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) text.truncate(nul);
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[MAX_PATH * 2];
        const DWORD n = ExpandEnvironmentStringsW(W(text).c_str(), expanded, MAX_PATH * 2);
        if (n > 0 && n <= MAX_PATH * 2) text = QString::fromWCharArray(expanded);
    }
    return text;
}

bool WriteRunValue(const AutostartPlaces& places, const QString& command) {
    RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, W(places.runKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = W(command);
    return RegSetValueExW(key.get(), W(kRunValueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

AutostartPlaces SystemAutostartPlaces() {
    AutostartPlaces places;
    places.runKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    places.approvedKey = QStringLiteral(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run");
    return places;
}

AutostartState ReadAutostart(const AutostartPlaces& places, const QString&) {
    if (!RunValue(places)) return AutostartState::Off;
    DWORD type = 0;
    const auto record = ReadValue(places.approvedKey, &type);
    return record && StartupApprovedDisables(*record) ? AutostartState::DisabledBySystem
                                                      : AutostartState::On;
}

bool WriteAutostart(const AutostartPlaces& places, const QString& program, bool on) {
    if (on) return WriteRunValue(places, RunCommand(program));
    RegKey key;
    const LONG opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, W(places.runKey).c_str(), 0, KEY_SET_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LONG deleted = RegDeleteValueW(key.get(), W(kRunValueName).c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool MendAutostart(const AutostartPlaces& places, const QString& program) {
    const auto command = RunValue(places);
    if (!command) return false;
    const QString started = RunCommandProgram(*command);
    if (!QDir::isAbsolutePath(started) || QFileInfo::exists(started) ||
        SameProgram(started, program, Qt::CaseInsensitive))
        return false;
    return WriteRunValue(places, RunCommand(program));
}

AutostartTexts AutostartWording() {
    return {QStringLiteral("Windows の起動時に Tirelma を開始(&S)"),
            QStringLiteral("（Windows の設定で無効）"),
            QStringLiteral("Tirelma の自動起動は、Windows の設定で無効になっています。"
                           "「設定」→「アプリ」→「スタートアップ」（またはタスク マネージャーの"
                           "「スタートアップ アプリ」）で Tirelma をオンにしてください。")};
}

} // namespace platform
