#include "ui/drop_list.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QUrl>

namespace varnix {

namespace {

// Draws every cell as usual and a thin line along its right and bottom edges.
class GridLineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Midlight));
        const QRect r = option.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

}  // namespace

QStringList DroppedFileNames(const QMimeData* data) {
    QStringList names;
    if (data == nullptr || !data->hasUrls()) {
        return names;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            names << url.toLocalFile();
        }
    }
    return names;
}

TDropList::TDropList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setItemDelegate(new GridLineDelegate(this));

    // The selection looks the same with and without the focus.
    QPalette colors = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colors.setColor(QPalette::Inactive, role, colors.color(QPalette::Active, role));
    }
    setPalette(colors);
}

void TDropList::SetColumns(const QStringList& captions, const QList<int>& widths) {
    setColumnCount(static_cast<int>(captions.size()));
    setHeaderLabels(captions);
    for (int i = 0; i < captions.size() && i < widths.size(); ++i) {
        setColumnWidth(i, widths[i]);
    }
}

void TDropList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TDropList::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TDropList::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedFileNames(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TDropList::dropEvent(QDropEvent* event) {
    const QStringList names = DroppedFileNames(event->mimeData());
    if (names.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(names);
}

}  // namespace varnix
