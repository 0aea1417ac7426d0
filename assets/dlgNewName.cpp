#include "assets/dlgNewName.h"

#include "assets/AssetClone.h"
#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

dlgNewName::dlgNewName(const QString& sourceFolder, QWidget* parent) : QDialog(parent), sourceFolder_(sourceFolder)
{
    setObjectName(QStringLiteral("dlgNewName"));
    setWindowTitle(QStringLiteral("Clone Object with this new name"));
    setModal(true);

    const auto box = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMinimumWidth(360);
        return edit;
    };
    Label1 = new QLabel(QStringLiteral("File Name:"), this);
    Text1 = box("Text1");
    Label2 = new QLabel(QStringLiteral("Internal Name:"), this);
    Text2 = box("Text2");
    Label3 = new QLabel(QStringLiteral("Folder Name"), this);
    Text3 = box("Text3");
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    OKButton->setDefault(true);
    CancelButton = windowparts::makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Cancel"));
    CancelButton->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Text1, Label2, Text2, Label3, Text3})
        layout->addWidget(w);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &dlgNewName::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgNewName::CancelButton_Click);
    Form_Load();
    platform::openOnScreen(this);
}

dlgNewName::~dlgNewName() = default;

void dlgNewName::Form_Load()
{
    Text1->setText(shared().NewFileName + QLatin1Char('_'));
    Text2->setText(shared().NewItemName + QLatin1Char('_'));
    Text3->setText(shared().NewFolderName + QLatin1Char('\\'));
}

void dlgNewName::OKButton_Click()
{
    const QString refusal = assets::newNameRefusal(Text1->text(), Text2->text(), Text3->text(), sourceFolder_);
    if (!refusal.isEmpty()) {
        exclaim(refusal);
        return;
    }
    shared().NewFileName = Text1->text();
    shared().NewItemName = Text2->text();
    shared().NewFolderName = Text3->text();
    for (QLineEdit* b : {Text1, Text2, Text3})
        b->clear();
    accept();
}

void dlgNewName::CancelButton_Click()
{
    reject();
}

void dlgNewName::reject()
{
    shared().NewFileName.clear();
    shared().NewItemName.clear();
    for (QLineEdit* b : {Text1, Text2, Text3})
        b->clear();
    QDialog::reject();
}
