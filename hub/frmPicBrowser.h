#pragma once
// The image viewer's picture browser: a folder tree from the game folder and a grid of the
// chosen folder's pictures. Thumbnails are made only for the cells in view; game textures
// show a plain icon and are converted only when opened. A double-click hands the file to the
// viewer. Not modal; closing deletes it.

#include <QWidget>

#include <functional>

class FolderTreeWidget;
class QListWidget;
class QListWidgetItem;

class frmPicBrowser : public QWidget {
    Q_OBJECT
public:
    // root: the folder the tree starts at; open receives the path of a double-clicked file.
    frmPicBrowser(const QString& root, std::function<void(const QString&)> open, QWidget* parent = nullptr);

    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* Grid = nullptr;

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
