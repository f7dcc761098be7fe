#pragma once
// Where a list row keeps its numbers beside its texts (column 0 holds them all), and small
// helpers over the rows of a list.

#include <QTreeWidget>

namespace varnix {

// Index of the row's file in the window's file table; -1 for a row without a file.
constexpr int kStateIndexRole = Qt::UserRole + 1;
// Index of the row's duration pair in the window's duration table; -1 for none.
constexpr int kItemDataRole = Qt::UserRole + 2;
// Which small picture the row shows (the file kind in the audio lists); -1 for none.
constexpr int kImageIndexRole = Qt::UserRole + 3;

int StateIndexOf(const QTreeWidgetItem* item);
int ItemDataOf(const QTreeWidgetItem* item);
int ImageIndexOf(const QTreeWidgetItem* item);
void SetStateIndex(QTreeWidgetItem* item, int index);
void SetItemData(QTreeWidgetItem* item, int index);
void SetImageIndex(QTreeWidgetItem* item, int index);

// The lowest selected row; -1 when no row is selected.
int FirstSelectedRow(const QTreeWidget* list);
// Lets the list select one row only; of several selected rows the first one stays selected.
void SetSingleSelection(QTreeWidget* list);
// Selects one row only, makes it the current row and scrolls it into view.
void SelectOnlyRow(QTreeWidget* list, int row);

}  // namespace varnix
