#include "CharTeacher.h"

#include "Blanks.h"
#include "EditorLayout.h"
#include "FUMIni.h"
#include "PictureBox.h"
#include "ProfileLayout.h"
#include "ScreenGrab.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace editor {

namespace {

const QString kAppTitle = QStringLiteral("Tirelma");

QString Q(std::u16string_view s) {
    return QString::fromStdU16String(std::u16string(s));
}
std::u16string U(const QString& s) {
    return s.toStdU16String();
}

const QColor kPlanned(30, 90, 200);   // a cut teaching the line would make
const QColor kUnplanned(230, 120, 0); // a glyph cell when the line cannot be taught
const QColor kMarked(220, 0, 0);      // where the reading check found a difference

} // namespace

CharTeacher::CharTeacher(QWidget& window, EditorLayout& layout, platform::Dialogs& dialogs,
                         store::ProfileStore& profile, EditedGroup& group,
                         std::function<ShownArea()> shownArea)
    : window_(window), layout_(layout), dialogs_(dialogs), profile_(profile), group_(group),
      shownArea_(std::move(shownArea)) {}

const EditorControls& CharTeacher::ui() const {
    return layout_.ui;
}

void CharTeacher::message(const QString& text) {
    dialogs_.message(&window_, text, kAppTitle, platform::Dialogs::Icon::None);
}

// ---- cutting

void CharTeacher::mouseDown(Qt::MouseButton button, QPointF pos) {
    if (button == Qt::LeftButton) selector_.press(pos);
}

void CharTeacher::mouseMove(Qt::MouseButtons buttons, QPointF pos) {
    if (!(buttons & Qt::LeftButton)) return;
    selector_.move(pos);
    ui().scrBig->setOutline(selector_.outline(), true);
}

void CharTeacher::mouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    const CutSelector::Result cut = selector_.release();
    ui().scrBig->setOutline(selector_.outline(), false);
    acceptCut(cut.accepted);
    if (!cut.accepted) message(QStringLiteral("サイズが不適当"));
    ui().lblWidth->setText(Q(settings::SingleText(cut.w)));
    ui().lblHeight->setText(Q(settings::SingleText(cut.h)));
    ui().lblWidth->setAccessibleDescription(ui().lblWidth->text());
    ui().lblHeight->setAccessibleDescription(ui().lblHeight->text());
    ui().txtChr->clear();
}

void CharTeacher::acceptCut(bool on) {
    cutAccepted_ = on;
    ui().cmdChrTouroku->setEnabled(on);
}

void CharTeacher::forgetCut() {
    acceptCut(false);
}

void CharTeacher::newCapture() {
    if (cutAccepted_) acceptCut(false);
    lineToShow_ = true;
}

void CharTeacher::offerRegistering() {
    acceptCut(cutAccepted_);
}

void CharTeacher::twoLevelShown() {
    showLinePlan();
    updateReadingCheck();
}

void CharTeacher::bringLineIntoView() {
    if (lineToShow_ && !split_.cuts.empty())
        ui().scrBig->bringIntoView(QRect(QPoint(split_.cuts.front().left(), split_.inkTop),
                                         QPoint(split_.cuts.back().right(), split_.inkBottom)));
    lineToShow_ = false;
}

// ---- registering

bool CharTeacher::mayRegister(const std::vector<std::u16string>& chars) {
    // Nothing is written unless every template, its section and the group's
    // list will all read back as they were meant.
    const auto entries = [this] {
        std::vector<std::u16string> out;
        for (int i = 0; i < ui().List1->count(); ++i)
            out.push_back(U(ui().List1->item(i)->text()));
        return out;
    }();
    std::u16string newList = group_.AllChr;
    std::vector<std::u16string> known = entries;
    for (const auto& c : chars) {
        if (CheckCharText(c) != CharProblem::None) {
            message(QStringLiteral("キャラクタに \\ [ ] や改行は使えません"));
            return false;
        }
        if (const auto twin = SectionTwin(c, known)) {
            message(QStringLiteral("登録済みのキャラクタ「") + Q(*twin) +
                    QStringLiteral("」と区別できないため記録できません"));
            return false;
        }
        if (std::find(known.begin(), known.end(), c) == known.end()) {
            newList = profile::AppendToCharList(newList, c);
            known.push_back(c);
        }
    }
    if (newList != group_.AllChr &&
        StoredBytes(newList, ProfileEncoding(profile_.path())) > settings::kMaxValueBytes) {
        message(QStringLiteral("このキャラクタグループにはこれ以上登録できません"));
        return false;
    }
    return true;
}

