// `tirelma --show` and `--write` between two copies: the request reaches the
// copy that listens, once per request, as what it asks, and is answered
// before the copy acts on it.
#include "ShowRequests.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <future>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A key of the test's own, so that runs at the same time stay apart.
QString Key() {
    static int n = 0;
    return QStringLiteral("test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++n);
}

// Asks from another thread (the listener answers on this one's event loop)
// and runs the event loop until the answer is in and the request handled.
bool AskAndServe(const QString& key, const std::atomic<int>& shown, int expected,
                 platform::Request request = platform::Request::Show) {
    auto asked = std::async(std::launch::async,
                            [key, request] { return platform::AskToShow(key, request, 500); });
    QElapsedTimer t;
    t.start();
    while (asked.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool taken = asked.get();
    // Once answered, the request is handled when the event loop runs.
    while (taken && shown.load() < expected && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return taken;
}

TEST(ShowRequests, EachRequestReachesTheRunningCopyOnceAsWhatItAsks) {
    std::atomic<int> shown = 0;
    std::vector<platform::Request> got;
    const QString key = Key();
    const auto listener = platform::ListenForShowRequests(key, [&](platform::Request r) {
        got.push_back(r);
        ++shown;
    });
    ASSERT_NE(listener, nullptr);
    EXPECT_TRUE(AskAndServe(key, shown, 1));
    EXPECT_EQ(shown.load(), 1);
    EXPECT_TRUE(AskAndServe(key, shown, 2, platform::Request::Write));
    EXPECT_EQ(shown.load(), 2);
    EXPECT_TRUE(AskAndServe(key, shown, 3));
    // Handled on the event loop, never inside the asking copy's wait.
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.load(), 3);
    EXPECT_EQ(got, (std::vector{platform::Request::Show, platform::Request::Write,
                                platform::Request::Show}));
}

TEST(ShowRequests, ACopyWhoseEventLoopIsHeldUpStillAnswersAtOnce) {
    // The running copy's event loop may wait on something (a compositor, a
    // D-Bus service): the asking copy is answered all the same, and the
    // request waits for the loop.
#ifdef _WIN32
    GTEST_SKIP() << "on Windows the request is a message to the copy's window";
#endif
    std::atomic<int> shown = 0;
    const QString key = Key();
    const auto listener =
        platform::ListenForShowRequests(key, [&shown](platform::Request) { ++shown; });
    ASSERT_NE(listener, nullptr);
    for (int round = 0; round < 3; ++round) {
        auto asked = std::async(std::launch::async, [key] {
            return platform::AskToShow(key, platform::Request::Show, 500);
        });
        // No event loop here meanwhile; the asker gives up after 5 s.
        ASSERT_EQ(asked.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        EXPECT_TRUE(asked.get()) << round;
        EXPECT_EQ(shown.load(), round) << "acted on outside the event loop";
        QElapsedTimer t;
        t.start();
        while (shown.load() < round + 1 && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(shown.load(), round + 1);
    }
}

TEST(ShowRequests, NobodyListeningIsAnAnswerToo) {
    const QString key = Key();
    EXPECT_FALSE(platform::AskToShow(key, platform::Request::Show, 100));
    // A copy that has ended listens no more.
    std::atomic<int> shown = 0;
    {
        const auto gone =
            platform::ListenForShowRequests(key, [&shown](platform::Request) { ++shown; });
        ASSERT_NE(gone, nullptr);
    }
    EXPECT_FALSE(platform::AskToShow(key, platform::Request::Show, 100));
    EXPECT_EQ(shown.load(), 0);
    // Other users' and other keys' copies are not asked.
    const auto other =
        platform::ListenForShowRequests(Key(), [&shown](platform::Request) { ++shown; });
    EXPECT_FALSE(AskAndServe(key, shown, 1));
    EXPECT_EQ(shown.load(), 0);
}

TEST(ShowRequests, ACopyStartingAfterACrashTakesTheRequests) {
    // What a crashed copy leaves behind does not keep the next one from
    // listening, nor take its requests. (On Windows a copy leaves nothing:
    // its window goes with it, and one process cannot stand for two.)
#ifdef _WIN32
    GTEST_SKIP() << "nothing outlives a copy on Windows";
#endif
    std::atomic<int> first = 0, second = 0;
    const QString key = Key();
    auto crashed = platform::ListenForShowRequests(key, [&first](platform::Request) { ++first; });
    ASSERT_NE(crashed, nullptr);
    const auto next =
        platform::ListenForShowRequests(key, [&second](platform::Request) { ++second; });
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(AskAndServe(key, second, 1));
    EXPECT_EQ(second.load(), 1);
    EXPECT_EQ(first.load(), 0);
}

} // namespace
