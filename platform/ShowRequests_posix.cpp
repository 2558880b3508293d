#include "ShowRequests.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform {

namespace {

constexpr char kShow[] = "show\n";
constexpr char kWrite[] = "write\n";
constexpr char kAnswer[] = "ok\n";

// In the user's own runtime folder where there is one (no other user can
// even see it), else in the temporary folder with the socket closed to
// others.
QByteArray SocketPath(const QString& key) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString dir =
        !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
    return QFile::encodeName(QDir(dir).filePath(QStringLiteral("tirelma-%1.socket").arg(key)));
}

bool Address(const QByteArray& path, sockaddr_un& a) {
    std::memset(&a, 0, sizeof a);
    a.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof a.sun_path)) return false;
    std::memcpy(a.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

// Reads until the text is complete or the peer stops, for up to the time.
QByteArray ReadLine(int fd, int milliseconds) {
    QByteArray got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!got.endsWith('\n') && got.size() < 64) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<qsizetype>(n));
    }
    return got;
}

void WriteAll(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::send(fd, text, left, MSG_NOSIGNAL);
        if (n <= 0) return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

// Requests are taken and answered on a thread of their own: the asking copy
// has its answer at once even while this copy's event loop is held up (a
// compositor or a D-Bus service slow to answer, a long reading), and a peer
// that sends nothing keeps no window waiting. What was asked runs on the
// event loop.
class PosixShowListener : public ShowListener {
public:
    PosixShowListener(int fd, int wake[2], QByteArray path, std::function<void(Request)> onRequest)
        : fd_(fd), wakeRead_(wake[0]), wakeWrite_(wake[1]), path_(std::move(path)),
          onRequest_(std::move(onRequest)) {
        thread_ = std::thread([this] { serve(); });
    }
    ~PosixShowListener() override {
        const char stop = 0;
        while (::write(wakeWrite_, &stop, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
        ::close(fd_);
        ::close(wakeRead_);
        ::close(wakeWrite_);
        ::unlink(path_.constData());
    }

private:
    void serve() {
        for (;;) {
            pollfd p[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
            if (::poll(p, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (p[1].revents) return;
            if (p[0].revents) take();
        }
    }

    void take() {
        const int peer = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0) return;
        // A request is one short line, sent at once; a peer that sends
        // nothing is not waited for long.
        const QByteArray line = ReadLine(peer, 1000);
        const bool show = line == kShow, write = line == kWrite;
        if (show || write) WriteAll(peer, kAnswer);
        ::close(peer);
        // After the answer: the main window waits in a loop of its own.
        if (show || write) {
            const Request request = show ? Request::Show : Request::Write;
            QMetaObject::invokeMethod(
                &context_, [onRequest = onRequest_, request] { onRequest(request); },
                Qt::QueuedConnection);
        }
    }

    int fd_, wakeRead_, wakeWrite_;
    QByteArray path_;
    std::function<void(Request)> onRequest_;
    QObject context_; // of the thread that listens: the event loop's
    std::thread thread_;
};

} // namespace

std::unique_ptr<ShowListener> ListenForShowRequests(const QString& key,
                                                    std::function<void(Request)> onRequest) {
    const QByteArray path = SocketPath(key);
    sockaddr_un a;
    if (!Address(path, a)) return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return nullptr;
    // Only the copy holding the one-copy lock listens: a socket left by a
    // copy that crashed is its own to replace.
    ::unlink(path.constData());
    const mode_t before = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::umask(before);
    int wake[2];
    if (!bound || ::listen(fd, 8) != 0 || ::pipe2(wake, O_CLOEXEC) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixShowListener>(fd, wake, path, std::move(onRequest));
}

bool AskToShow(const QString& key, Request request, int waitMilliseconds) {
    sockaddr_un a;
    if (!Address(SocketPath(key), a)) return false;
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
            WriteAll(fd, request == Request::Write ? kWrite : kShow);
            const bool taken = ReadLine(fd, 5000) == kAnswer;
            ::close(fd);
            return taken;
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace platform
