// The scenario editor's "Current Scenario" frame: its property boxes with the season list over
// the season box, and the scenario type switch. Its commands are in frmZelvornSave.cpp.
#include "scenarios/frmZelvorn.h"

#include "common/WindowPartsWidgets.h"
#include "scenarios/frmZelvornParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace scenarios;
using namespace scenarios::zelvorn;

void frmZelvorn::buildScenarioFrame()
{
    Frame5 = makeFrame(client_, "Frame5", QStringLiteral("Current Scenario"));
    Frame5->setFixedWidth(kScenarioFrameWidth);

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(8);
    boxes->setVerticalSpacing(4);
    boxes->setColumnStretch(1, 1);
    int row = 0;
    for (int i = 0; i < PropertyBoxCount; ++i) {
        Label1[i] = new QLabel(propertyBoxCaptions()[i], Frame5);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Text1[i] = new QLineEdit(Frame5);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Label1[i]->setBuddy(Text1[i]);
        boxes->addWidget(Label1[i], row, 0);
        boxes->addWidget(Text1[i], row, 1);
        ++row;
        if (i == StartTimeBox) {
            Check1 = new QCheckBox(QStringLiteral("Change for all consists"), Frame5);
            Check1->setObjectName(QStringLiteral("Check1"));
            Check1->setToolTip(QStringLiteral(
                "Select if you want Start Time of all trains in the scenario to be altered by the same amount."));
            boxes->addWidget(Check1, row, 1);
            ++row;
        }
    }
    Text1[StartTimeBox]->setToolTip(QStringLiteral("Change the Start Time of the main Consist."));
    Text1[SeasonBox]->setToolTip(QStringLiteral("Select the Season to use."));
    Text1[SeasonBox]->installEventFilter(this);

    // The season list lies over the season box and shows while the box has the focus.
    Combo1 = windowparts::makeNamed<QComboBox>(Frame5, "Combo1");
    Combo1->addItems(seasonNames());
    Combo1->hide();
    Combo1->installEventFilter(this);
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Change(); });
    QWidget::setTabOrder(Text1[SeasonBox], Combo1);
    QWidget::setTabOrder(Combo1, Text1[WeatherProviderBox]);

    auto* types = new QHBoxLayout;
    Option2[0] = new QRadioButton(QStringLiteral("Standard Scenario"), Frame5);
    Option2[1] = new QRadioButton(QStringLiteral("Timetable Scenario"), Frame5);
    auto* typeGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        Option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
        typeGroup->addButton(Option2[i], i);
        types->addWidget(Option2[i]);
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_MouseDown(i); });
    }
    types->addStretch(1);
    Option2[0]->setChecked(true);

    Command1 = windowparts::makeButton(Frame5, QStringLiteral("Command1"), QStringLiteral("Save Changes"), QStringLiteral("Save all changes made."));
    Command12 = windowparts::makeButton(Frame5, QStringLiteral("Command12"), QStringLiteral("Clone Scenario with new Name"));
    Command2 = windowparts::makeButton(Frame5, QStringLiteral("Command2"), QStringLiteral("Exit"));
    Command5 = windowparts::makeButton(Frame5, QStringLiteral("Command5"), QStringLiteral("Run Rail Simulator"), QStringLiteral("Run Rail Simulator"));
    Command8 = windowparts::makeButton(Frame5, QStringLiteral("Command8"), QStringLiteral("Run Rail Sim Editor"));
    Command14 = windowparts::makeButton(Frame5, QStringLiteral("Command14"), QStringLiteral("Run Rail Sim Editor (with log)"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command14, &QPushButton::clicked, this, [this] { Command14_Click(); });

    auto* buttons = new QGridLayout;
    buttons->setSpacing(6);
    buttons->addWidget(Command1, 0, 0);
    buttons->addWidget(Command2, 0, 1);
    buttons->addWidget(Command12, 1, 0, 1, 2);
    buttons->addWidget(Command5, 2, 0, 1, 2);
    buttons->addWidget(Command8, 3, 0, 1, 2);
    buttons->addWidget(Command14, 4, 0, 1, 2);

    auto* outer = new QVBoxLayout(Frame5);
    outer->setContentsMargins(10, 8, 10, 10);
    outer->setSpacing(10);
    outer->addLayout(boxes);
    outer->addLayout(types);
    outer->addStretch(1);
    outer->addLayout(buttons);
}

void frmZelvorn::Text1_GotFocus(int index)
{
    if (index != SeasonBox)
        return;
    QLineEdit* box = Text1[SeasonBox];
    {
        const QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(Combo1->findText(box->text(), Qt::MatchFixedString));
    }
    Combo1->setGeometry(box->geometry());
    Combo1->show();
    Combo1->raise();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void frmZelvorn::Combo1_Change()
{
    if (Combo1->currentIndex() >= 0)
        Text1[SeasonBox]->setText(Combo1->currentText());
    // The focus moves on before the list hides, so that it does not fall back on the season box.
    if (Combo1->hasFocus())
        Text1[WeatherProviderBox]->setFocus(Qt::OtherFocusReason);
    Combo1->hide();
}

void frmZelvorn::Combo1_LostFocus()
{
    // A list left without a choice keeps the season box as it was.
    if (Combo1->currentIndex() >= 0)
        Text1[SeasonBox]->setText(Combo1->currentText());
    Combo1->hide();
}

void frmZelvorn::Option2_MouseDown(int index)
{
    guarded(QStringLiteral("Option2_MouseDown"), [this, index] {
        const int selected = editor_.pressScenarioType(index);
        Option2[selected]->setChecked(true);
    });
}
