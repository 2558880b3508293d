// The reading-key dialog: Alt alone or a combination of the user's own,
// and the quick key that reads and writes at once. OK takes the keys
// through the resident part of the program, which says at once when one is
// held by another program (the keys in use then stay), and stores them.
#pragma once

#include "Dialogs.h"
#include "ProfileStore.h"
#include "ReadingKeys.h"

#include <QDialog>

class QCheckBox;
class QKeySequenceEdit;
class QLabel;
class QPushButton;
class QRadioButton;

namespace mainwin {

class frmKey : public QDialog {
    Q_OBJECT
public:
    frmKey(platform::Dialogs& dialogs, store::ProfileStore& profile, KeyApplier apply,
           QWidget* parent = nullptr);

    // The keys as the dialog stands; Qt::Key_unknown in read for Alt alone
    // (and in quick for none) also where a chosen key is missing.
    ReadingKeys chosen() const;

    void OKButton_Click();

private:
    void showChoice();

    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    KeyApplier apply_;
    QRadioButton* optAlt = nullptr;
    QRadioButton* optKey = nullptr;
    QKeySequenceEdit* txtKey = nullptr;
    QCheckBox* chkQuick = nullptr;
    QKeySequenceEdit* txtQuick = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

} // namespace mainwin
