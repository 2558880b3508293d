// What the main window tells of a reading that is not to be trusted as it
// stands: unread ink, an area off the screen, a grab that failed, an area on
// another monitor than it was stored on.
#pragma once

#include "Reading.h"

#include <QList>
#include <QRect>
#include <QString>

namespace mainwin {

// One line per reason and what to do; empty for a complete reading on the
// monitor the area was stored on.
QString ReadingNotice(const engine::Reading& reading);

// The question "書き込み(&W)" asks before writing an incomplete reading.
QString WriteQuestion(const engine::Reading& reading);

// The unread places as rectangles of the area's picture.
QList<QRect> UnreadMarks(const engine::Reading& reading);

} // namespace mainwin