bool CharTeacher::writeTemplates(const std::vector<profile::CharTemplate>& templates) {
    std::u16string list = group_.AllChr;
    if (!profile_.IniWriteAll(profile::TemplateWrites(group_.ChrGropNo, templates, list)))
        return false;
    for (const auto& t : templates) {
        bool listed = false;
        for (int i = 0; i < ui().List1->count() && !listed; ++i)
            listed = U(ui().List1->item(i)->text()) == t.chr;
        if (!listed) {
            ui().List1->addItem(Q(t.chr));
            ++group_.ChrCount;
        }
    }
    group_.AllChr = list;
    return true;
}

void CharTeacher::registerCut() {
    const std::u16string c = U(ui().txtChr->text());
    if (c.empty()) {
        message(QStringLiteral("キャラクタを入力してください!"));
        return;
    }
    const auto size = LabelCutSize(U(ui().lblWidth->text()), U(ui().lblHeight->text()));
    if (!size) {
        message(QStringLiteral("サイズが不適当"));
        return;
    }
    if (!mayRegister({c})) return;
    const CutRect& cut = selector_.cut();
    const auto rows = RowMasks([this](double x, double y) { return ui().scrBig->colourAt(x, y); },
                               cut.x1, cut.y1, *size);
    if (!writeTemplates({{c, U(ui().lblWidth->text()), U(ui().lblHeight->text()), rows}})) return;
    acceptCut(false);
    runReadingCheck({{c, QRect(static_cast<int>(cut.x1) / kCell, static_cast<int>(cut.y1) / kCell,
                               size->w, size->h)}});
}

// ---- the whole line at once

void CharTeacher::showLinePlan() {
    split_ = SplitLine(ui().pic2tika->image());
    const LineText text = SplitLineText(U(ui().txtGyou->text()));
    const LinePlan plan = PlanLine(split_, text);
    planFrames_.clear();
    if (plan.problem == LinePlan::Problem::None) {
        for (std::size_t i = 0; i < plan.cuts.size(); ++i)
            planFrames_.push_back({plan.cuts[i], Q(text.chars[i]), kPlanned});
    } else if (!text.chars.empty()) {
        // Numbered, so that the user can count what differs.
        for (std::size_t i = 0; i < split_.cuts.size(); ++i)
            planFrames_.push_back({split_.cuts[i], QString::number(i + 1), kUnplanned});
    }
    std::vector<MagnifiedView::Frame> all = planFrames_;
    all.insert(all.end(), markFrames_.begin(), markFrames_.end());
    ui().scrBig->setFrames(std::move(all));
}

