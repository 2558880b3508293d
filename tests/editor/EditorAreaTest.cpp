// The editor window and its area list: opening, choosing, creating and
// storing areas, OK and the title bar.
#include "EditorFixture.h"

#include <QAccessible>
#include <QCheckBox>

using namespace editortest;

namespace {
const QString kNew = QStringLiteral("<新規追加>");
}

TEST_F(EditorTest, OnAnEmptyProfileTheFirstAreaAndGroupAreAskedForAtOnce) {
    names = {QStringLiteral("Counter"), QStringLiteral("Digits")};
    open();
    // The first area, and right after it its group, as a new user needs them.
    EXPECT_EQ(questions, (QStringList{"エリア名", "キャラクタグループ名"}));
    EXPECT_EQ(Entries(list("lstAriaList")), (QStringList{"Counter", kNew}));
    EXPECT_EQ(Entries(list("lstChrGrop")), (QStringList{"Digits", kNew}));
    EXPECT_EQ(list("lstAriaList")->currentRow(), 0);
    EXPECT_EQ(list("lstChrGrop")->currentRow(), 0);
    EXPECT_EQ(child<QGroupBox>("fraList")->title(), QStringLiteral("キャラクタグループ(Digits)"));
    EXPECT_EQ(caption("lblList"), QStringLiteral("登録文字リスト"));
    EXPECT_EQ(text(), QStringLiteral("[ARIALIST]\nLIST0=Counter\n[CHRGROPLIST]\nG0=Digits\n"));
    // Out of the always-on-top band while the dialog shows.
    const auto n = platform.topMost.size();
    ASSERT_GE(n, 2u);
    EXPECT_FALSE(platform.topMost[n - 2].second);
    EXPECT_TRUE(platform.topMost[n - 1].second);

    edit("txtAriaComment")->setText(QStringLiteral("upper counter"));
    edit("txtLeft")->setText(QStringLiteral("812"));
    edit("txtTop")->setText(QStringLiteral("403"));
    edit("txtWidth")->setText(QStringLiteral("96"));
    edit("txtHeight")->setText(QStringLiteral("abc")); // stored as typed
    edit("txtKugiri")->setText(QStringLiteral(","));
    button("cmdAriaKiroku")->click();
    // No blank width set: the area is stored exactly as it always was.
    EXPECT_EQ(text(), QStringLiteral("[ARIALIST]\nLIST0=Counter\n[CHRGROPLIST]\nG0=Digits\n"
                                     "[ENDDATA]\nAREA=Counter\n[認識エリアCounter]\nCHRGROP= 0\n"
                                     "COMMENT=upper counter\nLEFT=812\nTOP=403\nWIDTH=96\n"
                                     "HEIGHT=abc\nBWLEVELT=128\n区切り=,\n"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(caption("lblSetumei"),
              QStringLiteral("認識エリア「Counter」を記録しました。(O)Kで閉じると、このエリアを"
                             "読み取ります。"));

    // Set, the blank width is stored after the delimiter; cleared, it is
    // stored empty, which reads as none.
    edit("txtKuhaku")->setText(QStringLiteral("4"));
    button("cmdAriaKiroku")->click();
    EXPECT_TRUE(text().endsWith(QStringLiteral("区切り=,\nBLANKWIDTH=4\n")));
    for (const char* bad : {"x", "-1", "2.5"}) {
        edit("txtKuhaku")->setText(QString::fromLatin1(bad));
        button("cmdAriaKiroku")->click();
    }
    EXPECT_EQ(messages(),
              QStringList(3, QStringLiteral("空白の幅には0以上の整数を入力してください")));
    edit("txtKuhaku")->clear();
    button("cmdAriaKiroku")->click();
    EXPECT_TRUE(text().endsWith(QStringLiteral("区切り=,\nBLANKWIDTH=\n")));
}

TEST_F(EditorTest, WithoutAnAreaNothingIsStoredAndOkAsksNothing) {
    names = {std::nullopt}; // the first area's name cancelled
    open();
    edit("txtLeft")->setText(QStringLiteral("5"));
    button("cmdAriaKiroku")->click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "エリア名の一覧で認識エリアを選ぶか、<新規追加>で作ってください")});
    EXPECT_EQ(bytes(), QByteArray()); // no section without a name
    button("cmdEnd")->click();
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(EditorTest, NewEntryStaysLastSoTheNextAreaAndGroupCanBeAddedAtOnce) {
    names = {QStringLiteral("A"), QStringLiteral("G1")};
    open();
    names = {QStringLiteral("B")};
    Click(list("lstAriaList"), 1);
    EXPECT_EQ(Entries(list("lstAriaList")), (QStringList{"A", "B", kNew}));
    EXPECT_EQ(list("lstAriaList")->currentRow(), 1);
    EXPECT_EQ(ed->AriaName(), u"B");
    names = {QStringLiteral("C")};
    Click(list("lstAriaList"), 2);
    EXPECT_EQ(Entries(list("lstAriaList")), (QStringList{"A", "B", "C", kNew}));

    names = {QStringLiteral("G2")};
    Click(list("lstChrGrop"), 1);
    names = {QStringLiteral("G3")};
    Click(list("lstChrGrop"), 2);
    EXPECT_EQ(Entries(list("lstChrGrop")), (QStringList{"G1", "G2", "G3", kNew}));
    EXPECT_EQ(ed->ChrGropNo(), 2);
    // The group just made is found again by a click, like any other.
    Click(list("lstChrGrop"), 0);
    Click(list("lstChrGrop"), 2);
    EXPECT_EQ(ed->ChrGropNo(), 2);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(text(), QStringLiteral("[ARIALIST]\nLIST0=A\nLIST1=B\nLIST2=C\n"
                                     "[CHRGROPLIST]\nG0=G1\nG1=G2\nG2=G3\n"));
}

