#pragma once
// The texts a list widget shows, for comparing with what a test expects.

#include <QListWidget>
#include <QStringList>

inline QStringList listRows(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}
