// What follows a line written, beyond the result file, where the output
// settings ask for it: the answer typed into the window the user works in,
// and the user's own command. Both outlive the main window that wrote the
// line; each that fails is told once, and the line stays written.
#pragma once

#include "Platform.h"
#include "PressWrite.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

class QProcess;

namespace tray {

class AfterWrite : public QObject {
    Q_OBJECT
public:
    using Teller = std::function<void(const QString& text)>;
    AfterWrite(platform::Platform& platform, Teller tell, QObject* parent = nullptr);
    ~AfterWrite() override;

    // target: the window that had the focus before the main window opened,
    // or when the quick key was pressed (0: unknown); workDir: where the
    // command starts (the profile's folder).
    void deliver(const mainwin::WrittenLine& written, quintptr target, const QString& workDir);

    // How long typing waits for the focus to come back to the target and
    // for every key to be let go; how long a command may run. Tests make
    // them short.
    void setTypeWaitMs(int ms) { typeWaitMs_ = ms; }
    void setCommandMs(int ms) { commandMs_ = ms; }
    // Commands still running.
    int running() const { return running_; }

private:
    struct Typing {
        QString text;
        int afterKey = 0;
        quintptr target = 0;
        qint64 deadline = 0; // ms on clock_
    };
    void typeNext();
    void run(const mainwin::WrittenLine& written, const QString& workDir);

    platform::Platform& platform_;
    Teller tell_;
    QTimer typeTimer_;
    std::deque<Typing> typing_;
    int typeWaitMs_ = 3000;
    int commandMs_;
    int running_ = 0;
    bool toldNoTyping_ = false;
};

} // namespace tray
