#pragma once

class QLabel;
class QListWidget;
class QWidget;

// The playlist and its caption, as the commands that fill or empty the list reach them.
class PlaylistView {
public:
    virtual ~PlaylistView() = default;
    virtual QListWidget *lstPlay() const = 0;
    virtual QLabel *txtFN() const = 0;
    // The window the folder chooser belongs to.
    virtual QWidget *dialogOwner() = 0;
    // The add menu, opened under the panel's add button.
    virtual void popUpAddMenu() = 0;
};
