// The editor: recognition areas, character groups, capture, the magnified
// two-level view, cutting and registering characters, teaching a whole line
// at once and the reading check.
//
// Everything the editor keeps goes to the profile file at once, one key per
// write; between loading and storing, an area's settings live only in the
// text boxes. The three pictures: picSelAlia holds the captured area in
// physical screen pixels, pic2tika its two-level copy, picBig (in the
// scrolling view scrBig) the two-level copy magnified tenfold, each area
// pixel a cell of 10 x 10 widget pixels.
//
// The class lives in three files: frmKakudai.cpp (opening, areas, groups,
// capture, closing), frmKakudaiLayout.cpp (the controls and fitting the
// window to its screen) and frmKakudaiTeach.cpp (cutting, registering,
// whole-line teaching, the reading check).
#pragma once

#include "CutSelector.h"
#include "Dialogs.h"
#include "EditorLogic.h"
#include "LineCells.h"
#include "MagnifiedView.h"
#include "Platform.h"
#include "PressSetup.h"
#include "ProfileLayout.h"
#include "ProfileStore.h"
#include "ReadingCheck.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace capture {
class frmCap;
struct CapResult;
} // namespace capture

namespace editor {

class ListChoice;
class PictureBox;
class frmTuika;

// How the editor was closed: with "(&O)K" (the main window closes and loads
// afresh) or from its title bar.
enum class EditorOutcome { Ok, Closed };

class frmKakudai : public QDialog {
    Q_OBJECT
public:
    frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs,
               store::ProfileStore& profile, QWidget* parent = nullptr);
    ~frmKakudai() override;

    // Runs the opening steps while the window is still hidden, then shows it
    // modally and waits until it is closed.
    EditorOutcome run();

    // Opening: clears the character fields, sets the tooltips, reads the
    // current area and chooses it in the area list (which may ask for the
    // name of a first area at once).
    void Form_Load();

    // Fills the area list from the file, with "<新規追加>" last; returns the
    // position of the entry equal to name, or 0.
    int AriaListLoad(const std::u16string& name);
    // Shows area name's stored settings and fills the group list.
    void AriaLoad(const std::u16string& name);
    // Reads group g's characters into AllChr, ChrCount and List1 (sorted).
    void ChrListLoad(int g);
    // Shows the two-level image magnified and grows the window to fit, up
    // to the room its screen has.
    void BigDsp();

    void lstAriaList_Click();
    void lstChrGrop_Click();
    void List1_Click();
    void cmdAriaKiroku_Click();
    // "続けて読むエリア": chooses and orders the area's fields, stored at once.
    void cmdFields_Click();
    void cmdEnd_Click();
    void cmdKill_Click();
    void cmdChrTouroku_Click();
    void cmdGyouTouroku_Click();
    void cmdSCap_Click();
    void cmdCap_Click();
    void cmd2Tika_Click();
    void VScroll1_Change();
    void txtGyou_Change();
    void picBig_MouseDown(Qt::MouseButton button, QPointF pos);
    void picBig_MouseMove(Qt::MouseButtons buttons, QPointF pos);
    void picBig_MouseUp(Qt::MouseButton button, QPointF pos);

    // The area being edited (chosen or created in the list; the profile
    // hears of it through "認識エリア記録" and OK).
    std::u16string AriaName;
    // The group being edited and its characters as last read or written.
    int ChrGropNo = 0;
    std::u16string AllChr;
    int ChrCount = 0;
    // The last cut on picBig, in picBig pixels.
    const CutRect& Cut() const { return cutSelector_.cut(); }

