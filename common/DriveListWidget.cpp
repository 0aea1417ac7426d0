#include "common/DriveListWidget.h"

#include "common/FolderTreeWidget.h"
#include "common/VbError.h"

#include <QSignalBlocker>

DriveListWidget::DriveListWidget(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // Sized for its drives once: a list that adjusted its size to each change of its items would
    // shrink itself, shortly after a change, in a window that places it.
    setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index != previous_)
            emit driveChosen();
    });
}

void DriveListWidget::refresh()
{
    const QSignalBlocker block(this);
    const QString was = drive();
    drives_ = platform::drives();
    clear();
    for (const platform::Drive& d : drives_)
        addItem(d.name);
    const int again = findText(was);
    setCurrentIndex(again >= 0 ? again : 0);
    previous_ = currentIndex();
}

void DriveListWidget::setDriveOf(const QString& path)
{
    const QSignalBlocker block(this);
    const qsizetype k = platform::driveIndexOf(drives_, path);
    setCurrentIndex(k >= 0 ? int(k) : 0);
    previous_ = currentIndex();
}

QString DriveListWidget::drive() const
{
    const int k = currentIndex();
    return k >= 0 && k < drives_.size() ? drives_[k].name : QString();
}

QString DriveListWidget::folder() const
{
    const int k = currentIndex();
    return k >= 0 && k < drives_.size() ? drives_[k].folder : QString();
}

void DriveListWidget::showIn(FolderTreeWidget& tree)
{
    const int k = currentIndex();
    if (k < 0 || k >= drives_.size() || !platform::driveReady(drives_[k])) {
        const QSignalBlocker block(this);
        setCurrentIndex(previous_);
        throw VbError(68);
    }
    previous_ = k;
    tree.setRoot(drives_[k].folder, drives_[k].name);
}

void DriveListWidget::showGameFolder(FolderTreeWidget& tree, const QString& gamePath, const QString& subFolder)
{
    if (!gamePath.isEmpty() && platform::driveIndexOf(drives_, gamePath) < 0) {
        tree.setRoot(gamePath);
    } else {
        setDriveOf(gamePath.isEmpty() ? QStringLiteral("C:") : gamePath);
        showIn(tree);
    }
    if (!gamePath.isEmpty())
        tree.setPath(subFolder.isEmpty() ? gamePath : gamePath + QLatin1Char('\\') + subFolder);
}
