// The viewer's Twain menu on SANE's "test" backend: the source list and the choice kept for the
// run, acquiring into the work file with the commands off meanwhile, no device, a failed and a
// cancelled scan.

#include "hub/frmGFX.h"

#include "TestScanner.h"
#include "common/SharedState.h"
#include "hub/dlgScanSource.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class ScanWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        shared().GamePath = tree.gamePath();
        tree.makeDir(QStringLiteral("game/Assets"));
    }

    void TearDown() override
    {
        if (frmGFX* v = frmGFX::existing())
            delete v;
        flushDeletes();
    }

    bool workFileExists() const { return tree.exists(QStringLiteral("program/temp.bmp")); }

    // Shows a small picture first, so that an empty picture afterwards is the scan's doing.
    void showPicture(frmGFX* v)
    {
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(qRgb(0, 0, 255));
        const QString png = tree.path(QStringLiteral("game/Pic.png"));
        ASSERT_TRUE(picture.save(png, "PNG"));
        ui.expectOpenFile(png);
        v->mnuFileOpen_Click();
        ASSERT_FALSE(v->Picture1->pixmap().isNull());
    }

    ScriptedUi ui;
    TempTree tree;
};

QStringList listed(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

} // namespace

TEST_F(ScanWindow, SourceListKeepsTheChoiceAndAcquireShowsTheScannedPicture)
{
    TestScannerSettings two;
    two.devices = 2;
    TestScanner scanner(two);
    frmGFX* v = frmGFX::instance();
    EXPECT_EQ(v->mnuseltwain->text(), QStringLiteral("Select Twain Source"));
    EXPECT_EQ(v->mnutwaq->text(), QStringLiteral("Acquire Image"));
    QStringList menus;
    for (QAction* a : v->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&File"), QStringLiteral("Image"), QStringLiteral("Twain"), QStringLiteral("Browser")}));

    // The list shows both devices with the first selected; the second is picked.
    QStringList shown;
    int selected = -1;
    ui.expectModal(
        [&](QWidget* w) {
            auto* d = qobject_cast<dlgScanSource*>(w);
            ASSERT_NE(d, nullptr);
            shown = listed(d->List1);
            selected = d->List1->currentRow();
            d->List1->setCurrentRow(1);
            d->OKButton->click();
        },
        QStringLiteral("Select Twain Source"));
    v->mnuseltwain_Click();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("test:0 - Noname frontend-tester virtual device"),
                                  QStringLiteral("test:1 - Noname frontend-tester virtual device")}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(hub::ChosenScanSource(), QStringLiteral("test:1"));

    // A second opening selects the kept choice; cancelling keeps it.
    ui.expectModal(
        [&](QWidget* w) {
            auto* d = qobject_cast<dlgScanSource*>(w);
            ASSERT_NE(d, nullptr);
            selected = d->List1->currentRow();
            d->List1->setCurrentRow(0);
            d->CancelButton->click();
        },
        QStringLiteral("Select Twain Source"));
    v->mnuseltwain_Click();
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(hub::ChosenScanSource(), QStringLiteral("test:1"));

    // While the scanner sends, window events are processed and the commands are off.
    bool ranDuringScan = false;
    bool menusOn = true;
    bool listOn = true;
    QTimer::singleShot(0, v, [&] {
        ranDuringScan = true;
        menusOn = v->menuBar()->isEnabled();
        listOn = v->File1->isEnabled();
    });
    v->mnutwaq_Click();
    EXPECT_TRUE(ranDuringScan);
    EXPECT_FALSE(menusOn);
    EXPECT_FALSE(listOn);
    EXPECT_TRUE(v->menuBar()->isEnabled());
    EXPECT_TRUE(v->File1->isEnabled());

    const QImage shownImage = v->Picture1->pixmap().toImage();
    EXPECT_EQ(shownImage.size(), QSize(31, 39));
    EXPECT_EQ(shownImage.pixel(4, 8), qRgb(255, 0, 0));
    EXPECT_EQ(shownImage.pixel(4, 28), qRgb(0, 0, 255));
    ASSERT_TRUE(workFileExists());
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView"));

    // The image commands act on the scanned picture.
    v->rot_Click();
    EXPECT_EQ(v->Picture1->pixmap().size(), QSize(39, 31));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ScanWindow, NoDeviceGivesAMessageAndAnEmptyPicture)
{
    TestScanner scanner({}, false);
    frmGFX* v = frmGFX::instance();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No scanner was found"));
    v->mnuseltwain_Click();
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));

    showPicture(v);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No scanner was found"));
    v->mnutwaq_Click();
    EXPECT_TRUE(v->Picture1->pixmap().isNull());
    EXPECT_FALSE(workFileExists());
    EXPECT_TRUE(v->menuBar()->isEnabled());
}

