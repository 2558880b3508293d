#include "frmMain.h"

#include "AnswerText.h"
#include "AreaPicture.h"
#include "FUMIni.h"
#include "FieldReadings.h"
#include "FileIo.h"
#include "Locations.h"
#include "Placement.h"
#include "PressWrite.h"
#include "ReadingNotice.h"
#include "ResultOutput.h"
#include "ResultRecord.h"
#include "ScreenGrab.h"
#include "ScreenReading.h"
#include "frmFile.h"
#include "frmKakudai.h"
#include "frmKey.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <cmath>

namespace mainwin {

namespace {

const QString kCaption = QStringLiteral("Tirelma");

// A button's access key (Alt+W) clicks it at once: Qt's own handling shows
// the button pressed for 100 ms first, and the write, the closing and all
// that follows them would wait for it. Not on Windows: there the window
// is then gone before Alt is let go, the Alt release reaches another window
// of the program alone, and the system takes it for the menu key (under
// wine the next Alt was no longer heard).
#ifndef Q_OS_WIN
class ClickAtOnce : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (e->type() != QEvent::Shortcut || !button ||
            static_cast<QShortcutEvent*>(e)->isAmbiguous())
            return false;
        button->setFocus(Qt::ShortcutFocusReason);
        button->click();
        return true;
    }
};
#endif

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}
std::u16string U(const QString& s) {
    return s.toStdU16String();
}

using platform::Twips;

