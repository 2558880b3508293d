// "続けて読むエリア": which areas one press reads after the area, and in
// what order. Every other area is offered with a check box; the checked ones
// are read from the top down, and 上へ / 下へ move the chosen one.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace editor {

// The rows the dialog offers for area: its fields first in their order
// (checked, a name that is no area kept so that it can be unchecked), then
// every other area of the list, unchecked. The area itself is never offered.
struct FieldChoice {
    std::u16string name;
    bool checked = false;
    bool missing = false;   // no area of that name
    bool hasFields = false; // it names fields of its own: read alone
    bool operator==(const FieldChoice&) const = default;
};
std::vector<FieldChoice> FieldChoices(std::u16string_view area,
                                      const std::vector<std::u16string>& areas,
                                      const std::vector<std::u16string>& fields,
                                      const std::vector<std::u16string>& withFields);

class frmFields : public QDialog {
    Q_OBJECT
public:
    frmFields(const std::u16string& area, const std::vector<FieldChoice>& choices,
              QWidget* parent = nullptr);

    // The checked names, top down.
    std::vector<std::u16string> chosen() const;

    void cmdUp_Click();
    void cmdDown_Click();

private:
    void move(int by);

    QListWidget* lstFields = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
};

} // namespace editor
