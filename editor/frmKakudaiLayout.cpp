// The editor's controls, and the window fitted to its screen.
//
// The controls keep the design's grouping (the guidance line, the magnified
// view, the area frame, the character frame and the command column) but are
// placed by layouts, so that everything stays on the screen at any scale
// factor: the magnified view takes what room is left and scrolls inside it.
#include "frmKakudai.h"

#include "MagnifiedView.h"
#include "PictureBox.h"
#include "WindowFit.h"

#include <QCheckBox>
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

void frmKakudai::buildControls() {
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

    auto* root = new QVBoxLayout(this);
    // The window's size limits are set by fitToScreen, not by the layout.
    root->setSizeConstraint(QLayout::SetNoConstraint);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(4);

    lblSetumei = new QLabel;
    lblSetumei->setObjectName(QStringLiteral("lblSetumei"));
    QFont setumeiFont;
    setumeiFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("IPAPGothic")});
    setumeiFont.setPointSizeF(setumeiPoints_);
    lblSetumei->setFont(setumeiFont);
    lblSetumei->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSetumei->setWordWrap(true);
    root->addWidget(lblSetumei);

    scrBig = new MagnifiedView(this);
    picBig = scrBig->canvas();
    root->addWidget(scrBig, 1);

    // What reading the area gives, then teaching the line shown above. A
    // check of more or fewer lines takes its room from the view, so that
    // nothing below it moves under the pointer.
    lblYomitori = new QLabel;
    lblYomitori->setObjectName(QStringLiteral("lblYomitori"));
    lblYomitori->setWordWrap(true);
    lblYomitori->setTextFormat(Qt::RichText);
    lblYomitori->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    root->addWidget(lblYomitori);
    auto* lineRow = new QHBoxLayout;
    txtGyou = edit("txtGyou");
    cmdGyouTouroku = button(QStringLiteral("1行まとめて記録"), "cmdGyouTouroku");
    lineRow->addWidget(Caption(QStringLiteral("1行の文字："), txtGyou));
    lineRow->addWidget(txtGyou, 1);
    lineRow->addWidget(cmdGyouTouroku);
    root->addLayout(lineRow);

    picCtlAlia = new QWidget;
    picCtlAlia->setObjectName(QStringLiteral("picCtlAlia"));
    picCtlAlia->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* panel = new QHBoxLayout(picCtlAlia);
    panel->setContentsMargins(0, 0, 0, 0);
    root->addWidget(picCtlAlia);

    // The area frame: the lists on the left, the settings on the right.
    QHBoxLayout* area;
    std::tie(Frame2, area) = frame(QStringLiteral("認識エリア"), "Frame2");
    auto* lists = column();
    lstAriaList = list("lstAriaList");
    lstChrGrop = list("lstChrGrop");
    lists->addWidget(Caption(QStringLiteral("エリア名"), lstAriaList));
    lists->addWidget(lstAriaList, 3);
    lists->addWidget(Caption(QStringLiteral("キャラクタグループ"), lstChrGrop));
    lists->addWidget(lstChrGrop, 2);
    area->addLayout(lists, 1);
    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(3);
    txtAriaComment = edit("txtAriaComment");
    txtLeft = edit("txtLeft");
    txtTop = edit("txtTop");
    txtWidth = edit("txtWidth");
    txtHeight = edit("txtHeight");
    txt2tikaLevel = edit("txt2tikaLevel");
    txt2tikaLevel->setText(QStringLiteral("128"));
    VScroll1 = new QScrollBar(Qt::Vertical);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setRange(0, 255);
    VScroll1->setValue(128);
    VScroll1->setAccessibleName(QStringLiteral("2値化レベル"));
    cmd2Tika = button(QStringLiteral("2値化"), "cmd2Tika");
    txtKugiri = edit("txtKugiri");
    txtKugiri->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtKuhaku = edit("txtKuhaku");
    chkYominokoshi = new QCheckBox(QStringLiteral("読み残しがあっても確かめずに書き込む"));
    chkYominokoshi->setObjectName(QStringLiteral("chkYominokoshi"));
    cmdAriaKiroku = button(QStringLiteral("認識エリア記録"), "cmdAriaKiroku");
    // A caption and the box it names, side by side in the grid.
    const auto field = [fields](const QString& caption, QWidget* box, int row, int column,
                                int span = 1) {
        fields->addWidget(Caption(caption, box), row, column);
        fields->addWidget(box, row, column + 1, 1, span);
    };
    field(QStringLiteral("エリアコメント"), txtAriaComment, 0, 0, 3);
    field(QStringLiteral("Left"), txtLeft, 1, 0);
    field(QStringLiteral("Top"), txtTop, 1, 2);
    field(QStringLiteral("Width"), txtWidth, 2, 0);
    field(QStringLiteral("Height"), txtHeight, 2, 2);
    auto* level = new QHBoxLayout;
    level->setSpacing(2);
    level->addWidget(txt2tikaLevel);
    level->addWidget(VScroll1);
    level->addWidget(cmd2Tika);
    fields->addWidget(Caption(QStringLiteral("2値化レベル"), txt2tikaLevel), 3, 0);
    fields->addLayout(level, 3, 1, 1, 3);
    field(QStringLiteral("区切りキャラクタ："), txtKugiri, 4, 0);
    field(QStringLiteral("空白の幅："), txtKuhaku, 4, 2);
    fields->addWidget(chkYominokoshi, 5, 0, 1, 4);
    fields->addWidget(cmdAriaKiroku, 6, 0, 1, 4);
    area->addLayout(fields);
    panel->addWidget(Frame2, 3);

    // The character frame.
    QHBoxLayout* chars;
    std::tie(fraList, chars) = frame(QStringLiteral("キャラクタデータ"), "fraList");
    auto* listColumn = column();
    List1 = list("List1");
    lblList = Caption(QString(), List1);
    lblList->setObjectName(QStringLiteral("lblList"));
    cmdKill = button(QStringLiteral("削除"), "cmdKill");
    listColumn->addWidget(lblList);
    listColumn->addWidget(List1, 1);
    listColumn->addWidget(cmdKill);
    chars->addLayout(listColumn, 1);
    auto* cut = new QGridLayout;
    cut->setVerticalSpacing(3);
    txtChr = edit("txtChr");
    lblWidth = new QLabel;
    lblWidth->setObjectName(QStringLiteral("lblWidth"));
    lblHeight = new QLabel;
    lblHeight->setObjectName(QStringLiteral("lblHeight"));
    // Screen readers name the values by their captions and read the values
    // as their descriptions.
    lblWidth->setAccessibleName(QStringLiteral("幅"));
    lblHeight->setAccessibleName(QStringLiteral("高さ"));
    cmdChrTouroku = button(QStringLiteral("キャラクタ記録"), "cmdChrTouroku");
    cmdChrTouroku->setEnabled(false);
    cut->addWidget(Caption(QStringLiteral("キャラクタ"), txtChr), 0, 0);
    cut->addWidget(txtChr, 0, 1);
    cut->addWidget(Caption(QStringLiteral("幅"), nullptr), 1, 0);
    cut->addWidget(lblWidth, 1, 1);
    cut->addWidget(Caption(QStringLiteral("高さ"), nullptr), 2, 0);
    cut->addWidget(lblHeight, 2, 1);
    cut->addWidget(cmdChrTouroku, 3, 0, 1, 2);
    cut->setRowStretch(4, 1);
    chars->addLayout(cut);
    panel->addWidget(fraList, 2);

    // The command column, under the area as captured and as two levels.
    auto* commands = new QVBoxLayout;
    commands->setSpacing(3);
    picSelAlia = new PictureBox(this);
    picSelAlia->setObjectName(QStringLiteral("picSelAlia"));
    picSelAlia->setAccessibleName(QStringLiteral("認識エリアの画像"));
    pic2tika = new PictureBox(this);
    pic2tika->setObjectName(QStringLiteral("pic2tika"));
    pic2tika->setAccessibleName(QStringLiteral("2値化された画像"));
    cmdCap = button(QStringLiteral("(&P)位置を指定してキャプチャ"), "cmdCap");
    cmdSCap = button(QStringLiteral("(&S)同じ位置でキャプチャ"), "cmdSCap");
    cmdEnd = button(QStringLiteral("(&O)K"), "cmdEnd");
    commands->addWidget(picSelAlia);
    commands->addWidget(pic2tika);
    commands->addStretch(1);
    commands->addWidget(cmdCap);
    commands->addWidget(cmdSCap);
    commands->addWidget(cmdEnd);
    panel->addLayout(commands);

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
    txtKuhaku->setAccessibleName(QStringLiteral("空白の幅："));
    List1->setAccessibleName(QStringLiteral("登録文字リスト"));
    txtChr->setAccessibleName(QStringLiteral("キャラクタ"));
    txtGyou->setAccessibleName(QStringLiteral("1行の文字："));

    baseFontPoints_ = font().pointSizeF();
    applyFont(baseFontPoints_);
}

