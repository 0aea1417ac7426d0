#include "assets/dlgCoachName.h"

#include "assets/ChildEntries.h"
#include "common/SharedState.h"
#include "common/Vb.h"
#include "common/WindowPartsWidgets.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

dlgCoachName::dlgCoachName(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgCoachName"));
    setWindowTitle(QStringLiteral("Save Rolling-Stock Item"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Item will be saved as:- "), this);
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Label2 = new QLabel(QStringLiteral("File Internal Name as:-"), this);
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Frame1 = new QGroupBox(QStringLiteral("Is this item now:-"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(Frame1);
    for (int i = 0; i < assets::kCoachOptionCount; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(assets::coachOption(i).caption), Frame1);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        options->addWidget(option);
        Option1.append(option);
        connect(option, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    Option1.at(0)->setChecked(true);
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    OKButton->setDefault(true);
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Cancel"));
    Command1->setAutoDefault(false);

    auto* boxes = new QGridLayout;
    boxes->addWidget(Label1, 0, 0);
    boxes->addWidget(Text1, 0, 1);
    boxes->addWidget(Label2, 1, 0);
    boxes->addWidget(Text2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgCoachName::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &dlgCoachName::Command1_Click);
    Form_Load();
    platform::openOnScreen(this);
}

dlgCoachName::~dlgCoachName() = default;

void dlgCoachName::Form_Load()
{
    itemName_ = shared().NewItemName;
    internalName_ = shared().NewInternalName;
    Text1->setText(itemName_);
    Text2->setText(internalName_);
    Option1_Click(0);
}

void dlgCoachName::Option1_Click(int)
{
    // The first chosen of options 0 to 6 gives the suffix; "Spare" (7) changes neither box.
    for (int i = 0; i < assets::kCoachOptionCount - 1; ++i) {
        if (Option1.at(i)->isChecked()) {
            const QString suffix = QString::fromLatin1(assets::coachOption(i).suffix);
            Text1->setText(itemName_ + suffix);
            Text2->setText(internalName_ + suffix);
            return;
        }
    }
}

void dlgCoachName::OKButton_Click()
{
    const QString refusal = assets::coachNameRefusal(Text1->text(), Text2->text());
    if (!refusal.isEmpty()) {
        exclaim(refusal);
        return;
    }
    shared().NewItemName = Text1->text();
    shared().NewInternalName = Text2->text();
    shared().CoachNameCancelled = false;
    accept();
}

void dlgCoachName::Command1_Click()
{
    reject();
}

void dlgCoachName::reject()
{
    shared().CoachNameCancelled = true;
    QDialog::reject();
}