void CharTeacher::registerLine() {
    const LineText text = SplitLineText(U(ui().txtGyou->text()));
    if (text.chars.empty()) {
        message(
            QStringLiteral("「1行の文字」に、キャプチャした1行の文字を左から順に入力してください"));
        return;
    }
    showLinePlan();
    const LinePlan plan = PlanLine(split_, text);
    QString refusal;
    switch (plan.problem) {
    case LinePlan::Problem::None:
        break;
    case LinePlan::Problem::NoText:
        return;
    case LinePlan::Problem::NoCuts:
        switch (split_.problem) {
        case LineSplit::Problem::NoImage:
            refusal =
                QStringLiteral("先に「(P)位置を指定してキャプチャ」で1行をキャプチャしてください");
            break;
        case LineSplit::Problem::NoInk:
            refusal = QStringLiteral("拡大画像に黒い部分がありません。2値化レベルを変えて2値化"
                                     "してください");
            break;
        case LineSplit::Problem::InkOnBottom:
            refusal =
                QStringLiteral("文字が認識エリアのいちばん下の行にかかっています。読み取りは"
                               "その行にかかる形を照合しないため、文字の下に白い行が入るように"
                               "キャプチャし直してください");
            break;
        case LineSplit::Problem::TooLow:
        case LineSplit::Problem::None:
            refusal = QStringLiteral("認識エリアが低すぎます。文字の上下に白い行が入るように"
                                     "キャプチャし直してください");
            break;
        }
        break;
    case LinePlan::Problem::CountDiffers:
        refusal = QStringLiteral("拡大画像の文字の形は%1個、入力した文字は%2個で、数が合いません。"
                                 "(形の切れ目には番号を付けて示しています)")
                      .arg(split_.cuts.size())
                      .arg(text.chars.size());
        break;
    case LinePlan::Problem::TooWide:
        refusal =
            QStringLiteral("%1番目の形「%2」は幅が%3あり、記録できる幅 (%4まで) を超えています")
                .arg(plan.cell + 1)
                .arg(Q(text.chars[static_cast<std::size_t>(plan.cell)]))
                .arg(split_.cuts[static_cast<std::size_t>(plan.cell)].width())
                .arg(kMaxCutWidth);
        break;
    case LinePlan::Problem::TooNarrow:
        refusal = QStringLiteral("%1番目の形「%2」は幅が1で、横に白い列がないため記録できません")
                      .arg(plan.cell + 1)
                      .arg(Q(text.chars[static_cast<std::size_t>(plan.cell)]));
        break;
    }
    if (!refusal.isEmpty()) {
        message(refusal + QStringLiteral("。何も記録していません。"));
        return;
    }

    // A character that appears twice is taught from its first appearance.
    std::vector<std::pair<std::u16string, QRect>> teach;
    for (std::size_t i = 0; i < text.chars.size(); ++i)
        if (std::none_of(teach.begin(), teach.end(),
                         [&](const auto& t) { return t.first == text.chars[i]; }))
            teach.emplace_back(text.chars[i], plan.cuts[i]);
    std::vector<std::u16string> chars;
    for (const auto& t : teach)
        chars.push_back(t.first);
    if (!mayRegister(chars)) return;
    // The whole line in one replacement of the profile.
    std::vector<profile::CharTemplate> templates;
    for (const auto& [c, cut] : teach) {
        const CellSize size{cut.width(), cut.height()};
        const auto rows = RowMasks(
            [this](double x, double y) { return ui().scrBig->colourAt(x, y); },
            static_cast<float>(cut.left() * kCell), static_cast<float>(cut.top() * kCell), size);
        templates.push_back({c, profile::Decimal(size.w), profile::Decimal(size.h), rows});
    }
    if (!writeTemplates(templates)) return;
    layout_.setGuidance(
        QStringLiteral("1行の%1文字を記録しました。下の「読み取り結果」で、読み取りが"
                       "入力と一致するか確かめてください。")
            .arg(teach.size()));
    runReadingCheck(teach);
}

// ---- the reading check

void CharTeacher::runReadingCheck(const std::vector<std::pair<std::u16string, QRect>>& registered) {
    updateReadingCheck(registered);
    layout_.settleLayout();
}