TEST_F(EditorTest, NewNamesThatExistOrThatTheFileCannotHoldAreRefused) {
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\nLIST1=Counter\n[ENDDATA]\nAREA=Counter\n"
                                "[CHRGROPLIST]\nG0=Digits\n[認識エリアCounter]\nBWLEVELT=200\n"));
    open();
    const QByteArray before = bytes();
    const QString bad = QStringLiteral("名前に [ ] = や改行は使えません");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("A"), QStringLiteral("すでに存在しています")},
        {kNew, QStringLiteral("すでに存在しています")},
        {QStringLiteral("a]b"), bad},
        {QStringLiteral("a=b"), bad},
        {QStringLiteral("a "), QStringLiteral("名前の前後に空白は使えません")},
        {QString(255, QLatin1Char('x')), QStringLiteral("名前が長すぎます")},
        // Section names ignore case: it would share Counter's settings.
        {QStringLiteral("COUNTER"),
         QStringLiteral("大文字・小文字だけが違う名前がすでに存在しています")},
    };
    for (const auto& [name, why] : cases) {
        dialogs.messages.clear();
        names = {name};
        Click(list("lstAriaList"), 2);
        EXPECT_EQ(messages(), QStringList{why}) << name.toStdString();
        EXPECT_EQ(dialogs.messages.at(0).title, QStringLiteral("Error"));
    }
    dialogs.messages.clear();
    names = {QStringLiteral("[g"), QStringLiteral("Digits")};
    Click(list("lstChrGrop"), 1);
    Click(list("lstChrGrop"), 1);
    EXPECT_EQ(messages(), (QStringList{bad, QStringLiteral("すでに存在しています")}));

    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(Entries(list("lstAriaList")), (QStringList{"A", "Counter", kNew}));
    EXPECT_EQ(child<QScrollBar>("VScroll1")->value(), 200);
    // Cancelling writes nothing either, but puts the level back to 128.
    names = {std::nullopt};
    Click(list("lstAriaList"), 2);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(edit("txt2tikaLevel")->text(), QStringLiteral("128"));
}

