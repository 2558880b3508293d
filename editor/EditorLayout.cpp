#include "EditorLayout.h"

#include "MagnifiedView.h"
#include "PictureBox.h"
#include "WindowFit.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <tuple>
#include <utility>

namespace editor {

namespace {

QLabel* Caption(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    if (buddy) l->setBuddy(buddy);
    return l;
}

// The height a word-wrapping label needs at a width (a label never reports
// less than its minimum height, so the fixed height it has is let go first).
int LabelHeight(QLabel* l, int width) {
    if (l->text().isEmpty()) return 0;
    l->setMinimumHeight(0);
    l->setMaximumHeight(QWIDGETSIZE_MAX);
    return std::max(0, l->heightForWidth(width));
}

// Fonts shrink no further than this when the screen has too little room.
constexpr double kSmallestPoints = 6;

} // namespace

void EditorLayout::build() {
    auto button = [](const QString& text, const char* name) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false); // Enter presses nothing, as on the original form
        return b;
    };
    auto edit = [](const char* name) {
        auto* e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        return e;
    };
    // A frame of the panel, its controls side by side.
    auto frame = [](const QString& title, const char* name) {
        auto* f = new QGroupBox(title);
        f->setObjectName(QLatin1String(name));
        auto* inside = new QHBoxLayout(f);
        inside->setContentsMargins(6, 2, 6, 6);
        return std::make_pair(f, inside);
    };
    auto column = [] {
        auto* c = new QVBoxLayout;
        c->setSpacing(2);
        return c;
    };
    auto list = [](const char* name) {
        auto* l = new QListWidget;
        l->setObjectName(QLatin1String(name));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        // As high as the column beside it, at least a few entries.
        l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        return l;
    };

    auto* root = new QVBoxLayout(&window_);
    // The window's size limits are set by fitToScreen, not by the layout.
    root->setSizeConstraint(QLayout::SetNoConstraint);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(4);

    ui.lblSetumei = new QLabel;
    ui.lblSetumei->setObjectName(QStringLiteral("lblSetumei"));
    QFont setumeiFont;
    setumeiFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("IPAPGothic")});
    setumeiFont.setPointSizeF(setumeiPoints_);
    ui.lblSetumei->setFont(setumeiFont);
    ui.lblSetumei->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui.lblSetumei->setWordWrap(true);
    root->addWidget(ui.lblSetumei);

    ui.scrBig = new MagnifiedView(&window_);
    ui.picBig = ui.scrBig->canvas();
    root->addWidget(ui.scrBig, 1);

    // What reading the area gives, then teaching the line shown above. A
    // check of more or fewer lines takes its room from the view, so that
    // nothing below it moves under the pointer.
    ui.lblYomitori = new QLabel;
    ui.lblYomitori->setObjectName(QStringLiteral("lblYomitori"));
    ui.lblYomitori->setWordWrap(true);
    ui.lblYomitori->setTextFormat(Qt::RichText);
    ui.lblYomitori->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    root->addWidget(ui.lblYomitori);
    auto* lineRow = new QHBoxLayout;
    ui.txtGyou = edit("txtGyou");
    ui.cmdGyouTouroku = button(QStringLiteral("1行まとめて記録"), "cmdGyouTouroku");
    lineRow->addWidget(Caption(QStringLiteral("1行の文字："), ui.txtGyou));
    lineRow->addWidget(ui.txtGyou, 1);
    lineRow->addWidget(ui.cmdGyouTouroku);
    root->addLayout(lineRow);

    ui.picCtlAlia = new QWidget;
    ui.picCtlAlia->setObjectName(QStringLiteral("picCtlAlia"));
    ui.picCtlAlia->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* panel = new QHBoxLayout(ui.picCtlAlia);
    panel->setContentsMargins(0, 0, 0, 0);
    root->addWidget(ui.picCtlAlia);

    // The area frame: the lists on the left, the settings on the right.
    QHBoxLayout* area;
    std::tie(ui.Frame2, area) = frame(QStringLiteral("認識エリア"), "Frame2");
    auto* lists = column();
    ui.lstAriaList = list("lstAriaList");
    ui.lstChrGrop = list("lstChrGrop");
    lists->addWidget(Caption(QStringLiteral("エリア名"), ui.lstAriaList));
    lists->addWidget(ui.lstAriaList, 3);
    lists->addWidget(Caption(QStringLiteral("キャラクタグループ"), ui.lstChrGrop));
    lists->addWidget(ui.lstChrGrop, 2);
    area->addLayout(lists, 1);
    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(3);
    ui.txtAriaComment = edit("txtAriaComment");
    ui.txtLeft = edit("txtLeft");
    ui.txtTop = edit("txtTop");
    ui.txtWidth = edit("txtWidth");
    ui.txtHeight = edit("txtHeight");
    ui.txt2tikaLevel = edit("txt2tikaLevel");
    ui.txt2tikaLevel->setText(QStringLiteral("128"));
    ui.VScroll1 = new QScrollBar(Qt::Vertical);
    ui.VScroll1->setObjectName(QStringLiteral("VScroll1"));
    ui.VScroll1->setRange(0, 255);
    ui.VScroll1->setValue(128);
    ui.VScroll1->setAccessibleName(QStringLiteral("2値化レベル"));
    ui.cmd2Tika = button(QStringLiteral("2値化"), "cmd2Tika");
    ui.txtKugiri = edit("txtKugiri");
    ui.txtKugiri->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui.txtKuhaku = edit("txtKuhaku");
    ui.chkYominokoshi = new QCheckBox(QStringLiteral("読み残しがあっても確かめずに書き込む"));
    ui.chkYominokoshi->setObjectName(QStringLiteral("chkYominokoshi"));
    ui.cmdAriaKiroku = button(QStringLiteral("認識エリア記録"), "cmdAriaKiroku");
    ui.cmdFields = button(QStringLiteral("続けて読むエリア(&F)..."), "cmdFields");
    ui.lblFields = new QLabel;
    ui.lblFields->setObjectName(QStringLiteral("lblFields"));
    ui.lblFields->setWordWrap(true);
    // A caption and the box it names, side by side in the grid.
    const auto field = [fields](const QString& caption, QWidget* box, int row, int column,
                                int span = 1) {
        fields->addWidget(Caption(caption, box), row, column);
        fields->addWidget(box, row, column + 1, 1, span);
    };
    field(QStringLiteral("エリアコメント"), ui.txtAriaComment, 0, 0, 3);
    field(QStringLiteral("Left"), ui.txtLeft, 1, 0);
    field(QStringLiteral("Top"), ui.txtTop, 1, 2);
    field(QStringLiteral("Width"), ui.txtWidth, 2, 0);
    field(QStringLiteral("Height"), ui.txtHeight, 2, 2);
    auto* level = new QHBoxLayout;
    level->setSpacing(2);
    level->addWidget(ui.txt2tikaLevel);
    level->addWidget(ui.VScroll1);
    level->addWidget(ui.cmd2Tika);
    fields->addWidget(Caption(QStringLiteral("2値化レベル"), ui.txt2tikaLevel), 3, 0);
    fields->addLayout(level, 3, 1, 1, 3);
    field(QStringLiteral("区切りキャラクタ："), ui.txtKugiri, 4, 0);
    field(QStringLiteral("空白の幅："), ui.txtKuhaku, 4, 2);
    fields->addWidget(ui.chkYominokoshi, 5, 0, 1, 4);
    fields->addWidget(ui.cmdFields, 6, 0, 1, 2);
    fields->addWidget(ui.lblFields, 6, 2, 1, 2);
    fields->addWidget(ui.cmdAriaKiroku, 7, 0, 1, 4);
    area->addLayout(fields);
    panel->addWidget(ui.Frame2, 3);

    // The character frame.
    QHBoxLayout* chars;
    std::tie(ui.fraList, chars) = frame(QStringLiteral("キャラクタデータ"), "fraList");
    auto* listColumn = column();
    ui.List1 = list("List1");
    ui.lblList = Caption(QString(), ui.List1);
    ui.lblList->setObjectName(QStringLiteral("lblList"));
    ui.cmdKill = button(QStringLiteral("削除"), "cmdKill");
    listColumn->addWidget(ui.lblList);
    listColumn->addWidget(ui.List1, 1);
    listColumn->addWidget(ui.cmdKill);
    chars->addLayout(listColumn, 1);
    auto* cut = new QGridLayout;
    cut->setVerticalSpacing(3);
    ui.txtChr = edit("txtChr");
    ui.lblWidth = new QLabel;
    ui.lblWidth->setObjectName(QStringLiteral("lblWidth"));
    ui.lblHeight = new QLabel;
    ui.lblHeight->setObjectName(QStringLiteral("lblHeight"));
    // Screen readers name the values by their captions and read the values
    // as their descriptions.
    ui.lblWidth->setAccessibleName(QStringLiteral("幅"));
    ui.lblHeight->setAccessibleName(QStringLiteral("高さ"));
    ui.cmdChrTouroku = button(QStringLiteral("キャラクタ記録"), "cmdChrTouroku");
    ui.cmdChrTouroku->setEnabled(false);
    cut->addWidget(Caption(QStringLiteral("キャラクタ"), ui.txtChr), 0, 0);
    cut->addWidget(ui.txtChr, 0, 1);
    cut->addWidget(Caption(QStringLiteral("幅"), nullptr), 1, 0);
    cut->addWidget(ui.lblWidth, 1, 1);
    cut->addWidget(Caption(QStringLiteral("高さ"), nullptr), 2, 0);
    cut->addWidget(ui.lblHeight, 2, 1);
    cut->addWidget(ui.cmdChrTouroku, 3, 0, 1, 2);
    cut->setRowStretch(4, 1);
    chars->addLayout(cut);
    panel->addWidget(ui.fraList, 2);

    // The command column, under the area as captured and as two levels.
    auto* commands = new QVBoxLayout;
    commands->setSpacing(3);
    ui.picSelAlia = new PictureBox(&window_);
    ui.picSelAlia->setObjectName(QStringLiteral("picSelAlia"));
    ui.picSelAlia->setAccessibleName(QStringLiteral("認識エリアの画像"));
    ui.pic2tika = new PictureBox(&window_);
    ui.pic2tika->setObjectName(QStringLiteral("pic2tika"));
    ui.pic2tika->setAccessibleName(QStringLiteral("2値化された画像"));
    ui.cmdCap = button(QStringLiteral("(&P)位置を指定してキャプチャ"), "cmdCap");
    ui.cmdSCap = button(QStringLiteral("(&S)同じ位置でキャプチャ"), "cmdSCap");
    ui.cmdEnd = button(QStringLiteral("(&O)K"), "cmdEnd");
    commands->addWidget(ui.picSelAlia);
    commands->addWidget(ui.pic2tika);
    commands->addStretch(1);
    commands->addWidget(ui.cmdCap);
    commands->addWidget(ui.cmdSCap);
    commands->addWidget(ui.cmdEnd);
    panel->addLayout(commands);

    // Screen readers name text boxes and lists by these (a list takes no name
    // from a buddy label).
    ui.lstAriaList->setAccessibleName(QStringLiteral("エリア名"));
    ui.txtAriaComment->setAccessibleName(QStringLiteral("エリアコメント"));
    ui.txtLeft->setAccessibleName(QStringLiteral("Left"));
    ui.txtTop->setAccessibleName(QStringLiteral("Top"));
    ui.txtWidth->setAccessibleName(QStringLiteral("Width"));
    ui.txtHeight->setAccessibleName(QStringLiteral("Height"));
    ui.txt2tikaLevel->setAccessibleName(QStringLiteral("2値化レベル"));
    ui.lstChrGrop->setAccessibleName(QStringLiteral("キャラクタグループ"));
    ui.txtKugiri->setAccessibleName(QStringLiteral("区切りキャラクタ："));
    ui.txtKuhaku->setAccessibleName(QStringLiteral("空白の幅："));
    ui.List1->setAccessibleName(QStringLiteral("登録文字リスト"));
    ui.txtChr->setAccessibleName(QStringLiteral("キャラクタ"));
    ui.txtGyou->setAccessibleName(QStringLiteral("1行の文字："));

    baseFontPoints_ = window_.font().pointSizeF();
    applyFont(baseFontPoints_);
}

