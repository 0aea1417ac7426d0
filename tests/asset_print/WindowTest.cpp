// The asset list's print preview end to end: "Print List" opens it and the document is built
// at once, every page carries its footer and every listed row is printed once, "Cancel" stops
// the output, "&Exit" during a build waits for it, a busy build is not restarted, and only the
// asset grid is printed.

#include "assets_window/AssetsWindowFixture.h"

#include "assets/fEZPrint.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMap>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

class AssetPrintTest : public AssetsWindowTest {
protected:
    void TearDown() override
    {
        fEZPrint::setPrinterDialog(nullptr);
        closePreview();
        AssetsWindowTest::TearDown();
    }

    // Fills the asset list with rows named "Item <k>", k from 1.
    frmAssets* listed(int rows)
    {
        frmAssets* w = open();
        for (int k = 1; k <= rows; ++k) {
            w->VsFg1->AddItem(QStringLiteral("Prov\tProd\tScenery\\Item%1.bin\tItem %1\tYes\tCat").arg(k));
        }
        return w;
    }

    // Loads the preview as "Print List" does, watching its page progress from the start;
    // onProgress runs at every page before window events are processed.
    fEZPrint* loadWatched()
    {
        shared().PrintSource = 5;
        shared().PrintOption = 1;
        progress.clear();
        auto* p = new fEZPrint;
        QObject::connect(p, &fEZPrint::pageProgress, p, [this, p](int page, int count) {
            progress << page;
            pageCount = count;
            if (onProgress)
                onProgress(p, page);
        });
        p->show();
        p->Form_Load();
        return p;
    }

    void closePreview()
    {
        if (fEZPrint* p = fEZPrint::loaded()) {
            p->close();
            delete p;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Prints the preview's document through the toolbar to a PDF; returns its path.
    QString printToPdf(fEZPrint* p, const QString& rel)
    {
        const QString file = tree.path(rel);
        fEZPrint::setPrinterDialog([file](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        });
        p->PrintAction->trigger();
        return file;
    }

    // The text of each page of a PDF (pdftotext splits pages by form feeds).
    static QStringList pdfPages(const QString& file)
    {
        QProcess run;
        run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        if (!run.waitForFinished(60000))
            return {};
        QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    static int pdfPageCount(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    }

    QList<int> progress;
    int pageCount = 0;
    std::function<void(fEZPrint*, int)> onProgress;
};

// How often each "Item <n>" occurs in the pages' text.
QMap<int, int> itemCounts(const QStringList& pages)
{
    QMap<int, int> counts;
    static const QRegularExpression item(QStringLiteral("\\bItem (\\d+)\\b"));
    for (const QString& page : pages) {
        for (auto m = item.globalMatch(page); m.hasNext();)
            ++counts[m.next().captured(1).toInt()];
    }
    return counts;
}

TEST_F(AssetPrintTest, PrintListBuildsAtOnceAndPrintsEveryRowOnceWithItsPageFooter)
{
    frmAssets* w = listed(200);
    ASSERT_TRUE(w->Command2->isVisibleTo(w));
    w->Command2->click();
    fEZPrint* p = fEZPrint::loaded();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(shared().PrintSource, 5);
    EXPECT_EQ(shared().PrintOption, 1);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_EQ(p->Command1->text(), QStringLiteral("Pre&view"));
    EXPECT_TRUE(p->Command1->isHidden());
    EXPECT_FALSE(p->isBuilding());
    const int pages = p->documentPages();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(p->VSPrinter->pageCount(), pages);
    EXPECT_EQ(p->documentRows(), 201) << "the empty row 1 and the 200 listed rows";
    EXPECT_EQ(p->Label1->text(), QStringLiteral("Saving Page %1 Of %1").arg(pages));
    EXPECT_TRUE(p->PrintAction->isEnabled());

    // A second press shows the open preview; nothing is built again.
    w->Command2->click();
    EXPECT_EQ(fEZPrint::loaded(), p);

    // The document is the grid as it was: clearing the list afterwards changes nothing.
    w->Command5_Click();
    const QString pdf = printToPdf(p, QStringLiteral("list.pdf"));
    const int printed = pdfPageCount(pdf);
    ASSERT_GE(printed, 3);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed: the pages' text is not checked";
    const QStringList text = pdfPages(pdf);
    ASSERT_EQ(text.size(), printed);
    for (int k = 1; k <= printed; ++k) {
        const QString page = text[k - 1];
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("Page %1\\s*$").arg(k)))) << "page " << k;
        EXPECT_TRUE(page.contains(QStringLiteral("Provider"))) << "header on page " << k;
        EXPECT_TRUE(page.contains(QStringLiteral("In Scenarios"))) << "header on page " << k;
    }
    const QMap<int, int> counts = itemCounts(text);
    EXPECT_EQ(counts.size(), 200);
    for (int n = 1; n <= 200; ++n)
        EXPECT_EQ(counts.value(n), 1) << "Item " << n;
    EXPECT_TRUE(text.first().contains(QStringLiteral("Item 1 ")));
    EXPECT_TRUE(text.last().contains(QStringLiteral("Item 200 ")));
}

