// The editor on its screen: it never grows beyond the room the screen has,
// every control stays on the screen, and the magnified view scrolls inside
// the window, where cutting works as anywhere else. Run at the scale factor
// of the environment (CTest runs these tests at 1 and at 2).
#include "EditorFixture.h"
#include "MagnifiedView.h"

#include <QScreen>
#include <QScrollBar>

using namespace editortest;

class EditorFit : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // Dark stripes every 7 pixels, so that every capture shows something.
        for (int y = 0; y < platform.screen.height(); ++y)
            for (int x = 0; x < platform.screen.width(); ++x)
                if (x % 7 == 0 || y % 5 == 0) platform.screen.setPixel(x, y, qRgb(0, 0, 0));
        writeProfile(QStringLiteral("[ARIALIST]\nLIST0=A\n[CHRGROPLIST]\nG0=Digits\n[ENDDATA]\n"
                                    "AREA=A\n[認識エリアA]\nLEFT=0\nTOP=0\n"));
        open();
    }
    void capture(int w, int h) {
        edit("txtWidth")->setText(QString::number(w));
        edit("txtHeight")->setText(QString::number(h));
        button("cmdSCap")->click();
        QCoreApplication::processEvents();
    }
    // Every control of the window lies inside it, and the window with its
    // frame on the screen; the magnified picture itself only shows through
    // its scrolling view.
    void expectAllOnScreen(const char* when) {
        const QRect screen = ed->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(ed->frameGeometry()))
            << when << ": window " << ed->frameGeometry().width() << "x"
            << ed->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
        const QWidget* viewport = child<QScrollArea>("scrBig")->viewport();
        for (QWidget* w : ed->findChildren<QWidget*>()) {
            const QRect r(w->mapTo(ed.get(), QPoint(0, 0)), w->size());
            if (w->window() != ed.get() || !w->isVisibleTo(ed.get()) || viewport->isAncestorOf(w) ||
                r.isEmpty())
                continue;
            EXPECT_TRUE(ed->rect().contains(r))
                << when << ": " << w->objectName().toStdString() << " "
                << w->metaObject()->className() << " at " << r.x() << "," << r.y() << " "
                << r.width() << "x" << r.height();
        }
        // Nothing overlaps: the buttons of the command column and the frames.
        const auto box = [&](const char* n) {
            QWidget* w = child(n);
            return QRect(w->mapTo(ed.get(), QPoint(0, 0)), w->size());
        };
        EXPECT_FALSE(box("Frame2").intersects(box("fraList"))) << when;
        EXPECT_FALSE(box("fraList").intersects(box("cmdCap"))) << when;
        EXPECT_FALSE(box("cmdSCap").intersects(box("cmdEnd"))) << when;
    }
};

TEST_F(EditorFit, EveryControlIsOnTheScreenBeforeAndAfterCapturesOfAnyAcceptedSize) {
    expectAllOnScreen("opened");
    // The largest areas accepted, wide, square and tall, and a small one.
    for (const auto& [w, h] : {std::pair{300, 30}, {3000, 53}, {400, 400}, {53, 3000}, {20, 10}}) {
        capture(w, h);
        ASSERT_TRUE(dialogs.messages.empty()) << messages().join(" ").toStdString();
        expectAllOnScreen((std::to_string(w) + "x" + std::to_string(h)).c_str());
    }
}

TEST_F(EditorFit, TheWindowGrowsWithTheViewUpToTheScreenAndTheViewScrolls) {
    const QRect screen = ed->screen()->availableGeometry();
    capture(20, 3);
    const QSize small = ed->size();
    EXPECT_LT(small.width(), screen.width());
    auto* view = child<QScrollArea>("scrBig");
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    capture(3000, 53);
    EXPECT_GT(ed->width(), small.width());
    EXPECT_LE(ed->frameGeometry().width(), screen.width());
    EXPECT_LE(ed->frameGeometry().height(), screen.height());
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_EQ(child("picBig")->size(), QSize(30000, 530));
    capture(400, 400);
    EXPECT_EQ(ed->frameGeometry().height(), screen.height()); // as high as there is room
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    // Narrower again: the window keeps its width, the view needs no bar.
    capture(20, 3);
    EXPECT_LE(ed->frameGeometry().width(), screen.width());
    EXPECT_GE(ed->width(), small.width());
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
}

TEST_F(EditorFit, CuttingWorksInTheScrolledViewAndADragScrollsIt) {
    capture(3000, 53);
    auto* view = child<QScrollArea>("scrBig");
    QScrollBar* across = view->horizontalScrollBar();
    across->setValue(across->maximum());
    QCoreApplication::processEvents();
    // The last columns of the area, as the user sees them at the right.
    const int right = child("picBig")->width();
    dragOnBig({right - 52, 12}, {right - 8, 48});
    EXPECT_EQ(QRectF(QPointF(ed->Cut().x1, ed->Cut().y1), QPointF(ed->Cut().x2, ed->Cut().y2)),
              QRectF(right - 50, 10, 40, 40));
    EXPECT_TRUE(button("cmdChrTouroku")->isEnabled());
    edit("txtChr")->setText(QStringLiteral("x"));
    button("cmdChrTouroku")->click();
    EXPECT_TRUE(text().contains(QStringLiteral("[G0ChrDatx]\nCHR=x\nX=4\nY=4\n")));

    // Dragging past the left edge of what shows brings more into view.
    const int shownLeft = across->value();
    QWidget* big = child("picBig");
    QTest::mousePress(big, Qt::LeftButton, {}, {shownLeft + 40, 20});
    QTest::mouseMove(big, {shownLeft - 30, 30});
    QTest::mouseRelease(big, Qt::LeftButton, {}, {shownLeft - 30, 30});
    EXPECT_LT(across->value(), shownLeft);
}
