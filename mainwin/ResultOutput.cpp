#include "ResultOutput.h"

#include "FileIo.h"
#include "TextCodec.h"

#include <optional>

namespace mainwin {

namespace {

// Appends record to path, the header first where the file has nothing yet.
settings::AppendStatus Append(const std::u16string& path, const std::string& record,
                              const std::optional<std::string>& header) {
    const auto p = settings::PathFromText(path);
    if (header && settings::StampOf(p).size == 0)
        return settings::AppendToFile(p, *header + "\r\n" + record);
    return settings::AppendToFile(p, record);
}

} // namespace

ResultWrite AppendResultLine(const std::u16string& line, const std::u16string& file,
                             const std::u16string& fallback, const std::u16string& header) {
    // The result file is in the Japanese code page, as the programs that read
    // it expect. A wave dash typed on another system goes in as the ～ users
    // mean; a character the code page cannot hold at all is not replaced by
    // '?' behind the user's back.
    const auto bytes = settings::EncodeCp932Text(line);
    if (!bytes) return {ResultStatus::NotEncodable, file};
    std::optional<std::string> head;
    if (!header.empty()) {
        head = settings::EncodeCp932Text(header);
        if (!head) return {ResultStatus::NotEncodable, file};
    }
    const std::string record = *bytes + "\r\n";
    auto status = Append(file, record, head);
    if (status == settings::AppendStatus::Ok) return {ResultStatus::Written, file};
    if (status == settings::AppendStatus::MissingFolder) {
        status = Append(fallback, record, head);
        return {status == settings::AppendStatus::Ok ? ResultStatus::Written : ResultStatus::Failed,
                fallback};
    }
    return {ResultStatus::Failed, file};
}

} // namespace mainwin