QFont FixedSys() {
    QFont f(QStringLiteral("FixedSys"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(13.5);
    f.setWeight(QFont::Normal);
    return f;
}

// Where the captured area is shown: from its design place, at most as far as
// the command column and the text box below.
constexpr int kPictureMaxWidth = 220;
constexpr int kPictureMaxHeight = 34;

} // namespace

frmMain::frmMain(platform::Platform& platform, platform::Dialogs& dialogs,
                 store::ProfileStore& profile, QWidget* parent)
    : frmMain(platform, dialogs, profile, ownReaders_, parent) {}

frmMain::frmMain(platform::Platform& platform, platform::Dialogs& dialogs,
                 store::ProfileStore& profile, engine::GroupReaders& readers, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), dialogs_(dialogs), profile_(profile),
      readers_(readers) {
    setWindowTitle(kCaption);
    buildControls();
    Init();
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    setObjectName(QStringLiteral("frmMain"));
    // Placed by hand: a layout on the window would set its geometry when it
    // is shown, and the stored position would then be taken for the inside
    // of the window rather than for its frame.
    auto* bar = new QMenuBar(this);
    auto* client = new QWidget(this);
    client_ = client;
    const QSize inner = Twips(0, 0, 5250, 2325).size();

    auto picture = [client](const char* name, QRect r) {
        auto* p = new QLabel(client);
        p->setObjectName(QLatin1String(name));
        p->setGeometry(r);
        p->setAutoFillBackground(true);
        QPalette pal = p->palette();
        pal.setColor(QPalette::Window, Qt::white);
        p->setPalette(pal);
        p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return p;
    };
    Picture1 = picture("Picture1", Twips(180, 120, 2055, 435));
    Picture1->setAccessibleName(QStringLiteral("認識エリアの画像"));
    Picture2 = picture("Picture2", Twips(2460, 120, 375, 435));
    Picture3 = picture("Picture3", Twips(3000, 120, 375, 435));

    auto button = [client](const char* name, const QString& text, QRect r) {
        auto* b = new QPushButton(text, client);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(r);
        return b;
    };
    auto label = [client](const char* name, const QString& text, QRect r) {
        auto* l = new QLabel(text, client);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(r);
        return l;
    };
    auto textBox = [client](const char* name, QRect r) {
        auto* t = new QLineEdit(client);
        t->setObjectName(QLatin1String(name));
        t->setGeometry(r);
        t->setFont(FixedSys());
        return t;
    };
    Command1 = button("Command1", QStringLiteral("(F1) 認識実行"), Twips(3540, 120, 1575, 435));
    txtComment = textBox("txtComment", Twips(840, 1140, 4245, 315));
    cmdWrite = button("cmdWrite", QStringLiteral("書き込み(&W)"), Twips(3540, 1680, 1575, 435));
    Label1 = label("Label1", QStringLiteral("コメント："), Twips(120, 1200, 675, 255));
    txtKotae = textBox("txtKotae", Twips(840, 660, 4245, 315));
    Label2 = label("Label2", QStringLiteral("認識結果："), Twips(60, 720, 855, 255));
    Command2 = button("Command2", QStringLiteral("指定刻みに変更"), Twips(1800, 1680, 1575, 435));
    lblKizami = label("lblKizami", QString(), Twips(840, 1800, 855, 255));
    // Labels name their text boxes, for screen readers as for tests; the
    // names without the colon, which a screen reader would say.
    Label1->setBuddy(txtComment);
    Label2->setBuddy(txtKotae);
    txtComment->setAccessibleName(QStringLiteral("コメント"));
    txtKotae->setAccessibleName(QStringLiteral("認識結果"));
    // Top to bottom as the controls stand: the answer has the keyboard once
    // the window has read, and one Tab from it is the comment, as one Tab
    // from "(F1) 認識実行" always was.
    setTabOrder(Command1, txtKotae);
    setTabOrder(txtKotae, txtComment);
    setTabOrder(txtComment, cmdWrite);
    setTabOrder(cmdWrite, Command2);

    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("M_File"));
    auto action = [this](QMenu* menu, const char* name, const QString& text,
                         void (frmMain::*slot)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    action(file, "M_F_Open", QStringLiteral("書き込みファイル指定(&W)"), &frmMain::M_F_Open_Click);
    action(file, "M_F_ALIA", QStringLiteral("認識エリア指定、キャラクタ登録(&A)"),
           &frmMain::M_F_ALIA_Click);
    M_F_Key =
        action(file, "M_F_Key", QStringLiteral("読み取りキーの設定..."), &frmMain::M_F_Key_Click);
    M_F_Key->setVisible(false);
    // Kept for the clipboard picture, but never offered.
    M_F_Copy1 =
        action(file, "M_F_Copy1", QStringLiteral("クリップボードからコピー"), &frmMain::ClipPast);
    M_F_Copy1->setVisible(false);
    M_F_Copy1->setEnabled(false);
    file->addSeparator();
    mnuAutostart = action(file, "mnuAutostart", platform::AutostartWording().menu,
                          &frmMain::mnuAutostart_Click);
    mnuAutostart->setCheckable(true);
    // Asked each time the menu opens (not on every Alt): the system's own
    // settings may have changed it meanwhile.
    connect(file, &QMenu::aboutToShow, this, &frmMain::showAutostart);
    file->addSeparator();
    action(file, "mnuFileExit", QStringLiteral("終了(&X)"), &frmMain::mnuFileExit_Click);
    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    action(help, "mnuHelpHelpPage", QStringLiteral("説明ウエブサイト"),
           &frmMain::mnuHelpHelpPage_Click);
    const int menuHeight = bar->sizeHint().height();
    bar->setGeometry(0, 0, inner.width(), menuHeight);
    client->setGeometry(0, menuHeight, inner.width(), inner.height());
    baseSize_ = QSize(inner.width(), menuHeight + inner.height());
    setFixedSize(baseSize_);

    // Under the answer: the reading's notice, in red; what stands below it
    // moves down while it is shown.
    lblKeikoku = new QLabel(client);
    lblKeikoku->setObjectName(QStringLiteral("lblKeikoku"));
    lblKeikoku->setWordWrap(true);
    lblKeikoku->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = lblKeikoku->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
    lblKeikoku->setPalette(red);
    lblKeikoku->hide();
    fraFields = new FieldReadings(client);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label1, txtComment, cmdWrite, Command2, lblKizami})
        underAnswer_.emplace_back(w, w->geometry());

    lblAnnai = new QLabel(this);
    lblAnnai->setObjectName(QStringLiteral("lblAnnai"));
    lblAnnai->setWordWrap(true);
    lblAnnai->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAnnai->setFrameShape(QFrame::StyledPanel);
    lblAnnai->setMargin(4);
    lblAnnai->hide();

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &frmMain::cmdWrite_Click);
#ifndef Q_OS_WIN
    cmdWrite->installEventFilter(new ClickAtOnce(cmdWrite));
#endif
    // F1 wherever the focus is in the window.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &frmMain::Command1_Click);
}

