#include "common/frmReport.h"

#include "common/PrinterDialogWidgets.h"
#include "common/ReportFile.h"
#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextFrame>
#include <QVBoxLayout>

#include <memory>

namespace {

platform::OneWindow<frmReport> theReport;

// Lays the document out on the printer's pages with 2 cm margins. A document with a page size
// of its own prints as it is laid out, without page numbers. The layout takes frame margins in
// the units of the screen the text was shown on (screenDpi) and scales them to the printer.
void layOutForPrinter(QTextDocument& document, QPrinter& printer, int screenDpi)
{
    document.documentLayout()->setPaintDevice(&printer);
    const qreal margin = screenDpi * 2 / 2.54;
    QTextFrameFormat format = document.rootFrame()->frameFormat();
    format.setMargin(margin);
    document.rootFrame()->setFrameFormat(format);
    document.setPageSize(QSizeF(printer.width(), printer.height()));
}

} // namespace

frmReport::frmReport(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report:-"));
    resize(760, 560);
    platform::openOnScreen(this);

    List1 = windowparts::makeNamed<QListWidget>(this, "List1");
    RTB1 = windowparts::makeNamed<QTextEdit>(this, "RTB1");
    RTB1->setAcceptRichText(false);
    List1->hide();

    Command1 = new QPushButton(QStringLiteral("Exit"), this);
    Command2 = new QPushButton(QStringLiteral("Save"), this);
    Command3 = new QPushButton(QStringLiteral("Print"), this);
    Command4 = new QPushButton(QStringLiteral("Remove Dupes from List"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4->setObjectName(QStringLiteral("Command4"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    buttons->addStretch(1);
    buttons->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addWidget(RTB1, 1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &frmReport::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmReport::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmReport::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmReport::Command4_Click);
}

frmReport::~frmReport() = default;

frmReport& frmReport::instance()
{
    return theReport.instance([] { return platform::deletedOnClose(new frmReport()); });
}

frmReport* frmReport::existing()
{
    return theReport.loaded();
}

void frmReport::showReport(bool modal)
{
    if (modal) {
        ui().showModal(this);
        return;
    }
    platform::bringToFront(this);
}

void frmReport::setPrinterDialog(PrinterDialog dialog)
{
    PrinterDialogOf<frmReport>::set(std::move(dialog));
}

void frmReport::Command1_Click()
{
    close();
}

void frmReport::Command2_Click()
{
    FileDialogRequest request;
    request.initDir = platform::programFolder() + QStringLiteral("\\Reports");
    request.filter = QStringLiteral("Text Files (*.txt)|*.txt");
    request.title = QStringLiteral("Save Object File");
    const QString name = ui().saveFile(request);
    if (name.isEmpty())
        return; // cancelled: nothing is written

    QStringList rows;
    rows.reserve(List1->count());
    for (int row = 0; row < List1->count(); ++row)
        rows.append(List1->item(row)->text());
    SaveReportFile(name, ReportFileText(RTB1->toPlainText(), rows));
}

void frmReport::Command3_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    const QTextCursor cursor = RTB1->textCursor();
    printer.setPrintRange(cursor.hasSelection() ? QPrinter::Selection : QPrinter::AllPages);
    if (!PrinterDialogOf<frmReport>::ask(printer, this, PrintRangeChoice::Selection))
        return;

    // The selection when text is selected (and the dialog kept that choice), else the whole
    // text. The list is never printed; an empty text prints nothing, not a blank page.
    std::unique_ptr<QTextDocument> document;
    if (cursor.hasSelection() && printer.printRange() == QPrinter::Selection) {
        document = std::make_unique<QTextDocument>();
        document->setDefaultFont(RTB1->document()->defaultFont());
        QTextCursor(document.get()).insertFragment(cursor.selection());
    } else {
        document.reset(RTB1->document()->clone());
    }
    if (document->toPlainText().isEmpty())
        return;
    layOutForPrinter(*document, printer, RTB1->logicalDpiX());
    document->print(&printer);
}

void frmReport::Command4_Click()
{
    // From the last row up, each row equal to the row before it goes; the first row is
    // compared with an empty text.
    for (int row = List1->count() - 1; row >= 0; --row) {
        const QString before = row > 0 ? List1->item(row - 1)->text() : QString();
        if (List1->item(row)->text() == before)
            delete List1->takeItem(row);
    }
}
