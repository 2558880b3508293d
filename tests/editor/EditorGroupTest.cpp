// Character groups, the registered-character list, choosing and deleting.
#include "EditorFixture.h"

using namespace editortest;

class GroupTest : public EditorTest {
protected:
    void openWith(const QString& chr) {
        writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\nG1=Signs\n"
                                    "[認識エリアA]\nCHRGROP= 0\n") +
                     chr);
        open();
    }
};

TEST_F(GroupTest, CharactersAreListedInCharacterCodeOrderPerGroup) {
    openWith(QStringLiteral("[Chr]\nG0ALLCHR=7\\\\1\\\\10\n"));
    EXPECT_EQ(Entries(list("List1")), (QStringList{"1", "10", "7"}));
    EXPECT_EQ(ed->ChrCount(), 3);
    Click(list("lstChrGrop"), 1);
    EXPECT_EQ(ed->ChrGropNo(), 1);
    EXPECT_EQ(list("List1")->count(), 0);
    EXPECT_EQ(ed->ChrCount(), 0);
    // The frame still names the area's group.
    EXPECT_EQ(child<QGroupBox>("fraList")->title(), QStringLiteral("キャラクタグループ(Digits)"));
}

TEST_F(GroupTest, DeletingMarksTheCharacterKeepsItsRowsAndRewritesTheList) {
    openWith(QStringLiteral("[Chr]\nG0ALLCHR=7\\\\1\\\\7\\\\3\n"
                            "[G0ChrDat7]\nCHR=7\nX=3\nY=2\nBL0= 7\nBL1= 4\n"));
    const QByteArray before = bytes();
    button("cmdKill")->click();
    ASSERT_EQ(messages(), QStringList{QStringLiteral("削除するキャラクタを選択してください.")});
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Tirelma"));
    EXPECT_EQ(dialogs.messages[0].icon, platform::Dialogs::Icon::Question);
    EXPECT_EQ(bytes(), before);

    Click(list("List1"), 2); // a 7
    EXPECT_EQ(edit("txtChr")->text() + caption("lblWidth") + caption("lblHeight"),
              QStringLiteral("732"));
    button("cmdKill")->click();
    // Both sevens go; the rest is stored in the list's sorted order.
    EXPECT_TRUE(
        text().contains(QStringLiteral("[G0ChrDat7]\nCHR=Null\nX=0\nY=0\nBL0= 7\nBL1= 4\n")));
    EXPECT_TRUE(text().contains(QStringLiteral("G0ALLCHR=1\\\\3\n")));
    EXPECT_EQ(Entries(list("List1")), (QStringList{"1", "3"}));
    EXPECT_EQ(ed->ChrCount(), 2);
    for (int i = 0; i < 2; ++i) {
        Click(list("List1"), 0);
        button("cmdKill")->click();
    }
    EXPECT_TRUE(text().contains(QStringLiteral("G0ALLCHR=\n")));

    // A list naming a deleted character (hand-edited) shows its marks.
    writeProfile(QStringLiteral("[Chr]\nG0ALLCHR=7\n[G0ChrDat7]\nCHR=Null\nX=0\nY=0\n"));
    ed->ChrListLoad(0);
    Click(list("List1"), 0);
    EXPECT_EQ(edit("txtChr")->text() + caption("lblWidth") + caption("lblHeight"),
              QStringLiteral("Null00"));
}

TEST_F(GroupTest, CreatingAGroupRewritesTheGroupListAndSwitchesToIt) {
    openWith(QStringLiteral("[Chr]\nG0ALLCHR=5\n"));
    const QByteArray before = bytes();
    names = {std::nullopt, QStringLiteral("Letters")};
    Click(list("lstChrGrop"), 2); // cancelled: nothing changes
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(ed->ChrGropNo(), 0);
    Click(list("lstChrGrop"), 2);
    EXPECT_EQ(questions, QStringList(2, QStringLiteral("キャラクタグループ名")));
    EXPECT_EQ(Entries(list("lstChrGrop")),
              (QStringList{"Digits", "Signs", "Letters", QStringLiteral("<新規追加>")}));
    EXPECT_TRUE(
        text().contains(QStringLiteral("[CHRGROPLIST]\nG0=Digits\nG1=Signs\nG2=Letters\n")));
    EXPECT_EQ(ed->ChrGropNo(), 2);
    EXPECT_EQ(list("List1")->count(), 0);

    // The new group can be chosen again.
    Click(list("lstChrGrop"), 0);
    EXPECT_EQ(Entries(list("List1")), QStringList{"5"});
    Click(list("lstChrGrop"), 2);
    EXPECT_EQ(ed->ChrGropNo(), 2);
    // The area keeps its group until it is stored.
    EXPECT_TRUE(text().contains(QStringLiteral("CHRGROP= 0\n")));
}

TEST_F(GroupTest, AGroupIndexNoGroupHasSelectsNothing) {
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n"
                                "[認識エリアA]\nCHRGROP= 7\n[Chr]\nG7ALLCHR=x\n"));
    open();
    EXPECT_EQ(list("lstChrGrop")->currentRow(), -1);
    EXPECT_EQ(ed->ChrGropNo(), 7);
    EXPECT_EQ(Entries(list("List1")), QStringList{"x"});
    EXPECT_EQ(child<QGroupBox>("fraList")->title(), QStringLiteral("キャラクタグループ()"));
}
