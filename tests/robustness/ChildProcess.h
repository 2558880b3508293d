// Running a piece of a test in a child process (POSIX): to kill it at a
// random moment, to give it other privileges, limits or a mount namespace of
// its own without touching the test process.
#pragma once

#ifndef _WIN32

#include <csignal>
#include <functional>
#include <string>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace child {

// Problems found inside a child, reported to the parent as text.
class Findings {
public:
    void check(bool ok, const char* file, int line, const char* what) {
        if (!ok) text_ += std::string(file) + ":" + std::to_string(line) + ": " + what + "\n";
    }
    void skip(const std::string& why) { text_ += "SKIP: " + why + "\n"; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

#define CHILD_CHECK(findings, cond) (findings).check((cond), __FILE__, __LINE__, #cond)

// Runs body in a child and returns what it found; a child that dies, hangs
// past the time limit or exits otherwise is a finding too.
inline std::string Run(const std::function<void(Findings&)>& body, int timeLimitSeconds = 30) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed\n";
    const pid_t pid = ::fork();
    if (pid < 0) return "fork failed\n";
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(static_cast<unsigned>(timeLimitSeconds));
        Findings f;
        body(f);
        const std::string& t = f.text();
        std::size_t done = 0;
        while (done < t.size()) {
            const ssize_t n = ::write(fds[1], t.data() + done, t.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        out += "child died with signal " + std::to_string(WTERMSIG(status)) +
               (WTERMSIG(status) == SIGALRM ? " (it hung)" : "") + "\n";
    else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        out += "child exited with " + std::to_string(WEXITSTATUS(status)) + "\n";
    return out;
}

// A child that does step(0), step(1), ... and reports each finished step
// with one byte on a pipe, until it is killed. The constructor returns once
// the child runs.
class Worker {
public:
    explicit Worker(const std::function<void(int)>& step) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const char ready = 0;
            if (::write(fds[1], &ready, 1) != 1) ::_exit(1);
            for (int i = 0;; ++i) {
                step(i);
                const char done = 1;
                if (::write(fds[1], &done, 1) != 1) ::_exit(1);
            }
        }
        ::close(fds[1]);
        fd_ = fds[0];
        // Wait until the child runs, so that a pause before the kill is
        // spent in its steps and not in starting it.
        char ready = 1;
        if (pid_ > 0 && ::read(fd_, &ready, 1) != 1) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() { killNow(); }

    bool started() const { return pid_ > 0 && fd_ >= 0; }

    // Kills the child with SIGKILL and returns the number of steps it had
    // reported as finished.
    int killNow() {
        if (pid_ <= 0) return finished_;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        char buf[256];
        for (;;) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            finished_ += static_cast<int>(n);
        }
        ::close(fd_);
        fd_ = -1;
        return finished_;
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    int finished_ = 0;
};

} // namespace child

#endif