TEST_F(EditorTest, ChoosingAnAreaShowsItsStoredSettings) {
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\nLIST1=B\nLIST2=C\n[ENDDATA]\nAREA=gone\n"
                                "[CHRGROPLIST]\nG0=Digits\nG1=Signs\n"
                                "[認識エリアA]\nCHRGROP= 1\nCOMMENT=first\nLEFT=10\nTOP=20\n"
                                "WIDTH=30\nHEIGHT=40\nBWLEVELT=128\n区切り=;\n"
                                "[認識エリアB]\nBWLEVELT=\n[認識エリアC]\nBWLEVELT=300\n"
                                "[Chr]\nG1ALLCHR=+\\\\-\n"));
    open();
    // AREA names no listed area: the first one is chosen.
    EXPECT_EQ(ed->AriaName(), u"A");
    QStringList fields;
    for (const char* n :
         {"txtAriaComment", "txtLeft", "txtTop", "txtWidth", "txtHeight", "txtKugiri"})
        fields << edit(n)->text();
    EXPECT_EQ(fields, (QStringList{"first", "10", "20", "30", "40", ";"}));
    EXPECT_EQ(list("lstChrGrop")->currentRow(), 1);
    EXPECT_EQ(ed->ChrGropNo(), 1);
    EXPECT_EQ(Entries(list("List1")), (QStringList{"+", "-"}));

    // An unchanged slider leaves the typed level text; an empty level is 128.
    edit("txt2tikaLevel")->setText(QStringLiteral("90"));
    Click(list("lstAriaList"), 1);
    EXPECT_EQ(edit("txt2tikaLevel")->text(), QStringLiteral("90"));
    EXPECT_EQ(edit("txtLeft")->text(), QString());
    Click(list("lstAriaList"), 2); // beyond the slider's range: its end
    EXPECT_EQ(edit("txt2tikaLevel")->text(), QStringLiteral("255"));
    QTest::keyClick(list("lstAriaList"), Qt::Key_Up); // the keyboard chooses too
    EXPECT_EQ(ed->AriaName(), u"B");
}

TEST_F(EditorTest, OkAsksBeforeAnUnstoredAreaIsLostTheTitleBarWritesNothing) {
    using Answer = platform::Dialogs::Answer;
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\nLIST1=B\n[CHRGROPLIST]\nG0=Digits\n"
                                "[ENDDATA]\nAREA=A\n[認識エリアA]\nLEFT=1\n"));
    const auto run = [&](std::function<void()> inside) {
        ed = std::make_unique<editor::frmKakudai>(platform, dialogs, ini);
        QTimer t;
        QObject::connect(&t, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != ed.get()) return;
            t.stop();
            inside();
        });
        t.start(1);
        return ed->run();
    };
    const QByteArray before = bytes();
    const QString stored = QString(Cp932(before)).remove(QLatin1Char('\r'));
    EXPECT_EQ(run([&] { ed->close(); }), editor::EditorOutcome::Closed);
    EXPECT_EQ(bytes(), before);

    // As stored (a missing level is the 128 shown): no question.
    EXPECT_EQ(run([&] { button("cmdEnd")->click(); }), editor::EditorOutcome::Ok);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(text(), stored);

    // An area never stored: cancel stays, no closes writing only its name.
    bool stayed = false;
    EXPECT_EQ(run([&] {
                  Click(list("lstAriaList"), 1);
                  edit("txtLeft")->setText(QStringLiteral("999"));
                  QTest::keyClick(ed.get(), Qt::Key_Escape); // Esc does not close it
                  dialogs.answers = {Answer::Cancel};
                  button("cmdEnd")->click();
                  stayed = ed->isVisible();
                  dialogs.answers = {Answer::No};
                  button("cmdEnd")->click();
              }),
              editor::EditorOutcome::Ok);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(dialogs.questions,
              QStringList(2, QStringLiteral("認識エリア「B」はまだ記録されていません。\n"
                                            "記録してから閉じますか?")));
    EXPECT_EQ(text(), QString(stored).replace("AREA=A", "AREA=B"));

    // A changed field, and yes: stored as "認識エリア記録" stores it.
    dialogs.questions.clear();
    EXPECT_EQ(run([&] {
                  Click(list("lstAriaList"), 0);
                  edit("txtTop")->setText(QStringLiteral("7"));
                  dialogs.answers = {Answer::Yes};
                  button("cmdEnd")->click();
              }),
              editor::EditorOutcome::Ok);
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("認識エリア「A」の変更はまだ記録されていません。\n"
                                         "記録してから閉じますか?")});
    EXPECT_EQ(text(), QStringLiteral("[ARIALIST]\nLIST0=A\nLIST1=B\n[CHRGROPLIST]\nG0=Digits\n"
                                     "[ENDDATA]\nAREA=A\n[認識エリアA]\nLEFT=1\nCHRGROP= 0\n"
                                     "COMMENT=\nTOP=7\nWIDTH=\nHEIGHT=\nBWLEVELT=128\n区切り=\n"));
}

