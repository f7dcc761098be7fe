#pragma once
// The pictures of the buttons and the program's icon, drawn here so that they form one set.

#include <QIcon>
#include <QPushButton>

namespace varnix {

enum class ButtonIcon {
    AddFile,   // a sheet with a plus
    AddTime,   // a clock with a plus
    Delete,    // a sheet with a red cross
    ClearAll,  // a list with a red cross
    MoveUp,
    MoveDown,
    Folder,
    Help,
    About,
    Process,
    Close,
    Cancel,
};

QIcon MakeButtonIcon(ButtonIcon kind);
// A button with its picture, object name and hint; a button without a caption is a square that
// shows only its picture.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint, ButtonIcon icon);
// The program's icon: the installed theme's "varnix" icon, else the same picture drawn here.
QIcon ApplicationIcon();

}  // namespace varnix
