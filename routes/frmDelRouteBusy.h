#pragma once
// What the route list's handler files share: the first selected row of a list and the
// progress they show in the window's file list.

#include "routes/RouteScan.h"
#include "routes/frmDelRoute.h"

#include <QListWidget>
#include <QPointer>

// The first selected row of list, -1 when none is selected.
inline int firstSelectedRow(const QListWidget* list)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            return row;
    }
    return -1;
}

// Shows the route scan's progress in the window's file list: the files of the folder being
// scanned, then the blueprints being checked, each selected in turn.
class FileListProgress : public routes::RouteScanProgress {
public:
    explicit FileListProgress(QListWidget* list) : list_(list) {}
    void tilesListed(const QString&, const QStringList& fileNames) override { fill(fileNames); }
    void tileStarted(qsizetype index) override { select(index); }
    void blueprintsListed(const QStringList& paths) override { fill(paths); }
    void blueprintStarted(qsizetype index) override { select(index); }

private:
    void fill(const QStringList& rows)
    {
        if (!list_)
            return;
        list_->clear();
        list_->addItems(rows);
    }
    void select(qsizetype row)
    {
        if (list_ && row < list_->count())
            list_->setCurrentRow(int(row));
    }

    QPointer<QListWidget> list_;
};
