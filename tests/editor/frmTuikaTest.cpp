// The name-entry dialog on its own.
#include "frmTuika.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using editor::frmTuika;

namespace {

// Shows the dialog modally and runs the steps, one per tick, while it shows.
void Show(frmTuika& d, std::vector<std::function<void()>> steps) {
    std::size_t ran = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!d.isVisible()) return;
        if (ran < steps.size())
            steps[ran++]();
        else
            d.reject(); // never leave the test waiting
    });
    timer.start(1);
    d.exec();
}

template <class T> T* Get(frmTuika& d, const char* name) {
    return d.findChild<T*>(QLatin1String(name));
}

} // namespace

TEST(frmTuika, OkOrEnterNeedANameEscAndTheFrameCancel) {
    frmTuika d;
    auto* name = Get<QLineEdit>(d, "txtName");
    EXPECT_FALSE(d.CFlg);
    bool open = false;
    Show(d, {[&] {
                 Get<QPushButton>(d, "OKButton")->click(); // empty: stays open
                 QTest::keyClick(name, Qt::Key_Return);    // so does Enter
                 open = d.isVisible() && d.focusWidget() == name;
                 QTest::keyClicks(name, QStringLiteral("abc"));
             },
             [&] { QTest::keyClick(name, Qt::Key_Escape); }});
    EXPECT_TRUE(open);
    EXPECT_TRUE(d.CFlg);
    EXPECT_EQ(d.name(), QStringLiteral("abc")); // kept, the caller ignores it

    // Next use: the caller clears the name; Enter is OK.
    d.setName(QString());
    Show(d, {[&] {
             QTest::keyClicks(name, QStringLiteral("Counter"));
             QTest::keyClick(name, Qt::Key_Return);
         }});
    EXPECT_FALSE(d.CFlg);
    EXPECT_EQ(d.name(), QStringLiteral("Counter"));
    EXPECT_TRUE(Get<QPushButton>(d, "OKButton")->isDefault());

    // A blank is a name as typed.
    d.setName(QString());
    Show(d, {[&] {
             name->setText(QStringLiteral(" "));
             Get<QPushButton>(d, "OKButton")->click();
         }});
    EXPECT_FALSE(d.CFlg);
    EXPECT_EQ(d.name(), QStringLiteral(" "));

    Show(d, {[&] { d.close(); }}); // the window frame answers like Cancel
    EXPECT_TRUE(d.CFlg);
}

TEST(frmTuika, TheQuestionNamesTheFrameAndTheTextBoxSitsInsideIt) {
    frmTuika d;
    d.setQuestion(QStringLiteral("キャラクタグループ名"));
    d.show();
    auto* frame = Get<QGroupBox>(d, "Frame1");
    auto* name = Get<QLineEdit>(d, "txtName");
    EXPECT_EQ(frame->title(), QStringLiteral("キャラクタグループ名"));
    EXPECT_EQ(name->accessibleName(), QStringLiteral("キャラクタグループ名"));
    EXPECT_EQ(Get<QPushButton>(d, "CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(d.size(), QSize(382, 153));
    // Below the frame's caption, within its edges, clear of the buttons.
    EXPECT_TRUE(frame->contentsRect().contains(name->geometry()));
    EXPECT_GE(name->y(), QFontMetrics(frame->font()).height());
    EXPECT_LT(frame->geometry().bottom(), Get<QPushButton>(d, "OKButton")->y());
    EXPECT_GE(name->height(), name->sizeHint().height());
}
