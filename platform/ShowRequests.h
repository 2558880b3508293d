// `tirelma --show` and `tirelma --write`: a later start of the program asks
// the copy that runs already to open its main window and read, or to read
// and write at once, and ends. The running copy
// listens under a key that names the user (one copy per user): on a local
// socket of the user's own (POSIX), or on a message-only window (Windows).
#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace platform {

enum class Request {
    Show,  // open the main window and read
    Write, // read and write at once, the main window only where that cannot be
};

class ShowListener {
public:
    virtual ~ShowListener() = default;
};

// Listens for requests until the listener is gone; onRequest runs on the
// event loop, once per request, after the asking copy has had its answer.
// Null when the system refused (the program then runs without the command).
std::unique_ptr<ShowListener> ListenForShowRequests(const QString& key,
                                                    std::function<void(Request)> onRequest);

// Asks the copy listening under key; true once it has taken the request.
// Tries for up to waitMilliseconds, for a copy that is still starting.
bool AskToShow(const QString& key, Request request, int waitMilliseconds);

} // namespace platform
