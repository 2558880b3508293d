#include "frmKakudai.h"

#include "FUMIni.h"
#include "OwnWindows.h"
#include "PictureBox.h"
#include "ProfileLayout.h"
#include "ScreenGrab.h"
#include "Twips.h"
#include "frmCap.h"
#include "frmTuika.h"
#include "modPub.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <functional>

namespace editor {

using platform::kTwipsPerPixel;
using platform::Twips;
using platform::TwipsToPixels;

namespace {

using Icon = platform::Dialogs::Icon;

// Title of the boxes that name none of their own.
const QString kAppTitle = QStringLiteral("Tirelma");
const QString kErrorTitle = QStringLiteral("Error");

const QString kNewEntry = QString::fromStdU16String(std::u16string(profile::kNewEntry));

QString Q(std::u16string_view s) {
    return QString::fromStdU16String(std::u16string(s));
}
std::u16string U(const QString& s) {
    return s.toStdU16String();
}

// Design height of the bands, in pixels.
constexpr int kSetumeiHeight = 735 / kTwipsPerPixel;
constexpr int kPanelHeight = 4995 / kTwipsPerPixel;

} // namespace

// A choice in a list runs its handler once: when the selection moves to an
// entry (mouse or keyboard), or when the entry already chosen is clicked again.
// Making an entry current without selecting it (the keyboard focus arriving)
// chooses nothing.
class ListChoice : public QObject {
public:
    ListChoice(QListWidget* list, std::function<void()> handler)
        : QObject(list), list_(list), handler_(std::move(handler)) {
        list->viewport()->installEventFilter(this);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            if (!quiet_ && chosenRow() >= 0) handler_();
        });
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (list_->row(item) == chosenBeforePress_ && chosenRow() == chosenBeforePress_)
                handler_();
        });
    }

    // Selects row by program; the choice runs as if clicked.
    void choose(int row) {
        quiet_ = true;
        list_->setCurrentRow(row);
        quiet_ = false;
        handler_();
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress) chosenBeforePress_ = chosenRow();
        return false;
    }

private:
    int chosenRow() const {
        const QListWidgetItem* item = list_->currentItem();
        return item && item->isSelected() ? list_->row(item) : -1;
    }

    QListWidget* list_;
    std::function<void()> handler_;
    bool quiet_ = false;
    int chosenBeforePress_ = -1;
};

namespace {

std::vector<std::u16string> Entries(const QListWidget* list) {
    std::vector<std::u16string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(U(list->item(i)->text()));
    return out;
}

QLabel* Caption(const QString& text, const QRect& at, QWidget* parent, QWidget* buddy) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(at);
    if (buddy) l->setBuddy(buddy);
    return l;
}

} // namespace

