// The fields of a press in the main window, under the answer: each field's
// name, its picture with the unread places framed in red, what it read, and
// in red what is wrong with it. Hidden while the area has no fields.
#pragma once

#include "Reading.h"

#include <QWidget>

#include <vector>

class QGridLayout;

namespace mainwin {

class FieldReadings : public QWidget {
public:
    explicit FieldReadings(QWidget* parent = nullptr);

    // Shows readings[1], readings[2], ...: the fields after the current area.
    void showReadings(const std::vector<engine::Reading>& readings);

    // The height the rows need at the given width; 0 with no fields.
    int heightFor(int width) const;

private:
    QGridLayout* grid_ = nullptr;
};

// A field's reason in a few words, for its row: empty when it is complete.
QString FieldTrouble(const engine::Reading& reading);

} // namespace mainwin