TEST_F(EditorTest, ControlsCarryTheirCaptionsPositionsTooltipsAndNames) {
    names = {std::nullopt};
    open();
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("認識エリアとキャラクタ登録"));
    // The frames and the command column hold their controls.
    EXPECT_TRUE(child("Frame2")->isAncestorOf(child("cmdAriaKiroku")));
    EXPECT_TRUE(child("Frame2")->isAncestorOf(child("txtKuhaku")));
    EXPECT_TRUE(child("fraList")->isAncestorOf(child("cmdChrTouroku")));
    EXPECT_TRUE(child("picCtlAlia")->isAncestorOf(child("cmdEnd")));
    EXPECT_LT(child("cmdCap")->y(), child("cmdSCap")->y());
    EXPECT_LT(child("cmdSCap")->y(), child("cmdEnd")->y());
    EXPECT_EQ(button("cmdCap")->text(), QStringLiteral("(&P)位置を指定してキャプチャ"));
    EXPECT_EQ(button("cmdSCap")->text(), QStringLiteral("(&S)同じ位置でキャプチャ"));
    EXPECT_EQ(button("cmdEnd")->text(), QStringLiteral("(&O)K"));
    EXPECT_FALSE(button("cmdChrTouroku")->isEnabled());
    EXPECT_EQ(child("lstAriaList")->toolTip(),
              QStringLiteral("エリアを選択してOKボタンを押すと認識エリアを変更します。 "));
    EXPECT_EQ(child("cmdSCap")->toolTip(),
              QStringLiteral("指定されている認識エリアの拡大画像を表示します。"));

    // Every text box and list is named for screen readers; buttons keep
    // their texts, and Enter presses none of them.
    const char* named[][2] = {
        {"lstAriaList", "エリア名"},
        {"txtAriaComment", "エリアコメント"},
        {"txtLeft", "Left"},
        {"txtTop", "Top"},
        {"txtWidth", "Width"},
        {"txtHeight", "Height"},
        {"txt2tikaLevel", "2値化レベル"},
        {"lstChrGrop", "キャラクタグループ"},
        {"txtKugiri", "区切りキャラクタ："},
        {"txtKuhaku", "空白の幅："},
        {"List1", "登録文字リスト"},
        {"txtChr", "キャラクタ"},
        {"txtGyou", "1行の文字："},
        // The size labels are named by their captions, never by the size.
        {"lblWidth", "幅"},
        {"lblHeight", "高さ"},
    };
    for (const auto& [name, label] : named)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(child(name))->text(QAccessible::Name),
                  QString::fromUtf8(label));
    for (QPushButton* b : ed->findChildren<QPushButton*>())
        EXPECT_TRUE(b->accessibleName().isEmpty() && !b->autoDefault());
}

// "認識エリア記録" remembers the monitor the area lies on, and writes the
// key that writes incomplete readings without asking only once the user
// has changed it; an old profile stays as it was until then.
TEST_F(EditorTest, StoringRemembersTheMonitorAndTheQuestionOnlyOnceChanged) {
    writeProfile(
        QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[ENDDATA]\nAREA=A\n"
                       "[認識エリアA]\nCHRGROP= 0\nLEFT=100\nTOP=50\nWIDTH=76\nHEIGHT=11\n"));
    open();
    auto* ask = child<QCheckBox>("chkYominokoshi");
    EXPECT_FALSE(ask->isChecked());
    button("cmdAriaKiroku")->click();
    EXPECT_FALSE(text().contains(QStringLiteral("WRITEUNREAD")));
    // The fake desktop: one monitor of 1280 x 800 at scale 1.
    EXPECT_TRUE(text().contains(QStringLiteral("\nMONITOR=0,0,1280,800\nMONITORSCALE=100\n")))
        << text().toStdString();

    ask->setChecked(true);
    button("cmdAriaKiroku")->click();
    EXPECT_TRUE(text().contains(QStringLiteral("\nWRITEUNREAD=True\n")));
    ed.reset();
    open();
    EXPECT_TRUE(child<QCheckBox>("chkYominokoshi")->isChecked());
    // Changed back: stored as False, and a change not stored is one OK asks about.
    child<QCheckBox>("chkYominokoshi")->setChecked(false);
    button("cmdAriaKiroku")->click();
    EXPECT_TRUE(text().contains(QStringLiteral("\nWRITEUNREAD=False\n")));
    child<QCheckBox>("chkYominokoshi")->setChecked(true);
    dialogs.answers = {platform::Dialogs::Answer::Cancel};
    button("cmdEnd")->click();
    EXPECT_EQ(dialogs.questions.size(), 1);

    // An area moved off every monitor: the old record would mislead.
    edit("txtLeft")->setText(QStringLiteral("5000"));
    button("cmdAriaKiroku")->click();
    EXPECT_TRUE(text().contains(QStringLiteral("\nMONITOR=\nMONITORSCALE=\n")))
        << text().toStdString();
}
