// Teaching the edited group its characters: one character cut out of the
// magnified view and registered, or a whole captured line at once, and the
// reading check shown after each of them (and after every capture, group
// change and deletion), so that the user sees at once what a reading of the
// area would give.
//
// picBig positions are plain widget pixels: the magnified view is the
// editor's own drawing, ten widget pixels to a cell at any scale factor, so
// no conversion to screen pixels is needed here.
#pragma once

#include "AreaKeys.h"
#include "CutSelector.h"
#include "Dialogs.h"
#include "LineCells.h"
#include "MagnifiedView.h"
#include "PressSetup.h"
#include "ProfileStore.h"
#include "ReadingCheck.h"

#include <QPointF>
#include <QRect>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace editor {

struct EditorControls;
class EditorLayout;

// The group being edited: its index, and its characters as last read from
// or written to its list key.
struct EditedGroup {
    int ChrGropNo = 0;
    std::u16string AllChr;
    int ChrCount = 0;
};

// The area being edited as the editor shows it: its name and its boxes.
struct ShownArea {
    std::u16string name;
    AreaTexts texts;
};

class CharTeacher {
public:
    CharTeacher(QWidget& window, EditorLayout& layout, platform::Dialogs& dialogs,
                store::ProfileStore& profile, EditedGroup& group,
                std::function<ShownArea()> shownArea);
    CharTeacher(const CharTeacher&) = delete;
    CharTeacher& operator=(const CharTeacher&) = delete;

    // The drag on picBig; only the left button cuts.
    void mouseDown(Qt::MouseButton button, QPointF pos);
    void mouseMove(Qt::MouseButtons buttons, QPointF pos);
    void mouseUp(Qt::MouseButton button);
    // The last cut, in picBig pixels.
    const CutRect& cut() const { return selector_.cut(); }

    // "キャラクタ記録": the cut as the character typed in txtChr.
    void registerCut();
    // "1行まとめて記録": every glyph of the line as the typed line says.
    void registerLine();

    // The size labels now describe a stored template, not the cut.
    void forgetCut();
    // A new area image: a cut made on the old one is none of it, and its
    // line is brought into view once shown.
    void newCapture();
    // "キャラクタ記録" offered again only while a cut of this image is
    // accepted (after the capture controls were all enabled).
    void offerRegistering();
    // The two-level image shown afresh: the cuts teaching the line would
    // make, and the check.
    void twoLevelShown();
    // Scrolls to the line's ink after a new capture (once the window fits).
    void bringLineIntoView();

    // The cuts teaching the typed line would make, on the view.
    void showLinePlan();
    // The check shown afresh; run also lets the window settle around it.
    void updateReadingCheck(const std::vector<std::pair<std::u16string, QRect>>& registered = {});
    void runReadingCheck(const std::vector<std::pair<std::u16string, QRect>>& registered = {});
    const ReadingCheck& lastCheck() const { return check_; }

private:
    const EditorControls& ui() const;
    void message(const QString& text);
    void acceptCut(bool on);
    // Checks what every registration checks, for all of chars at once;
    // shows the reason and returns false when they cannot be registered.
    bool mayRegister(const std::vector<std::u16string>& chars);
    // Stores the templates in one replacement of the profile, so that no
    // template is ever stored in part, and adds the new characters to the
    // list; false (nothing stored) when the profile refused them.
    bool writeTemplates(const std::vector<profile::CharTemplate>& templates);

    QWidget& window_;
    EditorLayout& layout_;
    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    EditedGroup& group_;
    std::function<ShownArea()> shownArea_;

    CutSelector selector_;
    bool cutAccepted_ = false; // the last cut, of the image shown, may be registered
    bool lineToShow_ = false;  // a new capture whose line is not yet brought into view
    LineSplit split_;
    ReadingCheck check_;
    engine::GroupReaders readers_; // the groups prepared for the reading check
    std::vector<MagnifiedView::Frame> planFrames_, markFrames_;
};

} // namespace editor
