#include "PortalShortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>

namespace {

// One shortcut as the portal takes it: (sa{sv}).
struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& a, const Shortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, Shortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

} // namespace

Q_DECLARE_METATYPE(Shortcut)

namespace platform::wayland {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kShowId = QStringLiteral("show");

} // namespace

PortalShortcut::PortalShortcut(std::function<void()> onPressed) : onPressed_(std::move(onPressed)) {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
}

QString PortalShortcut::requestPath(const QString& token) const {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

bool PortalShortcut::listen(const QString& path, const char* slot, bool on) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return on ? bus.connect(kService, path, kRequest, QStringLiteral("Response"), this, slot)
              : bus.disconnect(kService, path, kRequest, QStringLiteral("Response"), this, slot);
}

void PortalShortcut::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    // Asked without waiting: the answer comes through the event loop, and a
    // portal without the interface answers with an error, which ends it.
    pending_ = requestPath(QStringLiteral("tirelma_session"));
    listen(pending_, SLOT(onSessionCreated(uint, QVariantMap)), true);
    QDBusMessage create = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                         QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), QStringLiteral("tirelma_session")},
                          {QStringLiteral("session_handle_token"), QStringLiteral("tirelma")}};
    bus.asyncCall(create);
}

void PortalShortcut::onSessionCreated(uint response, const QVariantMap& results) {
    listen(pending_, SLOT(onSessionCreated(uint, QVariantMap)), false);
    if (response != 0) return;
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                    : handle.toString();
    if (session_.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    pending_ = requestPath(QStringLiteral("tirelma_bind"));
    listen(pending_, SLOT(onBound(uint, QVariantMap)), true);
    QDBusMessage bind = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("BindShortcuts"));
    const QList<Shortcut> shortcuts{
        {kShowId,
         {{QStringLiteral("description"),
           QStringLiteral("Tirelma: 認識フォームを開いて読み取る (Alt キーの代わり)")}}}};
    bind << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(shortcuts)
         << QString()
         << QVariantMap{{QStringLiteral("handle_token"), QStringLiteral("tirelma_bind")}};
    bus.asyncCall(bind);
}

void PortalShortcut::onBound(uint response, const QVariantMap&) {
    listen(pending_, SLOT(onBound(uint, QVariantMap)), false);
    bound_ = response == 0;
}

void PortalShortcut::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                 const QVariantMap&) {
    if (session.path() == session_ && id == kShowId && onPressed_) onPressed_();
}

} // namespace platform::wayland