void CharTeacher::updateReadingCheck(
    const std::vector<std::pair<std::u16string, QRect>>& registered) {
    const QImage& image = ui().picSelAlia->image();
    markFrames_.clear();
    if (image.isNull() || image.width() == 0 || image.height() == 0) {
        check_ = ReadingCheck();
        ui().lblYomitori->clear();
        showLinePlan();
        return;
    }
    // The area as shown, set up as a reading would set it up once stored.
    const ShownArea edited = shownArea_();
    const profile::Source stored = profile_.source();
    const engine::AreaSetup setup = engine::SetUpArea(
        edited.name, ShownAreaSource(edited.name, edited.texts, stored), stored, readers_);
    const auto& templates = setup.templates();
    const engine::BlankRule& rule = setup.settings.blanks;
    const engine::AreaImage area = capture::ToAreaImage(image);
    const LineText text = SplitLineText(U(ui().txtGyou->text()));
    check_ = CheckReading(area, templates, rule, text, split_.cuts);

    // The reading as the main window would show it, what differs in red.
    const auto differs = [this](std::size_t k) {
        for (const CheckMark& m : check_.marks)
            if (m.kind != CheckMark::Kind::Missing && m.left == check_.charLeft[k] &&
                m.right == check_.charRight[k])
                return true;
        return false;
    };
    QString shown;
    const std::vector<bool> before = engine::DelimiterBefore(check_.chars, templates, rule);
    for (std::size_t k = 0; k < check_.chars.size(); ++k) {
        if (before[k]) shown += Q(rule.kugiri).toHtmlEscaped();
        const QString c = Q(templates[static_cast<std::size_t>(check_.chars[k].index)].Chr);
        shown += differs(k)
                     ? QStringLiteral("<span style=\"color:#d00000; text-decoration:underline\">") +
                           c.toHtmlEscaped() + QStringLiteral("</span>")
                     : c.toHtmlEscaped();
    }
    QStringList lines;
    if (templates.empty())
        lines << QStringLiteral("読み取り結果：(このキャラクタグループにはまだ文字がありません)");
    else
        lines << QStringLiteral("読み取り結果：") +
                     (shown.isEmpty() ? QStringLiteral("(何も読み取れません)")
                                      : QStringLiteral("<b>") + shown + QStringLiteral("</b>")) +
                     // On the same line: a check that grows takes room from the view.
                     (check_.unread.empty() ? QString()
                                            : QStringLiteral("　<span style=\"color:#d00000\">"
                                                             "赤枠の部分は読み取れません</span>"));
    for (const auto& line : DescribeCheck(check_, rule))
        lines << Q(line).toHtmlEscaped();

    // What was just registered and can never be read where it was cut.
    for (const auto& [c, cut] : registered) {
        const auto t = std::find_if(templates.begin(), templates.end(),
                                    [&](const modTemp::ChrTemp& t) { return t.Chr == c; });
        if (t == templates.end()) continue;
        for (const FitProblem& p : OwnFitProblems(area, cut, *t, templates)) {
            lines << QStringLiteral("<span style=\"color:#d00000\">") +
                         Q(DescribeFitProblem(c, p)).toHtmlEscaped() + QStringLiteral("</span>");
            markFrames_.push_back({cut, Q(c), kMarked});
        }
    }
    ui().lblYomitori->setText(lines.join(QStringLiteral("<br>")));

    const int top = split_.problem == LineSplit::Problem::None ? split_.top : 0;
    const int bottom =
        split_.problem == LineSplit::Problem::None ? split_.bottom : image.height() - 1;
    for (const CheckMark& m : check_.marks)
        if (m.left >= 0)
            markFrames_.push_back({QRect(QPoint(m.left, top), QPoint(m.right, bottom)),
                                   Q(m.kind == CheckMark::Kind::Missing ? m.expected : m.read),
                                   kMarked});
    if (!check_.compared)
        for (const auto& fit : check_.partFits)
            markFrames_.push_back(
                {QRect(QPoint(fit.left, top), QPoint(fit.right, bottom)), Q(fit.read), kMarked});
    // Ink nothing read covers, where it is.
    for (const auto& p : check_.unread)
        markFrames_.push_back(
            {QRect(QPoint(p.first, p.top), QPoint(p.last, p.bottom)), QString(), kMarked});
    showLinePlan();
}

} // namespace editor
