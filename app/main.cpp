// Tirelma, the resident program: starts in the notification area and opens
// the main window on the Alt key, and on `tirelma --show` (the trigger a
// user binds to a key where the desktop shows no program the Alt key).
#include "FileIo.h"
#include "Locations.h"
#include "Platform.h"
#include "ProfileStore.h"
#include "ShowRequests.h"
#include "Translations.h"
#include "WriteFailureNotice.h"
#include "frmTskTly.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QString kCaption = QStringLiteral("Tirelma");

const char kUsage[] =
    "Usage: tirelma [--show | --write]\n"
    "Starts Tirelma in the notification area; Alt opens its main window, which reads the\n"
    "current area.\n"
    "  --show   open the main window and read, as Alt does: asks the copy that runs\n"
    "           already and ends at once, or starts Tirelma when none runs. Bind it to a\n"
    "           key where Alt cannot be watched (Wayland), or to a key of your own.\n"
    "  --write  read and write the line at once, as the quick key does: the main window\n"
    "           opens only when the reading is incomplete or the write needs a word.\n"
    "  --help   this text\n";

// The user's copy: one per home folder.
QString InstanceKey() {
    return QString::number(qHash(QDir::homePath()), 16);
}

// One copy per user; a lock left by a copy that crashed does not count.
std::unique_ptr<QLockFile> TakeInstanceLock() {
    auto lock = std::make_unique<QLockFile>(
        QDir::temp().filePath(QStringLiteral("tirelma-%1.lock").arg(InstanceKey())));
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
    bool show = false, write = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--show") show = true;
        if (arg == "--write") write = true;
        // Everything else is Qt's (-style, -platform...).
    }
    auto lock = TakeInstanceLock();
    const platform::Request request = write ? platform::Request::Write : platform::Request::Show;
    if (!lock && (show || write)) {
        // Asked before anything of the display: the command runs from key
        // bindings, whose environment may lack it. The copy that holds the
        // lock may still be starting.
        if (platform::AskToShow(InstanceKey(), request, 3000)) return 0;
        std::fprintf(stderr, "tirelma: the running copy did not answer %s\n",
                     write ? "--write" : "--show");
        return 1;
    }
    platform::ChooseQtPlatform();
    // With no display at all Qt would end the process with a note of its
    // own; say plainly what is missing instead.
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
    if (!lock) {
        dialogs.message(nullptr, QStringLiteral("既に起動されています。"), kCaption);
        return 0;
    }

    // Later starts with --show or --write ask this copy from now on: they
    // are answered at once, and what they ask is done once the icon is there
    // (the platform's set-up below may wait for the desktop's services).
    std::function<void(platform::Request)> act;
    std::vector<platform::Request> early;
    const auto listener =
        platform::ListenForShowRequests(InstanceKey(), [&act, &early](platform::Request r) {
            if (act)
                act(r);
            else
                early.push_back(r);
        });

    QDir::setCurrent(programDir);
    // A first start in the user's configuration folder makes the folder; a
    // folder that cannot be made shows up as refused writes, which are told.
    settings::EnsureProfileFolder();
    // A start at sign-in that names this program where it used to be (the
    // folder was moved) names it here again.
    platform::MendThisProgramAutostart();

    // A setting that cannot be stored is told, not lost in silence.
    store::ProfileStore profile(store::ProfileStore::DefaultPath());
    mainwin::WriteFailureNotice notice(dialogs, profile);

    const auto platform = platform::CreatePlatform();
    tray::frmTskTly tray(*platform, dialogs, profile);
    bool asked = false; // by the user, with 終了
    QObject::connect(&tray, &tray::frmTskTly::quitRequested, &app, [&] {
        asked = !tray.endedFromOutside();
        QApplication::quit();
    });
    tray.start();
    // What later starts ask; the first one does it at once, then what was
    // asked meanwhile.
    act = [&tray](platform::Request r) {
        if (r == platform::Request::Write)
            tray.quickWrite();
        else
            tray.mnuAbout_Click();
    };
    if (show || write) early.insert(early.begin(), request);
    for (const platform::Request r : early)
        QTimer::singleShot(0, &tray, [&act, r] { act(r); });
    early.clear();
    // A key of the desktop's own too, where it keeps such keys for programs.
    platform->offerShowShortcut([&tray] { tray.mnuAbout_Click(); });

    if (const QString why = platform->limitation(); !why.isEmpty())
        QTimer::singleShot(0, [&dialogs, why] {
            dialogs.message(nullptr, why, kCaption, platform::Dialogs::Icon::Warning);
        });

    const int code = app.exec();
    act = {}; // the tray goes before the listener: nothing reaches it after
    // Ended by the system or from outside (a session that ends, a window of
    // ours closed by another program, the installer's request): said, so
    // that a copy that went away can be told from one that never started.
    if (!asked) std::fprintf(stderr, "tirelma: the desktop ended the program\n");
    return code;
}
