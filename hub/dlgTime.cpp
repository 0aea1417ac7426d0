#include "hub/dlgTime.h"

#include "common/HandlerError.h"
#include "common/VbError.h"
#include "common/WindowPartsWidgets.h"
#include "hub/TimeConvert.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
platform::OneWindow<dlgTime> openWindow;
}

dlgTime* dlgTime::showDialog(QWidget* parent)
{
    return &openWindow.show([&] { return new dlgTime(parent); });
}

dlgTime* dlgTime::existing()
{
    return openWindow.loaded();
}

dlgTime::dlgTime(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgTime"));
    setWindowTitle(QStringLiteral("Convert DaraDerovizor Time to Hrs/Mins"));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("Enter Time:-"), this);
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Label1->setBuddy(Text1);
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Convert"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    CancelButton = windowparts::makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Exit"));
    CancelButton->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Text2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgTime::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgTime::CancelButton_Click);
    adjustSize();
    platform::fitTitle(this);
    platform::openOnScreen(this);
}

dlgTime::~dlgTime() = default;

void dlgTime::OKButton_Click()
{
    try {
        Text2->setText(ConvertRsTime(Text1->text()));
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("OKButton"));
    }
}

void dlgTime::CancelButton_Click()
{
    reject();
}

void dlgTime::reject()
{
    QDialog::reject();
    // Unloaded: the next use starts with empty boxes.
    deleteLater();
}
