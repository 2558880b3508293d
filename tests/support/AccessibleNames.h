// What a screen reader finds in a window: the controls a user types into or
// chooses from, walked through Qt's accessibility interfaces (what the
// platform's bridge hands on to AT-SPI or UI Automation), with the name
// each would be announced by.
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace a11ytest {

struct InputNames {
    int inputs = 0;      // showing controls that take input
    QStringList unnamed; // those of them without a name: "role objectName in parent"
};

inline bool TakesInput(QAccessible::Role role) {
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ScrollBar:
        return true;
    default:
        return false;
    }
}

// A scroll view's own scroll bars move what it shows; they are no control
// of the window's that needs a name.
inline bool ScrollsAView(const QObject* o) {
    for (const QObject* p = o ? o->parent() : nullptr; p; p = p->parent())
        if (qobject_cast<const QAbstractScrollArea*>(p)) return true;
    return false;
}

inline void WalkInputs(QAccessibleInterface* node, InputNames& out, int depth = 0) {
    if (!node || depth > 40 || node->state().invisible) return;
    if (TakesInput(node->role()) &&
        !(node->role() == QAccessible::ScrollBar && ScrollsAView(node->object()))) {
        ++out.inputs;
        if (node->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* o = node->object();
            out.unnamed << QStringLiteral("role %1 %2 in %3")
                               .arg(int(node->role()))
                               .arg(o ? o->objectName() : QStringLiteral("?"))
                               .arg(o && o->parent() ? o->parent()->objectName()
                                                     : QStringLiteral("?"));
        }
        // A list's entries and a table's cells are its content, not controls.
        if (node->role() != QAccessible::EditableText) return;
    }
    for (int i = 0; i < node->childCount(); ++i)
        WalkInputs(node->child(i), out, depth + 1);
}

// The window should be showing: hidden controls are not walked.
inline InputNames InputsOf(QWidget* window) {
    InputNames out;
    WalkInputs(QAccessible::queryAccessibleInterface(window), out);
    return out;
}

} // namespace a11ytest
