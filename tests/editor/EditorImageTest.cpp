// Capture at the same position and by dragging, the level, the two-level and
// magnified views and the window's growth.
#include "EditorFixture.h"

#include <QScrollArea>
#include <QScrollBar>

using namespace editortest;

namespace {
const QString kNotNumbers = QStringLiteral("Left、Top、Width、Heightに数値を入力してください");
const QString kBadSize =
    QStringLiteral("認識エリアの大きさが不適当です(幅と高さは0～3000、幅×高さは160000以下)");
} // namespace

class ImageTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // Red rises along x and y, so any misplaced copy shows.
        for (int y = 0; y < platform.screen.height(); ++y)
            for (int x = 0; x < platform.screen.width(); ++x)
                platform.screen.setPixel(x, y, qRgb((x * 5 + y * 3) & 0xFF, (x * 11) & 0xFF, 77));
        writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n"));
        open();
    }
    void capture(const QString& l, const QString& t, const QString& w, const QString& h) {
        edit("txtLeft")->setText(l);
        edit("txtTop")->setText(t);
        edit("txtWidth")->setText(w);
        edit("txtHeight")->setText(h);
        button("cmdSCap")->click();
    }
    // The eight controls a capture by dragging disables meanwhile.
    int enabledCount() const {
        int n = 0;
        for (const char* c : {"VScroll1", "cmd2Tika", "cmdAriaKiroku", "cmdKill", "cmdChrTouroku",
                              "cmdCap", "cmdSCap", "cmdEnd"})
            n += child(c)->isEnabled();
        return n;
    }
};

TEST_F(ImageTest, CaptureCopiesBinarizesMagnifiesAndTheWindowOnlyWidens) {
    capture("100", "50", "6", "3");
    EXPECT_TRUE(ed->areaImage() == platform.screen.copy(100, 50, 6, 3));
    ASSERT_EQ(ed->magnifiedImage().size(), QSize(60, 30));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const QRgb want = qRed(platform.screen.pixel(100 + x, 50 + y)) <= 128
                                  ? qRgb(0, 0, 0)
                                  : qRgb(255, 255, 255);
            EXPECT_EQ(ed->twoLevelImage().pixel(x, y), want);
            EXPECT_EQ(ed->magnifiedImage().pixel(10 * x + 9, 10 * y), want);
        }
    EXPECT_EQ(child("picBig")->size(), QSize(60, 30));
    const QSize first = ed->size();
    auto* view = child<QScrollArea>("scrBig");

    capture("10.5", "0", "100", "4"); // left rounds half to even: column 10
    EXPECT_EQ(ed->areaImage().pixel(0, 0), platform.screen.pixel(10, 0));
    // Wider than the window: it widens until the whole view shows.
    EXPECT_GT(ed->width(), first.width());
    QCoreApplication::processEvents(); // the scroll bars follow a new range a moment later
    EXPECT_GE(view->viewport()->width(), 1000);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible() ||
                 view->verticalScrollBar()->isVisible());
    EXPECT_EQ(ed->height(), first.height() + 10);
    EXPECT_EQ(child("lblSetumei")->width(), ed->width() - 12);
    const int wide = ed->width();
    capture("11.5", "0", "20", "12"); // column 12; narrower, taller
    EXPECT_EQ(ed->areaImage().pixel(0, 0), platform.screen.pixel(12, 0));
    EXPECT_EQ(ed->size(), QSize(wide, first.height() + 90));
    capture("0", "0", "0", "0");
    EXPECT_EQ(ed->magnifiedImage().size(), QSize(0, 0));
    EXPECT_EQ(ed->width(), wide);
    EXPECT_LE(ed->height(), first.height() - 30); // and no reading to show
    EXPECT_EQ(caption("lblYomitori"), QString());
}

TEST_F(ImageTest, TheLevelIsTheTextsNumberAndTheSliderOnlyWritesIt) {
    QImage reds(3, 1, QImage::Format_RGB32);
    reds.setPixel(0, 0, qRgb(0, 255, 255));
    reds.setPixel(1, 0, qRgb(100, 0, 0));
    reds.setPixel(2, 0, qRgb(200, 0, 0));
    platform.paint(reds, {0, 0});
    child<QScrollBar>("VScroll1")->setValue(200);
    EXPECT_EQ(edit("txt2tikaLevel")->text(), QStringLiteral("200"));
    capture("0", "0", "3", "1");
    const auto blacks = [&] {
        QString s;
        for (int x = 0; x < 3; ++x)
            s += ed->twoLevelImage().pixel(x, 0) == qRgb(0, 0, 0) ? '#' : '.';
        return s;
    };
    EXPECT_EQ(blacks(), QStringLiteral("###"));
    for (const auto& [level, want] : {std::pair{"90", "#.."}, {"150abc", "##."}, {"abc", "#.."}}) {
        edit("txt2tikaLevel")->setText(QString::fromUtf8(level));
        button("cmd2Tika")->click();
        EXPECT_EQ(blacks(), QString::fromUtf8(want)) << level;
    }
    EXPECT_EQ(child<QScrollBar>("VScroll1")->value(), 200);
}

