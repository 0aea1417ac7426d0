#include "assets/dlgHead.h"

#include "assets/Lights.h"
#include "assets/dlgTail.h"
#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/QtUiScreenFit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

dlgHead::dlgHead(QWidget* parent) : QDialog(parent)
{
    Label3 = new QLabel(QStringLiteral("Select Train Type"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    List2 = windowparts::makeNamed<QListWidget>(this, "List2");
    const LampDialogFrame f = buildLampDialogFrame(this, QStringLiteral("dlgHead"),
                                                   QStringLiteral("Head Light Templates Available"),
                                                   QStringLiteral("Select Template for above Loco."), {Label3, List2});
    Label1 = f.Label1;
    Label2 = f.Label2;
    List1 = f.List1;
    OKButton = f.OKButton;
    CancelButton = f.CancelButton;
    // The train types were made first: the keyboard still goes templates, types, buttons.
    setTabOrder(List1, List2);
    setTabOrder(List2, OKButton);
    setTabOrder(OKButton, CancelButton);
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
    shared().HeadTemplateChoice = chosenLampRow(List1);
    shared().LampDialogChoice = chosenLampRow(List2);
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
