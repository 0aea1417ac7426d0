#include "assets/dlgTail.h"

#include "common/SharedState.h"
#include "platform/QtUiScreenFit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

LampDialogFrame buildLampDialogFrame(QDialog* dialog, const QString& objectName, const QString& title,
                                     const QString& prompt, const QList<QWidget*>& below)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setModal(true);

    LampDialogFrame f;
    f.Label1 = new QLabel(dialog);
    f.Label1->setObjectName(QStringLiteral("Label1"));
    f.Label2 = new QLabel(prompt, dialog);
    f.Label2->setObjectName(QStringLiteral("Label2"));
    f.List1 = new QListWidget(dialog);
    f.List1->setObjectName(QStringLiteral("List1"));
    f.OKButton = new QPushButton(QStringLiteral("OK"), dialog);
    f.OKButton->setObjectName(QStringLiteral("OKButton"));
    f.OKButton->setDefault(true);
    f.CancelButton = new QPushButton(QStringLiteral("Cancel"), dialog);
    f.CancelButton->setObjectName(QStringLiteral("CancelButton"));
    f.CancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(f.OKButton);
    buttons->addWidget(f.CancelButton);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(f.Label1);
    layout->addWidget(f.Label2);
    layout->addWidget(f.List1);
    for (QWidget* widget : below)
        layout->addWidget(widget);
    layout->addLayout(buttons);
    dialog->adjustSize();
    platform::fitTitle(dialog);
    return f;
}

int chosenLampRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? 0 : list->row(selected.first()) + 1;
}

dlgTail::dlgTail(QWidget* parent) : QDialog(parent)
{
    const LampDialogFrame f = buildLampDialogFrame(this, QStringLiteral("dlgTail"),
                                                   QStringLiteral("Tail Light Templates Available"),
                                                   QStringLiteral("Select Template for above wagon:-"));
    Label1 = f.Label1;
    Label2 = f.Label2;
    List1 = f.List1;
    OKButton = f.OKButton;
    CancelButton = f.CancelButton;
    connect(OKButton, &QPushButton::clicked, this, &dlgTail::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgTail::CancelButton_Click);
    platform::openOnScreen(this);
}

dlgTail::~dlgTail() = default;

void dlgTail::OKButton_Click()
{
    shared().LampDialogChoice = chosenLampRow(List1);
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
