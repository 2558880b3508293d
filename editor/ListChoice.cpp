#include "ListChoice.h"

#include <QEvent>
#include <QListWidget>

namespace editor {

ListChoice::ListChoice(QListWidget* list, std::function<void()> handler)
    : QObject(list), list_(list), handler_(std::move(handler)) {
    list->viewport()->installEventFilter(this);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!quiet_ && chosenRow() >= 0) handler_();
    });
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (list_->row(item) == chosenBeforePress_ && chosenRow() == chosenBeforePress_) handler_();
    });
}

void ListChoice::choose(int row) {
    quiet_ = true;
    list_->setCurrentRow(row);
    quiet_ = false;
    handler_();
}

bool ListChoice::eventFilter(QObject*, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) chosenBeforePress_ = chosenRow();
    return false;
}

int ListChoice::chosenRow() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && item->isSelected() ? list_->row(item) : -1;
}

} // namespace editor
