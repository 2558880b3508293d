// The result file: where a stored file name lies, and the bytes one result
// line adds to a file as it stands.
//
// Paths. The stored name is a path as the user typed or chose it, usually a
// Windows one. A relative name lies in the profile's folder (beside the
// program for a portable copy, as on Windows, and never in whatever folder
// the program happened to be started from). On a system without drive
// letters a Windows path (C:\..., \\server\share\..., \data\...) names a
// folder that does not exist there; a relative name written with
// backslashes (results\r.txt) names the same place below the profile's
// folder as on Windows.
//
// Encodings. A line is appended in the file's own encoding, so that one file
// never mixes two: UTF-8 after a UTF-8 byte-order mark, UTF-16 little-endian
// after its mark (Excel's and Notepad's "Unicode"), CP932 otherwise and for a
// new or empty file, as Windows programs expect it. A file without a mark
// whose text is UTF-8 already takes only lines of ASCII, which read the same
// in both: a line in CP932 would mix two encodings, and one in UTF-8 could
// make a CP932 file look like UTF-8 (CP932 text can happen to be valid
// UTF-8), so that the next line would mix them. A file that cannot take a
// line faithfully is refused and left as it is: UTF-16 big-endian, UTF-32,
// UTF-16 with a byte left over, a file without a mark that holds NUL bytes
// (UTF-16 without its mark, or not text at all).
#pragma once

#include "TextCodec.h"

#include <string>
#include <string_view>

namespace settings {

enum class PathStyle { Windows, Posix };

// The style of the system the program runs on.
PathStyle NativePathStyle();

struct ResultFilePath {
    std::u16string path;  // where the file lies on this system (empty when foreign)
    bool foreign = false; // a Windows path on a system without drives: its folder is not here
};

// Where the stored name lies, for a profile in profileDir (which ends with
// its separator). An empty name stays empty.
ResultFilePath ResolveResultFile(std::u16string_view name, std::u16string_view profileDir,
                                 PathStyle style);

// The folder part of a path as the user wrote it (up to its last separator,
// without it), for messages.
std::u16string FolderOf(std::u16string_view path);

enum class ResultEncoding {
    Cp932,
    Utf8Bom,    // after a UTF-8 byte-order mark
    Utf16Le,    // after a UTF-16 little-endian byte-order mark
    Utf8NoMark, // UTF-8 text without a mark: lines of ASCII only
    Unsupported // refused: see above
};

// The encoding a file with this content takes lines in.
ResultEncoding ResultFileEncoding(std::string_view content);

// A name for the encoding, as users know it from their editors.
std::u16string EncodingName(ResultEncoding encoding);

struct ResultLine {
    enum class Status {
        Ok,
        NotEncodable, // the line holds a character the file's encoding lacks (for a
                      // UTF-8 file without its mark: any beyond ASCII), or a NUL
        Unsupported,  // the file cannot take a line faithfully
    };
    Status status = Status::Unsupported;
    ResultEncoding encoding = ResultEncoding::Unsupported;
    std::string bytes; // to append: a line break first where the file lacks one, the line, CR LF
};

// What appending line (a line of text, without its line break) to a file with
// this content adds. When the file's last line has no line break (cut short
// by a crash, edited by hand), one goes first, so that lines never run
// together. A CP932 line takes the characters that input methods give in
// their Unicode form as the CP932 characters users mean (EncodeCp932Text).
ResultLine ComposeResultLine(std::string_view content, std::u16string_view line);

// The text of a whole result file in its encoding (without the mark), for
// checks; a file without a mark reads as CP932 unless it is UTF-8 text, an
// Unsupported one as CP932.
std::u16string ResultFileText(std::string_view content);

} // namespace settings
