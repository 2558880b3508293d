// Appending one result line (ResultRecord.h) to the result file: where the
// stored name lies, the fallback when its folder is not there, and what the
// file's encoding refuses.
#pragma once

#include "ResultFile.h"

#include <string>

namespace engine {

enum class ResultStatus {
    Written,           // the line is in the result file
    WrittenToFallback, // the result file's folder is not there: the line is in the fallback file
    NotEncodable,      // the line holds characters the file's encoding lacks; nothing written
    Unsupported,       // the file is in a form a line cannot be added to faithfully; untouched
    Failed,            // the file (or the fallback) could not be written
};

struct ResultWrite {
    ResultStatus status = ResultStatus::Failed;
    std::u16string file; // where the line went, or was meant to go
    std::u16string
        intended;         // the result file as the profile names it, when the line went elsewhere
    bool foreign = false; // ... because it is a Windows path on a system without drives
    settings::ResultEncoding encoding = settings::ResultEncoding::Cp932; // of file
};

// Appends line and CR LF to the result file that storedName names (a name
// relative to profileDir, which ends with its separator, lies there; an empty
// name gives Kavoren.csv or Kavoren.txt there), in the file's own encoding
// (settings::ComposeResultLine). A file whose folder does not exist on this
// system gives way to Kavoren.txt in profileDir. A header, when given, goes
// first into a file that has no text yet (created, empty, or a mark alone),
// in the same write and the same encoding as the line.
ResultWrite WriteResultLine(const std::u16string& line, const std::u16string& storedName, bool csv,
                            const std::u16string& profileDir, const std::u16string& header = {},
                            settings::PathStyle style = settings::NativePathStyle());

} // namespace engine
