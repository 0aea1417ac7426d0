#include "routes/dlgSelRoute.h"

#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/Ui.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

int dlgSelRoute::choose(const QStringList& names, QWidget* parent)
{
    shared().SelectedRouteIndex = 9999;
    QPointer<dlgSelRoute> dialog = new dlgSelRoute(parent);
    dialog->List1->addItems(names);
    ui().showModal(dialog);
    delete dialog.data();
    return shared().SelectedRouteIndex;
}

dlgSelRoute::dlgSelRoute(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgSelRoute"));
    setWindowTitle(QStringLiteral("Select Route"));
    resize(420, 320);

    List1 = windowparts::makeNamed<QListWidget>(this, "List1");
    List1->setSortingEnabled(false);
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    OKButton->setDefault(true);
    CancelButton = windowparts::makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Cancel"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgSelRoute::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgSelRoute::CancelButton_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &dlgSelRoute::OKButton_Click);
}

void dlgSelRoute::OKButton_Click()
{
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    shared().SelectedRouteIndex = selected.isEmpty() ? 9999 : List1->row(selected.first());
    close();
    ui().doEvents();
}

void dlgSelRoute::CancelButton_Click()
{
    shared().SelectedRouteIndex = 9999;
    close();
}
