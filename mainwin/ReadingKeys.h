// The keys the program listens for, as the profile keeps them: the reading
// key (Alt alone unless the user chose a combination) and the quick key,
// which reads and writes at once. A profile where nobody chose keys reads
// and stays as it always was.
#pragma once

#include "Platform.h"
#include "ProfileDocument.h"
#include "ProfileLayout.h"

#include <QKeyCombination>
#include <QString>

#include <functional>
#include <vector>

namespace mainwin {

struct ReadingKeys {
    QKeyCombination read = Qt::Key_unknown;  // Qt::Key_unknown: Alt alone
    QKeyCombination quick = Qt::Key_unknown; // Qt::Key_unknown: none

    bool altAlone() const { return read.key() == Qt::Key_unknown; }
    bool hasQuick() const { return quick.key() != Qt::Key_unknown; }
    bool operator==(const ReadingKeys&) const = default;
};

// The keys the profile names; a text that names no usable combination reads
// as none (Alt alone, no quick key).
ReadingKeys StoredKeys(const profile::Reader& read);

// The writes that store keys: only where they differ from what is stored.
std::vector<settings::KeyWrite> KeyWrites(const ReadingKeys& keys, const profile::Reader& read);

// Whether a combination can serve as a global key: one key besides the
// modifiers, and Ctrl, Alt or the Windows key with it unless it is a
// function key (a letter alone, or with Shift, is typing).
bool UsableKey(QKeyCombination key);

// The key as the user reads it ("Ctrl+Shift+F9").
QString KeyName(QKeyCombination key);

// Takes the keys for the program (the resident part does): empty when they
// are its now, else what to tell the user (the keys in use then stay).
using KeyApplier = std::function<QString(const ReadingKeys&)>;

// What to tell when a combination cannot be taken (Platform::Hotkey).
QString HotkeyProblem(platform::Platform::Hotkey why, QKeyCombination key);

// The icon's tip: how to read, and the quick key where there is one.
QString TrayTip(const ReadingKeys& keys);

} // namespace mainwin
