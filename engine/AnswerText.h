// Operations on the answer text and the result line.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// Snaps every number of the answer to the nearest multiple of step: the
// answer is split at each kugiri (an empty kugiri keeps it whole; an empty
// piece counts as 0), each piece becomes step * RoundOff(value / step), and
// the numbers are joined with kugiri again. A step of 0 or an empty answer
// leaves the answer as it is; so does a piece whose result is not a finite
// number (it keeps its text).
std::u16string SnapToStep(std::u16string_view answer, std::u16string_view kugiri, double step);

// Every character of text equal to a one-character delimiter becomes ",";
// any other delimiter (empty, two characters or more) changes nothing.
std::u16string KugiriChg(std::u16string_view text, std::u16string_view kugiri);

// One result line, without its line break: comment, delimiter, answer when
// the comment goes before, otherwise answer, delimiter, comment; in CSV mode
// passed through KugiriChg.
std::u16string AssembleResultLine(std::u16string_view answer, std::u16string_view comment,
                                  std::u16string_view kugiri, bool commentBefore, bool csv);

// The result file when none is set: Kavoren.csv or Kavoren.txt in the
// program's folder (which ends with its separator).
std::u16string DefaultResultFile(std::u16string_view programDir, bool csv);

// Where the line goes when the result file's folder does not exist.
std::u16string FallbackResultFile(std::u16string_view programDir);

} // namespace engine
