// Stand-ins for the operating system, so that every window can be driven
// in-process (QT_QPA_PLATFORM=offscreen): a desktop that is an image, a
// keyboard the test presses, an in-memory clipboard, message boxes and file
// dialogs that record what they would have shown.
#pragma once

#include "Dialogs.h"
#include "Platform.h"

#include <QPainter>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace fakes {

// A screen whose every pixel differs from its neighbours.
inline QImage Patterned(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 13) & 0xFF));
    return img;
}

class FakePlatform : public platform::Platform {
public:
    // The desktop: white, 1280 x 800 physical pixels, unless a test paints it.
    // Its pixel (0, 0) is the desktop's point origin; the monitors are the
    // whole image unless a test lists them (primary first).
    QImage screen{1280, 800, QImage::Format_RGB32};
    QPoint origin;
    QList<QRect> monitors;
    std::optional<QPoint> pointer;
    // The keyboard: what is down now, or, when given, one state per look.
    bool alt = false;
    bool otherKey = false;
    std::deque<platform::KeyboardState> keyScript;
    bool singleClickTray = false;
    bool trayArea = false; // a notification area
    bool menuNeedsForeground = false;
    QList<QWidget*> broughtForward; // the windows brought to the foreground, in order
    QImage clipboard;
    QList<QUrl> opened;
    QList<std::pair<QWidget*, bool>> topMost;
    QString why;
    int grabs = 0;
    QList<QWidget*> withdrawn;         // off the screen now
    QList<QWidget*> withdrawnAtGrab;   // off the screen at the last grab
    QList<QWidget*> visibleAtWithdraw; // what Qt took for shown meanwhile
    // The start at sign-in: its state, whether a change is refused, and
    // whether the system's start-up list keeps it off whatever is set.
    platform::AutostartState autostartState = platform::AutostartState::Off;
    bool autostartRefused = false;
    bool autostartDisabledBySystem = false;
    std::function<void()> askedToEnd;

    // A desktop that refuses its pixels (a Wayland portal that says no):
    // every grab fails with this reason.
    QString refusal;
    // A desktop that shows no program the keys of another (Wayland), and
    // one whose pixels come through the desktop.
    bool otherAppsKeys = true;
    bool throughDesktop = false;
    // Monitors placed for windows apart from their pixels (Wayland).
    QList<WindowScreen> layout;

    FakePlatform() { screen.fill(Qt::white); }