void frmMain::Init() {
    output_ = ReadOutputSettings(profile_.reader());
    press_ = AriaDataGet(profile_.source(), readers_);
    lblKizami->setText(Q(settings::DoubleText(press_.step)));
    // The size first: the stored position is checked against the screens
    // with it.
    showFirstStep(NextFirstStep(press_.area));
    restorePlacement();
    platform_.setTopMost(this, true);
    txtKotae->clear();
    txtComment->clear();
    readings_.assign(1, engine::Reading());
    fraFields->showReadings(readings_);
    showNotice(QString());
    placeNotes();
    const engine::AreaSettings& a = press_.area.settings;
    const int w = AreaPixels(a.width), h = AreaPixels(a.height);
    areaImage_ = AreaTooLarge(w, h) ? QImage() : QImage(w, h, QImage::Format_RGB32);
    if (!areaImage_.isNull()) areaImage_.fill(Qt::white);
    showPicture();
}

void frmMain::showFirstStep(FirstStep step) {
    // Told below the window, never in the answer box: "書き込み(&W)" would
    // write whatever that holds.
    const QString menu =
        QStringLiteral("メニュー「ﾌｧｲﾙ(F)」の「認識エリア指定、キャラクタ登録(A)」");
    const QString area = Q(press_.area.settings.name);
    QString text;
    switch (step) {
    case FirstStep::None:
        break;
    case FirstStep::NoArea:
        text = QStringLiteral("読み取る場所 (認識エリア) がまだありません。") + menu +
               QStringLiteral("で、エリアを作って画面上の位置を指定し、文字を登録してください。");
        break;
    case FirstStep::NoPlace:
        text = QStringLiteral("認識エリア「%1」の位置と大きさが決まっていません。").arg(area) +
               menu +
               QStringLiteral(
                   "で「(P)位置を指定してキャプチャ」を押し、読み取る範囲を囲んでください。");
        break;
    case FirstStep::UnusableGroup:
        text = QStringLiteral(
                   "認識エリア「%1」のキャラクタグループの番号 (CHRGROP) が使えない値です。")
                   .arg(area) +
               menu +
               QStringLiteral("で、このエリアのキャラクタグループを選び直して「認識エリア記録」を"
                              "押してください。");
        break;
    case FirstStep::NoCharacters:
        text = QStringLiteral(
                   "認識エリア「%1」のキャラクタグループには、まだ文字が登録されていません。")
                   .arg(area) +
               menu + QStringLiteral("で、キャプチャした1行の文字を登録してください。");
        break;
    }
    lblAnnai->setText(text);
    placeNotes();
}

void frmMain::showNotice(const QString& notice) {
    lblKeikoku->setText(notice);
    // Heard as well as seen: the answer box carries the notice as its
    // description, said with it when it takes the focus and again when it
    // changes while it has the focus (F1). Alerts and live regions reach no
    // screen reader through the AT-SPI bridge of this Qt.
    txtKotae->setAccessibleDescription(notice);
}

void frmMain::placeNotes() {
    const int margin = Twips(60, 0, 0, 0).left();
    // The notice right under the answer box, as wide; the rest moves down.
    int down = 0;
    const QRect answer = txtKotae->geometry();
    int bottom = answer.bottom(); // of what stands under the answer
    if (fraFields->isVisibleTo(this)) {
        const int width = answer.right() - Twips(60, 0, 0, 0).left();
        const int height = fraFields->heightFor(width);
        fraFields->setGeometry(Twips(60, 0, 0, 0).left(), bottom + 3, width, height);
        bottom += 3 + height;
    }
    const bool notice = !lblKeikoku->text().isEmpty();
    lblKeikoku->setVisible(notice);
    if (notice) {
        const int height = lblKeikoku->heightForWidth(answer.width());
        lblKeikoku->setGeometry(answer.left(), bottom + 3, answer.width(), height);
        bottom += 3 + height;
    }
    if (bottom > answer.bottom()) {
        int top = underAnswer_.front().second.top();
        for (const auto& [w, design] : underAnswer_)
            top = std::min(top, design.top());
        down = std::max(0, bottom + margin - top);
    }
    for (const auto& [w, design] : underAnswer_)
        w->setGeometry(design.translated(0, down));
    const QSize inner = Twips(0, 0, 5250, 2325).size();
    client_->resize(inner.width(), inner.height() + down);

    QSize size(baseSize_.width(), baseSize_.height() + down);
    const bool first = !lblAnnai->text().isEmpty();
    lblAnnai->setVisible(first);
    if (first) {
        const int width = baseSize_.width() - 2 * margin;
        const int height = lblAnnai->heightForWidth(width);
        lblAnnai->setGeometry(margin, size.height(), width, height);
        size.rheight() += height + margin;
    }
    setFixedSize(size);
}