frmKakudai::frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), platform_(platform), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmKakudai"));
    setWindowTitle(QStringLiteral("認識エリアとキャラクタ登録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    buildControls();
    connectHandlers();
    setFixedSize(TwipsToPixels(13335), TwipsToPixels(7545));
}

frmKakudai::~frmKakudai() = default;

void frmKakudai::buildControls() {
    auto button = [](const QString& text, const char* name, const QRect& at, QWidget* parent) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(at);
        b->setAutoDefault(false); // Enter presses nothing, as on the original form
        return b;
    };
    auto edit = [](const char* name, const QRect& at, QWidget* parent) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(at);
        return e;
    };
    auto list = [](const char* name, const QRect& at, QWidget* parent) {
        auto* l = new QListWidget(parent);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(at);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        return l;
    };

    lblSetumei = new QLabel(this);
    lblSetumei->setObjectName(QStringLiteral("lblSetumei"));
    lblSetumei->setGeometry(Twips(0, 0, 13335, 735));
    QFont setumeiFont;
    setumeiFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("IPAPGothic")});
    setumeiFont.setPointSize(12);
    lblSetumei->setFont(setumeiFont);
    lblSetumei->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    picBig = new PictureBox(PictureBox::Scale::Widget, this);
    picBig->setObjectName(QStringLiteral("picBig"));
    picBig->setAccessibleName(QStringLiteral("拡大画像"));
    picBig->setGeometry(Twips(0, 720, 1875, 1755));

    picCtlAlia = new QWidget(this);
    picCtlAlia->setObjectName(QStringLiteral("picCtlAlia"));
    picCtlAlia->setGeometry(Twips(0, 2550, 13335, 4995));

    // No frames on the pictures: the area image is exactly the area's size.
    picSelAlia = new PictureBox(PictureBox::Scale::Physical, picCtlAlia);
    picSelAlia->setObjectName(QStringLiteral("picSelAlia"));
    picSelAlia->setAccessibleName(QStringLiteral("認識エリアの画像"));
    pic2tika = new PictureBox(PictureBox::Scale::Physical, picCtlAlia);
    pic2tika->setObjectName(QStringLiteral("pic2tika"));
    pic2tika->setAccessibleName(QStringLiteral("2値化された画像"));
    QImage blank(Twips(0, 0, 735, 375).size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    picSelAlia->setImage(blank);
    pic2tika->setImage(blank);
    picSelAlia->move(0, 0);
    pic2tika->move(0, TwipsToPixels(600));

    Frame2 = new QGroupBox(QStringLiteral("認識エリア"), picCtlAlia);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(Twips(120, 1140, 6825, 3795));

    lstAriaList = list("lstAriaList", Twips(180, 480, 3135, 1680), Frame2);
    Caption(QStringLiteral("エリア名"), Twips(180, 240, 3135, 240), Frame2, lstAriaList);
    txtAriaComment = edit("txtAriaComment", Twips(3540, 480, 3015, 315), Frame2);
    Caption(QStringLiteral("エリアコメント"), Twips(3540, 240, 3015, 240), Frame2, txtAriaComment);
    txtLeft = edit("txtLeft", Twips(4560, 930, 615, 315), Frame2);
    Caption(QStringLiteral("Left"), Twips(3960, 960, 555, 255), Frame2, txtLeft);
    txtTop = edit("txtTop", Twips(5910, 930, 615, 315), Frame2);
    Caption(QStringLiteral("Top"), Twips(5310, 960, 555, 255), Frame2, txtTop);
    txtWidth = edit("txtWidth", Twips(4560, 1380, 615, 315), Frame2);
    Caption(QStringLiteral("Width"), Twips(3960, 1410, 555, 255), Frame2, txtWidth);
    txtHeight = edit("txtHeight", Twips(5910, 1380, 615, 315), Frame2);
    Caption(QStringLiteral("Height"), Twips(5310, 1410, 585, 255), Frame2, txtHeight);
    txt2tikaLevel = edit("txt2tikaLevel", Twips(4560, 1830, 465, 315), Frame2);
    txt2tikaLevel->setText(QStringLiteral("128"));
    Caption(QStringLiteral("2値化レベル"), Twips(3480, 1860, 1035, 255), Frame2, txt2tikaLevel);
    VScroll1 = new QScrollBar(Qt::Vertical, Frame2);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(Twips(5310, 1830, 375, 435));
    VScroll1->setRange(0, 255);
    VScroll1->setValue(128);
    VScroll1->setAccessibleName(QStringLiteral("2値化レベル"));
    cmd2Tika = button(QStringLiteral("2値化"), "cmd2Tika", Twips(5760, 1830, 825, 435), Frame2);
    lstChrGrop = list("lstChrGrop", Twips(180, 2520, 3135, 1140), Frame2);
    Caption(QStringLiteral("キャラクタグループ"), Twips(180, 2280, 3135, 240), Frame2, lstChrGrop);
    txtKugiri = edit("txtKugiri", Twips(6120, 2400, 435, 345), Frame2);
    txtKugiri->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Caption(QStringLiteral("区切りキャラクタ："), Twips(4200, 2460, 1890, 255), Frame2, txtKugiri)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cmdAriaKiroku = button(QStringLiteral("認識エリア記録"), "cmdAriaKiroku",
                           Twips(4560, 3180, 2055, 465), Frame2);

    fraList = new QGroupBox(QStringLiteral("キャラクタデータ"), picCtlAlia);
    fraList->setObjectName(QStringLiteral("fraList"));
    fraList->setGeometry(Twips(7080, 1140, 3375, 3765));
    List1 = list("List1", Twips(180, 480, 1035, 2580), fraList);
    lblList = Caption(QString(), Twips(180, 240, 1500, 240), fraList, List1);
    lblList->setObjectName(QStringLiteral("lblList"));
    cmdKill = button(QStringLiteral("削除"), "cmdKill", Twips(180, 3180, 1065, 465), fraList);
    txtChr = edit("txtChr", Twips(2460, 480, 675, 315), fraList);
    Caption(QStringLiteral("キャラクタ"), Twips(1620, 510, 840, 255), fraList, txtChr);
    lblWidth = new QLabel(fraList);
    lblWidth->setObjectName(QStringLiteral("lblWidth"));
    lblWidth->setGeometry(Twips(2460, 840, 675, 255));
    Caption(QStringLiteral("幅"), Twips(1620, 840, 840, 255), fraList, nullptr);
    lblHeight = new QLabel(fraList);
    lblHeight->setObjectName(QStringLiteral("lblHeight"));
    lblHeight->setGeometry(Twips(2460, 1200, 675, 255));
    Caption(QStringLiteral("高さ"), Twips(1620, 1200, 840, 255), fraList, nullptr);
    cmdChrTouroku = button(QStringLiteral("キャラクタ記録"), "cmdChrTouroku",
                           Twips(1620, 1740, 1425, 495), fraList);
    cmdChrTouroku->setEnabled(false);

    cmdCap = button(QStringLiteral("(&P)位置を指定してキャプチャ"), "cmdCap",
                    Twips(10650, 2670, 2535, 585), picCtlAlia);
    cmdSCap = button(QStringLiteral("(&S)同じ位置でキャプチャ"), "cmdSCap",
                     Twips(10650, 3420, 2535, 615), picCtlAlia);
    cmdEnd = button(QStringLiteral("(&O)K"), "cmdEnd", Twips(10650, 4170, 2535, 585), picCtlAlia);

    // Screen readers name text boxes and lists by these (a list takes no name
    // from a buddy label).
    lstAriaList->setAccessibleName(QStringLiteral("エリア名"));
    txtAriaComment->setAccessibleName(QStringLiteral("エリアコメント"));
    txtLeft->setAccessibleName(QStringLiteral("Left"));
    txtTop->setAccessibleName(QStringLiteral("Top"));
    txtWidth->setAccessibleName(QStringLiteral("Width"));
    txtHeight->setAccessibleName(QStringLiteral("Height"));
    txt2tikaLevel->setAccessibleName(QStringLiteral("2値化レベル"));
    lstChrGrop->setAccessibleName(QStringLiteral("キャラクタグループ"));
    txtKugiri->setAccessibleName(QStringLiteral("区切りキャラクタ："));
    List1->setAccessibleName(QStringLiteral("登録文字リスト"));
    txtChr->setAccessibleName(QStringLiteral("キャラクタ"));
    lblWidth->setAccessibleName(QStringLiteral("幅"));
    lblHeight->setAccessibleName(QStringLiteral("高さ"));

    // The pictures lie under the frames when a tall area would reach them.
    picSelAlia->lower();
    pic2tika->lower();
}

