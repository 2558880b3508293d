// One profile file as the program's windows and the reader work with it:
// the FUMIni services IniRead, IniWrite and IniDir on that file, made by
// each program for the file it uses (app/ for the resident program, tools/
// for the reader, a test for its own folder) and passed to what needs it.
//
// Every call goes to the file (settings::ProfileFile): a value written by
// one window, or changed by hand in an editor, is seen by the next read. A
// write the file refuses leaves it as it was and is told to the failure
// handler, once per refused call.
#pragma once

#include "FileIo.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"
#include "ProfileLayout.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// A write the profile file refused.
struct WriteFailure {
    settings::WriteStatus status;
    std::u16string section, key, value;
};

class ProfileStore {
public:
    // The profile file at path (folder and name).
    explicit ProfileStore(std::filesystem::path path);

    // The program's own profile: Kavoren.ini beside the program or in the
    // user's configuration folder, as settings::ProfileFolder() decides.
    static std::filesystem::path DefaultPath();

    const std::filesystem::path& path() const { return file_.path(); }

    // The value under section/key, or the empty text when the file, the
    // section or the key is missing.
    std::u16string IniRead(std::u16string_view section, std::u16string_view key);

    // Stores value under section/key; nonzero on success.
    std::int32_t IniWrite(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value);

    // Stores every write in order in one replacement of the file (see
    // settings::ProfileFile::writeAll): all of them, or none when one is
    // refused. Nonzero on success.
    std::int32_t IniWriteAll(const std::vector<settings::KeyWrite>& writes);
    // The same for a caller that tells the user itself why nothing was
    // stored: the refusal comes back (nothing when all was stored) and the
    // failure handler hears nothing of it.
    std::optional<WriteFailure> IniWriteAllOrRefusal(const std::vector<settings::KeyWrite>& writes);

    // Whether the file has the section at all.
    bool IniHasSection(std::u16string_view section);

    // Folder of the profile file, ending in exactly one separator. The
    // default result files go there too.
    std::u16string IniDir() const;

    // The file as a source to read from (ProfileLayout.h), while this lives.
    profile::Reader reader();
    profile::Source source();

    // Called once for every write the file refused; an empty function
    // hears nothing.
    void setWriteFailureHandler(std::function<void(const WriteFailure&)> handler) {
        failureHandler_ = std::move(handler);
    }

private:
    void refused(settings::WriteStatus status, const settings::KeyWrite& write);

    settings::ProfileFile file_;
    std::function<void(const WriteFailure&)> failureHandler_;
};

} // namespace store