void frmMain::restorePlacement() {
    const QRect frame = frameGeometry();
    const FUMIni::FormPlacement design{PixelsToTwips(frame.top()), PixelsToTwips(frame.left()),
                                       PixelsToTwips(frame.height()), PixelsToTwips(frame.width())};
    // The window has a fixed size: only its position comes from the file.
    const auto p = FUMIni::FormPosLoad(profile_, kCaption.toStdU16String(), design, false);
    QRect wanted(TwipsToPixels(p.Left), TwipsToPixels(p.Top), frame.width(), frame.height());
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    wanted = BringOntoScreens(wanted, screens);
    placement_ = wanted.topLeft();
    move(placement_);
}

void frmMain::savePlacement() {
    const QRect frame = frameGeometry();
    FUMIni::FormPosSave(profile_, kCaption.toStdU16String(),
                        {PixelsToTwips(frame.top()), PixelsToTwips(frame.left()),
                         PixelsToTwips(frame.height()), PixelsToTwips(frame.width())});
}

void frmMain::showPicture(const QList<QRect>& marks) {
    // Screen pixel for screen pixel at any scale factor (AreaPicture.h).
    const QPixmap pixmap = AreaPixmap(areaImage_, QSize(kPictureMaxWidth, kPictureMaxHeight),
                                      devicePixelRatioF(), marks);
    const QPoint at = Twips(180, 120, 0, 0).topLeft();
    const QSizeF size = pixmap.deviceIndependentSize();
    Picture1->setGeometry(QRect(at, QSize(static_cast<int>(std::ceil(size.width())),
                                          static_cast<int>(std::ceil(size.height())))));
    Picture1->setPixmap(pixmap);
    Picture1->raise();
}

void frmMain::showModal() {
    QEventLoop loop;
    connect(this, &frmMain::closed, &loop, &QEventLoop::quit);
    inModal_ = true;
    show();
    raise();
    activateWindow();
    loop.exec();
    inModal_ = false;
}

void frmMain::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;
    // A run starts when the window becomes active after being shown; should
    // the window manager not activate it, it starts shortly anyway.
    runPending_ = true;
    activateWindow();
    QTimer::singleShot(300, this, &frmMain::startPendingRun);
}

bool frmMain::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate) startPendingRun();
    return handled;
}

void frmMain::startPendingRun() {
    if (!runPending_ || !isVisible()) return;
    runPending_ = false;
    Command1_Click();
    // The answer takes the keyboard once it is there, so that a screen
    // reader says the number (and the notice, its description) as the
    // window opens. Later runs (F1) leave the focus where the user put it.
    txtKotae->setFocus(Qt::OtherFocusReason);
}

void frmMain::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (e->isAccepted()) emit closed();
}

void frmMain::Command1_Click() {
    // The run does not give way to the event loop, so no second run can start
    // inside it; a trigger meanwhile waits for it to end.
    if (running_) return;
    running_ = true;
    const engine::AreaSettings& a = press_.area.settings;
    const int w = AreaPixels(a.width), h = AreaPixels(a.height);
    txtKotae->clear();
    if (AreaTooLarge(w, h)) {
        running_ = false;
        dialogs_.message(
            this,
            QStringLiteral("認識エリアが大きすぎるため読み取れません (幅 %1、高さ %2)。\n"
                           "認識エリアを指定し直してください。")
                .arg(w)
                .arg(h),
            kCaption, platform::Dialogs::Icon::Warning);
        return;
    }
    // The reading road (PressSetup.h): the area and each of its fields cut
    // from one picture of the screen, read, judged; shown as they are.
    readings_ = capture::ReadPress(platform_, press_);
    const engine::Reading& reading = readings_.front();
    areaImage_ = capture::ToQImage(reading.picture);
    showPicture(UnreadMarks(reading));
    fraFields->showReadings(readings_);
    txtKotae->setText(Q(engine::JoinReadings(readings_)));
    showNotice(PressNotice(readings_));
    placeNotes();
    running_ = false;
}

