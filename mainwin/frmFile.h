// The output settings dialog: result file, comment position, step, CSV,
// the optional columns (a header line, the time of each line), whether each
// line written is told in the notification area, whether it is copied,
// typed into the window the user works in, and handed to a command.
#pragma once

#include "Dialogs.h"
#include "ProfileStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mainwin {

// The file name shown when CSV writing is checked: everything after the first
// "." of the file's own name (the last part of the path, after "/" or "\")
// becomes "csv"; a file name without "." stays as it is.
QString CsvFileName(const QString& name);

// Title and filter list of the file dialog.
inline const QString kResultFileTitle = QStringLiteral("書き込みファイルの選択");
inline const QString kResultFileFilter =
    QStringLiteral("TXTファイル (*.txt)|*.txt|CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");

class frmFile : public QDialog {
    Q_OBJECT
public:
    // typesText: whether this desktop lets the program type into other
    // programs' windows (not on Wayland): otherwise that option is not offered.
    frmFile(platform::Dialogs& dialogs, store::ProfileStore& profile, bool typesText = true,
            QWidget* parent = nullptr);

    void cmdFileSel_Click();
    void chkCSV_Click();
    void OKButton_Click();
    void CancelButton_Click();

private:
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* cmdFileSel = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optCommentIti0 = nullptr;
    QRadioButton* optCommentIti1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtKizami = nullptr;
    QCheckBox* chkCSV = nullptr;
    QCheckBox* chkHeader = nullptr;    // CSVHEADER
    QCheckBox* chkTimeStamp = nullptr; // TIMESTAMP
    QCheckBox* chkNotice = nullptr;    // WRITENOTICE
    QCheckBox* chkClipboard = nullptr; // CLIPBOARD
    QRadioButton* optClipAnswer = nullptr;
    QRadioButton* optClipLine = nullptr; // CLIPBOARDLINE
    QCheckBox* chkTypeInto = nullptr;    // TYPEINTO
    QComboBox* cboTypeAfter = nullptr;   // TYPEAFTER
    QCheckBox* chkCommand = nullptr;     // RUNCOMMAND
    QLineEdit* txtCommand = nullptr;     // COMMAND
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

} // namespace mainwin
