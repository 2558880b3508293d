// The editor: recognition areas and character groups. Its other rooms:
// EditorLayout (the controls, and fitting the window to its screen),
// AreaCapture (capture, two levels, the magnified view) and CharTeacher
// (cutting and registering characters, teaching a line, the reading check).
//
// Everything the editor keeps goes to the profile file at once; between
// loading and storing, an area's settings live only in the text boxes. The
// three pictures: picSelAlia holds the captured area in physical screen
// pixels, pic2tika its two-level copy, picBig (in the scrolling view scrBig)
// the two-level copy magnified tenfold, each area pixel a cell of 10 x 10
// widget pixels.
#pragma once

#include "AreaCapture.h"
#include "AreaKeys.h"
#include "CharTeacher.h"
#include "Dialogs.h"
#include "EditorLayout.h"
#include "EditorLogic.h"
#include "Platform.h"
#include "ProfileStore.h"
#include "ReadingCheck.h"

#include <QDialog>
#include <QImage>

#include <optional>
#include <string>

class QListWidget;

namespace editor {

class ListChoice;
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
    const std::u16string& AriaName() const { return AriaName_; }
    // The group being edited and its characters as last read or written.
    int ChrGropNo() const { return group_.ChrGropNo; }
    const std::u16string& AllChr() const { return group_.AllChr; }
    int ChrCount() const { return group_.ChrCount; }
    // The last cut on picBig, in picBig pixels.
    const CutRect& Cut() const { return teacher_.cut(); }

    const QImage& areaImage() const;
    const QImage& twoLevelImage() const;
    QImage magnifiedImage() const;
    // The last reading check.
    const ReadingCheck& lastCheck() const { return teacher_.lastCheck(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void connectHandlers();
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
    ShownArea shownArea() const;
    // Stores the area in one replacement of the profile; false (and the
    // reason shown) when nothing was stored.
    bool storeArea();
    // The fields of the shown area, beside its settings.
    void showFields();

    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    EditorLayout layout_;
    const EditorControls& ui_;
    EditedGroup group_;
    CharTeacher teacher_;
    AreaCapture capture_;
    std::u16string AriaName_;
    EditorOutcome outcome_ = EditorOutcome::Closed;
    frmTuika* tuika_ = nullptr;
    ListChoice* ariaChoice_ = nullptr;
    ListChoice* gropChoice_ = nullptr;
};

} // namespace editor