void frmKakudai::connectHandlers() {
    ariaChoice_ = new ListChoice(lstAriaList, [this] { lstAriaList_Click(); });
    gropChoice_ = new ListChoice(lstChrGrop, [this] { lstChrGrop_Click(); });
    new ListChoice(List1, [this] { List1_Click(); });
    connect(cmdAriaKiroku, &QPushButton::clicked, this, &frmKakudai::cmdAriaKiroku_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmKakudai::cmdEnd_Click);
    connect(cmdKill, &QPushButton::clicked, this, &frmKakudai::cmdKill_Click);
    connect(cmdChrTouroku, &QPushButton::clicked, this, &frmKakudai::cmdChrTouroku_Click);
    connect(cmdSCap, &QPushButton::clicked, this, &frmKakudai::cmdSCap_Click);
    connect(cmdCap, &QPushButton::clicked, this, &frmKakudai::cmdCap_Click);
    connect(cmd2Tika, &QPushButton::clicked, this, &frmKakudai::cmd2Tika_Click);
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmKakudai::VScroll1_Change);
    connect(picBig, &PictureBox::mouseDown, this, &frmKakudai::picBig_MouseDown);
    connect(picBig, &PictureBox::mouseMove, this, &frmKakudai::picBig_MouseMove);
    connect(picBig, &PictureBox::mouseUp, this, &frmKakudai::picBig_MouseUp);
}

