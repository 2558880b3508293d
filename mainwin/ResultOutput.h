// Appending one result line to the result file.
#pragma once

#include <filesystem>
#include <string>

namespace mainwin {

enum class ResultStatus {
    Written,      // the line is in the file
    NotEncodable, // the line holds characters the result file's encoding lacks
    Failed,       // neither the file nor the fallback could be written
};

struct ResultWrite {
    ResultStatus status = ResultStatus::Failed;
    std::u16string file; // where the line went, or was meant to go
};

// Appends line and CR LF to file in CP932 (settings::EncodeCp932Text),
// creating the file. A file in a
// folder that does not exist gives way to fallback (the line as it is).
// Nothing is written when the line cannot be encoded. A header, when given,
// goes first into a file that is created or empty (with the line, in one
// write).
ResultWrite AppendResultLine(const std::u16string& line, const std::u16string& file,
                             const std::u16string& fallback, const std::u16string& header = {});

} // namespace mainwin
