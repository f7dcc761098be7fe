#include "ui/list_roles.h"

namespace varnix {

namespace {

int NumberOf(const QTreeWidgetItem* item, int role) {
    if (item == nullptr) {
        return -1;
    }
    const QVariant value = item->data(0, role);
    return value.isValid() ? value.toInt() : -1;
}

}  // namespace

int StateIndexOf(const QTreeWidgetItem* item) {
    return NumberOf(item, kStateIndexRole);
}

int ItemDataOf(const QTreeWidgetItem* item) {
    return NumberOf(item, kItemDataRole);
}

int ImageIndexOf(const QTreeWidgetItem* item) {
    return NumberOf(item, kImageIndexRole);
}

void SetStateIndex(QTreeWidgetItem* item, int index) {
    item->setData(0, kStateIndexRole, index);
}

void SetItemData(QTreeWidgetItem* item, int index) {
    item->setData(0, kItemDataRole, index);
}

void SetImageIndex(QTreeWidgetItem* item, int index) {
    item->setData(0, kImageIndexRole, index);
}

int FirstSelectedRow(const QTreeWidget* list) {
    const int count = list->topLevelItemCount();
    for (int row = 0; row < count; ++row) {
        if (list->topLevelItem(row)->isSelected()) {
            return row;
        }
    }
    return -1;
}

void SetSingleSelection(QTreeWidget* list) {
    const int first = FirstSelectedRow(list);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    if (first >= 0) {
        SelectOnlyRow(list, first);
    }
}

void SelectOnlyRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    list->clearSelection();
    list->setCurrentItem(item);
    item->setSelected(true);
    list->scrollToItem(item);
}

}  // namespace varnix