    // Every rectangle of one grab from the screen as it is; afterGrab runs
    // after each (a screen that changes from one moment to the next).
    QList<QImage> grabScreens(const QList<QRect>& rects) override {
        ++grabs;
        withdrawnAtGrab = withdrawn;
        QList<QImage> out;
        for (const QRect& rect : rects) {
            out.append(QImage());
            if (rect.width() <= 0 || rect.height() <= 0 || !refusal.isEmpty() || failGrabs)
                continue;
            out.back() = QImage(rect.size(), QImage::Format_RGB32);
            out.back().fill(Qt::white);
            QPainter p(&out.back());
            p.drawImage(QPoint(0, 0), screen, rect.translated(-origin));
        }
        if (afterGrab) afterGrab();
        return out;
    }
    std::function<void()> afterGrab;
    // Grabs that give no pixels without a word why.
    bool failGrabs = false;
    QList<QRect> screens() override {
        if (!monitors.isEmpty()) return monitors;
        if (screen.isNull()) return {};
        return {QRect(origin, screen.size())};
    }
    QString grabFailure() override { return refusal; }
    bool readsThroughDesktop() override { return throughDesktop; }
    QList<WindowScreen> windowLayout() override { return layout; }
    bool seesOtherAppsKeys() override { return otherAppsKeys; }
    std::optional<QPoint> pointerPosition() override { return pointer; }
    platform::KeyboardState keyboard() override {
        if (keyScript.empty()) return {alt, otherKey, false, false};
        const platform::KeyboardState k = keyScript.front();
        keyScript.pop_front();
        return k;
    }
    // Key events as they happen, where a test turns them on; send() hands
    // one to the watcher.
    bool keyEvents = false;
    std::function<void(const platform::KeyboardState&)> onKey;
    bool watchKeys(const std::function<void(const platform::KeyboardState&)>& watcher) override {
        if (!keyEvents) return false;
        onKey = watcher;
        return true;
    }
    void send(const platform::KeyboardState& k) {
        alt = k.altDown, otherKey = k.otherDown;
        if (onKey) onKey(k);
    }
    // Global keys: what the program holds by id, the combinations another
    // program holds, and whether the system takes any; pressKey() runs the
    // one held for a combination, as the system would.
    std::map<int, std::pair<QKeyCombination, std::function<void()>>> hotkeys;
    QList<QKeyCombination> heldElsewhere;
    bool hotkeysSupported = true;
    Hotkey takeHotkey(int id, QKeyCombination key, const std::function<void()>& f) override {
        if (!hotkeysSupported) return Hotkey::Unsupported;
        if (heldElsewhere.contains(key)) return Hotkey::InUse;
        for (const auto& [other, h] : hotkeys)
            if (other != id && h.first == key) return Hotkey::InUse;
        hotkeys[id] = {key, f};
        return Hotkey::Taken;
    }
    void releaseHotkey(int id) override { hotkeys.erase(id); }
    bool pressKey(QKeyCombination key) {
        for (const auto& [id, h] : hotkeys)
            if (h.first == key) {
                const auto f = h.second; // may take keys anew
                f();
                return true;
            }
        return false;
    }
    // Typing into other programs' windows: the window with the focus, keys
    // held down, and what was typed where (text, the key after it, window).
    quintptr focus = 0;
    bool keysHeld = false;
    bool typing = true;
    QString typeRefusal;
    struct Typed {
        QString text;
        int afterKey;
        quintptr window;
    };
    std::vector<Typed> typed;
    bool keysDown() override { return keysHeld; }
    quintptr focusWindow() override { return focus; }
    bool typesText() override { return typing; }
    QString typeText(const QString& text, int afterKey) override {
        if (!typeRefusal.isEmpty()) return typeRefusal;
        typed.push_back({text, afterKey, focus});
        return {};
    }
    void setClipboardImage(const QImage& image) override { clipboard = image; }
    QString clipboardText;
    void setClipboardText(const QString& text) override { clipboardText = text; }
    QImage clipboardImage() override { return clipboard; }
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    void setTopMost(QWidget* w, bool on) override { topMost.append({w, on}); }
    bool trayActivatesOnSingleClick() override { return singleClickTray; }
    bool notificationAreaReady() override { return trayArea; }
    bool trayMenuNeedsForeground() override { return menuNeedsForeground; }
    void bringToForeground(QWidget* w) override {
        broughtForward.append(w);
        if (onForeground) onForeground();
    }
    std::function<void()> onForeground;
    void withdrawWindows(const QList<QWidget*>& windows) override {
        withdrawn += windows;
        for (QWidget* w : windows)
            if (w->isVisible()) visibleAtWithdraw.append(w);
    }
    void restoreWindows(const QList<QWidget*>& windows) override {
        for (QWidget* w : windows)
            withdrawn.removeAll(w);
    }
    int repaintMilliseconds() override { return 0; }
    QString limitation() override { return why; }
    platform::AutostartState autostart() override { return autostartState; }
    bool setAutostart(bool on) override {
        if (autostartRefused) return false;
        using platform::AutostartState;
        autostartState = !on                         ? AutostartState::Off
                         : autostartDisabledBySystem ? AutostartState::DisabledBySystem
                                                     : AutostartState::On;
        return true;
    }
    void whenAskedToEnd(std::function<void()> end) override { askedToEnd = std::move(end); }

    // Paints part of the desktop, at a point of it.
    void paint(const QImage& image, QPoint at) {
        QPainter p(&screen);
        p.drawImage(at - origin, image);
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
    QStringList fileTitles;
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
    // Confirmations are answered from the same queue (No when none is left:
    // what Escape answers).
    QStringList confirmations;
    Answer confirm(QWidget*, const QString& text, const QString&) override {
        confirmations.append(text);
        if (answers.empty()) return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter,
                         const QString&) override {
        fileTitles.append(title);
        fileFilters.append(filter);
        if (fileAnswers.empty()) return {};
        QString a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

} // namespace fakes
