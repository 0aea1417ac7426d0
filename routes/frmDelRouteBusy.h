#pragma once
// The progress the route list's handler files show in its file list.

#include "routes/RouteScan.h"
#include "routes/frmDelRoute.h"

#include <QListWidget>
#include <QPointer>

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
