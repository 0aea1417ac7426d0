#pragma once
// A folder list box rooted at one folder (a drive's folder from a DriveListWidget, or any
// folder). It shows the way from the root down to the current folder, one folder a row and each
// row a step further in, then the current folder's own sub-folders; nothing beside the way. A
// click on a row of the way or on a sub-folder makes it the current folder (so does Enter on the
// row the arrow keys moved to). The steps narrow in a narrow list, so that the current folder
// and its sub-folders show whole; longer names on the way are cut at the list's edge.
// Paths are the program's game-style texts: the root as given, then "\" and each folder's name;
// a folder reached through setPath() keeps the text it was given by, so a game folder given as
// "C:\Program Files\Rail Simulator" is named so below a drive's folder. Linked folders are
// folders; a link that leads nowhere is not shown.

#include <QTreeWidget>

class FolderTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTreeWidget(QWidget* parent = nullptr);

    // Shows root (and its sub-folders) and makes it the current folder. label is the top
    // row's text (the root's last name when empty).
    void setRoot(const QString& root, const QString& label = QString());
    QString root() const { return root_; }

    // Makes the folder current, matching each name without regard to case. A path in another
    // form than the root (a Windows-form path below a drive's folder, or one through a link) is
    // matched by where it leads. When the path leads out of the root or names a folder that
    // does not exist, the deepest folder on its way that exists becomes current. The folder's
    // sub-folders are listed anew.
    void setPath(const QString& path);
    // The current folder.
    QString path() const;

    // The list as the windows' walks count it: ListCount() is the number of sub-folders of the
    // current folder; List(i) is the path of sub-folder i (0 to ListCount() - 1, in the order
    // shown), of the current folder for -1, of its parent for -2 and so on up to the root ("" past
    // either end); ListIndex() is the index of the highlighted row (-1 for the current folder).
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;

    // Brings a folder's row into view: the list is scrolled sideways (when the current folder
    // does not fit at all) only as far as the folder's icon and name need to show whole.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // The user made another folder current.
    void folderChosen();

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    QTreeWidgetItem* makeItem(const QString& name, const QString& path);
    QTreeWidgetItem* childNamed(QTreeWidgetItem* item, const QString& name);
    QTreeWidgetItem* descend(QTreeWidgetItem* item, const QStringList& names);
    void open(QTreeWidgetItem* item);
    void choose(QTreeWidgetItem* item);
    void fitSteps();
    void showCurrent();
    void rename(QTreeWidgetItem* item, const QString& path);
    void nameTheWay(QTreeWidgetItem* item, const QString& path);

    QString root_;
    QTreeWidgetItem* current_ = nullptr; // the current folder's row
    int held_ = 0;                       // > 0 while a key or a mouse press only highlights a row
    bool keepCurrentShown_ = false;      // set by setPath(), until the user moves in the list
};
