#include "routes/frmListRS.h"

#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "common/frmReport.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"
#include "routes/StockList.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

platform::OneWindow<frmListRS> theList;

// Puts a report text into the report window's text box and shows it beside this window.
void showReport(const QString& text)
{
    frmReport& report = frmReport::instance();
    report.RTB1->show();
    report.List1->hide();
    // The text box keeps lines as paragraphs; saving writes them with CR LF again.
    report.RTB1->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    report.showReport(false);
}

} // namespace

frmListRS::frmListRS(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmListRS"));
    setWindowTitle(QStringLiteral("Rolling-Stock Required"));
    resize(640, 480);
    platform::openOnScreen(this);

    List1 = windowparts::makeNamed<QListWidget>(this, "List1");
    Command1 = new QPushButton(QStringLiteral("Remove dupes from list"), this);
    Command3 = new QPushButton(QStringLiteral("Check for Missing Stock"), this);
    Command4 = new QPushButton(QStringLiteral("Prepare to Print"), this);
    Command2 = new QPushButton(QStringLiteral("Exit"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4->setObjectName(QStringLiteral("Command4"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &frmListRS::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmListRS::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmListRS::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmListRS::Command4_Click);
}

frmListRS::~frmListRS() = default;

frmListRS& frmListRS::instance()
{
    return theList.instance([] { return platform::deletedOnClose(new frmListRS()); });
}

frmListRS* frmListRS::existing()
{
    return theList.loaded();
}

void frmListRS::showStock(const QString& scenarioXml)
{
    scenarioXml_ = scenarioXml;
    Form_Load();
    if (platform::isUnloaded(this))
        return; // "Exit" was pressed while the list was made
    platform::bringToFront(this);
}

void frmListRS::Form_Load()
{
    // Sorted, and without the duplicates, which would otherwise be taken out of the list
    // one row at a time.
    List1->clear();
    List1->addItems(routes::StockList(scenarioXml_));
    ui().doEvents();
    if (platform::isUnloaded(this))
        return;
    Command1_Click();
    ui().doEvents();
}

QStringList frmListRS::entries() const
{
    QStringList out;
    out.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i)
        out.append(List1->item(i)->text());
    return out;
}

void frmListRS::Command1_Click()
{
    for (int i = List1->count() - 1; i >= 0; --i) {
        const QString before = i > 0 ? List1->item(i - 1)->text() : QString();
        if (List1->item(i)->text() == before)
            delete List1->takeItem(i);
    }
}

void frmListRS::Command2_Click()
{
    close();
}

void frmListRS::Command3_Click()
{
    showReport(routes::MissingStockReport(shared().GamePath, entries()));
}

void frmListRS::Command4_Click()
{
    const QString report = routes::PrintStockReport(shared().GamePath, entries());
    if (!report.isEmpty())
        showReport(report);
}