void frmKakudai::applyFont(double points) {
    if (font().pointSizeF() != points) {
        QFont f = font();
        f.setPointSizeF(points);
        setFont(f);
        QFont s = lblSetumei->font();
        s.setPointSizeF(setumeiPoints_ * points / baseFontPoints_);
        lblSetumei->setFont(s);
        QFont k = txtKugiri->font();
        k.setPointSizeF(points);
        txtKugiri->setFont(k);
    }
    // Boxes as wide as what they hold, in the font of the moment.
    const QFontMetrics fm(font());
    const int number = fm.horizontalAdvance(QStringLiteral("00000")) + 12;
    for (QLineEdit* e : {txtLeft, txtTop, txtWidth, txtHeight, txtKuhaku})
        e->setFixedWidth(number);
    txt2tikaLevel->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 12);
    txtChr->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 12);
    txtKugiri->setFixedWidth(QFontMetrics(txtKugiri->font()).horizontalAdvance(u'0') * 3 + 12);
    txtAriaComment->setMinimumWidth(2 * number);
    txtGyou->setMinimumWidth(4 * number);
    const int entries = fm.height() * 3 + 6;
    for (QListWidget* l : {lstAriaList, lstChrGrop, List1})
        l->setMinimumHeight(entries);
    lstAriaList->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("キャラクタグループ")));
    lstChrGrop->setMinimumWidth(lstAriaList->minimumWidth());
    List1->setMinimumWidth(number);
    VScroll1->setFixedHeight(txt2tikaLevel->sizeHint().height());
    const int shown = cmdCap->sizeHint().width();
    picSelAlia->setLargestShown(QSize(shown, fm.height() * 2));
    pic2tika->setLargestShown(QSize(shown, fm.height() * 2));
    layout()->invalidate();
    layout()->activate();
}

