// Closing the route check's report window and the route list, in every order, while
// "Check Selected Route" has just shown a report: through the program's own Qt seam, with the
// route list as the program opens it (its one instance, deleted when closed) and every question
// answered Yes. A report window closed by the user must be gone without taking anything shown
// after it along (the next question's message box was once deleted with it).

#include "routes/frmDelRoute.h"

#include "CheckGame.h"
#include "common/frmReport.h"
#include "platform/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace {

enum class Step {
    ReportExit,  // the report's "Exit" button
    ReportClose, // the report's close box
    ListExit,    // the route list's "&Exit" button
    ListClose,   // the route list's close box
    Events,      // the program's event loop runs (deferred deletions included)
};

struct CloseOrder {
    const char* name;
    int atReport;                 // 0 the missing list ... 3 the texture list, the check's last
    std::vector<Step> whileShown; // done while that report is shown (a report is always closed)
    std::vector<Step> afterCheck; // done once the check has returned, before any event runs
};

const std::vector<CloseOrder> kOrders = {
    {"report Exit, then list Exit", 3, {Step::ReportExit}, {Step::ListExit}},
    {"report close box, then list close box", 3, {Step::ReportClose}, {Step::ListClose}},
    {"list Exit (refused while checking), then report Exit", 3, {Step::ListExit, Step::ReportExit}, {Step::ListExit}},
    {"list close box, then report close box", 3, {Step::ListClose, Step::ReportClose}, {Step::ListClose}},
    {"report Exit, events, then list Exit", 3, {Step::ReportExit}, {Step::Events, Step::ListExit}},
    {"list Exit, events, then report Exit", 3, {Step::ListExit, Step::Events, Step::ReportExit}, {Step::ListExit}},
    {"first report: Exit, then list Exit", 0, {Step::ReportExit, Step::ListExit}, {Step::ListExit}},
    {"first report: list close box, then report close box", 0, {Step::ListClose, Step::ReportClose}, {Step::ListClose}},
};

const QString kShortRoute = QStringLiteral("c4ec0000-0000-4000-8000-0000000000c2");

struct QtUiScope {
    QtUi seam;
    Ui* previous = setUi(&seam);
    ~QtUiScope() { setUi(previous); }
};

} // namespace

class ReportCloseOrder : public CheckGameTest {
protected:
    void SetUp() override
    {
        CheckGameTest::SetUp();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        buildCheckRoute();
        // A short route that still gives all four reports: a missing blueprint, and one whose
        // shape is missing (the missing-files report); its texture list is empty.
        listRoute(kShortRoute, "Short Line");
        writeGameFile(QStringLiteral("Content/Routes/") + kShortRoute + "/Scenery/+000000+000000.bin",
                      tile({{"TestCo", "Pack1", "Scenery\\A&amp;B.xml"}, {"TestCo", "Pack1", "Scenery\\Missing.xml"}}));
    }

    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (frmDelRoute* left = frmDelRoute::existing())
            delete left;
        CheckGameTest::TearDown();
    }

    static void run(Step step, frmReport* report, const QPointer<frmDelRoute>& list)
    {
        switch (step) {
        case Step::ReportExit: report->Command1->click(); break;
        case Step::ReportClose: report->close(); break;
        case Step::ListExit: if (list) list->CancelButton->click(); break;
        case Step::ListClose: if (list) list->close(); break;
        case Step::Events: QCoreApplication::processEvents(); break;
        }
    }
};

TEST_F(ReportCloseOrder, ClosingTheReportAndTheRouteListInAnyOrderEndsCleanly)
{
    for (const CloseOrder& order : kOrders) {
        SCOPED_TRACE(order.name);
        QtUiScope seam;
        QPointer<frmDelRoute> list = &frmDelRoute::instance();
        list->show();
        list->activateWindow();
        QCoreApplication::processEvents();

        bool picked = false;
        for (int row = 0; row < list->List2->count(); ++row) {
            if (list->List2->item(row)->text() == kShortRoute) {
                list->List1->item(row)->setSelected(true);
                picked = true;
            }
        }
        ASSERT_TRUE(picked);
        list->Command1->click(); // lists the route's scenarios

        // The user: Yes to every question; each report is read and closed with "Exit", the
        // chosen one in the order of the row.
        QStringList captions;
        QStringList questions;
        bool listOpenWhileChecking = true;
        QTimer user;
        user.setInterval(1);
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                questions << box->text();
                box->button(QMessageBox::Yes)->click();
            } else if (auto* report = qobject_cast<frmReport*>(modal)) {
                captions << report->windowTitle();
                if (captions.size() - 1 != order.atReport) {
                    report->Command1->click();
                    return;
                }
                for (Step step : order.whileShown)
                    run(step, report, list);
                listOpenWhileChecking = list && list->isVisible();
                if (report->isVisible())
                    report->Command1->click();
            }
        });
        user.start();
        list->Command4->click();
        user.stop();

        EXPECT_EQ(captions, (QStringList{QStringLiteral("Following item(s) were missing from this route:-"),
                                         QStringLiteral("Following item(s) were used by this route:-"),
                                         QStringLiteral("Missing Files:-"),
                                         QStringLiteral("Following textures were used by this route:-")}));
        EXPECT_EQ(questions.size(), 3);
        EXPECT_TRUE(listOpenWhileChecking) << "the route list closed in the middle of its check";
        ASSERT_FALSE(list.isNull());
        EXPECT_FALSE(list->isBusy());

        for (Step step : order.afterCheck)
            run(step, frmReport::existing(), list);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(list.isNull()) << "the route list is deleted once closed";
        EXPECT_EQ(frmDelRoute::existing(), nullptr);
        EXPECT_EQ(frmReport::existing(), nullptr) << "the closed report is deleted";
    }
}