EditorOutcome frmKakudai::run() {
    Form_Load();
    TopMostOn();
    exec();
    return outcome_;
}

// ---- helpers

void frmKakudai::message(const QString& text, const QString& title, Icon icon) {
    dialogs_.message(this, text, title, icon);
}

void frmKakudai::TopMostOn() {
    platform_.setTopMost(this, true);
}

void frmKakudai::TopMostOff() {
    platform_.setTopMost(this, false);
}

std::optional<std::u16string> frmKakudai::askName(const QString& caption) {
    if (!tuika_) {
        tuika_ = new frmTuika(this);
        tuika_->setObjectName(QStringLiteral("frmTuika"));
    }
    tuika_->setWindowTitle(QStringLiteral("新規追加"));
    tuika_->setQuestion(caption);
    tuika_->setName(QString());
    tuika_->exec();
    if (tuika_->CFlg) return std::nullopt;
    return U(tuika_->name());
}

bool frmKakudai::acceptNewName(const std::u16string& name, const QListWidget* list, bool isArea) {
    const auto entries = Entries(list);
    if (std::find(entries.begin(), entries.end(), name) != entries.end()) {
        message(QStringLiteral("すでに存在しています"), kErrorTitle);
        return false;
    }
    switch (CheckName(name, ProfileEncoding())) {
    case NameProblem::BadCharacter:
        message(QStringLiteral("名前に [ ] = や改行は使えません"), kErrorTitle);
        return false;
    case NameProblem::BlankAtEnd:
        message(QStringLiteral("名前の前後に空白は使えません"), kErrorTitle);
        return false;
    case NameProblem::TooLong:
        message(QStringLiteral("名前が長すぎます"), kErrorTitle);
        return false;
    case NameProblem::None:
        break;
    }
    // An area's settings live in a section named after it, and section names
    // ignore letter case: "abc" and "ABC" would share one.
    if (isArea && SectionTwin(name, entries)) {
        message(QStringLiteral("大文字・小文字だけが違う名前がすでに存在しています"), kErrorTitle);
        return false;
    }
    return true;
}

// ---- opening, areas

void frmKakudai::Form_Load() {
    txtChr->clear();
    lblHeight->clear();
    lblWidth->clear();
    modPub::IniName = u"Kavoren.ini";

    picBig->setToolTip(
        QStringLiteral("認識エリア内を拡大表示します、マウスで文字を囲みキャラクタを指定します。"));
    picSelAlia->setToolTip(QStringLiteral("認識エリアの画像をそのまま表示します。"));
    pic2tika->setToolTip(QStringLiteral("2値化された画像を表示します。"));
    lstAriaList->setToolTip(
        QStringLiteral("エリアを選択してOKボタンを押すと認識エリアを変更します。 "));
    lstChrGrop->setToolTip(QStringLiteral("認識エリアで利用するキャラクタグループを指定します。"));
    txtAriaComment->setToolTip(QStringLiteral("認識エリアの説明を記入します。"));
    txtLeft->setToolTip(QStringLiteral("認識エリア左上のスクリーン上の横方向位置"));
    txtTop->setToolTip(QStringLiteral("認識エリア左上のスクリーン上の縦方向位置"));
    txtWidth->setToolTip(QStringLiteral("認識エリアの幅"));
    txtHeight->setToolTip(QStringLiteral("認識エリアの高さ"));
    cmd2Tika->setToolTip(QStringLiteral("2値化レベルを変更した場合このボタンを押して確認"));
    cmdAriaKiroku->setToolTip(QStringLiteral("認識エリア情報を変更して記録する場合は押す"));
    List1->setToolTip(QStringLiteral("キャラクタグループに登録されているキャラクタ"));
    cmdKill->setToolTip(QStringLiteral("選択されているキャラクタをキャラクタグループから削除"));
    txtChr->setToolTip(QStringLiteral("拡大画像で囲んだ図形のキャラクタを指定します。"));
    cmdChrTouroku->setToolTip(QStringLiteral("拡大画像で囲んだ図形のデータを記録します。"));
    cmdCap->setToolTip(QStringLiteral("認識エリアをマウスで囲んで指定し拡大画像を表示します。"));
    cmdSCap->setToolTip(QStringLiteral("指定されている認識エリアの拡大画像を表示します。"));
    cmdEnd->setToolTip(QStringLiteral("エリア名で選択された認識エリアでの認識動作になります。"));

    TopMostOn();
    modPub::AriaName = FUMIni::IniRead(profile::kEndData, profile::kArea);
    const int i = AriaListLoad(modPub::AriaName);
    ariaChoice_->choose(i);
}

