#include "Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringView>

#include <optional>

namespace platform {

namespace {

bool IsAbsoluteFolder(const QString& folder) {
    return !folder.isEmpty() && QDir::isAbsolutePath(folder) && folder.startsWith(u'/');
}

// The characters that make a desktop entry's Exec argument need quotes.
bool NeedsQuotes(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (arg.isEmpty()) return true;
    for (QChar c : arg)
        if (reserved.contains(c)) return true;
    return false;
}

// A desktop entry's string value: backslashes and control characters escaped.
QString EscapeString(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString UnescapeString(QStringView s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar next = s[++i];
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else
            out += QString(u'\\') + next; // not a string escape: kept as it is
    }
    return out;
}

// The quoted (or bare) first argument of an Exec line and its length there.
struct FirstArgument {
    QString text;
    qsizetype length = 0;
};

FirstArgument SplitFirstArgument(const QString& exec) {
    FirstArgument arg;
    qsizetype i = 0;
    while (i < exec.size() && exec[i] == u' ')
        ++i;
    if (i < exec.size() && exec[i] == u'"') {
        for (++i; i < exec.size() && exec[i] != u'"'; ++i) {
            if (exec[i] == u'\\' && i + 1 < exec.size()) ++i;
            arg.text += exec[i];
        }
        if (i < exec.size()) ++i; // the closing quote
    } else {
        for (; i < exec.size() && exec[i] != u' '; ++i)
            arg.text += exec[i];
    }
    arg.text.replace(QStringLiteral("%%"), QStringLiteral("%"));
    arg.length = i;
    return arg;
}

// The lines of the [Desktop Entry] group: [first, end) line indexes.
std::pair<qsizetype, qsizetype> MainGroup(const QStringList& lines) {
    qsizetype first = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (!line.startsWith(u'[')) continue;
        if (first >= 0) return {first, i};
        if (line == QStringLiteral("[Desktop Entry]")) first = i + 1;
    }
    return first >= 0 ? std::pair{first, lines.size()} : std::pair{lines.size(), lines.size()};
}

// The raw value of key on a line of the group, if the line holds that key.
std::optional<QString> RawValue(const QString& line, const QString& key) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || line.left(eq).trimmed() != key) return std::nullopt;
    qsizetype start = eq + 1;
    while (start < line.size() && (line[start] == u' ' || line[start] == u'\t'))
        ++start;
    return line.mid(start);
}

} // namespace

QString XdgAutostartFolder(const QString& xdgConfigHome, const QString& home) {
    if (IsAbsoluteFolder(xdgConfigHome)) return xdgConfigHome + QStringLiteral("/autostart");
    if (IsAbsoluteFolder(home)) return home + QStringLiteral("/.config/autostart");
    return {};
}

QStringList XdgSystemAutostartFolders(const QString& xdgConfigDirs) {
    QStringList folders;
    for (const QString& dir : xdgConfigDirs.split(u':', Qt::SkipEmptyParts))
        if (IsAbsoluteFolder(dir)) folders.append(dir + QStringLiteral("/autostart"));
    if (folders.isEmpty()) folders.append(QStringLiteral("/etc/xdg/autostart"));
    return folders;
}

QString DesktopExecArgument(const QString& program) {
    QString arg = program;
    arg.replace(u'%', QStringLiteral("%%"));
    if (NeedsQuotes(arg)) {
        QString quoted;
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
            quoted += c;
        }
        arg = u'"' + quoted + u'"';
    }
    return EscapeString(arg);
}

QString ExecProgram(const QString& exec) {
    return SplitFirstArgument(exec).text;
}

QString AutostartDesktopEntry(const QString& program) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tirelma\n"
                          "Name[ja]=Tirelma 画面数値読み取り\n"
                          "Comment=Waits in the notification area for the Alt key\n"
                          "Comment[ja]=通知領域で Alt キーを待ちます\n"
                          "Exec=") +
           DesktopExecArgument(program) +
           QStringLiteral("\n"
                          "Icon=tirelma\n"
                          "Terminal=false\n"
                          "StartupNotify=false\n"
                          "NoDisplay=true\n"
                          "X-GNOME-Autostart-enabled=true\n");
}

QString DesktopEntryValue(const QString& entry, const QString& key) {
    const QStringList lines = entry.split(u'\n');
    const auto [first, end] = MainGroup(lines);
    for (qsizetype i = first; i < end; ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (const auto raw = RawValue(line, key)) return UnescapeString(*raw);
    }
    return {};
}

QString DesktopEntryWithProgram(const QString& entry, const QString& program) {
    QStringList lines = entry.split(u'\n');
    const auto [first, end] = MainGroup(lines);
    for (qsizetype i = first; i < end; ++i) {
        QString line = lines[i];
        const bool cr = line.endsWith(u'\r');
        if (cr) line.chop(1);
        const auto raw = RawValue(line, QStringLiteral("Exec"));
        if (!raw) continue;
        const QString exec = UnescapeString(*raw);
        const QString rest = exec.mid(SplitFirstArgument(exec).length);
        lines[i] = QStringLiteral("Exec=") + DesktopExecArgument(program) + EscapeString(rest) +
                   (cr ? QStringLiteral("\r") : QString());
        return lines.join(u'\n');
    }
    return entry;
}

AutostartState DesktopEntryState(const QString& entry) {
    if (DesktopEntryValue(entry, QStringLiteral("Hidden")) == QStringLiteral("true"))
        return AutostartState::Off;
    if (DesktopEntryValue(entry, QStringLiteral("X-GNOME-Autostart-enabled")) ==
        QStringLiteral("false"))
        return AutostartState::DisabledBySystem;
    return AutostartState::On;
}

QString RunCommand(const QString& program) {
    return u'"' + program + u'"';
}

QString RunCommandProgram(const QString& command) {
    const QString c = command.trimmed();
    if (c.startsWith(u'"')) {
        const qsizetype close = c.indexOf(u'"', 1);
        return close < 0 ? c.mid(1) : c.mid(1, close - 1);
    }
    const qsizetype exe = c.indexOf(QStringLiteral(".exe"), 0, Qt::CaseInsensitive);
    if (exe >= 0) return c.left(exe + 4);
    const qsizetype space = c.indexOf(u' ');
    return space < 0 ? c : c.left(space);
}

bool StartupApprovedDisables(const QByteArray& record) {
    return !record.isEmpty() && (static_cast<unsigned char>(record[0]) & 1) != 0;
}

bool SameProgram(const QString& a, const QString& b, Qt::CaseSensitivity cs) {
    return QDir::cleanPath(QDir::fromNativeSeparators(a))
               .compare(QDir::cleanPath(QDir::fromNativeSeparators(b)), cs) == 0;
}

namespace {

QString ThisProgram() {
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

} // namespace

AutostartState ThisProgramAutostart() {
    return ReadAutostart(SystemAutostartPlaces(), ThisProgram());
}

bool SetThisProgramAutostart(bool on) {
    return WriteAutostart(SystemAutostartPlaces(), ThisProgram(), on);
}

void MendThisProgramAutostart() {
    MendAutostart(SystemAutostartPlaces(), ThisProgram());
}

} // namespace platform
