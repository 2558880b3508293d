#include "AfterWrite.h"

#include "WriteCommand.h"

#include <QDateTime>
#include <QProcess>
#include <QProcessEnvironment>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace tray {

namespace {

constexpr int kTypeLookMs = 20;

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

int AfterKeyOf(mainwin::TypeAfter after) {
    switch (after) {
    case mainwin::TypeAfter::Tab:
        return Qt::Key_Tab;
    case mainwin::TypeAfter::Enter:
        return Qt::Key_Return;
    case mainwin::TypeAfter::Nothing:
        break;
    }
    return 0;
}

// One of the program's own windows (the stand-in, say): nobody's field.
bool OwnWindow(quintptr window) {
    return QWidget::find(static_cast<WId>(window)) != nullptr;
}

} // namespace

AfterWrite::AfterWrite(platform::Platform& platform, Teller tell, QObject* parent)
    : QObject(parent), platform_(platform), tell_(std::move(tell)),
      commandMs_(mainwin::kCommandSeconds * 1000) {
    typeTimer_.setInterval(kTypeLookMs);
    connect(&typeTimer_, &QTimer::timeout, this, &AfterWrite::typeNext);
}

AfterWrite::~AfterWrite() = default;

void AfterWrite::deliver(const mainwin::WrittenLine& written, quintptr target,
                         const QString& workDir) {
    const mainwin::OutputSettings& output = written.output;
    if (output.RunCommand) run(written, workDir);
    if (!output.TypeInto) return;
    if (!platform_.typesText()) {
        // A profile also used on X11 or Windows: said once, not at every write.
        if (!toldNoTyping_)
            tell_(QStringLiteral("この画面環境では、ほかのウィンドウに入力できません。"));
        toldNoTyping_ = true;
        return;
    }
    if (target == 0 || OwnWindow(target)) {
        tell_(QStringLiteral("入力先のウィンドウがわからないため、入力しませんでした。"
                             "入力したいウィンドウを選んでから読み取ってください。"));
        return;
    }
    typing_.push_back(
        {written.answer, AfterKeyOf(output.TypeAfterKey), target, Now() + typeWaitMs_});
    if (!typeTimer_.isActive()) typeTimer_.start();
    typeNext(); // at once where everything is ready already
}

void AfterWrite::typeNext() {
    while (!typing_.empty()) {
        Typing& t = typing_.front();
        // Once the focus is back where it was (the target is never one of
        // the program's own windows) and every key let go: no Alt of Alt+W
        // turns the digits into shortcuts.
        const bool back = platform_.focusWindow() == t.target && !platform_.keysDown();
        if (back) {
            const QString why = platform_.typeText(t.text, t.afterKey);
            if (!why.isEmpty()) tell_(why);
        } else if (Now() < t.deadline) {
            return; // looked at again shortly
        } else if (platform_.focusWindow() != t.target) {
            tell_(QStringLiteral("入力先のウィンドウがもう選ばれていないため、入力しませんでした。"
                                 "(行は書き込みファイルに書き込んであります。)"));
        } else {
            tell_(QStringLiteral("キーが押されたままのため、入力しませんでした。"
                                 "(行は書き込みファイルに書き込んであります。)"));
        }
        typing_.pop_front();
    }
    typeTimer_.stop();
}

void AfterWrite::run(const mainwin::WrittenLine& written, const QString& workDir) {
    const mainwin::CommandLine command =
        mainwin::SplitCommand(QString::fromStdU16String(written.output.Command));
    if (!command.problem.isEmpty()) {
        tell_(command.problem);
        return;
    }
    auto* process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] :
         mainwin::CommandVariables(written.answer, written.line, written.cells))
        env.insert(name, value);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(workDir);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    // A console program gets no console window of its own flashing up.
    process->setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NO_WINDOW; });
#endif
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    // Told once, whichever way it ends.
    const auto ended = [this, process, program = command.program](mainwin::CommandEnd end,
                                                                  int code) {
        if (process->property("told").toBool()) return;
        process->setProperty("told", true);
        const QString text = mainwin::CommandMessage(
            program, end, code, QString::fromLocal8Bit(process->readAllStandardError()));
        if (!text.isEmpty()) tell_(text);
    };
    connect(limit, &QTimer::timeout, process, [process, ended] {
        ended(mainwin::CommandEnd::TimedOut, 0);
        process->kill();
    });
    connect(process, &QProcess::errorOccurred, this, [process, ended](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        ended(mainwin::CommandEnd::NotStarted, 0);
        process->deleteLater();
    });
    connect(process, &QProcess::finished, this,
            [this, process, ended](int code, QProcess::ExitStatus status) {
                ended(status == QProcess::CrashExit ? mainwin::CommandEnd::Crashed
                                                    : mainwin::CommandEnd::Finished,
                      code);
                --running_;
                process->deleteLater();
            });
    connect(process, &QProcess::started, this, [this, limit] {
        ++running_;
        limit->start();
    });
    limit->setInterval(commandMs_);
    process->start(command.program, command.arguments);
}

} // namespace tray