int frmKakudai::AriaListLoad(const std::u16string& name) {
    lstAriaList->clear();
    int found = 0;
    for (int n = 0;; ++n) {
        const std::u16string v = FUMIni::IniRead(profile::kAriaList, profile::ListKey(n));
        if (v.empty()) break;
        lstAriaList->addItem(Q(v));
        if (v == name) found = n;
    }
    lstAriaList->addItem(kNewEntry);
    return found;
}

void frmKakudai::lstAriaList_Click() {
    QListWidgetItem* item = lstAriaList->currentItem();
    if (!item) return;
    if (item->text() != kNewEntry) {
        modPub::AriaName = U(item->text());
        AriaLoad(modPub::AriaName);
        return;
    }

    TopMostOff();
    const auto name = askName(QStringLiteral("エリア名"));
    if (name) {
        if (!acceptNewName(*name, lstAriaList, true)) {
            TopMostOn();
            return;
        }
        lstAriaList->item(lstAriaList->count() - 1)->setText(Q(*name));
        modPub::AriaName = *name;
        for (int n = 0; n < lstAriaList->count(); ++n)
            FUMIni::IniWrite(profile::kAriaList, profile::ListKey(n),
                             U(lstAriaList->item(n)->text()));
    }
    VScroll1->setValue(128);
    TopMostOn();
}

void frmKakudai::AriaLoad(const std::u16string& name) {
    const std::u16string s = profile::AreaSection(name);

    lstChrGrop->clear();
    for (const auto& g :
         profile::ReadNumberedList(FUMIni::IniRead, profile::kChrGropList, profile::GroupKey))
        lstChrGrop->addItem(Q(g));
    lstChrGrop->addItem(kNewEntry);

    const int g =
        FUMIni::RoundToInt32Or(FUMIni::NumberValue(FUMIni::IniRead(s, profile::kChrGrop)), -1);
    if (g >= 0 && g < lstChrGrop->count()) {
        gropChoice_->choose(g);
    } else {
        // A group index no group has (a hand-edited file): nothing is
        // selected, and the characters shown and registered are group g's.
        lstChrGrop->setCurrentRow(-1);
        ChrGropNo = g;
    }

    txtAriaComment->setText(Q(FUMIni::IniRead(s, profile::kComment)));
    txtLeft->setText(Q(FUMIni::IniRead(s, u"Left")));
    txtTop->setText(Q(FUMIni::IniRead(s, u"Top")));
    txtWidth->setText(Q(FUMIni::IniRead(s, u"Width")));
    txtHeight->setText(Q(FUMIni::IniRead(s, u"Height")));

    const std::u16string t = FUMIni::IniRead(s, profile::kBwLevel);
    if (t.empty()) {
        VScroll1->setValue(128);
    } else {
        // The slider holds 0..255; a stored level beyond that puts it at its end.
        const double v = FUMIni::NumberValue(t);
        const auto level = FUMIni::RoundToInt16(v);
        VScroll1->setValue(level ? *level : (v < 0 ? 0 : 255));
    }
    txtKugiri->setText(Q(FUMIni::IniRead(s, profile::kKugiri)));

    ChrListLoad(g);
    const QListWidgetItem* chosen = lstChrGrop->currentItem();
    fraList->setTitle(QStringLiteral("キャラクタグループ(") +
                      (chosen ? chosen->text() : QString()) + QStringLiteral(")"));
    lblList->setText(QStringLiteral("登録文字リスト"));
}

