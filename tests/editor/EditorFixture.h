// The editor on a fresh profile in a temporary folder, with the fake screen,
// clipboard and message boxes, and drivers for the modal dialogs it opens.
#pragma once

#include "Fakes.h"
#include "ProfileFixture.h"
#include "frmCap.h"
#include "frmKakudai.h"
#include "frmTuika.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace editortest {

class EditorTest : public fakes::ProfileFixture {
protected:
    fakes::FakePlatform platform;
    fakes::FakeDialogs dialogs;
    std::unique_ptr<editor::frmKakudai> ed;
    // Answers for the name dialog, in order: a name (OK) or nullopt (Cancel);
    // the frame captions it showed.
    std::deque<std::optional<QString>> names;
    QStringList questions;

    void SetUp() override {
        fakes::ProfileFixture::SetUp();
        poll(nameTimer_, [this] {
            auto* d = qobject_cast<editor::frmTuika*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) return;
            questions << d->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title();
            std::optional<QString> a; // Cancel when the test expected no dialog
            if (names.empty()) {
                ADD_FAILURE() << "unexpected name dialog";
            } else {
                a = names.front();
                names.pop_front();
            }
            if (a) d->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(*a);
            d->findChild<QPushButton*>(a ? QStringLiteral("OKButton")
                                         : QStringLiteral("CancelButton"))
                ->click();
        });
    }
    void TearDown() override {
        nameTimer_.stop();
        overlayTimer_.stop();
        ed.reset();
        fakes::ProfileFixture::TearDown();
    }

    editor::frmKakudai& open() {
        ed = std::make_unique<editor::frmKakudai>(platform, dialogs, ini);
        ed->Form_Load();
        ed->show();
        return *ed;
    }

    // Runs action once, on the overlay, when it shows.
    void onOverlay(std::function<void(capture::frmCap*)> action) {
        poll(overlayTimer_, [this, action] {
            auto* w = qobject_cast<capture::frmCap*>(QApplication::activeModalWidget());
            if (!w || !w->isVisible()) return;
            overlayTimer_.stop();
            action(w);
        });
    }

    template <class T = QWidget> T* child(const char* name) const {
        T* w = ed->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }
    QListWidget* list(const char* name) const { return child<QListWidget>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QString caption(const char* name) const { return child<QLabel>(name)->text(); }

    static QStringList Entries(const QListWidget* l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    // Clicks an entry as the user would.
    static void Click(QListWidget* l, int row) {
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
    }

    QByteArray bytes() const { return readFile(QStringLiteral("Kavoren.ini")); }
    // The profile as text with LF line ends, in whichever encoding it is.
    QString text() const {
        const QByteArray b = bytes();
        QString t = b.startsWith("\xEF\xBB\xBF") ? QString::fromUtf8(b.mid(3)) : Cp932(b);
        return t.remove(QLatin1Char('\r'));
    }
    QStringList messages() const {
        QStringList out;
        for (const auto& m : dialogs.messages)
            out << m.text;
        return out;
    }

    // A drag on the magnified view, in its own pixels. (QTest reads the
    // point (0, 0) as the widget's centre: avoid it.)
    void dragOnBig(QPoint from, QPoint to) {
        QWidget* big = child("picBig");
        QTest::mousePress(big, Qt::LeftButton, {}, from);
        QTest::mouseMove(big, (from + to) / 2);
        QTest::mouseMove(big, to);
        QTest::mouseRelease(big, Qt::LeftButton, {}, to);
    }

private:
    static void poll(QTimer& timer, std::function<void()> f) {
        QObject::disconnect(&timer, nullptr, nullptr, nullptr);
        QObject::connect(&timer, &QTimer::timeout, f);
        timer.start(1);
    }
    QTimer nameTimer_, overlayTimer_;
};

} // namespace editortest
