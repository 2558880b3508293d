// Cutting a character out of the magnified view and registering it.
#include "EditorFixture.h"

#include "MagnifiedView.h"

using namespace editortest;

namespace {

const QString kSize = QStringLiteral("サイズが不適当");

// n different kana joined as a character list.
QString Kana(int n) {
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString(QChar(0x3041 + i));
    return out.join(QStringLiteral("\\\\"));
}

} // namespace

class CutTest : public EditorTest {
protected:
    void openOn(const QString& extra = QString()) {
        // The area (8 x 4): black where '#'.
        const char* rows[] = {"#.#.....", "........", "....#...", "###....."};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                platform.screen.setPixel(200 + x, 100 + y,
                                         rows[y][x] == '#' ? 0xFF000000 : 0xFFFFFFFF);
        writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[認識エリアA]\n"
                                    "LEFT=200\nTOP=100\nWIDTH=8\nHEIGHT=4\n") +
                     extra);
        open();
        button("cmdSCap")->click();
    }
    // Drags over w x h cells from cell (x, y), a little off the cell edges.
    void cut(int x, int y, int w, int h) {
        dragOnBig({10 * x + 2, 10 * y + 2}, {10 * (x + w) + 2, 10 * (y + h) + 3});
    }
    void registerAs(const QString& c) {
        edit("txtChr")->setText(c);
        button("cmdChrTouroku")->click();
    }
    QString size() const { return caption("lblWidth") + "x" + caption("lblHeight"); }
};

TEST_F(CutTest, ADragSnapsToCellsAndItsSizeIsTested) {
    openOn();
    edit("txtChr")->setText(QStringLiteral("x"));
    for (const auto& [from, to] :
         {std::pair{QPoint(37, 12), QPoint(91, 58)}, {{91, 58}, {37, 12}}}) {
        dragOnBig(from, to);
        EXPECT_EQ(QRectF(QPointF(ed->Cut().x1, ed->Cut().y1), QPointF(ed->Cut().x2, ed->Cut().y2)),
                  QRectF(40, 10, 50, 50));
        EXPECT_EQ(size(), QStringLiteral("5x5"));
    }
    EXPECT_EQ(child<editor::MagnifiedView>("scrBig")->outline(), QRectF(40, 10, 50, 50));
    EXPECT_TRUE(button("cmdChrTouroku")->isEnabled());
    EXPECT_EQ(edit("txtChr")->text(), QString());
    EXPECT_TRUE(dialogs.messages.empty());

    // Refused: a click, 29 columns, one row. Nothing is left to register.
    QTest::mouseClick(child("picBig"), Qt::LeftButton, {}, {15, 15});
    EXPECT_EQ(size(), QStringLiteral("0x0"));
    cut(0, 0, 29, 2);
    cut(0, 0, 5, 1);
    EXPECT_EQ(messages(), (QStringList{kSize, kSize, kSize}));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Tirelma"));
    EXPECT_FALSE(button("cmdChrTouroku")->isEnabled());
    cut(0, 0, 28, 2);
    EXPECT_EQ(size(), QStringLiteral("28x2"));
    EXPECT_TRUE(button("cmdChrTouroku")->isEnabled());
    QTest::mousePress(child("picBig"), Qt::RightButton, {}, {3, 3}); // cuts nothing
    QTest::mouseRelease(child("picBig"), Qt::RightButton, {}, {50, 50});
    EXPECT_EQ(size(), QStringLiteral("28x2"));
}

