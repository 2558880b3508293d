// Teaching a whole line at once, and the reading check the editor shows
// after every capture, registration and deletion.
#include "EditorFixture.h"
#include "Glyphs.h"
#include "MagnifiedView.h"

#include <QAccessible>
#include <QScrollArea>
#include <QScrollBar>

using namespace editortest;
using glyphs::Line;
using glyphs::Pattern;

class TeachTest : public EditorTest {
protected:
    // The line drawn at (200, 100), the area exactly around it.
    void openOn(const std::vector<std::string>& line, const QString& extra = QString()) {
        const QImage img = Pattern(line);
        platform.paint(img, {200, 100});
        writeProfile(
            QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[ENDDATA]\n"
                           "AREA=A\n[認識エリアA]\nLEFT=200\nTOP=100\nWIDTH=%1\nHEIGHT=%2\n")
                .arg(img.width())
                .arg(img.height()) +
            extra);
        open();
        button("cmdSCap")->click();
    }
    void teach(const QString& text) {
        edit("txtGyou")->setText(text);
        button("cmdGyouTouroku")->click();
    }
    // The check as a screen reader reads it.
    QString check() const {
        return QAccessible::queryAccessibleInterface(child("lblYomitori"))->text(QAccessible::Name);
    }
    const std::vector<editor::MagnifiedView::Frame>& frames() const {
        return child<editor::MagnifiedView>("scrBig")->frames();
    }
};

TEST_F(TeachTest, TheWholeLineIsRegisteredInOneStepAndReadsBack) {
    openOn(Line("12.34-5.2", 1, 6, 8));
    EXPECT_TRUE(check().startsWith(QStringLiteral("読み取り結果：(このキャラクタグループ")));
    // The cuts are shown as the text is typed, each with its character.
    edit("txtGyou")->setText(QStringLiteral("12.34-5.2"));
    ASSERT_EQ(frames().size(), 9u);
    EXPECT_EQ(frames()[2].label, QStringLiteral("."));
    EXPECT_EQ(frames()[2].area, QRect(20, 0, 2, 9)); // every row but the bottom one
    button("cmdGyouTouroku")->click();
    EXPECT_TRUE(dialogs.messages.empty()) << messages().join(" ").toStdString();
    // Each character once, in the order of the line, written as a cut of
    // its cell would be.
    EXPECT_TRUE(text().contains(QStringLiteral("[G0ChrDat.]\nCHR=.\nX=2\nY=9\nBL0= 0\nBL1= 0\n"
                                               "BL2= 0\nBL3= 0\nBL4= 0\nBL5= 0\nBL6= 3\nBL7= 3\n"
                                               "BL8= 0\n")));
    EXPECT_TRUE(text().contains(QStringLiteral("G0ALLCHR=1\\\\2\\\\.\\\\3\\\\4\\\\-\\\\5\n")));
    EXPECT_EQ(ed->ChrCount(), 7);
    EXPECT_EQ(Entries(list("List1")), (QStringList{"1", "2", ".", "3", "4", "-", "5"}));
    EXPECT_TRUE(ed->lastCheck().agrees);
    EXPECT_EQ(check(), QStringLiteral("読み取り結果：12.34-5.2\n1行の文字と一致しています。"));
    EXPECT_TRUE(caption("lblSetumei").startsWith(QStringLiteral("1行の7文字を記録しました。")));

    // Taught again: replaced in place, as single registration does.
    const QString before = text();
    teach(QStringLiteral("12.34-5.2"));
    EXPECT_EQ(text(), before);
    EXPECT_EQ(ed->ChrCount(), 7);

    // Deleting is checked at once.
    Click(list("List1"), 4);
    button("cmdKill")->click();
    EXPECT_FALSE(ed->lastCheck().agrees);
    EXPECT_TRUE(check().contains(QStringLiteral("読めない「4」")));
    // A capture reads again: another line, the same templates.
    platform.paint(Pattern(Line("21.35", 1, 6, 8)), {200, 100});
    edit("txtGyou")->clear();
    button("cmdSCap")->click();
    EXPECT_TRUE(check().startsWith(QStringLiteral("読み取り結果：21.35")));
}

