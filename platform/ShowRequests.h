// `tirelma --show`: a later start of the program asks the copy that runs
// already to open its main window and read, and ends. The running copy
// listens under a key that names the user (one copy per user): on a local
// socket of the user's own (POSIX), or on a message-only window (Windows).
#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace platform {

class ShowListener {
public:
    virtual ~ShowListener() = default;
};

// Listens for requests until the listener is gone; onShow runs on the
// event loop, once per request, after the asking copy has had its answer.
// Null when the system refused (the program then runs without the command).
std::unique_ptr<ShowListener> ListenForShowRequests(const QString& key,
                                                    std::function<void()> onShow);

// Asks the copy listening under key; true once it has taken the request.
// Tries for up to waitMilliseconds, for a copy that is still starting.
bool AskToShow(const QString& key, int waitMilliseconds);

} // namespace platform
