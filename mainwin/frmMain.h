// The main window: the captured area, the text read, a comment, and the
// commands on them. It reads the area when it appears, on F1 and on
// "(F1) 認識実行", and "書き込み(&W)" appends the line and closes it.
#pragma once

#include "Dialogs.h"
#include "Fields.h"
#include "MainSettings.h"
#include "Platform.h"
#include "PressWrite.h"
#include "ProfileStore.h"
#include "Reading.h"
#include "ReadingKeys.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;

namespace mainwin {
class FieldReadings;
}

namespace mainwin {

class frmMain : public QWidget {
    Q_OBJECT
public:
    frmMain(platform::Platform& platform, platform::Dialogs& dialogs, store::ProfileStore& profile,
            QWidget* parent = nullptr);
    // With the groups its owner keeps prepared from one opening to the next
    // (the tray's): an unchanged group is not prepared again at every Alt.
    frmMain(platform::Platform& platform, platform::Dialogs& dialogs, store::ProfileStore& profile,
            engine::GroupReaders& readers, QWidget* parent = nullptr);
    ~frmMain() override;

    // Re-reads all settings, the current area and its templates, and empties
    // the text boxes.
    void Init();

    // Shows the window and waits until it is closed (hiding it for the
    // editor or the output dialog does not end the wait).
    void showModal();

    // Reads the area: the recognition run.
    void Command1_Click();
    // Snaps the numbers of the text read to the step.
    void Command2_Click();
    // Appends the line to the result file and closes the window.
    void cmdWrite_Click();
    // The output settings dialog, then a fresh start.
    void M_F_Open_Click();
    // The editor, then a fresh start.
    void M_F_ALIA_Click();
    // The reading-key dialog (offered where the owner takes keys).
    void M_F_Key_Click();
    // How the chosen keys are taken (the tray's); without it the menu does
    // not offer the reading-key dialog.
    void setKeyApplier(KeyApplier apply);
    // What follows each line written (the tray's: its message, the typing
    // into the user's window, the user's command, as the output settings
    // ask); without it only the clipboard is done.
    void setWriteHandler(std::function<void(const WrittenLine& written)> handle);
    // Puts the clipboard's picture into Picture1.
    void ClipPast();
    void mnuFileExit_Click();
    void mnuHelpHelpPage_Click();
    // Turns the start at sign-in on or off.
    void mnuAutostart_Click();

    // The current settings, as Init read them.
    const OutputSettings& output() const { return output_; }
    // The current area as set up for the next press, and its fields.
    const engine::AreaSetup& area() const { return press_.area; }
    const engine::PressSetup& press() const { return press_; }
    const QImage& areaImage() const { return areaImage_; }
    // The last run's reading of the current area, with its verdict.
    const engine::Reading& reading() const { return readings_.front(); }
    // The last run's readings: the current area, then each of its fields.
    const std::vector<engine::Reading>& readings() const { return readings_; }

signals:
    // The window closed for good (written, closed, or after the editor's OK).
    void closed();
    // "終了(&X)": end the program.
    void exitRequested();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildControls();
    void startPendingRun();
    void showPicture(const QList<QRect>& marks = {});
    void showFirstStep(FirstStep step);
    // The notice of an incomplete reading under the answer, or none.
    void showNotice(const QString& notice);
    // The notice under the answer and the first step below the window, the
    // controls under the answer moved down to make room.
    void placeNotes();
    void restorePlacement();
    void savePlacement();
    // The start-at-sign-in entry as the system has it now.
    void showAutostart();

    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    OutputSettings output_;
    engine::PressSetup press_; // the current area and its fields
    engine::GroupReaders ownReaders_;
    engine::GroupReaders& readers_;
    std::vector<engine::Reading> readings_{1};
    QImage areaImage_;
    QPoint placement_; // where the frame's top-left corner belongs
    bool runPending_ = false;
    bool running_ = false;
    bool inModal_ = false;

    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* Picture3 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* txtComment = nullptr;
    QPushButton* cmdWrite = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtKotae = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* lblKizami = nullptr;
    QLabel* lblAnnai = nullptr; // what to do first, below everything, while there is something
    // What is wrong with the reading, right under it, while something is.
    QLabel* lblKeikoku = nullptr;
    // Each field's reading, between the answer and the notice.
    FieldReadings* fraFields = nullptr;
    QWidget* client_ = nullptr;
    std::vector<std::pair<QWidget*, QRect>> underAnswer_; // at their design places
    QSize baseSize_; // the window without lblAnnai and lblKeikoku
    QAction* M_F_Key = nullptr;
    KeyApplier keyApplier_;
    std::function<void(const WrittenLine& written)> writeHandler_;
    QAction* M_F_Copy1 = nullptr;
    QAction* mnuAutostart = nullptr;
};

} // namespace mainwin
