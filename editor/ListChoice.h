// A choice in a list runs its handler once: when the selection moves to an
// entry (mouse or keyboard), or when the entry already chosen is clicked again.
// Making an entry current without selecting it (the keyboard focus arriving)
// chooses nothing.
#pragma once

#include <QObject>

#include <functional>

class QListWidget;

namespace editor {

class ListChoice : public QObject {
public:
    ListChoice(QListWidget* list, std::function<void()> handler);

    // Selects row by program; the choice runs as if clicked.
    void choose(int row);

protected:
    bool eventFilter(QObject*, QEvent* e) override;

private:
    int chosenRow() const;

    QListWidget* list_;
    std::function<void()> handler_;
    bool quiet_ = false;
    int chosenBeforePress_ = -1;
};

} // namespace editor