TEST_F(CutTest, RegistrationWritesTheTemplateRowsThenTheList) {
    openOn();
    cut(0, 0, 8, 4);
    registerAs(QStringLiteral("5"));
    EXPECT_TRUE(text().endsWith(QStringLiteral("[G0ChrDat5]\nCHR=5\nX=8\nY=4\nBL0= 5\nBL1= 0\n"
                                               "BL2= 16\nBL3= 7\n[Chr]\nG0ALLCHR=5\n")))
        << text().toStdString();
    EXPECT_FALSE(button("cmdChrTouroku")->isEnabled());

    // Again: replaced in place, one 5 in the list, lower old rows stay.
    cut(2, 2, 3, 2);
    registerAs(QStringLiteral("5"));
    EXPECT_TRUE(text().endsWith(QStringLiteral("[G0ChrDat5]\nCHR=5\nX=3\nY=2\nBL0= 4\nBL1= 1\n"
                                               "BL2= 16\nBL3= 7\n[Chr]\nG0ALLCHR=5\n")));
    // Cells beyond the right and bottom edges are white.
    cut(6, 2, 4, 3);
    registerAs(QStringLiteral("7"));
    EXPECT_TRUE(text().contains(QStringLiteral("CHR=7\nX=4\nY=3\nBL0= 0\nBL1= 0\nBL2= 0\n")));
    EXPECT_TRUE(text().contains(QStringLiteral("G0ALLCHR=5\\\\7\n")));
    EXPECT_EQ(Entries(list("List1")), (QStringList{"5", "7"}));
    EXPECT_EQ(ed->ChrCount(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CutTest, RegisteringIsOfferedOnlyWhileACutIsAccepted) {
    openOn(QStringLiteral("[Chr]\nG0ALLCHR=8\n[G0ChrDat8]\nCHR=8\nX=3\nY=2\n"));
    QPushButton* touroku = button("cmdChrTouroku");
    EXPECT_FALSE(touroku->isEnabled());
    cut(0, 2, 5, 2);
    EXPECT_TRUE(touroku->isEnabled());
    // The labels then show the stored template, no longer the cut.
    Click(list("List1"), 0);
    EXPECT_EQ(size(), QStringLiteral("3x2"));
    EXPECT_FALSE(touroku->isEnabled());
    cut(0, 2, 5, 2);
    cut(0, 0, 1, 3); // refused
    EXPECT_FALSE(touroku->isEnabled());
    // Esc on the overlay keeps the image and so the cut; a capture does not.
    cut(0, 2, 5, 2);
    onOverlay([](capture::frmCap* w) { QTest::keyClick(w, Qt::Key_Escape); });
    button("cmdCap")->click();
    EXPECT_TRUE(touroku->isEnabled());
    button("cmdSCap")->click();
    EXPECT_FALSE(touroku->isEnabled());
    cut(0, 2, 5, 2);
    edit("txt2tikaLevel")->setText(QStringLiteral("100"));
    button("cmd2Tika")->click(); // the same image at another level: still a cut of it
    EXPECT_TRUE(touroku->isEnabled());
}

TEST_F(CutTest, NothingIsWrittenForTextsOrSizesTheFileCannotKeep) {
    openOn(QStringLiteral("[Chr]\nG0ALLCHR=a\n"));
    // The handler itself, with no cut made yet (labels empty).
    edit("txtChr")->setText(QStringLiteral("5"));
    ed->cmdChrTouroku_Click();
    cut(0, 0, 3, 3);
    const QByteArray before = bytes();
    const QString bad = QStringLiteral("キャラクタに \\ [ ] や改行は使えません");
    for (const QString& t : {QString(), QStringLiteral("1\\"), QStringLiteral("["),
                             QStringLiteral("]"), QStringLiteral("1\n2"), QStringLiteral("A")})
        registerAs(t);
    cut(0, 0, 29, 3); // refused: the labels show its size
    edit("txtChr")->setText(QStringLiteral("5"));
    ed->cmdChrTouroku_Click();
    EXPECT_EQ(
        messages(),
        (QStringList{kSize, QStringLiteral("キャラクタを入力してください!"), bad, bad, bad, bad,
                     // Section names ignore case: A would overwrite a's template.
                     QStringLiteral("登録済みのキャラクタ「a」と区別できないため記録できません"),
                     kSize, kSize}));
    EXPECT_EQ(bytes(), before);
    EXPECT_FALSE(button("cmdChrTouroku")->isEnabled());
    cut(0, 0, 3, 3);
    registerAs(QStringLiteral("Ａ")); // full-width letters are kept apart
    EXPECT_EQ(Entries(list("List1")), (QStringList{"a", "Ａ"}));
}

TEST_F(CutTest, TheGroupListMustReadBackWithin254BytesOfTheFilesEncoding) {
    // 63 kana with separators: 250 bytes in CP932, one more makes 254.
    openOn(QStringLiteral("[Chr]\nG0ALLCHR=") + Kana(63) + QStringLiteral("\n"));
    const QString full = QStringLiteral("このキャラクタグループにはこれ以上登録できません");
    for (const QString& c : {QStringLiteral("ア"), QStringLiteral("イ"), QStringLiteral("ア")}) {
        cut(0, 0, 3, 3);
        registerAs(c);
    }
    EXPECT_EQ(messages(), QStringList{full}); // only イ; ア again adds nothing
    EXPECT_EQ(ed->ChrCount(), 64);

    // 51 kana are 202 bytes in CP932 but 253 in UTF-8, to which a character
    // CP932 lacks would turn the file.
    dialogs.messages.clear();
    writeProfile(QStringLiteral("[Chr]\nG0ALLCHR=") + Kana(51) + QStringLiteral("\n"));
    ed->ChrListLoad(0);
    for (const QString& c : {QStringLiteral("한"), QStringLiteral("ア")}) {
        cut(0, 0, 3, 3);
        registerAs(c);
    }
    EXPECT_EQ(messages(), QStringList{full});
    EXPECT_EQ(ed->ChrCount(), 52);
}

TEST_F(CutTest, ACharacterCp932LacksIsStoredInUtf8AndReadBack) {
    openOn();
    cut(0, 0, 3, 3);
    registerAs(QStringLiteral("한"));
    EXPECT_TRUE(bytes().startsWith("\xEF\xBB\xBF"));
    ed->ChrListLoad(0);
    EXPECT_EQ(Entries(list("List1")), QStringList{"한"});
    EXPECT_TRUE(text().contains(QStringLiteral("[G0ChrDat한]\nCHR=한\n")));
}
