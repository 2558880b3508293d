#include "ResultOutput.h"

#include "AnswerText.h"
#include "FileIo.h"

#include <optional>

namespace engine {

namespace {

// What appending line (after header, where the file has no text yet) to a
// file with this content adds, in the file's own encoding.
settings::ResultLine Compose(std::string_view content, const std::u16string& line,
                             const std::u16string& header) {
    if (header.empty() || !settings::ResultFileText(content).empty())
        return settings::ComposeResultLine(content, line);
    settings::ResultLine head = settings::ComposeResultLine(content, header);
    if (head.status != settings::ResultLine::Status::Ok) return head;
    std::string after(content);
    after += head.bytes;
    settings::ResultLine both = settings::ComposeResultLine(after, line);
    both.bytes.insert(0, head.bytes);
    return both;
}

ResultWrite Append(const std::u16string& line, const std::u16string& header,
                   const std::u16string& file, bool& missingFolder) {
    ResultWrite out;
    out.file = file;
    std::optional<settings::ResultLine> composed;
    const auto status =
        settings::AppendToFile(settings::PathFromText(file), [&](std::string_view content) {
            composed = Compose(content, line, header);
            return composed->status == settings::ResultLine::Status::Ok
                       ? std::optional<std::string>(composed->bytes)
                       : std::nullopt;
        });
    if (composed) out.encoding = composed->encoding;
    switch (status) {
    case settings::AppendStatus::Ok:
        out.status = ResultStatus::Written;
        break;
    case settings::AppendStatus::Refused:
        out.status = composed && composed->status == settings::ResultLine::Status::NotEncodable
                         ? ResultStatus::NotEncodable
                         : ResultStatus::Unsupported;
        break;
    case settings::AppendStatus::MissingFolder:
        missingFolder = true;
        out.status = ResultStatus::Failed;
        break;
    case settings::AppendStatus::Failed:
        out.status = ResultStatus::Failed;
        break;
    }
    return out;
}

} // namespace

ResultWrite WriteResultLine(const std::u16string& line, const std::u16string& storedName, bool csv,
                            const std::u16string& profileDir, const std::u16string& header,
                            settings::PathStyle style) {
    const settings::ResultFilePath target =
        storedName.empty() ? settings::ResultFilePath{DefaultResultFile(profileDir, csv)}
                           : settings::ResolveResultFile(storedName, profileDir, style);
    if (!target.foreign) {
        bool missingFolder = false;
        ResultWrite written = Append(line, header, target.path, missingFolder);
        if (!missingFolder) return written;
    }
    // The folder is not there (an unplugged drive, a Windows path here): the
    // line is not lost, and the user is told where it went.
    bool fallbackMissing = false;
    ResultWrite fallback = Append(line, header, FallbackResultFile(profileDir), fallbackMissing);
    if (fallback.status == ResultStatus::Written) fallback.status = ResultStatus::WrittenToFallback;
    fallback.intended = target.foreign ? storedName : target.path;
    fallback.foreign = target.foreign;
    return fallback;
}

} // namespace engine
