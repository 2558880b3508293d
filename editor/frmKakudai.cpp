#include "frmKakudai.h"

#include "Fields.h"
#include "frmFields.h"

#include "FUMIni.h"
#include "FileIo.h"
#include "ListChoice.h"
#include "MagnifiedView.h"
#include "PictureBox.h"
#include "ProfileLayout.h"
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

std::vector<std::u16string> Entries(const QListWidget* list) {
    std::vector<std::u16string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(U(list->item(i)->text()));
    return out;
}

} // namespace

frmKakudai::frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs,
                       store::ProfileStore& profile, QWidget* parent)
    : QDialog(parent), platform_(platform), dialogs_(dialogs), profile_(profile), layout_(*this),
      ui_(layout_.ui),
      teacher_(*this, layout_, dialogs, profile, group_, [this] { return shownArea(); }),
      capture_(*this, layout_, teacher_, platform, dialogs) {
    setObjectName(QStringLiteral("frmKakudai"));
    setWindowTitle(QStringLiteral("認識エリアとキャラクタ登録"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    layout_.build();
    connectHandlers();
    layout_.fitToScreen();
}

frmKakudai::~frmKakudai() = default;

void frmKakudai::connectHandlers() {
    ariaChoice_ = new ListChoice(ui_.lstAriaList, [this] { lstAriaList_Click(); });
    gropChoice_ = new ListChoice(ui_.lstChrGrop, [this] { lstChrGrop_Click(); });
    new ListChoice(ui_.List1, [this] { List1_Click(); });
    connect(ui_.cmdAriaKiroku, &QPushButton::clicked, this, &frmKakudai::cmdAriaKiroku_Click);
    connect(ui_.cmdFields, &QPushButton::clicked, this, &frmKakudai::cmdFields_Click);
    connect(ui_.cmdEnd, &QPushButton::clicked, this, &frmKakudai::cmdEnd_Click);
    connect(ui_.cmdKill, &QPushButton::clicked, this, &frmKakudai::cmdKill_Click);
    connect(ui_.cmdChrTouroku, &QPushButton::clicked, this, &frmKakudai::cmdChrTouroku_Click);
    connect(ui_.cmdGyouTouroku, &QPushButton::clicked, this, &frmKakudai::cmdGyouTouroku_Click);
    connect(ui_.cmdSCap, &QPushButton::clicked, this, &frmKakudai::cmdSCap_Click);
    connect(ui_.cmdCap, &QPushButton::clicked, this, &frmKakudai::cmdCap_Click);
    connect(ui_.cmd2Tika, &QPushButton::clicked, this, &frmKakudai::cmd2Tika_Click);
    connect(ui_.VScroll1, &QScrollBar::valueChanged, this, &frmKakudai::VScroll1_Change);
    connect(ui_.txtGyou, &QLineEdit::textChanged, this, &frmKakudai::txtGyou_Change);
    // The reading check follows the blank setting as it is typed, and the
    // line's text on Enter (never on leaving a box: the check changing its
    // size then could move a button away from under a click).
    for (QLineEdit* e : {ui_.txtKugiri, ui_.txtKuhaku})
        connect(e, &QLineEdit::textChanged, this, [this] { teacher_.runReadingCheck(); });
    connect(ui_.txtGyou, &QLineEdit::returnPressed, this, [this] { teacher_.runReadingCheck(); });
    connect(ui_.scrBig, &MagnifiedView::mouseDown, this, &frmKakudai::picBig_MouseDown);
    connect(ui_.scrBig, &MagnifiedView::mouseMove, this, &frmKakudai::picBig_MouseMove);
    connect(ui_.scrBig, &MagnifiedView::mouseUp, this, &frmKakudai::picBig_MouseUp);
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
    ui_.txtChr->clear();
    ui_.lblHeight->clear();
    ui_.lblWidth->clear();
    ui_.lblWidth->setAccessibleDescription(QString());
    ui_.lblHeight->setAccessibleDescription(QString());

    layout_.setToolTips();

    TopMostOn();
    AriaName_ = profile_.IniRead(profile::kEndData, profile::kArea);
    const int i = AriaListLoad(AriaName_);
    ariaChoice_->choose(i);
}

int frmKakudai::AriaListLoad(const std::u16string& name) {
    ui_.lstAriaList->clear();
    int found = 0;
    for (int n = 0;; ++n) {
        const std::u16string v = profile_.IniRead(profile::kAriaList, profile::ListKey(n));
        if (v.empty()) break;
        ui_.lstAriaList->addItem(Q(v));
        if (v == name) found = n;
    }
    ui_.lstAriaList->addItem(kNewEntry);
    return found;
}

void frmKakudai::lstAriaList_Click() {
    QListWidgetItem* item = ui_.lstAriaList->currentItem();
    if (!item) return;
    if (item->text() != kNewEntry) {
        AriaName_ = U(item->text());
        AriaLoad(AriaName_);
        return;
    }

    TopMostOff();
    const auto name = askName(QStringLiteral("エリア名"));
    if (name) {
        if (!acceptNewName(*name, ui_.lstAriaList, true)) {
            TopMostOn();
            return;
        }
        ui_.lstAriaList->item(ui_.lstAriaList->count() - 1)->setText(Q(*name));
        AriaName_ = *name;
        for (int n = 0; n < ui_.lstAriaList->count(); ++n)
            profile_.IniWrite(profile::kAriaList, profile::ListKey(n),
                              U(ui_.lstAriaList->item(n)->text()));
        // The next area can be added at once.
        ui_.lstAriaList->addItem(kNewEntry);
    }
    ui_.VScroll1->setValue(128);
    TopMostOn();
    // The first area of all: its group is chosen (or named) right away, as
    // when an area is loaded.
    if (name && ui_.lstChrGrop->count() == 0) {
        fillGroupList(group_.ChrGropNo);
        ChrListLoad(group_.ChrGropNo);
    }
}

void frmKakudai::fillGroupList(int g) {
    ui_.lstChrGrop->clear();
    for (const auto& group :
         profile::ReadNumberedList(profile_.reader(), profile::kChrGropList, profile::GroupKey))
        ui_.lstChrGrop->addItem(Q(group));
    ui_.lstChrGrop->addItem(kNewEntry);
    if (g >= 0 && g < ui_.lstChrGrop->count()) {
        gropChoice_->choose(g);
    } else {
        // A group index no group has (a hand-edited file): nothing is
        // selected, and the characters shown and registered are group g's.
        ui_.lstChrGrop->setCurrentRow(-1);
        group_.ChrGropNo = g;
    }
    const QListWidgetItem* chosen = ui_.lstChrGrop->currentItem();
    ui_.fraList->setTitle(QStringLiteral("キャラクタグループ(") +
                          (chosen && chosen->text() != kNewEntry ? chosen->text() : QString()) +
                          QStringLiteral(")"));
    ui_.lblList->setText(QStringLiteral("登録文字リスト"));
}

void frmKakudai::AriaLoad(const std::u16string& name) {
    const AreaTexts stored = ReadArea(profile_.reader(), name);
    // A group no 32-bit integer names selects none.
    fillGroupList(stored.group);

    ui_.txtAriaComment->setText(Q(stored.comment));
    ui_.txtLeft->setText(Q(stored.left));
    ui_.txtTop->setText(Q(stored.top));
    ui_.txtWidth->setText(Q(stored.width));
    ui_.txtHeight->setText(Q(stored.height));
    if (stored.level.empty()) {
        ui_.VScroll1->setValue(128);
    } else {
        // The slider holds 0..255; a stored level beyond that puts it at its end.
        const double v = settings::NumberValue(stored.level);
        const auto level = settings::RoundToInt16(v);
        ui_.VScroll1->setValue(level ? *level : (v < 0 ? 0 : 255));
    }
    ui_.txtKugiri->setText(Q(stored.kugiri));
    ui_.txtKuhaku->setText(Q(stored.blank));
    ui_.chkYominokoshi->setChecked(stored.writeUnread);
    showFields();

    ChrListLoad(group_.ChrGropNo);
    teacher_.runReadingCheck();
    // A hand-edited group number that names no group: the user chooses one.
    const std::u16string group = profile_.IniRead(profile::AreaSection(name), profile::kChrGrop);
    if (!profile::GroupNumber(group))
        layout_.setGuidance(
            QStringLiteral(
                "認識エリア「%1」のキャラクタグループの番号 (CHRGROP=%2) が使えない値です。"
                "キャラクタグループを選んで「認識エリア記録」を押してください。")
                .arg(Q(name), Q(group)));
}

ShownArea frmKakudai::shownArea() const {
    return {AriaName_,
            {U(ui_.txtAriaComment->text()), U(ui_.txtLeft->text()), U(ui_.txtTop->text()),
             U(ui_.txtWidth->text()), U(ui_.txtHeight->text()), U(ui_.txt2tikaLevel->text()),
             U(ui_.txtKugiri->text()), U(ui_.txtKuhaku->text()), group_.ChrGropNo,
             ui_.chkYominokoshi->isChecked()}};
}

bool frmKakudai::storeArea() {
    if (AriaName_.empty()) {
        // Stored under no name, the settings would go to a section no list
        // names.
        message(QStringLiteral("エリア名の一覧で認識エリアを選ぶか、<新規追加>で作ってください"),
                kAppTitle);
        return false;
    }
    const std::u16string blank = U(ui_.txtKuhaku->text());
    if (const auto v = FieldNumber(blank);
        !blank.empty() && (!v || *v < 0 || *v != static_cast<double>(static_cast<long long>(*v)))) {
        message(QStringLiteral("空白の幅には0以上の整数を入力してください"), kAppTitle);
        return false;
    }
    // All in one replacement of the profile: never an area stored in part.
    const auto refusal = profile_.IniWriteAllOrRefusal(
        AreaWrites(AriaName_, shownArea().texts, capture_.fieldsMonitor(), profile_.reader()));
    if (refusal) {
        message(Q(AreaNotStoredText(AriaName_, *refusal, settings::TextFromPath(profile_.path()))),
                kAppTitle, Icon::Warning);
        return false;
    }
    layout_.setGuidance(
        QStringLiteral("認識エリア「%1」を記録しました。(O)Kで閉じると、このエリアを読み取ります。")
            .arg(Q(AriaName_)));
    return true;
}

void frmKakudai::showFields() {
    const auto fields = engine::ReadFields(AriaName_, profile_.reader());
    QStringList names;
    for (const auto& f : fields)
        names << Q(f.name) +
                     (f.mark == engine::FieldMark::None ? QString() : QStringLiteral("(!)"));
    ui_.lblFields->setText(names.isEmpty() ? QStringLiteral("なし")
                                           : names.join(QStringLiteral("、")));
    ui_.lblFields->setToolTip(
        QStringLiteral("「%1」を読んだあと、同じ読み取りで続けて読むエリア").arg(Q(AriaName_)));
}

void frmKakudai::cmdFields_Click() {
    const std::u16string area = AriaName_;
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
    layout_.setGuidance(
        QStringLiteral("認識エリア「%1」の続けて読むエリアを記録しました。").arg(Q(area)));
}

void frmKakudai::cmdAriaKiroku_Click() {
    storeArea();
}

void frmKakudai::cmdEnd_Click() {
    const auto entries = Entries(ui_.lstAriaList);
    const std::u16string& name = AriaName_;
    if (!name.empty() && name != profile::kNewEntry &&
        std::find(entries.begin(), entries.end(), name) != entries.end()) {
        const AreaTexts stored = ReadArea(profile_.reader(), name);
        const bool hasSection = profile_.IniHasSection(profile::AreaSection(name));
        if (AreaNeedsStoring(shownArea().texts, stored, hasSection)) {
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
    profile_.IniWrite(profile::kEndData, profile::kArea, AriaName_);
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
    group_.AllChr = profile_.IniRead(profile::kChrSection, profile::CharListKey(g));
    auto pieces = profile::SplitCharList(group_.AllChr);
    group_.ChrCount = static_cast<int>(pieces.size());
    settings::CombSort(pieces);
    ui_.List1->clear();
    for (const auto& c : pieces)
        ui_.List1->addItem(Q(c));
}

void frmKakudai::lstChrGrop_Click() {
    QListWidgetItem* item = ui_.lstChrGrop->currentItem();
    if (!item) return;
    if (item->text() != kNewEntry) {
        // Entry 0 always takes part; the last one only when it is a group.
        const int n = ui_.lstChrGrop->count();
        const int last = ui_.lstChrGrop->item(n - 1)->text() == kNewEntry ? n - 2 : n - 1;
        for (int i = 0; i <= std::max(last, 0); ++i)
            if (ui_.lstChrGrop->item(i)->text() == item->text()) group_.ChrGropNo = i;
        ChrListLoad(group_.ChrGropNo);
        teacher_.runReadingCheck();
        return;
    }

    TopMostOff();
    const auto name = askName(QStringLiteral("キャラクタグループ名"));
    if (!name || !acceptNewName(*name, ui_.lstChrGrop, false)) {
        TopMostOn();
        return;
    }
    const int row = ui_.lstChrGrop->count() - 1;
    ui_.lstChrGrop->item(row)->setText(Q(*name));
    for (int n = 0; n <= row; ++n)
        profile_.IniWrite(profile::kChrGropList, profile::GroupKey(n),
                          U(ui_.lstChrGrop->item(n)->text()));
    // The next group can be added at once.
    ui_.lstChrGrop->addItem(kNewEntry);
    group_.ChrGropNo = row;
    ChrListLoad(group_.ChrGropNo);
    TopMostOn();
    teacher_.runReadingCheck();
}

void frmKakudai::List1_Click() {
    const QListWidgetItem* item = ui_.List1->currentItem();
    if (!item) return;
    const std::u16string s = profile::CharSection(group_.ChrGropNo, U(item->text()));
    ui_.txtChr->setText(Q(profile_.IniRead(s, profile::kChr)));
    ui_.lblWidth->setText(Q(profile_.IniRead(s, profile::kX)));
    ui_.lblHeight->setText(Q(profile_.IniRead(s, profile::kY)));
    ui_.lblWidth->setAccessibleDescription(ui_.lblWidth->text());
    ui_.lblHeight->setAccessibleDescription(ui_.lblHeight->text());
    // The labels now describe the stored template, not the cut.
    teacher_.forgetCut();
}

void frmKakudai::cmdKill_Click() {
    const QListWidgetItem* item = ui_.List1->currentItem();
    const std::u16string c = item && item->isSelected() ? U(item->text()) : std::u16string();
    if (c.empty()) {
        message(QStringLiteral("削除するキャラクタを選択してください."), kAppTitle, Icon::Question);
        return;
    }
    std::vector<std::u16string> kept;
    for (const auto& e : Entries(ui_.List1))
        if (e != c) kept.push_back(e);
    // In one replacement of the profile: a deletion cut short would leave
    // a listed character named "Null" that readings would put in answers.
    const std::u16string s = profile::CharSection(group_.ChrGropNo, c);
    profile_.IniWriteAll({{s, std::u16string(profile::kChr), std::u16string(profile::kDeletedChr)},
                          {s, std::u16string(profile::kX), u"0"},
                          {s, std::u16string(profile::kY), u"0"},
                          {std::u16string(profile::kChrSection),
                           profile::CharListKey(group_.ChrGropNo), profile::JoinCharList(kept)}});
    ui_.List1->clear();
    ChrListLoad(group_.ChrGropNo);
    teacher_.runReadingCheck();
}

// ---- capture, two levels, magnified view

const QImage& frmKakudai::areaImage() const {
    return ui_.picSelAlia->image();
}
const QImage& frmKakudai::twoLevelImage() const {
    return ui_.pic2tika->image();
}
QImage frmKakudai::magnifiedImage() const {
    return ui_.scrBig->magnified();
}

void frmKakudai::VScroll1_Change() {
    capture_.levelChanged();
}

void frmKakudai::cmdSCap_Click() {
    capture_.captureSamePlace();
}

void frmKakudai::cmdCap_Click() {
    capture_.captureByDrawing();
}

void frmKakudai::cmd2Tika_Click() {
    capture_.binarize();
}

void frmKakudai::BigDsp() {
    capture_.showMagnified();
}

// ---- teaching, forwarded

void frmKakudai::picBig_MouseDown(Qt::MouseButton button, QPointF pos) {
    teacher_.mouseDown(button, pos);
}

void frmKakudai::picBig_MouseMove(Qt::MouseButtons buttons, QPointF pos) {
    teacher_.mouseMove(buttons, pos);
}

void frmKakudai::picBig_MouseUp(Qt::MouseButton button, QPointF) {
    // The release point is not used: the cut ends at the last move.
    teacher_.mouseUp(button);
}

void frmKakudai::cmdChrTouroku_Click() {
    teacher_.registerCut();
}

void frmKakudai::cmdGyouTouroku_Click() {
    teacher_.registerLine();
}

void frmKakudai::txtGyou_Change() {
    teacher_.showLinePlan();
}

void frmKakudai::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    layout_.resized();
}

void frmKakudai::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    layout_.shown();
}

} // namespace editor