TEST_F(TeachTest, NothingIsRegisteredWhenTheLineAndItsCellsDoNotMatch) {
    openOn(Line("12.3"), QStringLiteral("[Chr]\nG0ALLCHR=a\n"));
    const QByteArray before = bytes();
    teach(QStringLiteral("12.34"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "拡大画像の文字の形は4個、入力した文字は5個で、数が合いません。"
                              "(形の切れ目には番号を付けて示しています)。何も記録していません。")});
    ASSERT_EQ(frames().size(), 4u); // numbered, to count them
    EXPECT_EQ(frames()[3].label, QStringLiteral("4"));
    // The checks of single registration, for every character before any write.
    dialogs.messages.clear();
    teach(QStringLiteral("12[3"));
    teach(QStringLiteral("A2.3"));
    teach(QString());
    EXPECT_EQ(
        messages(),
        (QStringList{QStringLiteral("キャラクタに \\ [ ] や改行は使えません"),
                     QStringLiteral("登録済みのキャラクタ「a」と区別できないため記録できません"),
                     QStringLiteral("「1行の文字」に、キャプチャした1行の文字を左から順に"
                                    "入力してください")}));
    EXPECT_EQ(bytes(), before);
}

TEST_F(TeachTest, ALineTheReaderCannotReadIsRefusedOrToldWhy) {
    // Ink on the area's bottom row: no template could ever fit there.
    openOn(Line("12", 1, 6, 2, 1, 0));
    const QByteArray before = bytes();
    teach(QStringLiteral("12"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(messages()[0].startsWith(QStringLiteral("文字が認識エリアのいちばん下の行に")));
    EXPECT_EQ(bytes(), before);
    // A glyph wider than a template may be.
    dialogs.messages.clear();
    std::vector<std::string> wide(4, std::string(33, '.'));
    wide[1] = wide[2] = ".#." + std::string(29, '#') + ".";
    platform.paint(Pattern(wide), {200, 100});
    edit("txtWidth")->setText(QStringLiteral("33"));
    edit("txtHeight")->setText(QStringLiteral("4"));
    button("cmdSCap")->click();
    teach(QStringLiteral("1-"));
    EXPECT_EQ(messages(),
              QStringList{QStringLiteral("2番目の形「-」は幅が29あり、記録できる幅 (28"
                                         "まで) を超えています。何も記録していません。")});
    EXPECT_EQ(bytes(), before);
}

TEST_F(TeachTest, TheCheckSaysAtOnceWhyATemplateNeverFitsWhereItWasCut) {
    // A pixel of red exactly 128: black at level 128, light for the reader.
    openOn(Line("12", 1, 6, 8));
    platform.screen.setPixel(200 + 15, 100 + 1, qRgb(128, 200, 200)); // the 2's top
    button("cmdSCap")->click();
    teach(QStringLiteral("12"));
    EXPECT_FALSE(ed->lastCheck().agrees);
    EXPECT_TRUE(check().contains(QStringLiteral("「2」は切り出した所で読み取れません: 2値化で黒"
                                                "になった画素のうち1個は、読み取りでは白とみなされ"
                                                "ます (赤の値 128。")));
    EXPECT_TRUE(std::any_of(frames().begin(), frames().end(), [](const auto& f) {
        return f.label == QStringLiteral("2") && f.colour == QColor(220, 0, 0);
    }));
    // At level 127 it fits.
    edit("txt2tikaLevel")->setText(QStringLiteral("127"));
    button("cmd2Tika")->click();
    teach(QStringLiteral("12"));
    EXPECT_TRUE(ed->lastCheck().agrees);

    // A cut as tall as the area, registered by hand.
    dragOnBig({2, 2}, {82, 100});
    edit("txtChr")->setText(QStringLiteral("x"));
    button("cmdChrTouroku")->click();
    EXPECT_TRUE(check().contains(QStringLiteral("「x」は切り出した所で読み取れません: 切り出しの"
                                                "高さが認識エリアの高さと同じです。")));
}

TEST_F(TeachTest, ATightDashRegisteredByHandIsFlaggedWhereItFitsFalsely) {
    openOn(Line("7-3", 1, 6, 8));
    teach(QStringLiteral("7-3"));
    ASSERT_TRUE(ed->lastCheck().agrees);
    // The dash's ink row and one white row below it: 3 x 2 cells.
    const QRect dash = frames()[1].area;
    dragOnBig({dash.left() * 10 + 2, 42}, {(dash.right() + 1) * 10 + 2, 62});
    edit("txtChr")->setText(QStringLiteral("-"));
    button("cmdChrTouroku")->click();
    EXPECT_FALSE(ed->lastCheck().agrees);
    EXPECT_TRUE(check().startsWith(QStringLiteral("読み取り結果：7--3\n1行の文字と違います: "
                                                  "余分な「-」。")))
        << check().toStdString();
    EXPECT_TRUE(check().contains(QStringLiteral("「-」が「7」の一部にも当てはまっています。")));
    // Marked on the view where it was read.
    EXPECT_TRUE(std::any_of(frames().begin(), frames().end(), [](const auto& f) {
        return f.colour == QColor(220, 0, 0) && f.label == QStringLiteral("-");
    }));
}

TEST_F(TeachTest, TheBlankSettingIsShownInTheCheckAndSuggested) {
    openOn(Line("12 34", 1, 6, 8));
    teach(QStringLiteral("12 34"));
    EXPECT_TRUE(check().contains(QStringLiteral("空白の幅を 5 にすると、入力した空白の所に区切り"
                                                "キャラクタが入ります。")));
    edit("txtKuhaku")->setText(QStringLiteral("5"));
    EXPECT_TRUE(check().contains(QStringLiteral("区切りキャラクタが空のため")));
    // The check shrinks by a line; what lies below it stays under the pointer.
    const QPoint button = child("cmdGyouTouroku")->mapToGlobal(QPoint(0, 0));
    const QPoint store = child("cmdAriaKiroku")->mapToGlobal(QPoint(0, 0));
    edit("txtKugiri")->setText(QStringLiteral(","));
    EXPECT_EQ(child("cmdGyouTouroku")->mapToGlobal(QPoint(0, 0)), button);
    EXPECT_EQ(child("cmdAriaKiroku")->mapToGlobal(QPoint(0, 0)), store);
    EXPECT_EQ(check(), QStringLiteral("読み取り結果：12,34\n1行の文字と一致しています。"));
    EXPECT_EQ(ed->lastCheck().answer, u"12,34");
    // The check keeps no room for the lines it no longer has.
    QWidget* label = child("lblYomitori");
    EXPECT_EQ(label->height(), 2 * label->fontMetrics().lineSpacing());
    EXPECT_LE(edit("txtGyou")->y() - (label->y() + label->height()), 8);
}

TEST_F(TeachTest, ACaptureShowsItsLineEvenWhenTheViewScrolls) {
    // A line low in a tall area: the view scrolls down to it.
    openOn(Line("12", 1, 6, 2, 150, 40));
    auto* view = child<QScrollArea>("scrBig");
    QScrollBar* down = view->verticalScrollBar();
    ASSERT_GT(down->maximum(), 0);
    EXPECT_LE(down->value(), 1510);
    EXPECT_GE(down->value() + view->viewport()->height(), 1570);
}

// After every capture, what the reader cannot read is framed on the
// magnified view and said, with no line typed.
TEST_F(TeachTest, UnreadInkIsMarkedAfterACaptureWithoutATypedLine) {
    openOn(Line("12.3", 1, 6, 8));
    teach(QStringLiteral("12.3"));
    EXPECT_TRUE(ed->lastCheck().unread.empty());
    Click(list("List1"), 2); // "."
    ASSERT_EQ(list("List1")->currentItem()->text(), QStringLiteral("."));
    button("cmdKill")->click();
    edit("txtGyou")->clear();
    button("cmdSCap")->click();
    ASSERT_EQ(ed->lastCheck().unread.size(), 1u);
    const auto& p = ed->lastCheck().unread.front();
    const auto marked = std::find_if(frames().begin(), frames().end(), [&](const auto& f) {
        return f.area == QRect(QPoint(p.first, p.top), QPoint(p.last, p.bottom));
    });
    EXPECT_NE(marked, frames().end());
    EXPECT_TRUE(check().startsWith(QStringLiteral("読み取り結果：123")));
    EXPECT_TRUE(
        check()
            .section(QLatin1Char('\n'), 0, 0)
            .endsWith(QStringLiteral("赤枠の部分は読み取れません"))) // on the reading's own line
        << check().toStdString();
}