void EditorLayout::applyFont(double points) {
    if (window_.font().pointSizeF() != points) {
        QFont f = window_.font();
        f.setPointSizeF(points);
        window_.setFont(f);
        QFont s = ui.lblSetumei->font();
        s.setPointSizeF(setumeiPoints_ * points / baseFontPoints_);
        ui.lblSetumei->setFont(s);
        QFont k = ui.txtKugiri->font();
        k.setPointSizeF(points);
        ui.txtKugiri->setFont(k);
    }
    // Boxes as wide as what they hold, in the font of the moment.
    const QFontMetrics fm(window_.font());
    const int number = fm.horizontalAdvance(QStringLiteral("00000")) + 12;
    for (QLineEdit* e : {ui.txtLeft, ui.txtTop, ui.txtWidth, ui.txtHeight, ui.txtKuhaku})
        e->setFixedWidth(number);
    ui.txt2tikaLevel->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 12);
    ui.txtChr->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 12);
    ui.txtKugiri->setFixedWidth(QFontMetrics(ui.txtKugiri->font()).horizontalAdvance(u'0') * 3 +
                                12);
    ui.txtAriaComment->setMinimumWidth(2 * number);
    ui.txtGyou->setMinimumWidth(4 * number);
    const int entries = fm.height() * 3 + 6;
    for (QListWidget* l : {ui.lstAriaList, ui.lstChrGrop, ui.List1})
        l->setMinimumHeight(entries);
    ui.lstAriaList->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("キャラクタグループ")));
    ui.lstChrGrop->setMinimumWidth(ui.lstAriaList->minimumWidth());
    ui.List1->setMinimumWidth(number);
    ui.VScroll1->setFixedHeight(ui.txt2tikaLevel->sizeHint().height());
    const int shown = ui.cmdCap->sizeHint().width();
    ui.picSelAlia->setLargestShown(QSize(shown, fm.height() * 2));
    ui.pic2tika->setLargestShown(QSize(shown, fm.height() * 2));
    window_.layout()->invalidate();
    window_.layout()->activate();
}

