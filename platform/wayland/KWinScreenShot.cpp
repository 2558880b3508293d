#include "KWinScreenShot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace platform::wayland {

namespace {

const QString kService = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString kPath = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString kNotAuthorized = QStringLiteral("org.kde.KWin.ScreenShot2.Error.NoAuthorized");

// KWin answers once the frame is drawn, then writes the pixels from a
// thread of its own; a few seconds catch a KWin that hangs.
constexpr int kAnswerMilliseconds = 5000;

// Everything written until KWin closes its end; false when it stalls.
bool ReadAll(int fd, QByteArray& into) {
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerMilliseconds);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<qsizetype>(n));
            continue;
        }
        if (n == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    }
}

} // namespace

bool KWinScreenShot::Offered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kService);
}

QImage PictureFromRaw(const QByteArray& bytes, const QVariantMap& described) {
    if (described.value(QStringLiteral("type")).toString() != QStringLiteral("raw")) return {};
    const int width = described.value(QStringLiteral("width")).toInt();
    const int height = described.value(QStringLiteral("height")).toInt();
    const qsizetype stride = described.value(QStringLiteral("stride")).toLongLong();
    const int format = described.value(QStringLiteral("format")).toInt();
    if (width <= 0 || height <= 0 || format <= QImage::Format_Invalid ||
        format >= QImage::NImageFormats)
        return {};
    const QImage::Format f = static_cast<QImage::Format>(format);
    // Each row at least as wide as its pixels, and every row there.
    if (stride * 8 < static_cast<qsizetype>(width) * QImage::toPixelFormat(f).bitsPerPixel() ||
        bytes.size() < stride * height)
        return {};
    const QImage view(reinterpret_cast<const uchar*>(bytes.constData()), width, height, stride, f);
    return view.convertToFormat(QImage::Format_RGB32);
}

QImage KWinScreenShot::captureWorkspace(QString& why, bool& refused) {
    refused = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        why = QStringLiteral("KWin から画面を受け取れません (パイプを作れません)。");
        return {};
    }
    QDBusMessage reply;
    {
        // KWin gets a copy of the writing end; ours goes before reading, so
        // that the end of KWin's writing is seen.
        const QDBusUnixFileDescriptor writing(ends[1]);
        ::close(ends[1]);
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                           QStringLiteral("CaptureWorkspace"));
        // Physical pixels at every scale, without the mouse pointer.
        call << QVariantMap{{QStringLiteral("native-resolution"), true},
                            {QStringLiteral("include-cursor"), false}}
             << QVariant::fromValue(writing);
        reply = bus.call(call, QDBus::BlockWithGui, kAnswerMilliseconds);
    }
    QByteArray bytes;
    const bool complete = reply.type() == QDBusMessage::ReplyMessage && ReadAll(ends[0], bytes);
    ::close(ends[0]);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        refused = reply.errorName() == kNotAuthorized;
        why = refused ? QStringLiteral(
                            "KWin は、デスクトップ項目で許されたプログラムにだけ画面を読ませます。"
                            "パッケージからインストールした Tirelma (/usr/bin/tirelma) を使うか、"
                            "xdg-desktop-portal-kde を入れてください。")
                      : QStringLiteral("KWin が画面の読み取りを断りました (%1)。")
                            .arg(reply.errorMessage());
        return {};
    }
    if (!complete || reply.arguments().isEmpty()) {
        why = QStringLiteral("KWin が画面の画像を渡しませんでした。");
        return {};
    }
    const QImage picture =
        PictureFromRaw(bytes, qdbus_cast<QVariantMap>(reply.arguments().front()));
    if (picture.isNull()) why = QStringLiteral("KWin が渡した画面の画像を読めません。");
    return picture;
}

} // namespace platform::wayland