    const QImage& areaImage() const;
    const QImage& twoLevelImage() const;
    QImage magnifiedImage() const;
    // The last reading check.
    const ReadingCheck& lastCheck() const { return check_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // frmKakudaiLayout.cpp
    void buildControls();
    void connectHandlers();
    void fitToScreen();
    void fitFont(const QSize& limit);
    void applyFont(double points);
    void fitLabels(int width);
    void settleLayout();
    QSize roomOnScreen() const;

    void message(const QString& text, const QString& title,
                 platform::Dialogs::Icon icon = platform::Dialogs::Icon::None);
    void TopMostOn();
    void TopMostOff();
    // Shows the name dialog with the frame caption; the entered name, or
    // nothing when cancelled. The caller restores the always-on-top band.
    std::optional<std::u16string> askName(const QString& caption);
    // Checks a new area or group name against the entries of list; shows the
    // reason and returns false when it cannot be used.
    bool acceptNewName(const std::u16string& name, const QListWidget* list, bool isArea);
    void fillGroupList(int g);
    AreaTexts shownArea() const;
    bool storeArea();
    // The fields of the shown area, beside its settings.
    void showFields();
    // MONITOR and MONITORSCALE of the area section: the monitor under the
    // area fields' rectangle.
    void storeMonitor(const std::u16string& section);
    void setCaptureControlsEnabled(bool on);
    void takeCapture(const capture::CapResult& result);

    // frmKakudaiTeach.cpp
    void setCutAccepted(bool on);
    // Checks what every registration checks, for all of chars at once;
    // shows the reason and returns false when they cannot be registered.
    bool mayRegister(const std::vector<std::u16string>& chars);
    // Stores the templates in one replacement of the profile, so that no
    // template is ever stored in part, and adds the new characters to the
    // list; false (nothing stored) when the profile refused them.
    bool writeTemplates(const std::vector<profile::CharTemplate>& templates);
    void showLinePlan();
    // The check shown afresh; run also lets the window settle around it.
    void updateReadingCheck(const std::vector<std::pair<std::u16string, QRect>>& registered = {});
    void runReadingCheck(const std::vector<std::pair<std::u16string, QRect>>& registered = {});
    void setGuidance(const QString& text);

    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    EditorOutcome outcome_ = EditorOutcome::Closed;
    frmTuika* tuika_ = nullptr;
    ListChoice* ariaChoice_ = nullptr;
    ListChoice* gropChoice_ = nullptr;
    capture::frmCap* cap_ = nullptr;
    qint64 cutImage_ = 0;   // the area image the accepted cut was made on
    qint64 shownImage_ = 0; // the area image last brought into view
    bool cutAccepted_ = false;
    CutSelector cutSelector_; // the drag on picBig
    LineSplit split_;
    ReadingCheck check_;
    engine::GroupReaders readers_; // the groups prepared for the reading check
    std::vector<MagnifiedView::Frame> planFrames_, markFrames_;
    double baseFontPoints_ = 0;
    QSize fittedLimit_;
    double fittedPoints_ = 0;
    double setumeiPoints_ = 12;

    QLabel* lblSetumei;
    MagnifiedView* scrBig;
    QWidget* picBig;
    QWidget* picCtlAlia;
    PictureBox* picSelAlia;
    PictureBox* pic2tika;
    QLineEdit* txtGyou;
    QPushButton* cmdGyouTouroku;
    QLabel* lblYomitori;
    QGroupBox* Frame2;
    QListWidget* lstAriaList;
    QLineEdit* txtAriaComment;
    QLineEdit* txtLeft;
    QLineEdit* txtTop;
    QLineEdit* txtWidth;
    QLineEdit* txtHeight;
    QLineEdit* txt2tikaLevel;
    QScrollBar* VScroll1;
    QPushButton* cmd2Tika;
    QListWidget* lstChrGrop;
    QLineEdit* txtKugiri;
    QLineEdit* txtKuhaku;
    // Writes incomplete readings of the area without asking (WRITEUNREAD).
    QCheckBox* chkYominokoshi;
    QPushButton* cmdAriaKiroku;
    QPushButton* cmdFields;
    QLabel* lblFields;
    QGroupBox* fraList;
    QLabel* lblList;
    QListWidget* List1;
    QPushButton* cmdKill;
    QLineEdit* txtChr;
    QLabel* lblWidth;
    QLabel* lblHeight;
    QPushButton* cmdChrTouroku;
    QPushButton* cmdCap;
    QPushButton* cmdSCap;
    QPushButton* cmdEnd;
};

} // namespace editor
