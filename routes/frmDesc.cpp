#include "routes/frmDesc.h"

#include "common/WindowPartsWidgets.h"
#include "routes/RouteChooser.h"
#include "routes/RouteDescription.h"
#include "routes/dlgSelRoute.h"

#include "platform/OneWindow.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
platform::OneWindow<frmDesc> openEditor;
}

void frmDesc::addRouteDescription()
{
    const QString text = routes::ReadRoutesXml();
    ui().doEvents();
    const QList<routes::ChoosableRoute> list = routes::ChoosableRoutes(text);
    const int index = dlgSelRoute::choose(routes::ChoosableNames(list));
    if (index < 0 || index >= list.size())
        return; // cancelled, or a line that names no route
    if (!routes::PrepareRouteInfoFolder(text, list[index]))
        return;
    openEditor.unload(); // a new editor, with empty boxes
    openEditor.instance([] { return platform::deletedOnClose(new frmDesc); }).show();
}

frmDesc* frmDesc::existing()
{
    return openEditor.loaded();
}

frmDesc::frmDesc(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmDesc"));
    setWindowTitle(QStringLiteral("Description Editor"));
    resize(520, 560);

    auto* intro = new QLabel(QStringLiteral("Use this form to compose a description of your route."), this);
    auto* note = new QLabel(QStringLiteral("(Empty boxes will be ignored)"), this);
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Text3 = windowparts::makeNamed<QPlainTextEdit>(this, "Text3");
    Text4 = windowparts::makeNamed<QPlainTextEdit>(this, "Text4");
    Text5 = windowparts::makeNamed<QPlainTextEdit>(this, "Text5");
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("&OK"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("&Cancel"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Title:"), this), 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sub-Title:"), this), 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Para1:"), this), 2, 0, Qt::AlignTop);
    grid->addWidget(Text3, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Para2:"), this), 3, 0, Qt::AlignTop);
    grid->addWidget(Text4, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Para3:"), this), 4, 0, Qt::AlignTop);
    grid->addWidget(Text5, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(note);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &frmDesc::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDesc::Command2_Click);
}

frmDesc::~frmDesc() = default;

void frmDesc::Command1_Click()
{
    const QStringList texts = {Text1->text(), Text2->text(), Text3->toPlainText(), Text4->toPlainText(),
                               Text5->toPlainText()};
    // Writing processes window events: a Cancel, or a second OK, may have closed the editor.
    if (routes::WriteRouteDescription(texts) && !platform::isUnloaded(this))
        close(); // unloads: deleted on close
}

void frmDesc::Command2_Click()
{
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    close();
}
