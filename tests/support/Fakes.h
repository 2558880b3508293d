// Stand-ins for the operating system, so that every window can be driven
// in-process (QT_QPA_PLATFORM=offscreen): a screen that is an image, an Alt
// key the test presses, an in-memory clipboard, message boxes and file
// dialogs that record what they would have shown.
#pragma once

#include "Dialogs.h"
#include "Platform.h"

#include <QPainter>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>

namespace fakes {

class FakePlatform : public platform::Platform {
public:
    // The screen: white, 1280 x 800 physical pixels, unless a test paints it.
    QImage screen{1280, 800, QImage::Format_RGB32};
    bool alt = false;
    QImage clipboard;
    QList<QUrl> opened;
    QList<std::pair<QWidget*, bool>> topMost;
    QString why;
    int grabs = 0;

    FakePlatform() { screen.fill(Qt::white); }

    QImage grabScreen(const QRect& rect) override {
        ++grabs;
        if (rect.width() <= 0 || rect.height() <= 0) return {};
        QImage out(rect.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter p(&out);
        p.drawImage(QPoint(0, 0), screen, rect);
        return out;
    }
    QRect primaryScreen() override { return screen.rect(); }
    bool altKeyDown() override { return alt; }
    void setClipboardImage(const QImage& image) override { clipboard = image; }
    QImage clipboardImage() override { return clipboard; }
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    void setTopMost(QWidget* w, bool on) override { topMost.append({w, on}); }
    QString limitation() override { return why; }

    // Paints part of the screen.
    void paint(const QImage& image, QPoint at) {
        QPainter p(&screen);
        p.drawImage(at, image);
    }
};

class FakeDialogs : public platform::Dialogs {
public:
    struct Shown {
        QString text, title;
        Icon icon;
    };
    std::vector<Shown> messages;
    std::deque<QString> fileAnswers; // next answers of the file dialog ("" = cancel)
    QStringList fileFilters;
    std::function<void()> onMessage; // runs while the "box" is open
    QStringList questions;
    std::deque<Answer> answers; // next answers to questions (Cancel when none is left)

    void message(QWidget*, const QString& text, const QString& title, Icon icon) override {
        messages.push_back({text, title, icon});
        if (onMessage) onMessage();
    }
    Answer question(QWidget*, const QString& text, const QString&) override {
        questions.append(text);
        if (answers.empty()) return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFileName(QWidget*, const QString& filter, const QString&) override {
        fileFilters.append(filter);
        if (fileAnswers.empty()) return {};
        QString a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

} // namespace fakes
