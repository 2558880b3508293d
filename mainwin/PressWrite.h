// Writing a press as "書き込み(&W)" writes it: the line of the answer and
// the comment with the optional columns, appended to the result file (or
// its fallback) in the file's own encoding, and what to tell the user of
// it. The main window and the quick key of the tray write through here, so
// that both write the very same line.
#pragma once

#include "MainSettings.h"
#include "PressSetup.h"
#include "ResultOutput.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace mainwin {

struct PressWrite {
    engine::ResultWrite result;
    std::u16string line; // as written
    QString message; // what the user is to hear: where it went instead, or why it was not written

    bool written() const {
        return result.status == engine::ResultStatus::Written ||
               result.status == engine::ResultStatus::WrittenToFallback;
    }
};

// Appends the line of answer and comment (readings name the header's
// columns) for the output settings, at the local time now.
PressWrite WritePress(const std::u16string& answer, const std::u16string& comment,
                      const std::vector<engine::Reading>& readings, const engine::PressSetup& press,
                      const OutputSettings& output, const std::u16string& profileDir,
                      const QDateTime& now = QDateTime::currentDateTime());

// The answer as written, cut into the cells of its fields: a press with
// fields at the area's delimiter, one reading alone as one cell (its own
// delimiters kept: splitting one reading would surprise).
QStringList AnswerCells(const std::u16string& answer, const std::vector<engine::Reading>& readings);

// What a write puts on the clipboard where the output settings ask for it
// (empty: nothing). The answer as written; a press with fields gives one
// row with a tab where the area's delimiter stands between the fields, so
// that a spreadsheet takes them as cells. Or the whole line as written.
QString ClipboardText(const OutputSettings& output, const std::u16string& answer,
                      const std::vector<engine::Reading>& readings, const PressWrite& written);

// A line written, as what follows the write needs it (the tray's
// message, the typing into the user's window, the user's command).
struct WrittenLine {
    OutputSettings output;
    QString answer; // as written
    QString line;   // the whole line as written
    QStringList cells;
};
WrittenLine Written(const OutputSettings& output, const std::u16string& answer,
                    const std::vector<engine::Reading>& readings, const PressWrite& written);

// The message for a write that went elsewhere or did not happen; empty for
// one that went where the user looks for it.
QString ResultMessage(const engine::ResultWrite& result);

} // namespace mainwin
