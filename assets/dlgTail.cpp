#include "assets/dlgTail.h"

#include "common/SharedState.h"
#include "platform/QtUiScreenFit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

dlgTail::dlgTail(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgTail"));
    setWindowTitle(QStringLiteral("Tail Light Templates Available"));
    setModal(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Select Template for above wagon:-"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(List1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgTail::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgTail::CancelButton_Click);
    platform::openOnScreen(this);
}

dlgTail::~dlgTail() = default;

void dlgTail::OKButton_Click()
{
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    shared().LampDialogChoice = selected.isEmpty() ? 0 : List1->row(selected.first()) + 1;
    accept();
}

void dlgTail::CancelButton_Click()
{
    reject();
}

void dlgTail::reject()
{
    shared().LampDialogChoice = 0;
    QDialog::reject();
}
