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

TEST(frmTuika, OkNeedsANameEscAndTheFrameCancelEnterDoesNothing) {
    frmTuika d;
    auto* name = Get<QLineEdit>(d, "txtName");
    EXPECT_FALSE(d.CFlg);
    bool open = false;
    Show(d, {[&] {
                 Get<QPushButton>(d, "OKButton")->click(); // empty: stays open
                 QTest::keyClicks(name, QStringLiteral("abc"));
                 QTest::keyClick(name, Qt::Key_Return);
                 open = d.isVisible() && d.focusWidget() == name;
             },
             [&] { QTest::keyClick(name, Qt::Key_Escape); }});
    EXPECT_TRUE(open);
    EXPECT_TRUE(d.CFlg);
    EXPECT_EQ(d.name(), QStringLiteral("abc")); // kept, the caller ignores it

    // Next use: the caller clears the name; a blank is a name as typed.
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

TEST(frmTuika, TheQuestionNamesTheFrameAndTheTextBox) {
    frmTuika d;
    d.setQuestion(QStringLiteral("エリア名"));
    EXPECT_EQ(Get<QGroupBox>(d, "Frame1")->title(), QStringLiteral("エリア名"));
    EXPECT_EQ(Get<QLineEdit>(d, "txtName")->accessibleName(), QStringLiteral("エリア名"));
    EXPECT_EQ(Get<QPushButton>(d, "CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(d.size(), QSize(382, 153));
    EXPECT_EQ(Get<QLineEdit>(d, "txtName")->geometry(), QRect(8, 16, 233, 33));
}
