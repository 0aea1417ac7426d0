#pragma once
// A drive list: the drives a Windows program sees in the user's Wine prefix ("c:", "d:",
// "z:" ...), or the file system's root when there is no prefix. It goes with a FolderTreeWidget:
// choosing a drive roots the folder list at the drive's folder.

#include "platform/Drives.h"

#include <QComboBox>

class FolderTreeWidget;

class DriveListWidget : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListWidget(QWidget* parent = nullptr);

    // Reads the drives again (the list is read when the widget is made).
    void refresh();

    // Makes the drive that holds path current, without a driveChosen() signal; the first drive
    // when none holds it.
    void setDriveOf(const QString& path);

    // The current drive's name ("c:") and folder on this machine.
    QString drive() const;
    QString folder() const;

    // Roots tree at the current drive. When the drive's folder cannot be opened, the list goes
    // back to the drive it showed before, the tree is left as it was, and VbError 68 ("Device
    // unavailable") is thrown for the caller's message.
    void showIn(FolderTreeWidget& tree);

    // Opens tree at the game's drive and its subFolder (the game folder itself when subFolder is
    // empty; the nearest folder on the way that exists); drive c: when no game is set. A game
    // folder on none of the drives has the folder list to itself. Throws as showIn does.
    void showGameFolder(FolderTreeWidget& tree, const QString& gamePath, const QString& subFolder);

signals:
    // The user chose another drive.
    void driveChosen();

private:
    QList<platform::Drive> drives_;
    int previous_ = -1;
};
