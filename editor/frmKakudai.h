// The editor: recognition areas, character groups, capture, the magnified
// two-level view, cutting and registering characters.
#pragma once

#include "Dialogs.h"
#include "Platform.h"

#include <QDialog>

namespace editor {

// How the editor was closed: with "(&O)K" (the main window closes and loads
// afresh) or from its title bar.
enum class EditorOutcome { Ok, Closed };

class frmKakudai : public QDialog {
    Q_OBJECT
public:
    frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the editor modally and waits until it is closed.
    EditorOutcome run();

private:
    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    EditorOutcome outcome_ = EditorOutcome::Closed;
};

} // namespace editor