void frmKakudai::cmdAriaKiroku_Click() {
    const std::u16string s = profile::AreaSection(modPub::AriaName);
    FUMIni::IniWrite(profile::kEndData, profile::kArea, modPub::AriaName);
    FUMIni::IniWrite(s, profile::kChrGrop, profile::SignedNumberText(ChrGropNo));
    FUMIni::IniWrite(s, profile::kComment, U(txtAriaComment->text()));
    FUMIni::IniWrite(s, profile::kLeft, U(txtLeft->text()));
    FUMIni::IniWrite(s, profile::kTop, U(txtTop->text()));
    FUMIni::IniWrite(s, profile::kWidth, U(txtWidth->text()));
    FUMIni::IniWrite(s, profile::kHeight, U(txtHeight->text()));
    FUMIni::IniWrite(s, profile::kBwLevel, U(txt2tikaLevel->text()));
    FUMIni::IniWrite(s, profile::kKugiri, U(txtKugiri->text()));
}

void frmKakudai::cmdEnd_Click() {
    FUMIni::IniWrite(profile::kEndData, profile::kArea, modPub::AriaName);
    outcome_ = EditorOutcome::Ok;
    accept();
}

void frmKakudai::keyPressEvent(QKeyEvent* e) {
    // Esc does not close the editor; only OK and the title bar do.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

// ---- groups and characters

void frmKakudai::ChrListLoad(int g) {
    AllChr = FUMIni::IniRead(profile::kChrSection, profile::CharListKey(g));
    auto pieces = profile::SplitCharList(AllChr);
    ChrCount = static_cast<int>(pieces.size());
    FUMIni::CombSort(pieces);
    List1->clear();
    for (const auto& c : pieces)
        List1->addItem(Q(c));
}

void frmKakudai::lstChrGrop_Click() {
    QListWidgetItem* item = lstChrGrop->currentItem();
    if (!item) return;
    if (item->text() != kNewEntry) {
        // Entry 0 always takes part; the last one only when it is a group
        // (right after a group was created, "<新規追加>" is gone).
        const int n = lstChrGrop->count();
        const int last = lstChrGrop->item(n - 1)->text() == kNewEntry ? n - 2 : n - 1;
        for (int i = 0; i <= std::max(last, 0); ++i)
            if (lstChrGrop->item(i)->text() == item->text()) ChrGropNo = i;
        ChrListLoad(ChrGropNo);
        return;
    }

    TopMostOff();
    const auto name = askName(QStringLiteral("キャラクタグループ名"));
    if (!name || !acceptNewName(*name, lstChrGrop, false)) {
        TopMostOn();
        return;
    }
    lstChrGrop->item(lstChrGrop->count() - 1)->setText(Q(*name));
    for (int n = 0; n < lstChrGrop->count(); ++n)
        FUMIni::IniWrite(profile::kChrGropList, profile::GroupKey(n),
                         U(lstChrGrop->item(n)->text()));
    ChrGropNo = lstChrGrop->count() - 1;
    ChrListLoad(ChrGropNo);
    TopMostOn();
}

void frmKakudai::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return;
    const std::u16string s = profile::CharSection(ChrGropNo, U(item->text()));
    txtChr->setText(Q(FUMIni::IniRead(s, profile::kChr)));
    lblWidth->setText(Q(FUMIni::IniRead(s, profile::kX)));
    lblHeight->setText(Q(FUMIni::IniRead(s, profile::kY)));
}

void frmKakudai::cmdKill_Click() {
    const QListWidgetItem* item = List1->currentItem();
    const std::u16string c = item && item->isSelected() ? U(item->text()) : std::u16string();
    if (c.empty()) {
        message(QStringLiteral("削除するキャラクタを選択してください."), kAppTitle, Icon::Question);
        return;
    }
    const std::u16string s = profile::CharSection(ChrGropNo, c);
    FUMIni::IniWrite(s, profile::kChr, profile::kDeletedChr);
    FUMIni::IniWrite(s, profile::kX, u"0");
    FUMIni::IniWrite(s, profile::kY, u"0");

    std::vector<std::u16string> kept;
    for (const auto& e : Entries(List1))
        if (e != c) kept.push_back(e);
    List1->clear();
    FUMIni::IniWrite(profile::kChrSection, profile::CharListKey(ChrGropNo),
                     profile::JoinCharList(kept));
    ChrListLoad(ChrGropNo);
}

// ---- capture, two levels, magnified view

const QImage& frmKakudai::areaImage() const {
    return picSelAlia->image();
}
const QImage& frmKakudai::twoLevelImage() const {
    return pic2tika->image();
}
const QImage& frmKakudai::magnifiedImage() const {
    return picBig->image();
}

