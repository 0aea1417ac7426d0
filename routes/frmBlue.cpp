#include "routes/frmBlue.h"

#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "routes/DeveloperFolders.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
platform::OneWindow<frmBlue> openWindow;
}

frmBlue* frmBlue::showDesigner(QWidget* parent)
{
    openWindow.unload();
    return &openWindow.show([parent] { return platform::deletedOnClose(new frmBlue(parent)); });
}

frmBlue* frmBlue::existing()
{
    return openWindow.loaded();
}

frmBlue::frmBlue(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmBlue"));
    setWindowTitle(QStringLiteral("BluePrint Designer"));
    resize(460, 260);

    Label2 = windowparts::makeNamed<QLabel>(this, "Label2");
    auto* grid = new QGridLayout;
    for (int i = 0; i < 5; ++i) {
        Label1[i] = new QLabel(this);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Text1[i] = new QLineEdit(this);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Label1[i]->hide();
        Text1[i]->hide();
        grid->addWidget(Label1[i], i, 0);
        grid->addWidget(Text1[i], i, 1);
    }
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Make Blueprint"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    platform::openOnScreen(this);

    Form_Load();
}

frmBlue::~frmBlue() = default;

void frmBlue::Form_Load()
{
    const routes::BlueprintForm form = routes::blueprintForm(shared().BlueprintMode);
    if (form.heading.isEmpty())
        return;
    Label2->setText(form.heading);
    for (int i = 0; i < form.labels.size() && i < 5; ++i) {
        Label1[i]->setText(form.labels.at(i));
        Label1[i]->show();
        Text1[i]->show();
    }
}

void frmBlue::Command1_Click()
{
    QStringList boxes;
    for (QLineEdit* box : Text1)
        boxes.append(box->text());
    const SharedState& s = shared();
    routes::makeBlueprint(s.BlueprintMode, s.BlueprintFolder, boxes);
}

void frmBlue::Command2_Click()
{
    close();
}
