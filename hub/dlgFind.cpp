#include "hub/dlgFind.h"

#include "common/SharedState.h"
#include "platform/QtUiScreenFit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

dlgFind::dlgFind(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Search"));
    Label1 = new QLabel(QStringLiteral("Is this the item you wished to find?"), this);
    FindButton = new QPushButton(QStringLiteral("Continue"), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(FindButton, &QPushButton::clicked, this, &dlgFind::FindButton_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgFind::OKButton_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FindButton);
    buttons->addWidget(OKButton);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Label1);
    outer->addLayout(buttons);
    platform::openOnScreen(this);
}

void dlgFind::FindButton_Click()
{
    shared().FindContinue = false;
    hide();
}

void dlgFind::OKButton_Click()
{
    shared().FindContinue = true;
    unloaded_ = true;
    hide();
}

void dlgFind::reject()
{
    // Closing the window ends the search, as "OK" does.
    OKButton_Click();
}
