#include "ResultOutput.h"

#include "FileIo.h"
#include "TextCodec.h"

namespace mainwin {

ResultWrite AppendResultLine(const std::u16string& line, const std::u16string& file,
                             const std::u16string& fallback) {
    // The result file is in the Japanese code page, as the programs that read
    // it expect. A wave dash typed on another system goes in as the ～ users
    // mean; a character the code page cannot hold at all is not replaced by
    // '?' behind the user's back.
    const auto bytes = settings::EncodeCp932Text(line);
    if (!bytes) return {ResultStatus::NotEncodable, file};
    const std::string record = *bytes + "\r\n";
    auto status = settings::AppendToFile(settings::PathFromText(file), record);
    if (status == settings::AppendStatus::Ok) return {ResultStatus::Written, file};
    if (status == settings::AppendStatus::MissingFolder) {
        status = settings::AppendToFile(settings::PathFromText(fallback), record);
        return {status == settings::AppendStatus::Ok ? ResultStatus::Written : ResultStatus::Failed,
                fallback};
    }
    return {ResultStatus::Failed, file};
}

} // namespace mainwin
