// What a screen reader is given: the answer with the keyboard and its name
// once the window has read, the notice of an incomplete reading told with
// it, and a name for every control of the windows that takes input.
#include "AccessibleNames.h"
#include "DemoDesk.h"
#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmFields.h"
#include "frmFile.h"
#include "frmKakudai.h"
#include "frmKey.h"
#include "frmMain.h"
#include "frmTuika.h"

#include "QtChecks.h"
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

using fakes::FakeDialogs;
using fakes::FakePlatform;
using mainwin::frmMain;

// Notes the answer's text at the moment it takes the keyboard: what a
// screen reader says as the window opens.
class FocusText : public QObject {
public:
    explicit FocusText(QLineEdit* box) { box->installEventFilter(this); }
    QStringList said;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) said << static_cast<QLineEdit*>(o)->text();
        return false;
    }
};

class ScreenReader : public fakes::DemoDesk {
protected:
    static QLineEdit* box(QWidget& w, const char* name) {
        return w.findChild<QLineEdit*>(QLatin1String(name));
    }
    static QAccessibleInterface* accessible(QWidget* w) {
        return QAccessible::queryAccessibleInterface(w);
    }
};

TEST_F(ScreenReader, TheAnswerTakesTheKeyboardWithTheNumberAndItsName) {
    frmMain w(platform, dialogs, ini);
    QLineEdit* kotae = box(w, "txtKotae");
    FocusText focus(kotae);
    w.show();
    QTRY_COMPARE(QApplication::focusWidget(), kotae);
    // Focused once, with the number already in it (not an empty box that
    // fills afterwards, which a screen reader would announce as empty).
    EXPECT_EQ(focus.said, QStringList{QStringLiteral("1234567890")});
    QAccessibleInterface* answer = accessible(kotae);
    EXPECT_EQ(answer->text(QAccessible::Name), QStringLiteral("認識結果"));
    EXPECT_TRUE(answer->state().focused);
    QAccessibleTextInterface* text = answer->textInterface();
    EXPECT_EQ(text->text(0, text->characterCount()), QStringLiteral("1234567890"));
    EXPECT_EQ(answer->text(QAccessible::Description), QString());
    EXPECT_EQ(accessible(box(w, "txtComment"))->text(QAccessible::Name),
              QStringLiteral("コメント"));

    // One Tab from the answer is the comment, as it was from the first
    // button before; F1 there reads again and leaves the comment the focus.
    QTest::keyClick(kotae, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), box(w, "txtComment"));
    show(QStringLiteral("small.bmp"));
    QTest::keyClick(box(w, "txtComment"), Qt::Key_F1);
    EXPECT_EQ(kotae->text(), QStringLiteral("-0.5"));
    EXPECT_EQ(QApplication::focusWidget(), box(w, "txtComment"));

    // Back from the output dialog the window reads afresh and the answer
    // has the keyboard again.
    show(QStringLiteral("counter.png"));
    const int grabs = platform.grabs;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<mainwin::frmFile*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    w.M_F_Open_Click();
    QTRY_VERIFY(platform.grabs > grabs);
    EXPECT_EQ(kotae->text(), QStringLiteral("1234567890"));
    QTRY_COMPARE(w.focusWidget(), kotae);
}

TEST_F(ScreenReader, AnIncompleteReadingsNoticeIsToldWithTheAnswer) {
    // "." never taught: the dots of "12.34,-5.6" stay unread.
    ini.IniWrite(u"Chr", u"G0ALLCHR", u"0\\\\1\\\\2\\\\3\\\\4\\\\5\\\\6\\\\7\\\\8\\\\9\\\\,\\\\-");
    show(QStringLiteral("position.ppm"));
    frmMain w(platform, dialogs, ini);
    QLineEdit* kotae = box(w, "txtKotae");
    auto* notice = w.findChild<QLabel*>(QStringLiteral("lblKeikoku"));
    w.show();
    QTRY_COMPARE(QApplication::focusWidget(), kotae);
    ASSERT_FALSE(w.reading().complete());
    const QString said = accessible(kotae)->text(QAccessible::Description);
    EXPECT_TRUE(said.contains(QStringLiteral("読み取れない部分があります"))) << said.toStdString();
    EXPECT_EQ(said, notice->text());

    // A complete reading takes the notice away from the answer as well.
    show(QStringLiteral("counter.png"));
    QTest::keyClick(kotae, Qt::Key_F1);
    EXPECT_EQ(kotae->text(), QStringLiteral("1234567890"));
    EXPECT_EQ(accessible(kotae)->text(QAccessible::Description), QString());
}

TEST_F(ScreenReader, EveryControlThatTakesInputHasAName) {
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> windows{
        {"main window",
         [this] {
             auto w = std::make_unique<frmMain>(platform, dialogs, ini);
             w->setKeyApplier([](const mainwin::ReadingKeys&) { return QString(); });
             return w;
         }},
        {"output settings", [this] { return std::make_unique<mainwin::frmFile>(dialogs, ini); }},
        {"reading keys",
         [this] {
             return std::make_unique<mainwin::frmKey>(
                 dialogs, ini, [](const mainwin::ReadingKeys&) { return QString(); });
         }},
        {"editor",
         [this] {
             auto ed = std::make_unique<editor::frmKakudai>(platform, dialogs, ini);
             ed->Form_Load();
             return ed;
         }},
        {"name entry",
         [] {
             auto d = std::make_unique<editor::frmTuika>();
             d->setQuestion(QStringLiteral("エリア名を入力してください"));
             return d;
         }},
        {"fields",
         [] {
             return std::make_unique<editor::frmFields>(
                 u"Counter", std::vector<editor::FieldChoice>{{u"X", true}, {u"Y"}});
         }},
    };
    for (const auto& [what, make] : windows) {
        SCOPED_TRACE(what);
        std::unique_ptr<QWidget> w = make();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const a11ytest::InputNames found = a11ytest::InputsOf(w.get());
        EXPECT_GT(found.inputs, 0);
        EXPECT_TRUE(found.unnamed.isEmpty())
            << found.unnamed.join(QStringLiteral("; ")).toStdString();
    }
}

} // namespace
