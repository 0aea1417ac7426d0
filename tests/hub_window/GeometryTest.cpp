// Where the windows open and what the settings keep of the main window's place: the stored
// outer size comes back as the outer size run after run, and no window opens larger than the
// screen or off it.

#include "WindowTestSupport.h"

#include "common/frmReport.h"
#include "routes/frmDelRoute.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "support/ScenarioEditorOpen.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <functional>
#include <vector>

#include <ostream>

static void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

struct Place {
    qint16 Width, Height, Top, Left; // twips, as the settings file holds them
};

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class GeometryTest : public WindowTest {
protected:
    QByteArray settingsWith(const Place& place)
    {
        PreferencesRecord rec;
        rec.Width = place.Width;
        rec.Height = place.Height;
        rec.Top = place.Top;
        rec.Left = place.Left;
        rec.GamePath = tree.gamePath();
        rec.Reserved = QStringLiteral("kept");
        return FormatPreferences(rec);
    }
    QByteArray settings() const { return tree.readFile(QStringLiteral("program/preferences.txt")); }

    // Starts the program's main window as the program does (start-up, then shown), lets
    // `look` see it, and closes it; the settings file then holds what shut-down wrote.
    void run(const std::function<void(frmEditor&)>& look = nullptr)
    {
        auto w = startWindow();
        w->show();
        QCoreApplication::processEvents();
        if (look)
            look(*w);
        EXPECT_TRUE(w->close());
    }
};

TEST_F(GeometryTest, StartAndExitLeaveTheSettingsAsTheyWere)
{
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    // Whole pixels, and values between pixels that the window can only come near.
    for (const Place& place : {Place{9000, 6000, 600, 1200}, Place{9007, 6001, 607, 1201}}) {
        const QByteArray file = settingsWith(place);
        tree.writeFile(QStringLiteral("program/preferences.txt"), file);
        for (int start = 1; start <= 3; ++start) {
            run([&](frmEditor& w) {
                // The stored size is the outer size, frame included.
                EXPECT_EQ(w.frameGeometry(), QRect(80, 40, 600, 400)) << place.Width << " run " << start;
                EXPECT_NE(w.geometry().size(), w.frameGeometry().size()) << "the offscreen frame is counted";
            });
            EXPECT_EQ(settings(), file) << place.Width << " after run " << start;
        }
    }
}

TEST_F(GeometryTest, TooLargeOrLostMainWindowOpensOnTheScreenAndIsStoredAsItStood)
{
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    const QRect screen = available();
    struct Row {
        const char* what;
        Place stored;
        QSize expectedSize; // pixels
    };
    const std::vector<Row> rows = {
        // The design size, 1120 by 840 pixels, is more than the offscreen screen's height.
        {"design size", {16800, 12600, 600, 1200}, QSize(1120, 840).boundedTo(screen.size())},
        {"as large as the record holds", {32767, 32767, 0, 0}, QSize(2184, 2184).boundedTo(screen.size())},
        {"far off to the right and above", {9000, 6000, -30000, 30000}, QSize(600, 400)},
        {"far off to the left and below", {9000, 6000, 30000, -30000}, QSize(600, 400)},
    };
    ASSERT_LT(screen.height(), 840) << "the offscreen screen is expected to be smaller than the design size";
    for (const Row& row : rows) {
        tree.writeFile(QStringLiteral("program/preferences.txt"), settingsWith(row.stored));
        QRect stood;
        run([&](frmEditor& w) {
            stood = w.frameGeometry();
            EXPECT_TRUE(screen.contains(stood)) << row.what;
            EXPECT_EQ(stood.size(), row.expectedSize) << row.what;
            // The layout follows the size the window got: the tab control lies in the client area.
            const QRect tab = w.SSTab1->geometry();
            EXPECT_LE(tab.right(), w.centralWidget()->width()) << row.what;
            EXPECT_LE(tab.bottom(), w.centralWidget()->height()) << row.what;
        });
        // Written back as the window stood, so the next start opens it the same way.
        const QByteArray written = settings();
        EXPECT_EQ(written, settingsWith({qint16(stood.width() * 15), qint16(stood.height() * 15),
                                         qint16(stood.y() * 15), qint16(stood.x() * 15)}))
            << row.what;
        run([&](frmEditor& w) { EXPECT_EQ(w.frameGeometry(), stood) << row.what; });
        EXPECT_EQ(settings(), written) << row.what;
    }
}

TEST_F(GeometryTest, EveryWindowOpensWithinTheScreen)
{
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    ASSERT_TRUE(installSerz(tree.systemPath()));
    tree.makeDir(QStringLiteral("program/TempFiles"));
    shared().GamePath = tree.gamePath();
    const QRect screen = available();

    struct Row {
        const char* what;
        std::function<QWidget*()> open; // a shown window
    };
    const std::vector<Row> rows = {
        {"main window at its design size",
         [] {
             auto* w = new frmEditor;
             w->setAttribute(Qt::WA_DeleteOnClose);
             w->show();
             return w;
         }},
        {"route list",
         [] {
             frmDelRoute* w = &frmDelRoute::instance();
             w->show();
             return w;
         }},
        {"scenario browser", [] { return frmShowRoutes::showBrowser(); }},
        {"scenario editor",
         [] { return openScenarioEditorFromBrowser(); }},
        {"report",
         [] {
             auto* w = new frmReport;
             w->setAttribute(Qt::WA_DeleteOnClose);
             w->show();
             return w;
         }},
    };
    for (const Row& row : rows) {
        QPointer<QWidget> w = row.open();
        ASSERT_TRUE(w) << row.what;
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.contains(w->frameGeometry())) << row.what << ": " << w->frameGeometry().width() << "x"
                                                         << w->frameGeometry().height();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    frmZelvorn::unloadEditor();
    frmShowRoutes::unloadBrowser();
    frmShowRoutes::setScenarioEditorLauncher(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
