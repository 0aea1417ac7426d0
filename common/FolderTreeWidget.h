#pragma once
// A folder list rooted at one folder (a drive's folder from a DriveListWidget, or any folder):
// the folders on the way to the current folder are open, and every folder opens when it is
// expanded or chosen. Paths are the program's game-style texts: the root as given, then "\" and
// each folder's name; a folder reached through setPath() keeps the text it was given by, so a
// game folder given as "C:\Program Files\Rail Simulator" is named so below a drive's folder.

#include <QTreeWidget>

class FolderTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTreeWidget(QWidget* parent = nullptr);

    // Shows root (and its sub-folders) and makes it the current folder. label is the top
    // item's text (the root's last name when empty).
    void setRoot(const QString& root, const QString& label = QString());
    QString root() const { return root_; }

    // Makes the folder current, matching each name without regard to case. A path in another
    // form than the root (a Windows-form path below a drive's folder, or one through a link) is
    // matched by where it leads. When the path leads out of the root or names a folder that
    // does not exist, the deepest folder on its way that exists becomes current.
    void setPath(const QString& path);
    // The current folder.
    QString path() const;

    // Brings a folder's row into view with the folders it lies in: the list is scrolled
    // sideways only as far as the folder's icon and name need to show whole, and never past the
    // folder's own expander (fully to the left when they show there). The folder setPath() made
    // current is kept so while the list gets its size, until the user scrolls, clicks or types
    // in the list.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // The user chose another folder.
    void folderChosen();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* makeItem(const QString& name, const QString& path);
    void fill(QTreeWidgetItem* item);
    QTreeWidgetItem* descend(QTreeWidgetItem* item, const QStringList& names);
    void rename(QTreeWidgetItem* item, const QString& path);
    void nameTheWay(QTreeWidgetItem* item, const QString& path);

    QString root_;
    bool keepCurrentShown_ = false; // set by setPath(), until the user moves in the list
};
