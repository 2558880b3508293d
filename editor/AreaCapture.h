// The image side of the editor: the area captured at the place the area
// fields name or drawn on the full-screen overlay, its two-level copy at the
// level chosen, and the magnified view of that copy.
#pragma once

#include "Dialogs.h"
#include "Platform.h"
#include "Reading.h"

#include <QString>

#include <optional>

class QDialog;

namespace capture {
class frmCap;
struct CapResult;
} // namespace capture

namespace editor {

class CharTeacher;
class EditorLayout;
struct EditorControls;

class AreaCapture {
public:
    AreaCapture(QDialog& window, EditorLayout& layout, CharTeacher& teacher,
                platform::Platform& platform, platform::Dialogs& dialogs);
    AreaCapture(const AreaCapture&) = delete;
    AreaCapture& operator=(const AreaCapture&) = delete;

    // "(&S)同じ位置でキャプチャ": the screen at the area fields' rectangle.
    void captureSamePlace();
    // "(&P)位置を指定してキャプチャ": the rectangle the user draws on the
    // overlay (Esc keeps the image there was), binarized again afterwards.
    void captureByDrawing();
    // "2値化": the area image in two levels, magnified.
    void binarize();
    // The two-level image magnified; the window grows to fit, up to the
    // room its screen has.
    void showMagnified();
    // The slider's level into the level box.
    void levelChanged();

    // The monitor the area fields' rectangle lies on, if any.
    std::optional<engine::Monitor> fieldsMonitor() const;

private:
    const EditorControls& ui() const;
    void message(const QString& text);
    void setControlsEnabled(bool on);
    void take(const capture::CapResult& result);

    QDialog& window_;
    EditorLayout& layout_;
    CharTeacher& teacher_;
    platform::Platform& platform_;
    platform::Dialogs& dialogs_;
    capture::frmCap* cap_ = nullptr;
};

} // namespace editor
