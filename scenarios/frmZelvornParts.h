#pragma once
// What the scenario editor window's files (frmZelvorn*.cpp) share: the measures and small
// builders of its frames and lists.

#include "common/Twips.h"
#include "common/WindowPartsWidgets.h"

#include <QGroupBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>

namespace scenarios::zelvorn {

// The window's measures are kept in twips, as the form was drawn.
using windowparts::toPixels;

inline constexpr int kListMargin = toPixels(275); // the lists other than List1 and List3: their frame's width less this
inline constexpr int kScenarioFrameWidth = 340;   // Frame5 keeps this width

inline int rowHeight(const QWidget* w)
{
    return w->fontMetrics().height() + 10;
}

// The space a group box's title takes at its top.
inline int frameTop(const QGroupBox* frame)
{
    return frame->fontMetrics().height() + 10;
}

inline QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

inline QListWidget* makeList(QWidget* parent, const char* name)
{
    auto* list = windowparts::makeNamed<QListWidget>(parent, name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

inline void fillList(QListWidget* list, const QStringList& rows)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(rows);
}

inline QString selectedText(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

} // namespace scenarios::zelvorn