void EditorLayout::fitFont(const QSize& limit) {
    const auto fits = [&] {
        fitLabels(std::max(window_.layout()->minimumSize().width(), window_.width()));
        const QSize need = window_.layout()->minimumSize();
        return need.width() <= limit.width() && need.height() <= limit.height();
    };
    // The design's font when there is room; else smaller, step by step. From
    // what fitted this room last time: new texts only ever need a little more.
    double points = limit == fittedLimit_ ? fittedPoints_ : baseFontPoints_;
    applyFont(points);
    while (!fits() && points > kSmallestPoints)
        applyFont(points -= 0.5);
    fittedLimit_ = limit;
    fittedPoints_ = points;
}

QSize EditorLayout::roomOnScreen() const {
    const QScreen* s = window_.screen();
    const QRect available = s ? s->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect frame = window_.frameGeometry(), inside = window_.geometry();
    QMargins m(inside.left() - frame.left(), inside.top() - frame.top(),
               frame.right() - inside.right(), frame.bottom() - inside.bottom());
    if (m.isNull()) {
        // Not decorated yet: room for a title bar and borders.
        const double dpr = window_.devicePixelRatioF();
        const auto px = [dpr](int n) { return static_cast<int>(std::ceil(n / dpr)); };
        m = QMargins(px(4), px(32), px(4), px(8));
    }
    return available.size().shrunkBy(m);
}

