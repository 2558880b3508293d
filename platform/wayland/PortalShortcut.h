// A key for "open the main window" that the desktop itself keeps: the
// desktop portal's GlobalShortcuts interface (KDE Plasma 5.27 and later).
// The program asks for the shortcut at every start; the desktop lets the
// user choose or change its key in its own settings, and tells the program
// when it is pressed. Where the portal has no such interface nothing
// happens, and `tirelma --show` bound to a key does the same.
#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace platform::wayland {

class PortalShortcut : public QObject {
    Q_OBJECT
public:
    explicit PortalShortcut(std::function<void()> onPressed);

    // Asks the portal, without waiting for it.
    void start();
    // Whether the desktop has taken the shortcut.
    bool bound() const { return bound_; }

private slots:
    void onSessionCreated(uint response, const QVariantMap& results);
    void onBound(uint response, const QVariantMap& results);
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);

private:
    // The request object the portal will answer on for token.
    QString requestPath(const QString& token) const;
    bool listen(const QString& path, const char* slot, bool on);

    std::function<void()> onPressed_;
    QString session_;
    QString pending_; // the request whose answer is awaited
    bool bound_ = false;
};

} // namespace platform::wayland
