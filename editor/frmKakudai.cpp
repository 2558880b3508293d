#include "frmKakudai.h"

#include "Fields.h"
#include "frmFields.h"

#include "FUMIni.h"
#include "MagnifiedView.h"
#include "OwnWindows.h"
#include "PictureBox.h"
#include "ProfileLayout.h"
#include "ScreenGrab.h"
#include "ScreenReading.h"
#include "frmCap.h"
#include "frmTuika.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <functional>

namespace editor {

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

} // namespace

frmKakudai::frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs,
                       store::ProfileStore& profile, QWidget* parent)
    : QDialog(parent), platform_(platform), dialogs_(dialogs), profile_(profile) {
    setObjectName(QStringLiteral("frmKakudai"));
    setWindowTitle(QStringLiteral("認識エリアとキャラクタ登録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    buildControls();
    connectHandlers();
    fitToScreen();
}

frmKakudai::~frmKakudai() = default;

void frmKakudai::connectHandlers() {
    ariaChoice_ = new ListChoice(lstAriaList, [this] { lstAriaList_Click(); });
    gropChoice_ = new ListChoice(lstChrGrop, [this] { lstChrGrop_Click(); });
    new ListChoice(List1, [this] { List1_Click(); });
    connect(cmdAriaKiroku, &QPushButton::clicked, this, &frmKakudai::cmdAriaKiroku_Click);
    connect(cmdFields, &QPushButton::clicked, this, &frmKakudai::cmdFields_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmKakudai::cmdEnd_Click);
    connect(cmdKill, &QPushButton::clicked, this, &frmKakudai::cmdKill_Click);
    connect(cmdChrTouroku, &QPushButton::clicked, this, &frmKakudai::cmdChrTouroku_Click);
    connect(cmdGyouTouroku, &QPushButton::clicked, this, &frmKakudai::cmdGyouTouroku_Click);
    connect(cmdSCap, &QPushButton::clicked, this, &frmKakudai::cmdSCap_Click);
    connect(cmdCap, &QPushButton::clicked, this, &frmKakudai::cmdCap_Click);
    connect(cmd2Tika, &QPushButton::clicked, this, &frmKakudai::cmd2Tika_Click);
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmKakudai::VScroll1_Change);
    connect(txtGyou, &QLineEdit::textChanged, this, &frmKakudai::txtGyou_Change);
    // The reading check follows the blank setting as it is typed, and the
    // line's text on Enter (never on leaving a box: the check changing its
    // size then could move a button away from under a click).
    for (QLineEdit* e : {txtKugiri, txtKuhaku})
        connect(e, &QLineEdit::textChanged, this, [this] { runReadingCheck(); });
    connect(txtGyou, &QLineEdit::returnPressed, this, [this] { runReadingCheck(); });
    connect(scrBig, &MagnifiedView::mouseDown, this, &frmKakudai::picBig_MouseDown);
    connect(scrBig, &MagnifiedView::mouseMove, this, &frmKakudai::picBig_MouseMove);
    connect(scrBig, &MagnifiedView::mouseUp, this, &frmKakudai::picBig_MouseUp);
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
    switch (CheckName(name, ProfileEncoding(profile_.path()))) {
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
    lblWidth->setAccessibleDescription(QString());
    lblHeight->setAccessibleDescription(QString());

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

    txtGyou->setToolTip(QStringLiteral(
        "キャプチャした1行の文字を左から順に入力します。数字の間の空白は空白のまま入力します。"));
    cmdGyouTouroku->setToolTip(QStringLiteral(
        "入力した1行の文字を、拡大画像の黒い部分の切れ目ごとに切り出して記録します。"));
    txtKuhaku->setToolTip(
        QStringLiteral("文字の間の空白がこの幅 (画素) 以上のとき、区切りキャラクタ"
                       "を入れて読み取ります。空か0なら入れません。"));
    chkYominokoshi->setToolTip(QStringLiteral(
        "読み取りたくない物がいつも入っている認識エリアで、読み取れない部分があっても"
        "書き込み前に確かめません (赤枠は表示されます)。"));

    TopMostOn();
    AriaName = profile_.IniRead(profile::kEndData, profile::kArea);
    const int i = AriaListLoad(AriaName);
    ariaChoice_->choose(i);
}

int frmKakudai::AriaListLoad(const std::u16string& name) {
    lstAriaList->clear();
    int found = 0;
    for (int n = 0;; ++n) {
        const std::u16string v = profile_.IniRead(profile::kAriaList, profile::ListKey(n));
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
        AriaName = U(item->text());
        AriaLoad(AriaName);
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
        AriaName = *name;
        for (int n = 0; n < lstAriaList->count(); ++n)
            profile_.IniWrite(profile::kAriaList, profile::ListKey(n),
                              U(lstAriaList->item(n)->text()));
        // The next area can be added at once.
        lstAriaList->addItem(kNewEntry);
    }
    VScroll1->setValue(128);
    TopMostOn();
    // The first area of all: its group is chosen (or named) right away, as
    // when an area is loaded.
    if (name && lstChrGrop->count() == 0) {
        fillGroupList(ChrGropNo);
        ChrListLoad(ChrGropNo);
    }
}

void frmKakudai::fillGroupList(int g) {
    lstChrGrop->clear();
    for (const auto& group :
         profile::ReadNumberedList(profile_.reader(), profile::kChrGropList, profile::GroupKey))
        lstChrGrop->addItem(Q(group));
    lstChrGrop->addItem(kNewEntry);
    if (g >= 0 && g < lstChrGrop->count()) {
        gropChoice_->choose(g);
    } else {
        // A group index no group has (a hand-edited file): nothing is
        // selected, and the characters shown and registered are group g's.
        lstChrGrop->setCurrentRow(-1);
        ChrGropNo = g;
    }
    const QListWidgetItem* chosen = lstChrGrop->currentItem();
    fraList->setTitle(QStringLiteral("キャラクタグループ(") +
                      (chosen && chosen->text() != kNewEntry ? chosen->text() : QString()) +
                      QStringLiteral(")"));
    lblList->setText(QStringLiteral("登録文字リスト"));
}

void frmKakudai::AriaLoad(const std::u16string& name) {
    const std::u16string s = profile::AreaSection(name);
    // A group no 32-bit integer names selects none.
    const int g = profile::GroupNumber(profile_.IniRead(s, profile::kChrGrop)).value_or(-1);
    fillGroupList(g);

    txtAriaComment->setText(Q(profile_.IniRead(s, profile::kComment)));
    txtLeft->setText(Q(profile_.IniRead(s, u"Left")));
    txtTop->setText(Q(profile_.IniRead(s, u"Top")));
    txtWidth->setText(Q(profile_.IniRead(s, u"Width")));
    txtHeight->setText(Q(profile_.IniRead(s, u"Height")));

    const std::u16string t = profile_.IniRead(s, profile::kBwLevel);
    if (t.empty()) {
        VScroll1->setValue(128);
    } else {
        // The slider holds 0..255; a stored level beyond that puts it at its end.
        const double v = settings::NumberValue(t);
        const auto level = settings::RoundToInt16(v);
        VScroll1->setValue(level ? *level : (v < 0 ? 0 : 255));
    }
    txtKugiri->setText(Q(profile_.IniRead(s, profile::kKugiri)));
    txtKuhaku->setText(Q(profile_.IniRead(s, profile::kBlankWidth)));
    chkYominokoshi->setChecked(profile::IsTrue(profile_.IniRead(s, profile::kWriteUnread)));
    showFields();

    ChrListLoad(ChrGropNo);
    runReadingCheck();
}

AreaTexts frmKakudai::shownArea() const {
    return {U(txtAriaComment->text()),  U(txtLeft->text()),   U(txtTop->text()),
            U(txtWidth->text()),        U(txtHeight->text()), U(txt2tikaLevel->text()),
            U(txtKugiri->text()),       U(txtKuhaku->text()), ChrGropNo,
            chkYominokoshi->isChecked()};
}

bool frmKakudai::storeArea() {
    if (AriaName.empty()) {
        // Stored under no name, the settings would go to a section no list
        // names.
        message(QStringLiteral("エリア名の一覧で認識エリアを選ぶか、<新規追加>で作ってください"),
                kAppTitle);
        return false;
    }
    const std::u16string blank = U(txtKuhaku->text());
    if (const auto v = FieldNumber(blank);
        !blank.empty() && (!v || *v < 0 || *v != static_cast<double>(static_cast<long long>(*v)))) {
        message(QStringLiteral("空白の幅には0以上の整数を入力してください"), kAppTitle);
        return false;
    }
    const std::u16string s = profile::AreaSection(AriaName);
    profile_.IniWrite(profile::kEndData, profile::kArea, AriaName);
    profile_.IniWrite(s, profile::kChrGrop, profile::SignedNumberText(ChrGropNo));
    profile_.IniWrite(s, profile::kComment, U(txtAriaComment->text()));
    profile_.IniWrite(s, profile::kLeft, U(txtLeft->text()));
    profile_.IniWrite(s, profile::kTop, U(txtTop->text()));
    profile_.IniWrite(s, profile::kWidth, U(txtWidth->text()));
    profile_.IniWrite(s, profile::kHeight, U(txtHeight->text()));
    profile_.IniWrite(s, profile::kBwLevel, U(txt2tikaLevel->text()));
    profile_.IniWrite(s, profile::kKugiri, U(txtKugiri->text()));
    // A new key: written once the user has set it, so that an area that
    // never used it is stored exactly as before.
    if (!blank.empty() || !profile_.IniRead(s, profile::kBlankWidth).empty())
        profile_.IniWrite(s, profile::kBlankWidth, blank);
    if (chkYominokoshi->isChecked() || !profile_.IniRead(s, profile::kWriteUnread).empty())
        profile_.IniWrite(s, profile::kWriteUnread, profile::FlagText(chkYominokoshi->isChecked()));
    storeMonitor(s);
    setGuidance(
        QStringLiteral("認識エリア「%1」を記録しました。(O)Kで閉じると、このエリアを読み取ります。")
            .arg(Q(AriaName)));
    return true;
}

void frmKakudai::storeMonitor(const std::u16string& section) {
    // The monitor the area lies on now, so that a reading can tell when it
    // is read on another one (other size, place or scale).
    std::optional<engine::Monitor> monitor;
    const auto left = FieldNumber(U(txtLeft->text())), top = FieldNumber(U(txtTop->text()));
    const auto width = FieldNumber(U(txtWidth->text())), height = FieldNumber(U(txtHeight->text()));
    if (left && top && width && height) {
        const auto l = settings::RoundToInt32(*left), t = settings::RoundToInt32(*top);
        const auto w = settings::RoundToInt32(*width), h = settings::RoundToInt32(*height);
        if (l && t && w && h) monitor = capture::MonitorOf(platform_, QRect(*l, *t, *w, *h));
    }
    if (monitor) {
        profile_.IniWrite(section, profile::kMonitor, engine::MonitorRectText(monitor->rect));
        profile_.IniWrite(section, profile::kMonitorScale,
                          monitor->scalePercent > 0 ? profile::Decimal(monitor->scalePercent)
                                                    : std::u16string());
    } else if (!profile_.IniRead(section, profile::kMonitor).empty()) {
        // On no monitor now: the old record would only mislead.
        profile_.IniWrite(section, profile::kMonitor, u"");
        profile_.IniWrite(section, profile::kMonitorScale, u"");
    }
}

void frmKakudai::showFields() {
    const auto fields = engine::ReadFields(AriaName, profile_.reader());
    QStringList names;
    for (const auto& f : fields)
        names << Q(f.name) +
                     (f.mark == engine::FieldMark::None ? QString() : QStringLiteral("(!)"));
    lblFields->setText(names.isEmpty() ? QStringLiteral("なし") : names.join(QStringLiteral("、")));
    lblFields->setToolTip(
        QStringLiteral("「%1」を読んだあと、同じ読み取りで続けて読むエリア").arg(Q(AriaName)));
}

void frmKakudai::cmdFields_Click() {
    const std::u16string area = AriaName;
    const auto areas =
        profile::ReadNumberedList(profile_.reader(), profile::kAriaList, profile::ListKey);
    if (area.empty() || area == profile::kNewEntry ||
        std::find(areas.begin(), areas.end(), area) == areas.end()) {
        message(QStringLiteral("エリア名の一覧で認識エリアを選ぶか、<新規追加>で作ってください"),
                kAppTitle);
        return;
    }
    std::vector<std::u16string> withFields;
    for (const auto& a : areas)
        if (!engine::FieldNames(a, profile_.reader()).empty()) withFields.push_back(a);
    TopMostOff();
    frmFields dialog(
        area, FieldChoices(area, areas, engine::FieldNames(area, profile_.reader()), withFields),
        this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    TopMostOn();
    if (!ok) return;
    engine::WriteFields(area, dialog.chosen(), profile_.reader(),
                        [this](std::u16string_view s, std::u16string_view k,
                               std::u16string_view v) { return profile_.IniWrite(s, k, v) != 0; });
    showFields();
    setGuidance(QStringLiteral("認識エリア「%1」の続けて読むエリアを記録しました。").arg(Q(area)));
}

void frmKakudai::cmdAriaKiroku_Click() {
    storeArea();
}

void frmKakudai::cmdEnd_Click() {
    const auto entries = Entries(lstAriaList);
    const std::u16string& name = AriaName;
    if (!name.empty() && name != profile::kNewEntry &&
        std::find(entries.begin(), entries.end(), name) != entries.end()) {
        const std::u16string s = profile::AreaSection(name);
        const AreaTexts stored{
            profile_.IniRead(s, profile::kComment),
            profile_.IniRead(s, profile::kLeft),
            profile_.IniRead(s, profile::kTop),
            profile_.IniRead(s, profile::kWidth),
            profile_.IniRead(s, profile::kHeight),
            profile_.IniRead(s, profile::kBwLevel),
            profile_.IniRead(s, profile::kKugiri),
            profile_.IniRead(s, profile::kBlankWidth),
            profile::GroupNumber(profile_.IniRead(s, profile::kChrGrop)).value_or(-1),
            profile::IsTrue(profile_.IniRead(s, profile::kWriteUnread))};
        const bool hasSection = profile_.IniHasSection(s);
        if (AreaNeedsStoring(shownArea(), stored, hasSection)) {
            const QString text =
                (hasSection ? QStringLiteral("認識エリア「%1」の変更はまだ記録されていません。")
                            : QStringLiteral("認識エリア「%1」はまだ記録されていません。"))
                    .arg(Q(name)) +
                QStringLiteral("\n記録してから閉じますか?");
            switch (dialogs_.question(this, text, kAppTitle)) {
            case platform::Dialogs::Answer::Yes:
                if (!storeArea()) return;
                break;
            case platform::Dialogs::Answer::No:
                break;
            case platform::Dialogs::Answer::Cancel:
                return;
            }
        }
    }
    profile_.IniWrite(profile::kEndData, profile::kArea, AriaName);
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
    AllChr = profile_.IniRead(profile::kChrSection, profile::CharListKey(g));
    auto pieces = profile::SplitCharList(AllChr);
    ChrCount = static_cast<int>(pieces.size());
    settings::CombSort(pieces);
    List1->clear();
    for (const auto& c : pieces)
        List1->addItem(Q(c));
}

void frmKakudai::lstChrGrop_Click() {
    QListWidgetItem* item = lstChrGrop->currentItem();
    if (!item) return;
    if (item->text() != kNewEntry) {
        // Entry 0 always takes part; the last one only when it is a group.
        const int n = lstChrGrop->count();
        const int last = lstChrGrop->item(n - 1)->text() == kNewEntry ? n - 2 : n - 1;
        for (int i = 0; i <= std::max(last, 0); ++i)
            if (lstChrGrop->item(i)->text() == item->text()) ChrGropNo = i;
        ChrListLoad(ChrGropNo);
        runReadingCheck();
        return;
    }

    TopMostOff();
    const auto name = askName(QStringLiteral("キャラクタグループ名"));
    if (!name || !acceptNewName(*name, lstChrGrop, false)) {
        TopMostOn();
        return;
    }
    const int row = lstChrGrop->count() - 1;
    lstChrGrop->item(row)->setText(Q(*name));
    for (int n = 0; n <= row; ++n)
        profile_.IniWrite(profile::kChrGropList, profile::GroupKey(n),
                          U(lstChrGrop->item(n)->text()));
    // The next group can be added at once.
    lstChrGrop->addItem(kNewEntry);
    ChrGropNo = row;
    ChrListLoad(ChrGropNo);
    TopMostOn();
    runReadingCheck();
}

void frmKakudai::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return;
    const std::u16string s = profile::CharSection(ChrGropNo, U(item->text()));
    txtChr->setText(Q(profile_.IniRead(s, profile::kChr)));
    lblWidth->setText(Q(profile_.IniRead(s, profile::kX)));
    lblHeight->setText(Q(profile_.IniRead(s, profile::kY)));
    lblWidth->setAccessibleDescription(lblWidth->text());
    lblHeight->setAccessibleDescription(lblHeight->text());
    // The labels now describe the stored template, not the cut.
    setCutAccepted(false);
}

void frmKakudai::cmdKill_Click() {
    const QListWidgetItem* item = List1->currentItem();
    const std::u16string c = item && item->isSelected() ? U(item->text()) : std::u16string();
    if (c.empty()) {
        message(QStringLiteral("削除するキャラクタを選択してください."), kAppTitle, Icon::Question);
        return;
    }
    std::vector<std::u16string> kept;
    for (const auto& e : Entries(List1))
        if (e != c) kept.push_back(e);
    // In one replacement of the profile: a deletion cut short would leave
    // a listed character named "Null" that readings would put in answers.
    const std::u16string s = profile::CharSection(ChrGropNo, c);
    profile_.IniWriteAll({{s, std::u16string(profile::kChr), std::u16string(profile::kDeletedChr)},
                          {s, std::u16string(profile::kX), u"0"},
                          {s, std::u16string(profile::kY), u"0"},
                          {std::u16string(profile::kChrSection), profile::CharListKey(ChrGropNo),
                           profile::JoinCharList(kept)}});
    List1->clear();
    ChrListLoad(ChrGropNo);
    runReadingCheck();
}

// ---- capture, two levels, magnified view

const QImage& frmKakudai::areaImage() const {
    return picSelAlia->image();
}
const QImage& frmKakudai::twoLevelImage() const {
    return pic2tika->image();
}
QImage frmKakudai::magnifiedImage() const {
    return scrBig->magnified();
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
    const auto w = settings::RoundToInt32(*width);
    const auto h = settings::RoundToInt32(*height);
    if (!w || !h || !AreaSizeAcceptable(*w, *h)) {
        message(kBadAreaSize, kAppTitle);
        return;
    }
    QImage image(*w, *h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QString problem;
    capture::WithOwnWindowsAway(platform_, [&] { // the area as it is under the editor
        problem =
            capture::ScrCap(platform_, image, static_cast<float>(*left), static_cast<float>(*top));
    });
    if (!problem.isEmpty()) { // no picture at all, not a white one
        message(QStringLiteral("画面の画像を取得できませんでした") + QLatin1Char('\n') + problem,
                kAppTitle);
        return;
    }
    picSelAlia->setImage(image);
    cmd2Tika_Click();
}

void frmKakudai::setCaptureControlsEnabled(bool on) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{VScroll1, cmd2Tika, cmdAriaKiroku, cmdKill, cmdChrTouroku,
                                         cmdCap, cmdSCap, cmdEnd, cmdGyouTouroku})
        w->setEnabled(on);
}

void frmKakudai::takeCapture(const capture::CapResult& result) {
    using Kind = capture::CapResult::Kind;
    if (result.kind == Kind::NoPicture) {
        message(QStringLiteral("画面の画像を取得できませんでした") +
                    (result.why.isEmpty() ? QString() : QLatin1Char('\n') + result.why),
                kAppTitle);
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
    setGuidance(QStringLiteral("1行のすべての文字が入る、なるべく狭い認識範囲をマウスで囲"
                               "んで指定してください、\r\nEscキーでキャンセルします。"));
    setCaptureControlsEnabled(false);
    if (!cap_) cap_ = new capture::frmCap(platform_, this);
    takeCapture(cap_->run());
    setCaptureControlsEnabled(true);
    cmd2Tika_Click();
    // "キャラクタ記録" only while a cut of this image is accepted.
    setCutAccepted(cutAccepted_);
    setGuidance(
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
    const double level = settings::NumberValue(U(txt2tikaLevel->text()));
    pic2tika->setImage(Binarize(picSelAlia->image(), level, *width, *height));
    BigDsp();
    // A cut made on an earlier capture is no cut of this one.
    if (cutAccepted_ && picSelAlia->image().cacheKey() != cutImage_) setCutAccepted(false);
    showLinePlan();
    updateReadingCheck();
    // Grown once more with the check in place (from its top-left corner, so
    // that it stays where it stands), the view showing all the window has
    // room for; a new capture shows its line of ink first.
    fitToScreen();
    if (picSelAlia->image().cacheKey() != shownImage_ && !split_.cuts.empty())
        scrBig->bringIntoView(QRect(QPoint(split_.cuts.front().left(), split_.inkTop),
                                    QPoint(split_.cuts.back().right(), split_.inkBottom)));
    shownImage_ = picSelAlia->image().cacheKey();
}

void frmKakudai::BigDsp() {
    if (cap_ && cap_->isVisible()) cap_->close();
    scrBig->setImage(pic2tika->image());
    // The window grows with the view, up to what its screen has room for;
    // beyond that the view scrolls.
    fitToScreen();
}

} // namespace editor