void EditorLayout::fitLabels(int width) {
    const int inside = width - window_.layout()->contentsMargins().left() -
                       window_.layout()->contentsMargins().right();
    ui.lblSetumei->setFixedHeight(LabelHeight(ui.lblSetumei, inside));
    ui.lblYomitori->setFixedHeight(LabelHeight(ui.lblYomitori, inside));
    window_.layout()->invalidate();
    window_.layout()->activate();
}

void EditorLayout::fitToScreen() {
    const QSize limit = roomOnScreen();
    fitFont(limit);
    // Twice: the labels' height depends on the width the window gets.
    QSize size = window_.size();
    for (int pass = 0; pass < 2; ++pass) {
        fitLabels(std::max(size.width(), window_.layout()->minimumSize().width()));
        EditorFrame frame;
        frame.minimum = window_.layout()->minimumSize();
        frame.fixedHeight = frame.minimum.height();
        frame.sideWidth = window_.layout()->contentsMargins().left() +
                          window_.layout()->contentsMargins().right();
        frame.bar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ui.scrBig);
        size =
            FitEditor(frame, ui.picBig->size(), pass == 0 ? window_.width() : size.width(), limit);
    }
    fitLabels(size.width());
    window_.setMinimumSize(window_.layout()->minimumSize().boundedTo(limit));
    window_.setMaximumSize(limit.expandedTo(window_.minimumSize()));
    window_.resize(size);
    if (window_.isVisible() && window_.screen()) {
        const QRect frame = window_.frameGeometry();
        window_.move(
            KeepOnScreen(QRect(frame.topLeft(), frame.size() - window_.geometry().size() + size),
                         window_.screen()->availableGeometry()));
    }
}