void frmKakudai::VScroll1_Change() {
    txt2tikaLevel->setText(QString::number(VScroll1->value()));
}

namespace {

const QString kNotNumbers = QStringLiteral("Left、Top、Width、Heightに数値を入力してください");
const QString kBadAreaSize =
    QStringLiteral("認識エリアの大きさが不適当です(幅と高さは0～3000、幅×高さは160000以下)");

} // namespace

void frmKakudai::cmdSCap_Click() {
    const auto left = FieldNumber(U(txtLeft->text()));
    const auto top = FieldNumber(U(txtTop->text()));
    const auto width = FieldNumber(U(txtWidth->text()));
    const auto height = FieldNumber(U(txtHeight->text()));
    if (!left || !top || !width || !height) {
        message(kNotNumbers, kAppTitle);
        return;
    }
    const auto w = FUMIni::RoundToInt32(*width);
    const auto h = FUMIni::RoundToInt32(*height);
    if (!w || !h || !AreaSizeAcceptable(*w, *h)) {
        message(kBadAreaSize, kAppTitle);
        return;
    }
    QImage image(*w, *h, QImage::Format_RGB32);
    image.fill(Qt::white);
    capture::WithOwnWindowsAway(platform_, [&] { // the area as it is under the editor
        capture::ScrCap(platform_, image, static_cast<float>(*left), static_cast<float>(*top));
    });
    picSelAlia->setImage(image);
    cmd2Tika_Click();
}

void frmKakudai::setCaptureControlsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{VScroll1, cmd2Tika, cmdAriaKiroku, cmdKill,
                                                      cmdChrTouroku, cmdCap, cmdSCap, cmdEnd})
        w->setEnabled(on);
}

void frmKakudai::takeCapture(const capture::CapResult& result) {
    using Kind = capture::CapResult::Kind;
    if (result.kind == Kind::NoPicture) {
        message(QStringLiteral("画面の画像を取得できませんでした"), kAppTitle);
        return;
    }
    if (result.kind != Kind::Selected) return;
    if (!AreaSizeAcceptable(result.area.width(), result.area.height())) {
        message(kBadAreaSize, kAppTitle);
        return;
    }
    picSelAlia->setImage(result.image);
    txtLeft->setText(QString::number(result.area.left()));
    txtTop->setText(QString::number(result.area.top()));
    txtWidth->setText(QString::number(result.area.width()));
    txtHeight->setText(QString::number(result.area.height()));
    cmd2Tika_Click();
}

void frmKakudai::cmdCap_Click() {
    lblSetumei->setText(QStringLiteral("1行のすべての文字が入る、なるべく狭い認識範囲をマウスで囲"
                                       "んで指定してください、\r\nEscキーでキャンセルします。"));
    setCaptureControlsEnabled(false);
    if (!cap_) cap_ = new capture::frmCap(platform_, this);
    takeCapture(cap_->run());
    setCaptureControlsEnabled(true);
    cmd2Tika_Click();
    lblSetumei->setText(
        QStringLiteral("拡大表示された1文字をマウスで囲んでキャラクターを指定し、キャラクタ記録ボ"
                       "タンを押してください。\r\n何も表示されない場合は2値化レベルを変更して2値化"
                       "ボタンを押してみてください。"));
}

void frmKakudai::cmd2Tika_Click() {
    const auto width = FieldNumber(U(txtWidth->text()));
    const auto height = FieldNumber(U(txtHeight->text()));
    if (!width || !height) {
        message(kNotNumbers, kAppTitle);
        return;
    }
    const double level = FUMIni::NumberValue(U(txt2tikaLevel->text()));
    pic2tika->setImage(Binarize(picSelAlia->image(), level, *width, *height));
    BigDsp();
}

void frmKakudai::BigDsp() {
    if (cap_ && cap_->isVisible()) cap_->close();
    const QImage& two = pic2tika->image();
    picBig->clearOutline();
    picBig->setImage(Magnify(two, kCell));
    // Sizes apply to the inside of the window, so the title bar never covers
    // the lowest cells. The window only ever grows in width.
    const int w = std::max(width(), kCell * two.width() + 10);
    const int h = picBig->height() + lblSetumei->height() + picCtlAlia->height() + 20;
    setFixedSize(w, h);
    layoutBands();
}

void frmKakudai::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    layoutBands();
}

