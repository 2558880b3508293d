#include "FileIo.h"
#include "TextCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace settings {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::filesystem::path ResolveLink(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::canonical(path, ec);
        if (!ec) return target;
    }
    return path;
}

bool FolderExists(const std::filesystem::path& file) {
    std::error_code ec;
    const auto parent = file.parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

} // namespace

FileStamp StampOf(const std::filesystem::path& path) {
    struct stat st {};
    FileStamp s;
    if (::stat(path.c_str(), &st) != 0) return s;
    s.exists = true;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, bool& exists) {
    exists = false;
    // Non-blocking, so that a named pipe put in the file's place cannot hang
    // the program; only regular files are read.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::string();
        exists = true;
        return std::nullopt;
    }
    exists = true;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const auto target = ResolveLink(path);
    if (!FolderExists(target)) return false;

    mode_t mode = 0666;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        // A file without any write permission is read-only, also for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
        if (::access(target.c_str(), W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const auto folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::string tmpl = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0) return false;
    bool ok = WriteAll(fd.get(), bytes) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0;
    ok = (::close(fd.release()) == 0) && ok;
    if (ok) ok = ::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    return ok;
}

namespace {

// The first size bytes of the file, as far as they can be read (a file the
// user may write but not read gives nothing).
std::string ContentOf(const std::filesystem::path& path, off_t size) {
    std::string out;
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || size <= 0) return out;
    out.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            ::pread(fd.get(), out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return out;
}

} // namespace

AppendStatus AppendToFile(const std::filesystem::path& path, const AppendComposer& compose) {
    if (!FolderExists(path)) return AppendStatus::MissingFolder;
    // A new file is made only for something to put in it.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0 && errno == ENOENT && !compose(std::string_view()))
        return AppendStatus::Refused;
    // Non-blocking, so that a named pipe in the file's place fails at once
    // instead of waiting for a reader.
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (fd.get() < 0) return errno == ENOENT ? AppendStatus::MissingFolder : AppendStatus::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return AppendStatus::Failed;
    // A file without any write permission is read-only, also for root (as
    // for the profile, and as the read-only attribute is on Windows).
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return AppendStatus::Failed;
    const auto bytes = compose(ContentOf(path, st.st_size));
    if (!bytes) return AppendStatus::Refused;
    // One write call: a line is never interleaved with another writer's.
    const ssize_t n = ::write(fd.get(), bytes->data(), bytes->size());
    if (n != static_cast<ssize_t>(bytes->size())) {
        if (n > 0) { // take back a partial line
            [[maybe_unused]] const int undone = ::ftruncate(fd.get(), st.st_size);
        }
        return AppendStatus::Failed;
    }
    return ::close(fd.release()) == 0 ? AppendStatus::Ok : AppendStatus::Failed;
}

std::filesystem::path ExecutableDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(Utf16ToUtf8(text).value_or(std::string()));
}

std::u16string TextFromPath(const std::filesystem::path& path) {
    return Utf8ToUtf16(path.native());
}

} // namespace settings
