#include "common/frmReport.h"

#include "common/ReportFile.h"
#include "platform/TextCodec.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WidgetRows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QDir>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Number of pages in a PDF file written by Qt; -1 when there is no file.
int pdfPages(const TempTree& tree, const QString& rel)
{
    if (!tree.exists(rel))
        return -1;
    const QString pdf = QString::fromLatin1(tree.readFile(rel));
    if (!pdf.startsWith(QStringLiteral("%PDF")))
        return -1;
    return int(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

class ReportWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.makeDir(QStringLiteral("program/Reports"));
        w = std::make_unique<frmReport>();
    }
    void TearDown() override
    {
        frmReport::setPrinterDialog(nullptr);
        ui.verifyDone();
    }

    void fillList(const QStringList& lines)
    {
        w->RTB1->hide();
        w->List1->show();
        for (const QString& line : lines)
            w->List1->addItem(line);
    }

    // Prints through a dialog that picks a PDF file; returns the file's page count.
    int printToPdf(const QString& rel)
    {
        const QString path = tree.path(rel);
        frmReport::setPrinterDialog([path](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        });
        w->Command3_Click();
        return pdfPages(tree, rel);
    }

    TempTree tree;
    ScriptedUi ui;
    std::unique_ptr<frmReport> w;
};

} // namespace

TEST_F(ReportWindow, SavesTheListRowsEachWithCrLf)
{
    fillList({QStringLiteral("Missing A"), QString(), QStringLiteral("Caf\u00e9 B")});
    const QString file = tree.path(QStringLiteral("program/Reports/list.txt"));
    ui.expectSaveFile(file);
    w->Command2_Click();
    EXPECT_EQ(tree.readFile(file), QByteArray("Missing A\r\n\r\nCaf\xe9 B\r\n"));

    const ScriptedUi::Dialog dialog = ui.lastDialog();
    EXPECT_EQ(dialog.kind, ScriptedUi::Kind::SaveFile);
    EXPECT_EQ(dialog.request.title, QStringLiteral("Save Object File"));
    EXPECT_EQ(dialog.request.filter, QStringLiteral("Text Files (*.txt)|*.txt"));
    EXPECT_EQ(dialog.request.initDir, tree.programPath() + QStringLiteral("\\Reports"));

    // An empty list is saved as an empty file, replacing the old one.
    w->List1->clear();
    ui.expectSaveFile(file);
    w->Command2_Click();
    EXPECT_TRUE(tree.exists(QStringLiteral("program/Reports/list.txt")));
    EXPECT_EQ(tree.readFile(file), QByteArray());
}

TEST_F(ReportWindow, SavesTheRichTextWhenThereIsAnyEvenWithListRows)
{
    w->List1->addItem(QStringLiteral("a row"));
    w->RTB1->setPlainText(QStringLiteral("Texture Check:-\r\n\r\nMissing x.dds\r\n"));
    const QString file = tree.path(QStringLiteral("program/Reports/text.txt"));
    ui.expectSaveFile(file);
    w->Command2_Click();
    EXPECT_EQ(tree.readFile(file), QByteArray("Texture Check:-\r\n\r\nMissing x.dds\r\n"));

    EXPECT_EQ(ReportFileText(QStringLiteral("a\nb\r\nc"), {QStringLiteral("row")}), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(ReportFileText(QString(), {QStringLiteral("r1"), QStringLiteral("r2")}), QStringLiteral("r1\r\nr2\r\n"));
}

TEST_F(ReportWindow, ACancelledOrFailedSaveWritesNothing)
{
    fillList({QStringLiteral("row")});
    ui.expectSaveFile(QString());
    w->Command2_Click();
    EXPECT_TRUE(QDir(tree.path(QStringLiteral("program/Reports"))).isEmpty());

    const QString unwritable = tree.path(QStringLiteral("program/No Such Folder/r.txt"));
    ui.expectSaveFile(unwritable);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("An error occurred while writing ") + unwritable);
    w->Command2_Click();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/No Such Folder")));

    // A report row naming a path the code page cannot hold: never saved with "?" for its letters.
    const QString foreign = QStringLiteral("C:\\Users\\") + unwritableName() + QStringLiteral("\\Assets\\a.bin");
    w->List1->clear();
    fillList({QStringLiteral("first"), foreign});
    const QString saved = tree.path(QStringLiteral("program/Reports/r.txt"));
    tree.writeFile(saved, "old report");
    ui.expectSaveFile(saved);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("was not written"));
    w->Command2_Click();
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("The file ") + saved + QStringLiteral(" was not written: the system's code page (")
                                         + platform::ansiCodePageName() + QStringLiteral(") cannot hold \"")
                                         + platform::firstUnfitAnsi(foreign) + QStringLiteral("\" in the line\r\n") + foreign);
    EXPECT_EQ(tree.readFile(saved), "old report");
}

TEST_F(ReportWindow, RemovesAdjacentDuplicateRowsOnly)
{
    fillList({"A", "A", "B", "A"});
    w->Command4_Click();
    EXPECT_EQ(listRows(w->List1), (QStringList{"A", "B", "A"}));

    w->List1->clear();
    fillList({"a", "A", "A", "A"});
    w->Command4_Click();
    EXPECT_EQ(listRows(w->List1), (QStringList{"a", "A"}));

    // The first row is compared with an empty text.
    w->List1->clear();
    fillList({"", "", "x"});
    w->Command4_Click();
    EXPECT_EQ(listRows(w->List1), (QStringList{"x"}));
}

TEST_F(ReportWindow, PrintsTheRichTextOrItsSelectionWithoutStrayPages)
{
    w->List1->addItem(QStringLiteral("never printed"));
    EXPECT_EQ(printToPdf(QStringLiteral("empty.pdf")), -1); // nothing to print: no page at all

    w->RTB1->setPlainText(QStringLiteral("One short line\r\n"));
    EXPECT_EQ(printToPdf(QStringLiteral("short.pdf")), 1);

    QString longText;
    for (int i = 0; i < 300; ++i)
        longText += QStringLiteral("Line %1 of the report\r\n").arg(i);
    w->RTB1->setPlainText(longText);
    const int allPages = printToPdf(QStringLiteral("long.pdf"));
    EXPECT_GE(allPages, 3);

    QTextCursor cursor(w->RTB1->document());
    cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
    w->RTB1->setTextCursor(cursor);
    EXPECT_EQ(printToPdf(QStringLiteral("selection.pdf")), 1);

    // A dialog that is cancelled prints nothing.
    frmReport::setPrinterDialog([](QPrinter&, QWidget*) { return false; });
    w->Command3_Click();
}

TEST_F(ReportWindow, ShownModallyOrNotAndExitDiscardsTheReport)
{
    QPointer<frmReport> report = &frmReport::instance();
    EXPECT_EQ(frmReport::existing(), report.data());
    report->setWindowTitle(QStringLiteral("Following item(s) were missing from this route:-"));
    report->List1->addItem(QStringLiteral("row"));
    ui.expectModal([](QWidget* window) { static_cast<frmReport*>(window)->Command1_Click(); },
                   QStringLiteral("were missing"));
    report->showReport(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(report.isNull());

    frmReport& next = frmReport::instance();
    EXPECT_EQ(next.windowTitle(), QStringLiteral("Report:-"));
    EXPECT_EQ(next.List1->count(), 0);
    next.showReport(false);
    EXPECT_TRUE(next.isVisible());
    EXPECT_TRUE(ui.dialogs().size() == 1); // the non-modal showing is no dialog
    next.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmReport::existing(), nullptr);
}
