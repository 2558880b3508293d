// The user's own command after a write: the command line split into the
// program and its arguments as the user typed them (no shell ever sees
// it), the reading handed over in environment variables, and the words
// for a command that could not run or failed.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace mainwin {

struct CommandLine {
    QString program;
    QStringList arguments;
    QString problem; // why the text is no command; empty when it is one
};

// Blanks separate the words; "..." and '...' keep blanks within a word and
// are removed; a backslash before a double quote gives the quote itself;
// every other backslash stays (C:\Tools\x.exe). Adjacent parts make one
// word: --data="a b" is --data=a b.
CommandLine SplitCommand(const QString& text);

// What the command finds in its environment: TIRELMA_ANSWER (as written,
// the user's edits included), TIRELMA_LINE (the whole line as written),
// TIRELMA_FIELD_COUNT and TIRELMA_FIELD_1 … (the answer's cells, as the
// clipboard has them).
std::vector<std::pair<QString, QString>>
CommandVariables(const QString& answer, const QString& line, const QStringList& cells);

// How long a command may run before it is ended.
constexpr int kCommandSeconds = 10;

// What the user hears when the command did not do its work: it could not
// be started, it was ended after kCommandSeconds, it crashed, or it ended
// with a status other than 0 (with the last line it wrote to its error
// output, where there is one). Empty when it ended well.
enum class CommandEnd { Finished, NotStarted, TimedOut, Crashed };
QString CommandMessage(const QString& program, CommandEnd end, int exitCode,
                       const QString& errorOutput);

} // namespace mainwin
