#pragma once
// The image viewer's picture browser: a drive list, a folder tree open at the game folder,
// and a grid of the chosen folder's pictures. Thumbnails are made only for the cells in view;
// game textures show a plain icon and are converted only when opened. A double-click hands
// the file to the viewer. Not modal; closing deletes it.

#include <QWidget>

#include <functional>

class DriveListWidget;
class FolderTreeWidget;
class QListWidget;
class QListWidgetItem;

class frmPicBrowser : public QWidget {
    Q_OBJECT
public:
    // start: the folder the tree opens at, on its drive; open receives the path of a
    // double-clicked file.
    frmPicBrowser(const QString& start, std::function<void(const QString&)> open, QWidget* parent = nullptr);

    DriveListWidget* Drive1 = nullptr;
    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* Grid = nullptr;

    // The tree goes to the chosen drive and the grid follows it; a drive that cannot be opened
    // leaves both and gives the viewer's message.
    void Drive1_Change();
    // Fills the grid from the tree's folder.
    void fillGrid();
    // Makes the thumbnails of the cells in view that have none yet.
    void makeVisibleThumbnails();
    // True when the cell's thumbnail was made from the file.
    static bool hasThumbnail(const QListWidgetItem* item);

private:
    void openItem(QListWidgetItem* item);

    std::function<void(const QString&)> open_;
};
