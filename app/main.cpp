// Tirelma, the resident program: starts in the notification area and opens
// the main window on the Alt key.
#include "FUMIni.h"
#include "FileIo.h"
#include "Locations.h"
#include "Platform.h"
#include "Translations.h"
#include "WriteFailureNotice.h"
#include "frmTskTly.h"
#include "modPub.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const QString kCaption = QStringLiteral("Tirelma");

// One copy per user; a lock left by a copy that crashed does not count.
std::unique_ptr<QLockFile> TakeInstanceLock() {
    const QString user = QString::number(qHash(QDir::homePath()), 16);
    auto lock = std::make_unique<QLockFile>(
        QDir::temp().filePath(QStringLiteral("tirelma-%1.lock").arg(user)));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) return lock;
    // The lock names its holder by process number. Numbers come round again
    // (after a restart of Windows, or of wine), so a copy that crashed may
    // have left the very number this copy now carries: that holder is gone.
    qint64 holder = 0;
    QString host, app;
    if (lock->getLockInfo(&holder, &host, &app) && holder == QCoreApplication::applicationPid() &&
        lock->removeStaleLockFile() && lock->tryLock(0))
        return lock;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    // Under Wayland, run as an X11 client where an X server is at hand: only
    // there can a program see the screen and the keys at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // With no display at all Qt would end the process with a note of its
    // own; say plainly what is missing instead.
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        if (const QString why = platform::DisplayProblem(); !why.isEmpty()) {
            std::fprintf(stderr, "tirelma: %s\n", qPrintable(why));
            return 1;
        }

    QApplication app(argc, argv);
    app.setApplicationName(kCaption);
    app.setQuitOnLastWindowClosed(false);
    const QString programDir =
        QString::fromStdU16String(settings::TextFromPath(settings::ExecutableDir()));
    // The standard dialogs speak Japanese like the rest of the program.
    const auto qtJapanese = platform::InstallQtJapanese(programDir);

    platform::QtDialogs qtDialogs;
    platform::Dialogs& dialogs = qtDialogs;
    const auto lock = TakeInstanceLock();
    if (!lock) {
        dialogs.message(nullptr, QStringLiteral("既に起動されています。"), kCaption);
        return 0;
    }

    QDir::setCurrent(programDir);
    modPub::IniName = u"\\Kavoren.ini";
    // A first start in the user's configuration folder makes the folder; a
    // folder that cannot be made shows up as refused writes, which are told.
    settings::EnsureProfileFolder();

    // A setting that cannot be stored is told, not lost in silence.
    mainwin::WriteFailureNotice notice(dialogs);

    const auto platform = platform::CreatePlatform();
    tray::frmTskTly tray(*platform, dialogs);
    bool asked = false; // by the user, with 終了
    QObject::connect(&tray, &tray::frmTskTly::quitRequested, &app, [&] {
        asked = true;
        QApplication::quit();
    });
    tray.start();

    if (const QString why = platform->limitation(); !why.isEmpty())
        QTimer::singleShot(0, [&dialogs, why] {
            dialogs.message(nullptr, why, kCaption, platform::Dialogs::Icon::Warning);
        });

    const int code = app.exec();
    // Ended by the system (a session that ends, a window of ours closed from
    // outside): said, so that a copy that went away can be told from one
    // that never started.
    if (!asked) std::fprintf(stderr, "tirelma: the desktop ended the program\n");
    return code;
}