TEST_F(AssetPrintTest, CancelAtPageTwoStopsTheOutputAndTheNextOpeningBuildsInFull)
{
    frmAssets* w = listed(200);
    onProgress = [](fEZPrint* p, int page) {
        if (page == 2)
            p->Command5->click();
    };
    fEZPrint* p = loadWatched();
    EXPECT_EQ(progress, QList<int>({1, 2}));
    const int fullCount = pageCount;
    ASSERT_GE(fullCount, 3);
    EXPECT_EQ(p->documentPages(), 2);
    EXPECT_EQ(p->VSPrinter->pageCount(), 2);
    EXPECT_TRUE(p->Command5->isHidden());
    EXPECT_TRUE(p->CancelRequested);
    EXPECT_EQ(p->Label1->text(), QStringLiteral("Saving Page 2 Of %1").arg(fullCount));
    // Printing the cut document prints its two pages' rows, not the whole list.
    const QString pdf = printToPdf(p, QStringLiteral("cut.pdf"));
    EXPECT_EQ(pdfPageCount(pdf), 2);

    p->Command2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fEZPrint::loaded(), nullptr);

    onProgress = nullptr;
    w->Command2->click();
    fEZPrint* again = fEZPrint::loaded();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->documentPages(), fullCount);
    EXPECT_FALSE(again->CancelRequested);
    EXPECT_FALSE(again->Command5->isHidden());
}

TEST_F(AssetPrintTest, ExitDuringABuildStopsItAndClosesWhenItHasEnded)
{
    listed(200);
    QPointer<fEZPrint> p;
    onProgress = [&p](fEZPrint* window, int page) {
        p = window;
        if (page == 2) {
            window->Command2->click();
            EXPECT_TRUE(window->isVisible()); // not in the middle of the build
        }
    };
    loadWatched();
    EXPECT_EQ(progress, QList<int>({1, 2}));
    EXPECT_EQ(fEZPrint::loaded(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(p.isNull());
}

TEST_F(AssetPrintTest, ABuildAskedForWhileOneRunsDoesNotRestartIt)
{
    listed(200);
    int nested = 0;
    onProgress = [&nested](fEZPrint* p, int page) {
        if (page == 1 && nested++ == 0)
            p->Command1_Click();
    };
    fEZPrint* p = loadWatched();
    ASSERT_GE(pageCount, 3);
    QList<int> all;
    for (int k = 1; k <= pageCount; ++k)
        all << k;
    EXPECT_EQ(progress, all);
    EXPECT_EQ(p->documentPages(), pageCount);
    EXPECT_TRUE(p->Command1->isHidden());
}

TEST_F(AssetPrintTest, OnlyTheAssetGridIsPrinted)
{
    listed(20);
    shared().PrintSource = 4;
    shared().PrintOption = 1;
    auto* p = new fEZPrint;
    bool asked = false;
    QObject::connect(p, &fEZPrint::pageProgress, p, [&asked] { asked = true; });
    p->show();
    p->Form_Load();
    EXPECT_FALSE(asked);
    EXPECT_EQ(p->documentPages(), 0);
    EXPECT_EQ(p->VSPrinter->pageCount(), 0);
    bool dialog = false;
    fEZPrint::setPrinterDialog([&dialog](QPrinter&, QWidget*) { return dialog = true; });
    p->PrintAction->trigger();
    EXPECT_FALSE(dialog); // no document, nothing to print
}

TEST_F(AssetPrintTest, ResizeKeepsThePreviewBesideTheMarginsAndASmallWindowRaisesNothing)
{
    listed(1);
    fEZPrint* p = loadWatched();
    EXPECT_EQ(p->documentPages(), 1);
    p->resize(700, 500);
    const QRect exit = p->Command2->geometry();
    const TwipsRect r = p->previewArea();
    EXPECT_EQ(r.Left, 150);
    EXPECT_EQ(r.Width, p->width() * 15 - 300);
    EXPECT_EQ(r.Top, (exit.y() + exit.height()) * 15 + 100);
    EXPECT_EQ(r.Height, p->height() * 15 - r.Top);
    EXPECT_EQ(p->VSPrinter->geometry(), QRect(10, (r.Top + 7) / 15, p->width() - 20, p->height() - (r.Top + 7) / 15));
    p->resize(12, 12); // too small: no message (the scripted seam fails on any)
    EXPECT_EQ(p->previewArea().Left, 150);
}

} // namespace