void frmMain::Command2_Click() {
    txtKotae->setText(Q(engine::SnapReadings(U(txtKotae->text()), readings_, press_.step)));
}

void frmMain::cmdWrite_Click() {
    // An incomplete reading is written only when the user says so (or the
    // area is set to write such readings without asking); いいえ and Escape
    // write nothing and leave the window open.
    if (AskBeforeWriting(readings_) && dialogs_.confirm(this, PressWriteQuestion(readings_),
                                                        kCaption) != platform::Dialogs::Answer::Yes)
        return;
    const std::u16string answer = U(txtKotae->text());
    const PressWrite written =
        WritePress(answer, U(txtComment->text()), readings_, press_, output_, profile_.IniDir());
    if (!written.message.isEmpty())
        dialogs_.message(this, written.message, kCaption, platform::Dialogs::Icon::Warning);
    if (!written.written()) return;
    output_.OutFileName = written.result.file;
    // After the line is safely written: the clipboard, then whatever else
    // the output settings ask for.
    if (const QString copy = ClipboardText(output_, answer, readings_, written); !copy.isEmpty())
        platform_.setClipboardText(copy);
    if (writeHandler_) writeHandler_(Written(output_, answer, readings_, written));
    savePlacement();
    close();
}

void frmMain::M_F_Open_Click() {
    hide();
    {
        frmFile dialog(dialogs_, profile_, platform_.typesText());
        dialog.exec();
    }
    Init();
    show();
}

void frmMain::M_F_ALIA_Click() {
    hide();
    {
        editor::frmKakudai editorWindow(platform_, dialogs_, profile_);
        // After OK the window loads afresh, which Init below does; closing
        // from the title bar re-reads the settings all the same.
        editorWindow.run();
    }
    Init();
    show();
}

void frmMain::setKeyApplier(KeyApplier apply) {
    keyApplier_ = std::move(apply);
    M_F_Key->setVisible(static_cast<bool>(keyApplier_));
}

void frmMain::setWriteHandler(std::function<void(const WrittenLine& written)> handle) {
    writeHandler_ = std::move(handle);
}

void frmMain::M_F_Key_Click() {
    if (!keyApplier_) return;
    frmKey dialog(dialogs_, profile_, keyApplier_, this);
    dialog.exec();
}

void frmMain::ClipPast() {
    const QImage picture = platform_.clipboardImage();
    if (picture.isNull()) {
        dialogs_.message(this, QStringLiteral("BMPがありませんでした。"), kCaption);
        return;
    }
    areaImage_ = picture.convertToFormat(QImage::Format_RGB32);
    showPicture();
}

void frmMain::mnuFileExit_Click() {
    emit exitRequested();
}

void frmMain::showAutostart() {
    const auto wording = platform::AutostartWording();
    const auto state = platform_.autostart();
    mnuAutostart->setChecked(state == platform::AutostartState::On);
    mnuAutostart->setText(state == platform::AutostartState::DisabledBySystem
                              ? wording.menu + wording.disabledNote
                              : wording.menu);
}

void frmMain::mnuAutostart_Click() {
    const bool on = platform_.autostart() != platform::AutostartState::On;
    const bool stored = platform_.setAutostart(on);
    showAutostart();
    if (!stored)
        dialogs_.message(this, QStringLiteral("自動起動の設定を変更できませんでした。"), kCaption,
                         platform::Dialogs::Icon::Warning);
    else if (on && platform_.autostart() == platform::AutostartState::DisabledBySystem)
        dialogs_.message(this, platform::AutostartWording().howToEnable, kCaption,
                         platform::Dialogs::Icon::Information);
}

void frmMain::mnuHelpHelpPage_Click() {
    // Handed to the desktop without waiting; a failure is of no consequence.
    platform_.openUrl(QUrl::fromLocalFile(Q(settings::TextFromPath(settings::HelpPage()))));
}

} // namespace mainwin