void frmKakudai::layoutBands() {
    lblSetumei->setGeometry(0, 0, width(), kSetumeiHeight);
    picCtlAlia->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
}

// ---- cutting and registration
//
// picBig positions are plain widget pixels: the magnified view is the
// editor's own drawing, ten widget pixels to a cell at any scale factor, so
// no conversion to screen pixels is needed here.

void frmKakudai::picBig_MouseDown(Qt::MouseButton button, QPointF pos) {
    if (button != Qt::LeftButton) return;
    Cut.x1 = Cut.x2 = static_cast<float>(pos.x());
    Cut.y1 = Cut.y2 = static_cast<float>(pos.y());
}

void frmKakudai::picBig_MouseMove(Qt::MouseButtons buttons, QPointF pos) {
    if (!(buttons & Qt::LeftButton)) return;
    // The outline shown ends at the corner of the previous move.
    picBig->setOutline(QRectF(QPointF(Cut.x1, Cut.y1), QPointF(Cut.x2, Cut.y2)), true);
    Cut.x2 = static_cast<float>(pos.x());
    Cut.y2 = static_cast<float>(pos.y());
}

void frmKakudai::picBig_MouseUp(Qt::MouseButton button, QPointF) {
    if (button != Qt::LeftButton) return;
    picBig->clearOutline();
    Cut = FinishCut(Cut);
    picBig->setOutline(QRectF(QPointF(Cut.x1, Cut.y1), QPointF(Cut.x2, Cut.y2)), false);
    const float w = (Cut.x2 - Cut.x1) / kCell;
    const float h = (Cut.y2 - Cut.y1) / kCell;
    if (CutSizeAcceptable(w, h))
        cmdChrTouroku->setEnabled(true);
    else
        message(QStringLiteral("サイズが不適当"), kAppTitle);
    lblWidth->setText(Q(FUMIni::SingleText(w)));
    lblHeight->setText(Q(FUMIni::SingleText(h)));
    txtChr->clear();
}

void frmKakudai::cmdChrTouroku_Click() {
    const std::u16string c = U(txtChr->text());
    if (c.empty()) {
        message(QStringLiteral("キャラクタを入力してください!"), kAppTitle);
        return;
    }
    // Nothing is written unless the template, its section and the group's
    // list will all read back as they were meant.
    const auto size = LabelCutSize(U(lblWidth->text()), U(lblHeight->text()));
    if (!size) {
        message(QStringLiteral("サイズが不適当"), kAppTitle);
        return;
    }
    if (CheckCharText(c) != CharProblem::None) {
        message(QStringLiteral("キャラクタに \\ [ ] や改行は使えません"), kAppTitle);
        return;
    }
    const auto entries = Entries(List1);
    if (const auto twin = SectionTwin(c, entries)) {
        message(QStringLiteral("登録済みのキャラクタ「") + Q(*twin) +
                    QStringLiteral("」と区別できないため記録できません"),
                kAppTitle);
        return;
    }
    const bool isNew = std::find(entries.begin(), entries.end(), c) == entries.end();
    const std::u16string newList = isNew ? AppendToCharList(AllChr, c) : AllChr;
    if (isNew && StoredBytes(newList, ProfileEncoding()) > settings::kMaxValueBytes) {
        message(QStringLiteral("このキャラクタグループにはこれ以上登録できません"), kAppTitle);
        return;
    }

    const std::u16string section = profile::CharSection(ChrGropNo, c);
    FUMIni::IniWrite(section, profile::kChr, c);
    FUMIni::IniWrite(section, profile::kX, U(lblWidth->text()));
    FUMIni::IniWrite(section, profile::kY, U(lblHeight->text()));
    const auto masks = RowMasks(picBig->image(), Cut.x1, Cut.y1, *size);
    for (std::size_t i = 0; i < masks.size(); ++i)
        FUMIni::IniWrite(section, profile::RowKey(static_cast<std::int64_t>(i)),
                         profile::SignedNumberText(masks[i]));
    if (isNew) {
        List1->addItem(Q(c));
        ++ChrCount;
        AllChr = newList;
        FUMIni::IniWrite(profile::kChrSection, profile::CharListKey(ChrGropNo), AllChr);
    }
    cmdChrTouroku->setEnabled(false);
}

} // namespace editor
