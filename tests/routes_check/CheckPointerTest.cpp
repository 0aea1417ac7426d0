// The mouse pointer during "Check Selected Route", through the program's own Qt seam: every
// report and question that waits for the user shows the normal pointer, and the check leaves
// the pointer as it found it, also when it is aborted or ends early.

#include "routes/frmDelRoute.h"

#include "CheckGame.h"
#include "common/frmReport.h"
#include "platform/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

struct QtUiScope {
    QtUi seam;
    Ui* previous = setUi(&seam);
    ~QtUiScope() { setUi(previous); }
};

bool hourglassShown()
{
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

} // namespace

class CheckPointer : public CheckGameTest {
protected:
    void SetUp() override
    {
        CheckGameTest::SetUp();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        buildCheckRoute();
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CheckGameTest::TearDown();
    }
};

TEST_F(CheckPointer, WhatWaitsForTheUserShowsTheNormalPointerAndTheCheckLeavesItAsItFoundIt)
{
    const struct Row {
        const char* what;
        int callerRequests; // hourglass requests in force when the check starts
        bool yes;           // the answer to every question
        bool abortInScan;   // "&Abort" while the tiles are scanned
        int waits;          // reports and questions shown
    } rows[] = {
        {"every report and question", 0, true, false, 7},
        {"under a caller's hourglass, no to the questions", 1, false, false, 3},
        {"under a caller's hourglass, aborted in the scan", 1, true, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QtUiScope scope;
        frmDelRoute window;
        window.show();
        for (int r = 0; r < window.List2->count(); ++r)
            window.List1->item(r)->setSelected(window.List2->item(r)->text() == kCheckRoute);
        window.Command1_Click();

        QStringList seen;
        QStringList hourglassOver;
        QTimer user;
        user.setInterval(0);
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                if (row.abortInScan && window.isBusy() && window.Command10->isEnabled())
                    window.Command10->click();
                return;
            }
            seen << modal->windowTitle();
            if (hourglassShown())
                hourglassOver << modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                box->button(row.yes ? QMessageBox::Yes : QMessageBox::No)->click();
            else if (auto* report = qobject_cast<frmReport*>(modal))
                report->Command1->click();
            else
                modal->close();
        });
        for (int i = 0; i < row.callerRequests; ++i)
            ::ui().setMousePointer(vb::vbHourglass);
        user.start();
        window.Command4->click();
        user.stop();

        EXPECT_EQ(seen.size(), row.waits) << seen.join(QStringLiteral(" | ")).toStdString();
        EXPECT_TRUE(hourglassOver.isEmpty()) << "hourglass over: " << hourglassOver.join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(scope.seam.mousePointerLevel(), row.callerRequests);
        EXPECT_EQ(hourglassShown(), row.callerRequests > 0);
        for (int i = 0; i < row.callerRequests; ++i)
            ::ui().setMousePointer(vb::vbDefault);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window.isBusy());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
