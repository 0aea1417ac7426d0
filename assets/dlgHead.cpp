#include "assets/dlgHead.h"

#include "assets/Lights.h"
#include "common/SharedState.h"
#include "platform/QtUiScreenFit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The selected entry's position + 1, 0 when nothing is selected.
int chosenRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? 0 : list->row(selected.first()) + 1;
}

} // namespace

dlgHead::dlgHead(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgHead"));
    setWindowTitle(QStringLiteral("Head Light Templates Available"));
    setModal(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Select Template for above Loco."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Label3 = new QLabel(QStringLiteral("Select Train Type"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
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
    layout->addWidget(Label3);
    layout->addWidget(List2);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgHead::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgHead::CancelButton_Click);
    Form_Load();
    platform::openOnScreen(this);
}

dlgHead::~dlgHead() = default;

void dlgHead::Form_Load()
{
    SharedState& state = shared();
    assets::SetTrainTypes(state);
    for (int i = 0; i < assets::TrainTypeCount; ++i)
        List2->addItem(state.TrainTypeNames[i]);
}

void dlgHead::OKButton_Click()
{
    shared().HeadTemplateChoice = chosenRow(List1);
    shared().LampDialogChoice = chosenRow(List2);
    accept();
}

void dlgHead::CancelButton_Click()
{
    reject();
}

void dlgHead::reject()
{
    shared().LampDialogChoice = 0;
    QDialog::reject();
}
