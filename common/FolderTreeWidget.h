#pragma once
// A folder list rooted at one folder (the game folder, or the program folder when no game is
// set): the folders on the way to the current folder are open, and every folder opens when it
// is expanded or chosen. It stands in for a drive and folder list: there are no drives to pick.
// Paths are the program's game-style texts: the root as given, then "\" and each folder's name.

#include <QTreeWidget>

class FolderTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTreeWidget(QWidget* parent = nullptr);

    // Shows root (and its sub-folders) and makes it the current folder.
    void setRoot(const QString& root);
    QString root() const { return root_; }

    // Makes the folder current, matching each name without regard to case. When the path
    // leads out of the root or names a folder that does not exist, the deepest folder on its
    // way that exists becomes current.
    void setPath(const QString& path);
    // The current folder.
    QString path() const;

signals:
    // The user chose another folder.
    void folderChosen();

private:
    QTreeWidgetItem* makeItem(const QString& name, const QString& path);
    void fill(QTreeWidgetItem* item);

    QString root_;
};
