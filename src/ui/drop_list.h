#pragma once
// The list views of the program: read-only, whole-row selection, grid lines, a selection that
// stays visible without focus, no sorting by column clicks, and files dropped from the file
// manager handed on as local file names.

#include <QStringList>
#include <QTreeWidget>

namespace varnix {

class TDropList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TDropList(QWidget* parent = nullptr);
    // Sets the column captions and their widths in pixels.
    void SetColumns(const QStringList& captions, const QList<int>& widths);

  signals:
    // Local files dropped on the list, in the order the file manager gives them.
    void filesDropped(const QStringList& fileNames);
    // Enter or Return pressed in the list; the list keeps the key to itself.
    void enterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The durations list.
class TDropList1 : public TDropList {
    Q_OBJECT
  public:
    using TDropList::TDropList;
};

// The audio files lists of both pages.
class TDropList2 : public TDropList {
    Q_OBJECT
  public:
    using TDropList::TDropList;
};

// The local file names of dropped data, in their order; empty when it holds none.
QStringList DroppedFileNames(const QMimeData* data);

}  // namespace varnix
