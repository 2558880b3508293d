#include "ReadingKeys.h"

#include <QKeySequence>

namespace mainwin {

namespace {

QKeyCombination Parse(const std::u16string& text) {
    if (text.empty() || text == u"Alt") return Qt::Key_unknown;
    const QKeySequence seq =
        QKeySequence::fromString(QString::fromStdU16String(text), QKeySequence::PortableText);
    if (seq.count() != 1 || !UsableKey(seq[0])) return Qt::Key_unknown;
    return seq[0];
}

std::u16string Stored(QKeyCombination key, bool read) {
    if (key.key() == Qt::Key_unknown) return read ? u"Alt" : u"";
    return QKeySequence(key).toString(QKeySequence::PortableText).toStdU16String();
}

} // namespace

ReadingKeys StoredKeys(const profile::Reader& read) {
    return {Parse(read(profile::kEndData, profile::kReadKey)),
            Parse(read(profile::kEndData, profile::kQuickKey))};
}

std::vector<settings::KeyWrite> KeyWrites(const ReadingKeys& keys, const profile::Reader& read) {
    std::vector<settings::KeyWrite> writes;
    const ReadingKeys stored = StoredKeys(read);
    const auto key = [&](std::u16string_view name, QKeyCombination now, QKeyCombination before,
                         bool isRead) {
        if (now == before) return;
        writes.push_back(
            {std::u16string(profile::kEndData), std::u16string(name), Stored(now, isRead)});
    };
    key(profile::kReadKey, keys.read, stored.read, true);
    key(profile::kQuickKey, keys.quick, stored.quick, false);
    return writes;
}

bool UsableKey(QKeyCombination key) {
    const Qt::Key k = key.key();
    switch (k) {
    case Qt::Key_unknown:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return false;
    default:
        break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return true;
    return (key.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) !=
           Qt::NoModifier;
}

QString KeyName(QKeyCombination key) {
    if (key.key() == Qt::Key_unknown) return QStringLiteral("Alt");
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

QString HotkeyProblem(platform::Platform::Hotkey why, QKeyCombination key) {
    using H = platform::Platform::Hotkey;
    switch (why) {
    case H::Taken:
        return {};
    case H::InUse:
        return QStringLiteral("「%1」はほかのプログラムが使っているため使えません。"
                              "別のキーを選んでください。")
            .arg(KeyName(key));
    case H::Unusable:
        return QStringLiteral("「%1」はこのシステムではキーとして登録できません。"
                              "別のキーを選んでください。")
            .arg(KeyName(key));
    case H::Unsupported:
        break;
    }
    return QStringLiteral(
        "このデスクトップでは、プログラムが自分でキーを登録できません。デスクトップの設定で、"
        "キーに「tirelma --show」(読み取り) や「tirelma --write」(すぐ書き込み) を割り当てて"
        "ください。");
}

QString TrayTip(const ReadingKeys& keys) {
    QString tip = QStringLiteral("Tirelma %1キーで実行").arg(KeyName(keys.read));
    if (keys.hasQuick()) tip += QStringLiteral("、%1キーで書き込み").arg(KeyName(keys.quick));
    return tip;
}

} // namespace mainwin