void EditorLayout::settleLayout() {
    // Where the guidance or the check needs more or fewer lines, the window
    // grows or shrinks at its top edge while the screen has room above it:
    // the view keeps its size and nothing below it moves under the pointer.
    // Without that room the view gives or takes the lines.
    const int before = ui.lblSetumei->height() + ui.lblYomitori->height();
    fitLabels(window_.width());
    const int change = ui.lblSetumei->height() + ui.lblYomitori->height() - before;
    if (change != 0 && window_.isVisible() && window_.screen()) {
        const int above =
            window_.frameGeometry().top() - window_.screen()->availableGeometry().top();
        const int grow = std::min({change, above, roomOnScreen().height() - window_.height()});
        if (grow != 0) window_.setGeometry(window_.geometry().adjusted(0, -grow, 0, 0));
    }
    const int need = window_.layout()->minimumSize().height();
    if (need > window_.height())
        window_.resize(window_.width(), std::min(need, roomOnScreen().height()));
}

void EditorLayout::resized() {
    // The user's own resizing: the guidance and the reading check rewrap.
    fitLabels(window_.width());
}

void EditorLayout::shown() {
    fitToScreen();
    // Once the window manager has framed the window, its real frame counts.
    QTimer::singleShot(300, &window_, [this] {
        if (window_.isVisible()) fitToScreen();
    });
}

void EditorLayout::setGuidance(const QString& text) {
    ui.lblSetumei->setText(text);
    settleLayout();
}

void EditorLayout::setToolTips() {
    ui.picBig->setToolTip(
        QStringLiteral("認識エリア内を拡大表示します、マウスで文字を囲みキャラクタを指定します。"));
    ui.picSelAlia->setToolTip(QStringLiteral("認識エリアの画像をそのまま表示します。"));
    ui.pic2tika->setToolTip(QStringLiteral("2値化された画像を表示します。"));
    ui.lstAriaList->setToolTip(
        QStringLiteral("エリアを選択してOKボタンを押すと認識エリアを変更します。 "));
    ui.lstChrGrop->setToolTip(
        QStringLiteral("認識エリアで利用するキャラクタグループを指定します。"));
    ui.txtAriaComment->setToolTip(QStringLiteral("認識エリアの説明を記入します。"));
    ui.txtLeft->setToolTip(QStringLiteral("認識エリア左上のスクリーン上の横方向位置"));
    ui.txtTop->setToolTip(QStringLiteral("認識エリア左上のスクリーン上の縦方向位置"));
    ui.txtWidth->setToolTip(QStringLiteral("認識エリアの幅"));
    ui.txtHeight->setToolTip(QStringLiteral("認識エリアの高さ"));
    ui.cmd2Tika->setToolTip(QStringLiteral("2値化レベルを変更した場合このボタンを押して確認"));
    ui.cmdAriaKiroku->setToolTip(QStringLiteral("認識エリア情報を変更して記録する場合は押す"));
    ui.List1->setToolTip(QStringLiteral("キャラクタグループに登録されているキャラクタ"));
    ui.cmdKill->setToolTip(QStringLiteral("選択されているキャラクタをキャラクタグループから削除"));
    ui.txtChr->setToolTip(QStringLiteral("拡大画像で囲んだ図形のキャラクタを指定します。"));
    ui.cmdChrTouroku->setToolTip(QStringLiteral("拡大画像で囲んだ図形のデータを記録します。"));
    ui.cmdCap->setToolTip(QStringLiteral("認識エリアをマウスで囲んで指定し拡大画像を表示します。"));
    ui.cmdSCap->setToolTip(QStringLiteral("指定されている認識エリアの拡大画像を表示します。"));
    ui.cmdEnd->setToolTip(QStringLiteral("エリア名で選択された認識エリアでの認識動作になります。"));

    ui.txtGyou->setToolTip(QStringLiteral(
        "キャプチャした1行の文字を左から順に入力します。数字の間の空白は空白のまま入力します。"));
    ui.cmdGyouTouroku->setToolTip(QStringLiteral(
        "入力した1行の文字を、拡大画像の黒い部分の切れ目ごとに切り出して記録します。"));
    ui.txtKuhaku->setToolTip(
        QStringLiteral("文字の間の空白がこの幅 (画素) 以上のとき、区切りキャラクタ"
                       "を入れて読み取ります。空か0なら入れません。"));
    ui.chkYominokoshi->setToolTip(QStringLiteral(
        "読み取りたくない物がいつも入っている認識エリアで、読み取れない部分があっても"
        "書き込み前に確かめません (赤枠は表示されます)。"));
}

} // namespace editor
