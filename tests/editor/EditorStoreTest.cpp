// "認識エリア記録" and the store OK offers: one replacement of the profile,
// byte for byte what storing key by key gave, and nothing at all (told, the
// editor left open) when the profile refuses it.
#include "EditorFixture.h"

#include <QCheckBox>

using namespace editortest;
using Answer = platform::Dialogs::Answer;

class StoreTest : public EditorTest {
protected:
    // The writes the editor stored an area with, one key per call: the
    // profile must come out the same.
    void storeKeyByKey(store::ProfileStore& p, bool onMonitor) {
        const auto box = [this](const char* name) { return edit(name)->text().toStdU16String(); };
        const std::u16string area = ed->AriaName(), s = u"認識エリア" + area;
        const std::u16string blank = box("txtKuhaku");
        const bool unread = child<QCheckBox>("chkYominokoshi")->isChecked();
        p.IniWrite(u"ENDDATA", u"AREA", area);
        p.IniWrite(s, u"CHRGROP", profile::SignedNumberText(ed->ChrGropNo()));
        p.IniWrite(s, u"COMMENT", box("txtAriaComment"));
        p.IniWrite(s, u"LEFT", box("txtLeft"));
        p.IniWrite(s, u"TOP", box("txtTop"));
        p.IniWrite(s, u"WIDTH", box("txtWidth"));
        p.IniWrite(s, u"HEIGHT", box("txtHeight"));
        p.IniWrite(s, u"BWLEVELT", box("txt2tikaLevel"));
        p.IniWrite(s, u"区切り", box("txtKugiri"));
        if (!blank.empty() || !p.IniRead(s, u"BLANKWIDTH").empty())
            p.IniWrite(s, u"BLANKWIDTH", blank);
        if (unread || !p.IniRead(s, u"WRITEUNREAD").empty())
            p.IniWrite(s, u"WRITEUNREAD", unread ? u"True" : u"False");
        if (onMonitor) { // the fake desktop's one monitor
            p.IniWrite(s, u"MONITOR", u"0,0,1280,800");
            p.IniWrite(s, u"MONITORSCALE", u"100");
        } else if (!p.IniRead(s, u"MONITOR").empty()) {
            p.IniWrite(s, u"MONITOR", u"");
            p.IniWrite(s, u"MONITORSCALE", u"");
        }
    }
};

TEST_F(StoreTest, TheProfileComesOutAsStoringKeyByKeyLeftIt) {
    // Hand-edited: a comment, an odd line, names in other cases, keys the
    // editor does not store, a section after the area's.
    writeProfile(QStringLiteral("; mine\n[ARIALIST]\nLIST0=A\nLIST1=B\n[CHRGROPLIST]\nG0=Digits\n"
                                "[ENDDATA]\nAREA=B\n[認識エリアa]\nLeft=5000\ntop=7\n"
                                "BlankWidth=3\nodd line\nMONITOR=0,0,640,480\nFIELD0=B\n"
                                "[Tail]\nx=1\n"));
    writeFile(QStringLiteral("Reference.ini"), bytes());
    store::ProfileStore reference(
        settings::PathFromText(path(QStringLiteral("Reference.ini")).toStdU16String()));
    open();
    const auto store = [&](bool onMonitor) {
        storeKeyByKey(reference, onMonitor);
        button("cmdAriaKiroku")->click();
        EXPECT_EQ(bytes(), readFile(QStringLiteral("Reference.ini")));
    };

    // An area never stored, on the monitor.
    for (const auto& [name, value] : {std::pair{"txtAriaComment", "下段"},
                                      {"txtLeft", "100"},
                                      {"txtTop", "50"},
                                      {"txtWidth", "76"},
                                      {"txtHeight", "11"}})
        edit(name)->setText(QString::fromUtf8(value));
    store(true);
    // One stored by hand, now off every monitor, the new keys set and cleared.
    Click(list("lstAriaList"), 0);
    EXPECT_EQ(edit("txtLeft")->text(), QStringLiteral("5000"));
    child<QCheckBox>("chkYominokoshi")->setChecked(true);
    edit("txtKuhaku")->clear();
    store(false);
    // A comment CP932 cannot hold turns the file to UTF-8.
    edit("txtAriaComment")->setText(QStringLiteral("café ☃"));
    store(false);
    EXPECT_TRUE(bytes().startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(StoreTest, ARefusedStoreIsToldAndLeavesTheProfileAndTheEditorAsTheyWere) {
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[ENDDATA]\n"
                                "AREA=A\n[認識エリアA]\nLEFT=1\nTOP=2\n"));
    open();
    int heard = 0; // the program's own notice of refused writes would tell it twice
    ini.setWriteFailureHandler([&](const store::WriteFailure&) { ++heard; });
    // Read-only: refused also to root.
    const QString file = path(QStringLiteral("Kavoren.ini"));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray before = bytes();
    edit("txtTop")->setText(QStringLiteral("8"));
    button("cmdAriaKiroku")->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString told = messages()[0];
    EXPECT_TRUE(told.startsWith(QStringLiteral("認識エリア「A」は記録されていません。\n")));
    EXPECT_TRUE(told.contains(QStringLiteral("読み取り専用")));
    EXPECT_TRUE(told.contains(QStringLiteral("Kavoren.ini"))); // the file to look at
    EXPECT_FALSE(caption("lblSetumei").contains(QStringLiteral("記録しました")));
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(heard, 0);

    // OK's store refused too: the editor stays open, nothing written.
    dialogs.answers = {Answer::Yes};
    button("cmdEnd")->click();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(messages(), QStringList(2, told));
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(bytes(), before);

    // Writable again, the same OK stores and closes.
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    dialogs.answers = {Answer::Yes};
    button("cmdEnd")->click();
    EXPECT_FALSE(ed->isVisible());
    EXPECT_TRUE(text().contains(QStringLiteral("\nLEFT=1\nTOP=8\nCHRGROP= 0\n")));
}

TEST_F(StoreTest, AGroupNumberNoGroupHasMakesOkAskNothing) {
    // 1e10 fits no 32-bit integer; 5 and 2.5 (2) name no group; abc is 0.
    for (const char* group : {"1e10", " 5", "2.5", "abc"}) {
        writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[ENDDATA]\n"
                                    "AREA=A\n[認識エリアA]\nCHRGROP=%1\nLEFT=1\n")
                         .arg(QLatin1String(group)));
        const QByteArray before = bytes();
        open();
        // Only the number no 32-bit integer holds is no group at all: said so.
        const QString guidance = caption("lblSetumei");
        EXPECT_EQ(guidance.contains(QStringLiteral("(CHRGROP=1e10) が使えない値です")),
                  QLatin1String(group) == QLatin1String("1e10"))
            << group << " " << guidance.toStdString();
        button("cmdEnd")->click();
        EXPECT_TRUE(dialogs.questions.isEmpty()) << group;
        EXPECT_FALSE(ed->isVisible()) << group;
        EXPECT_EQ(bytes(), before) << group;
    }
}
