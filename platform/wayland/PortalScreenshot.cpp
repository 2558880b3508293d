#include "PortalScreenshot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace platform::wayland {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Screenshot");

// The user may be reading the desktop's question about the permission.
constexpr int kAnswerMilliseconds = 120000;

} // namespace

bool PortalScreenshot::Offered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    // Asking starts the portal where the bus can start it. The program keeps
    // answering on the bus meanwhile: the portal, starting, may wait for
    // other programs on it (the accessibility bus asking every program,
    // this one included).
    // A portal started by this very call may take a while (D-Bus's own
    // limit is 25 s); a desktop session starts it at login.
    const QDBusReply<QVariant> version = bus.call(get, QDBus::BlockWithGui, 25000);
    return version.isValid();
}

QString PortalRefusal(uint response, const QString& missingPictures) {
    switch (response) {
    case 0:
        return {};
    case 1:
        if (!missingPictures.isEmpty())
            return QStringLiteral("KDE のポータルは、撮った画面をいったん「ピクチャ」フォルダ (%1) "
                                  "に保存します"
                                  "が、このフォルダがないため読み取りが取り消されました。フォルダを"
                                  "作ると読み取"
                                  "れます。パッケージからインストールした Tirelma は、KWin "
                                  "から直接読み取ります"
                                  " (ヘルプの「Wayland」の項)。")
                .arg(QDir::toNativeSeparators(missingPictures));
        return QStringLiteral("画面の読み取りが取り消されました。");
    default:
        return QStringLiteral(
            "デスクトップが画面の読み取りを断りました "
            "(許可されていないか、読み取りに失敗しました)。"
            "GNOME では、一度「許可しない」を選ぶと以後も断られます。ヘルプの「Wayland」の項を"
            "ご覧ください。");
    }
}

QString KdePicturesFolderMissing() {
    if (!qEnvironmentVariable("XDG_CURRENT_DESKTOP")
             .split(QLatin1Char(':'))
             .contains(QStringLiteral("KDE")))
        return {};
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() || QFileInfo(pictures).isDir() ? QString() : pictures;
}

QImage PortalScreenshot::take(QString& why) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        why = QStringLiteral("セッションの D-Bus がないため、デスクトップのポータルを使えません。");
        return {};
    }
    static int count = 0;
    const QString token = QStringLiteral("tirelma%1").arg(++count);
    // The portal answers on a request object whose path it derives from our
    // name on the bus and the token: listen there before asking.
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString request =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    answered_ = false;
    response_ = 2;
    results_.clear();
    const auto listen = [&](const QString& path, bool on) {
        if (on)
            return bus.connect(kService, path, QStringLiteral("org.freedesktop.portal.Request"),
                               QStringLiteral("Response"), this,
                               SLOT(onResponse(uint, QVariantMap)));
        return bus.disconnect(kService, path, QStringLiteral("org.freedesktop.portal.Request"),
                              QStringLiteral("Response"), this,
                              SLOT(onResponse(uint, QVariantMap)));
    };
    listen(request, true);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Screenshot"));
    call << QString() // no parent window
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false},
                        {QStringLiteral("modal"), false}};
    const QDBusMessage reply = bus.call(call, QDBus::BlockWithGui, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        listen(request, false);
        why = QStringLiteral("デスクトップのポータルが画面の読み取りに応じません (%1)。")
                  .arg(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
        return {};
    }
    // An older portal may name another request object.
    const QString handle = reply.arguments().front().value<QDBusObjectPath>().path();
    if (!handle.isEmpty() && handle != request) {
        listen(request, false);
        listen(handle, true);
    }
    if (!answered_) {
        QEventLoop wait;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
        connect(this, &PortalScreenshot::answered, &wait, &QEventLoop::quit);
        timeout.start(kAnswerMilliseconds);
        // The program's own windows wait meanwhile; the desktop's question
        // about the permission belongs to another process.
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    listen(handle.isEmpty() ? request : handle, false);
    if (!answered_) {
        why = QStringLiteral("デスクトップのポータルが画面の読み取りに答えません。");
        return {};
    }
    if (const QString refused =
            PortalRefusal(response_, response_ == 1 ? KdePicturesFolderMissing() : QString());
        !refused.isEmpty()) {
        why = refused;
        return {};
    }
    const QUrl uri(results_.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile()) {
        why = QStringLiteral("デスクトップのポータルが画面の画像を渡しませんでした。");
        return {};
    }
    const QString file = uri.toLocalFile();
    QImage picture(file);
    // The picture was made for this request alone: it must not pile up in
    // the user's folders, one per reading.
    QFile::remove(file);
    if (picture.isNull())
        why = QStringLiteral("デスクトップのポータルが渡した画像「%1」を読めません。").arg(file);
    return picture;
}

void PortalScreenshot::onResponse(uint response, const QVariantMap& results) {
    answered_ = true;
    response_ = response;
    results_ = results;
    emit answered();
}

} // namespace platform::wayland