TEST_F(ScanWindow, FailedAndCancelledScansEmptyThePicture)
{
    frmGFX* v = frmGFX::instance();
    {
        TestScannerSettings s;
        s.readStatus = QStringLiteral("SANE_STATUS_IO_ERROR");
        s.resolution = kLargePictureResolution;
        TestScanner scanner(s);
        // With a source chosen there is no device search: the timer runs between the reads.
        hub::SetChosenScanSource(QStringLiteral("test:0"));
        showPicture(v);
        QTimer::singleShot(0, v, [] { QThread::msleep(kBackendSettleMs); });
        ui.expectMsgBox(vb::vbOK, QStringLiteral("The image could not be acquired: the scanner test:0 reported: Error during device I/O."));
        v->mnutwaq_Click();
        EXPECT_TRUE(v->Picture1->pixmap().isNull());
        EXPECT_FALSE(workFileExists());
    }
    {
        // Closing the window during the scan cancels it; the window closes once it stopped.
        TestScannerSettings s;
        s.resolution = kLargePictureResolution;
        TestScanner scanner(s);
        hub::SetChosenScanSource(QStringLiteral("test:0"));
        showPicture(v);
        QPointer<frmGFX> guard(v);
        v->show();
        QTimer::singleShot(0, v, [v] {
            QThread::msleep(kBackendSettleMs);
            v->close();
        });
        ui.expectMsgBox(vb::vbOK, QStringLiteral("The scan was cancelled"));
        v->mnutwaq_Click();
        EXPECT_FALSE(workFileExists());
        ASSERT_TRUE(guard);
        EXPECT_TRUE(v->Picture1->pixmap().isNull());
        flushDeletes();
        EXPECT_FALSE(guard);
        EXPECT_EQ(frmGFX::existing(), nullptr);
    }
}

// Looking for scanners can take seconds: "Select Twain Source" and "Acquire Image" (with no
// source chosen) search off the window's thread under the busy pointer while window events go
// on (the window painting, its commands off), and the pointer comes back before the result is
// shown. Closing the window meanwhile closes it after the search.
TEST_F(ScanWindow, SourceSearchRunsBesideTheWindowUnderTheBusyPointer)
{
    TestScanner scanner({}, false); // SANE itself finds nothing: only the rows' searches answer
    struct Seen {
        QThread* thread = nullptr;
        int pointer = -1;
        bool eventsFlowed = false;
    };
    const hub::ScanSourceList oneScanner{{{QStringLiteral("test:0"), {}, {}, {}}}, {}};
    struct Row {
        const char* what;
        bool acquire; // "Acquire Image", else "Select Twain Source"
        hub::ScanSourceList found;
        bool closeMeanwhile;
        const char* message; // null: the source list, or nothing when closed
    } rows[] = {
        {"select: no scanner", false, {}, false, "No scanner was found. Connect a scanner that SANE supports and try again."},
        {"select: SANE refuses", false, {{}, QStringLiteral("Invalid argument")}, false,
         "The scanners could not be listed: Invalid argument"},
        {"select: one scanner", false, oneScanner, false, nullptr},
        {"select: closed while searching", false, oneScanner, true, nullptr},
        {"acquire: no scanner", true, {}, false, "No scanner was found. Connect a scanner that SANE supports and try again."},
        {"acquire: SANE refuses", true, {{}, QStringLiteral("Invalid argument")}, false,
         "The image could not be acquired: the scanners could not be listed (Invalid argument)."},
        {"acquire: closed while searching", true, oneScanner, true, "The scan was cancelled: there is no image."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QPointer<frmGFX> v = frmGFX::instance();
        v->show();
        Seen seen;
        std::promise<void> pumped;
        std::future<void> pumpedSeen = pumped.get_future();
        const hub::ScanSourceSearch before = hub::SetScanSourceSearch([&] {
            seen.thread = QThread::currentThread();
            seen.pointer = ui.mousePointer();
            // Ends once the window's thread has run an event posted before the search began.
            seen.eventsFlowed = pumpedSeen.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
            return row.found;
        });
        bool menusOn = true;
        QTimer::singleShot(0, v, [&] {
            menusOn = v->menuBar()->isEnabled();
            if (row.closeMeanwhile)
                v->close();
            pumped.set_value();
        });
        ui.clearRecords();
        if (row.message)
            ui.expectMsgBox(vb::vbOK, QString::fromUtf8(row.message));
        else if (!row.closeMeanwhile)
            ui.expectModal([](QWidget* w) { w->close(); }, QStringLiteral("Select Twain Source"));
        if (row.acquire)
            v->mnutwaq_Click();
        else
            v->mnuseltwain_Click();
        // A timer the command did not run runs now, while what it touches is still there.
        QCoreApplication::processEvents();
        hub::SetScanSourceSearch(before);
        ui.verifyDone();

        EXPECT_NE(seen.thread, nullptr);
        EXPECT_NE(seen.thread, QThread::currentThread());
        EXPECT_EQ(seen.pointer, int(vb::vbHourglass));
        EXPECT_TRUE(seen.eventsFlowed);
        EXPECT_FALSE(menusOn);
        EXPECT_EQ(ui.pointerHistory(), (QList<int>{vb::vbHourglass, vb::vbDefault}));
        if (row.message)
            EXPECT_EQ(ui.lastMessage().text, QString::fromUtf8(row.message));
        else
            EXPECT_TRUE(ui.messages().isEmpty());
        if (row.acquire)
            EXPECT_FALSE(workFileExists());
        if (row.closeMeanwhile) {
            flushDeletes();
            EXPECT_FALSE(v);
        } else {
            ASSERT_TRUE(v);
            EXPECT_TRUE(v->menuBar()->isEnabled());
        }
    }
}
