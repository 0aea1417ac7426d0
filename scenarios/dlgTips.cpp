#include "scenarios/dlgTips.h"

#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "scenarios/ConsistEditing.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

platform::OneWindow<dlgTips> theTips;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption = QString())
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

dlgTips& dlgTips::instance(QWidget* owner)
{
    return theTips.instance([owner] { return new dlgTips(owner); });
}

dlgTips* dlgTips::existing()
{
    return theTips.loaded();
}

void dlgTips::unload()
{
    theTips.unload();
}

dlgTips::dlgTips(QWidget* owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("dlgTips"));
    setWindowTitle(QStringLiteral("Details"));

    Label1 = makeLabel(this, "Label1");
    Label2 = makeLabel(this, "Label2");
    Label3 = makeLabel(this, "Label3");
    Label4 = makeLabel(this, "Label4");
    Label5 = makeLabel(this, "Label5");
    Label6 = makeLabel(this, "Label6", QStringLiteral("Start Time:"));
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Label8 = makeLabel(this, "Label8", QStringLiteral("Destination:"));
    Label7 = makeLabel(this, "Label7");
    Label10 = makeLabel(this, "Label10", QStringLiteral("Number"));
    Label9 = makeLabel(this, "Label9");
    Label11 = makeLabel(this, "Label11", QStringLiteral("Service Class"));
    Combo1 = windowparts::makeNamed<QComboBox>(this, "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems(scenarios::serviceClassNames());
    Combo1->setCurrentIndex(-1);
    Label1->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5})
        grid->addWidget(label, row++, 0, 1, 2);
    grid->addWidget(Label6, row, 0);
    grid->addWidget(Text1, row++, 1);
    grid->addWidget(Label8, row, 0);
    grid->addWidget(Label7, row++, 1);
    grid->addWidget(Label10, row, 0);
    grid->addWidget(Label9, row++, 1);
    grid->addWidget(Label11, row, 0);
    grid->addWidget(Combo1, row++, 1);
    resize(380, 280);
}

dlgTips::~dlgTips()
{
    theTips.forget(this);
}