TEST_F(ImageTest, AreaFieldsMustHoldNumbersOfASaneSize) {
    capture("0", "0", "4", "4");
    const QImage area = ed->areaImage();
    const int grabs = platform.grabs;
    const char* faults[][4] = {{"abc", "0", "4", "4"},
                               {"0", "0", "12abc", "4"},
                               {"0", "0", "3001", "1"},
                               {"0", "0", "401", "400"},
                               {"0", "0", "-1", "4"}};
    for (const auto& f : faults)
        capture(f[0], f[1], f[2], f[3]);
    edit("txtWidth")->setText(QStringLiteral("four"));
    button("cmd2Tika")->click();
    EXPECT_EQ(messages(),
              (QStringList{kNotNumbers, kNotNumbers, kBadSize, kBadSize, kBadSize, kNotNumbers}));
    EXPECT_EQ(platform.grabs, grabs);
    EXPECT_TRUE(ed->areaImage() == area);
    capture("0", "0", "400", "400"); // the largest accepted
    EXPECT_EQ(ed->magnifiedImage().size(), QSize(4000, 4000));
}

TEST_F(ImageTest, ADragOnTheOverlayFillsTheFieldsFromTheStillPicture) {
    const QImage still = platform.screen;
    int enabledMeanwhile = -1;
    QString guidance;
    onOverlay([&](capture::frmCap* w) {
        enabledMeanwhile = enabledCount();
        guidance = caption("lblSetumei");
        QTest::mousePress(w, Qt::LeftButton, {}, {160, 70});
        QTest::mouseMove(w, {130, 60});
        QTest::mouseMove(w, {100, 50});
        platform.screen.fill(Qt::black); // the live screen no longer matters
        QTest::mouseRelease(w, Qt::LeftButton, {}, {100, 50});
    });
    button("cmdCap")->click();
    EXPECT_EQ(enabledMeanwhile, 0);
    EXPECT_EQ(guidance, QStringLiteral("1行のすべての文字が入る、なるべく狭い認識範囲をマウスで囲ん"
                                       "で指定してください、\r\nEscキーでキャンセルします。"));
    QStringList fields;
    for (const char* n : {"txtLeft", "txtTop", "txtWidth", "txtHeight"})
        fields << edit(n)->text();
    EXPECT_EQ(fields, (QStringList{"100", "50", "60", "20"}));
    EXPECT_TRUE(ed->areaImage() == still.copy(100, 50, 60, 20));
    EXPECT_EQ(ed->magnifiedImage().size(), QSize(600, 200));
    EXPECT_EQ(enabledCount(), 7); // all but the registration button: no cut on this image yet
    EXPECT_TRUE(caption("lblSetumei").startsWith(QStringLiteral("拡大表示された1文字を")));
    EXPECT_TRUE(platform.clipboard == still);

    onOverlay([](capture::frmCap* w) { QTest::mouseClick(w, Qt::LeftButton, {}, {30, 40}); });
    button("cmdCap")->click();
    EXPECT_EQ(edit("txtLeft")->text() + edit("txtWidth")->text(), QStringLiteral("300"));
    EXPECT_EQ(ed->magnifiedImage().size(), QSize(0, 0));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ImageTest, EscNoPictureOrAHugeAreaKeepTheAreaAndBinarizeItAgain) {
    capture("0", "0", "5", "2");
    const QImage area = ed->areaImage();
    edit("txt2tikaLevel")->setText(QStringLiteral("255"));
    onOverlay([](capture::frmCap* w) { QTest::keyClick(w, Qt::Key_Escape); });
    button("cmdCap")->click();
    QImage black(5, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_TRUE(ed->twoLevelImage() == black); // the previous image at the current level
    EXPECT_EQ(enabledCount(), 7);

    onOverlay([](capture::frmCap* w) {
        QTest::mousePress(w, Qt::LeftButton, {}, {1, 1});
        QTest::mouseMove(w, {601, 401});
        QTest::mouseRelease(w, Qt::LeftButton, {}, {601, 401});
    });
    button("cmdCap")->click();
    platform.screen = QImage(); // the grab fails: no picture reaches the clipboard
    platform.clipboard = QImage();
    button("cmdCap")->click();
    EXPECT_EQ(messages(),
              (QStringList{kBadSize, QStringLiteral("画面の画像を取得できませんでした")}));
    EXPECT_EQ(edit("txtWidth")->text(), QStringLiteral("5"));
    EXPECT_TRUE(ed->areaImage() == area);
    EXPECT_EQ(enabledCount(), 7);
}

TEST_F(ImageTest, AScreenTheDesktopRefusesLeavesTheAreaImageAsItWas) {
    capture("100", "50", "6", "3");
    const QImage before = ed->areaImage();
    dialogs.messages.clear();
    platform.refusal = QStringLiteral("not allowed here");
    capture("0", "0", "6", "3");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QStringLiteral("画面の画像を取得できませんでした")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("not allowed here")));
    // No white picture in its place, nothing binarized from one.
    EXPECT_TRUE(ed->areaImage() == before);
}