void frmKakudai::fitFont(const QSize& limit) {
    const auto fits = [&] {
        fitLabels(std::max(layout()->minimumSize().width(), width()));
        const QSize need = layout()->minimumSize();
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

QSize frmKakudai::roomOnScreen() const {
    const QScreen* s = screen();
    const QRect available = s ? s->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect frame = frameGeometry(), inside = geometry();
    QMargins m(inside.left() - frame.left(), inside.top() - frame.top(),
               frame.right() - inside.right(), frame.bottom() - inside.bottom());
    if (m.isNull()) {
        // Not decorated yet: room for a title bar and borders.
        const double dpr = devicePixelRatioF();
        const auto px = [dpr](int n) { return static_cast<int>(std::ceil(n / dpr)); };
        m = QMargins(px(4), px(32), px(4), px(8));
    }
    return available.size().shrunkBy(m);
}

void frmKakudai::fitLabels(int width) {
    const int inside =
        width - layout()->contentsMargins().left() - layout()->contentsMargins().right();
    lblSetumei->setFixedHeight(LabelHeight(lblSetumei, inside));
    lblYomitori->setFixedHeight(LabelHeight(lblYomitori, inside));
    layout()->invalidate();
    layout()->activate();
}

void frmKakudai::fitToScreen() {
    const QSize limit = roomOnScreen();
    fitFont(limit);
    // Twice: the labels' height depends on the width the window gets.
    QSize size = this->size();
    for (int pass = 0; pass < 2; ++pass) {
        fitLabels(std::max(size.width(), layout()->minimumSize().width()));
        EditorFrame frame;
        frame.minimum = layout()->minimumSize();
        frame.fixedHeight = frame.minimum.height();
        frame.sideWidth = layout()->contentsMargins().left() + layout()->contentsMargins().right();
        frame.bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrBig);
        size = FitEditor(frame, picBig->size(), pass == 0 ? width() : size.width(), limit);
    }
    fitLabels(size.width());
    setMinimumSize(layout()->minimumSize().boundedTo(limit));
    setMaximumSize(limit.expandedTo(minimumSize()));
    resize(size);
    if (isVisible() && screen()) {
        const QRect frame = frameGeometry();
        move(KeepOnScreen(QRect(frame.topLeft(), frame.size() - geometry().size() + size),
                          screen()->availableGeometry()));
    }
}

void frmKakudai::settleLayout() {
    // Where the guidance or the check needs more or fewer lines, the window
    // grows or shrinks at its top edge while the screen has room above it:
    // the view keeps its size and nothing below it moves under the pointer.
    // Without that room the view gives or takes the lines.
    const int before = lblSetumei->height() + lblYomitori->height();
    fitLabels(width());
    const int change = lblSetumei->height() + lblYomitori->height() - before;
    if (change != 0 && isVisible() && screen()) {
        const int above = frameGeometry().top() - screen()->availableGeometry().top();
        const int grow = std::min({change, above, roomOnScreen().height() - height()});
        if (grow != 0) setGeometry(geometry().adjusted(0, -grow, 0, 0));
    }
    const int need = layout()->minimumSize().height();
    if (need > height()) resize(width(), std::min(need, roomOnScreen().height()));
}

void frmKakudai::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    // The user's own resizing: the guidance and the reading check rewrap.
    fitLabels(width());
}

void frmKakudai::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    fitToScreen();
    // Once the window manager has framed the window, its real frame counts.
    QTimer::singleShot(300, this, [this] {
        if (isVisible()) fitToScreen();
    });
}

} // namespace editor
