// "続けて読むエリア" in the editor: what the dialog offers, reordering, and
// storing the choice at once under new keys only.
#include "EditorFixture.h"
#include "frmFields.h"

#include <QCheckBox>

namespace {

using editor::FieldChoice;
using editortest::EditorTest;

TEST(FieldChoices, TheAreasOwnFieldsFirstNeverItselfAndWhatIsWrongWithThem) {
    using C = std::vector<FieldChoice>;
    EXPECT_EQ(
        editor::FieldChoices(u"X", {u"X", u"Y", u"Z", u"W"}, {u"Z", u"Gone", u"Z", u"X"}, {u"W"}),
        (C{{u"Z", true}, {u"Gone", true, true}, {u"Y", false}, {u"W", false, false, true}}));
    EXPECT_TRUE(editor::FieldChoices(u"X", {u"X"}, {}, {}).empty());
}

// Checks the rows named and confirms the dialog when it shows.
void AnswerFieldsDialog(QStringList check, QStringList moveUp, bool ok) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* d = qobject_cast<editor::frmFields*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        auto* l = d->findChild<QListWidget*>(QStringLiteral("lstFields"));
        for (int i = 0; i < l->count(); ++i)
            if (check.contains(l->item(i)->text())) l->item(i)->setCheckState(Qt::Checked);
        for (const QString& name : moveUp)
            for (int i = 0; i < l->count(); ++i)
                if (l->item(i)->text() == name) {
                    l->setCurrentRow(i);
                    d->cmdUp_Click();
                    break;
                }
        ok ? d->accept() : d->reject();
    });
    timer->start(1);
}

TEST_F(EditorTest, FieldsAreChosenOrderedAndStoredAtOnce) {
    writeProfile(QStringLiteral("[ARIALIST]\nLIST0=X\nLIST1=Y\nLIST2=Z\n[ENDDATA]\nAREA=X\n"
                                "[CHRGROPLIST]\nG0=Digits\n"
                                "[認識エリアX]\nCHRGROP= 0\nLEFT=10\nTOP=20\nWIDTH=30\nHEIGHT=11\n"
                                "[認識エリアY]\nCHRGROP= 0\n[認識エリアZ]\nCHRGROP= 0\n"));
    open();
    const QByteArray before = bytes();
    EXPECT_EQ(caption("lblFields"), QStringLiteral("なし"));
    // Cancelled: nothing written.
    AnswerFieldsDialog({"Y", "Z"}, {}, false);
    ed->cmdFields_Click();
    EXPECT_EQ(bytes(), before);

    // Z moved above Y: read in that order.
    AnswerFieldsDialog({"Y", "Z"}, {"Z"}, true);
    ed->cmdFields_Click();
    EXPECT_TRUE(
        text().contains(QStringLiteral("[認識エリアX]\nCHRGROP= 0\nLEFT=10\nTOP=20\nWIDTH=30\n"
                                       "HEIGHT=11\nFIELD0=Z\nFIELD1=Y\n")))
        << text().toStdString();
    EXPECT_EQ(caption("lblFields"), QStringLiteral("Z、Y"));

    // Y, now offered with them checked, unchecked: the list shrinks.
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        auto* d = qobject_cast<editor::frmFields*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        auto* l = d->findChild<QListWidget*>(QStringLiteral("lstFields"));
        ASSERT_EQ(l->count(), 2);
        EXPECT_EQ(l->item(0)->checkState(), Qt::Checked);
        l->item(1)->setCheckState(Qt::Unchecked);
        d->accept();
    });
    timer->start(1);
    ed->cmdFields_Click();
    EXPECT_EQ(ini.IniRead(u"認識エリアX", u"FIELD0"), u"Z");
    EXPECT_EQ(ini.IniRead(u"認識エリアX", u"FIELD1"), u"");
    EXPECT_EQ(caption("lblFields"), QStringLiteral("Z"));

    // Another area chosen shows its own (none).
    Click(list("lstAriaList"), 1);
    EXPECT_EQ(caption("lblFields"), QStringLiteral("なし"));
}

TEST_F(EditorTest, FieldsNeedAnAreaFirst) {
    names = {std::nullopt}; // no area yet: the first one's name cancelled
    open();
    ASSERT_TRUE(ed->AriaName().empty());
    ed->cmdFields_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("認識エリアを選ぶ")));
}

TEST(FieldsDialog, MovesStopAtTheEnds) {
    editor::frmFields d(u"X", {{u"A", true}, {u"B", false}, {u"C", true}});
    auto* l = d.findChild<QListWidget*>(QStringLiteral("lstFields"));
    l->setCurrentRow(0);
    d.cmdUp_Click(); // already first
    d.cmdDown_Click();
    d.cmdDown_Click();
    d.cmdDown_Click(); // already last
    EXPECT_EQ(d.chosen(), (std::vector<std::u16string>{u"C", u"A"}));
    EXPECT_EQ(l->currentRow(), 2);
}

} // namespace
