#include "hub/frmAddAttribute.h"

#include "hub/xml/TreeEditing.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAddAttribute::frmAddAttribute(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add Attribute"));

    lblName = new QLabel(QStringLiteral("Name:"), this);
    txtName = new QLineEdit(this);
    lblValue = new QLabel(QStringLiteral("Value:"), this);
    txtValue = new QLineEdit(this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(cmdOK, &QPushButton::clicked, this, &frmAddAttribute::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddAttribute::cmdCancel_Click);

    auto* fields = new QGridLayout;
    fields->addWidget(lblName, 0, 0);
    fields->addWidget(txtName, 0, 1);
    fields->addWidget(lblValue, 1, 0);
    fields->addWidget(txtValue, 1, 1);
    fields->setColumnMinimumWidth(1, 240);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(fields);
    outer->addLayout(buttons);
    platform::openOnScreen(this);
}

void frmAddAttribute::cmdOK_Click()
{
    const treeedit::Refusal refused = treeedit::CheckNewAttributeName(txtName->text(), existing_);
    if (refused) {
        ui().msgBox(refused.text, refused.style, refused.title);
        txtName->setFocus();
        return;
    }
    cancelled_ = false;
    hide();
}

void frmAddAttribute::cmdCancel_Click()
{
    cancelled_ = true;
    hide();
}

void frmAddAttribute::reject()
{
    cmdCancel_Click();
}
