// The editor's controls, and the window fitted to its screen.
//
// The controls keep the design's grouping (the guidance line, the magnified
// view, the area frame, the character frame and the command column) but are
// placed by layouts, so that everything stays on the screen at any scale
// factor: the magnified view takes what room is left and scrolls inside it.
// Each control's objectName is its design name (tests and screen readers
// find the controls by it).
#pragma once

#include <QSize>
#include <QString>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QWidget;

namespace editor {

class MagnifiedView;
class PictureBox;

struct EditorControls {
    QLabel* lblSetumei = nullptr;
    MagnifiedView* scrBig = nullptr; // picBig inside a scrolling view
    QWidget* picBig = nullptr;
    QWidget* picCtlAlia = nullptr;
    PictureBox* picSelAlia = nullptr;
    PictureBox* pic2tika = nullptr;
    QLineEdit* txtGyou = nullptr;
    QPushButton* cmdGyouTouroku = nullptr;
    QLabel* lblYomitori = nullptr;
    QGroupBox* Frame2 = nullptr;
    QListWidget* lstAriaList = nullptr;
    QLineEdit* txtAriaComment = nullptr;
    QLineEdit* txtLeft = nullptr;
    QLineEdit* txtTop = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtHeight = nullptr;
    QLineEdit* txt2tikaLevel = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QPushButton* cmd2Tika = nullptr;
    QListWidget* lstChrGrop = nullptr;
    QLineEdit* txtKugiri = nullptr;
    QLineEdit* txtKuhaku = nullptr;
    // Writes incomplete readings of the area without asking (WRITEUNREAD).
    QCheckBox* chkYominokoshi = nullptr;
    QPushButton* cmdAriaKiroku = nullptr;
    QPushButton* cmdFields = nullptr;
    QLabel* lblFields = nullptr;
    QGroupBox* fraList = nullptr;
    QLabel* lblList = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* cmdKill = nullptr;
    QLineEdit* txtChr = nullptr;
    QLabel* lblWidth = nullptr;
    QLabel* lblHeight = nullptr;
    QPushButton* cmdChrTouroku = nullptr;
    QPushButton* cmdCap = nullptr;
    QPushButton* cmdSCap = nullptr;
    QPushButton* cmdEnd = nullptr;
};

class EditorLayout {
public:
    explicit EditorLayout(QDialog& window) : window_(window) {}
    EditorLayout(const EditorLayout&) = delete;
    EditorLayout& operator=(const EditorLayout&) = delete;

    // Makes the controls, children of the window, into ui.
    void build();
    // The tooltips the window sets each time it opens.
    void setToolTips();

    // Shows the guidance line; the window makes room for it.
    void setGuidance(const QString& text);

    // The window grown with the magnified view, up to what its screen has
    // room for (beyond that the view scrolls), fonts made smaller where even
    // the controls alone do not fit.
    void fitToScreen();
    // Where the guidance or the check needs more or fewer lines: the window
    // grows or shrinks at its top edge while the screen has room above it.
    void settleLayout();

    // From the window's resize and show events.
    void resized();
    void shown();

    EditorControls ui;

private:
    void applyFont(double points);
    void fitFont(const QSize& limit);
    void fitLabels(int width);
    QSize roomOnScreen() const;

    QDialog& window_;
    double baseFontPoints_ = 0;
    QSize fittedLimit_;
    double fittedPoints_ = 0;
    double setumeiPoints_ = 12;
};

} // namespace editor
