// Messages and windows whole on a 1366x768 screen: a message box keeps each line of its text on
// one line unless the box would grow wider than about two thirds of the screen; an input box given
// a place opens there; the scenario editor's details window leaves the chosen stock's path box
// free, and the box shows the whole path.

#include "ProgramWithGame.h"
#include "RealBox.h"

#include "assets/LodChange.h"
#include "packaging/ScenarioPackage.h"
#include "platform/QtUi.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include "support/ScenarioEditorOpen.h"
#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>

TEST(BoxesWhole, MessageLinesBreakOnlyWhereTheBoxWouldGrowPastTwoThirdsOfTheScreen)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1366, 768));
    const QString longLine = QStringLiteral("A line far too long for any message box: ").repeated(6);
    const struct {
        const char* what;
        QString text;
        bool wraps; // the text is wider than two thirds of the screen
    } rows[] = {
        {"the level-of-detail warning", assets::ChangeLodsWarning(), false},
        {"the loading picture's note",
         QStringLiteral("Before you can run this option, you must have prepared a .dds file 1024x512 pixels\r\n"
                        "in size, it must be named loading_'routename'.dds where routename is name of your route."),
         false},
        {"a packager's question",
         packaging::packageSavedQuestion(QStringLiteral("Scenario(s)"),
                                         QStringLiteral("/home/railfan/Programs/Veltrane/program/Scenario Package 3")),
         false},
        {"a line wider than the screen allows", longLine, true},
    };
    const int twoThirds = 1366 * 2 / 3;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        withRealBox<QMessageBox>(
            [&](QtUi& real) { real.msgBox(row.text, vb::vbOKOnly + vb::vbExclamation); },
            [&](QMessageBox* box) {
                const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                ASSERT_NE(label, nullptr);
                const QFontMetrics fm(label->font());
                const int room = label->contentsRect().width();
                for (QString line : row.text.split(QLatin1Char('\n'))) {
                    line.remove(QLatin1Char('\r'));
                    if (row.wraps)
                        EXPECT_GT(fm.horizontalAdvance(line), room);
                    else
                        EXPECT_LE(fm.horizontalAdvance(line), room) << line.toStdString();
                }
                EXPECT_LE(box->width(), twoThirds);
                const int lines = int(row.text.count(QLatin1Char('\n'))) + 1;
                if (row.wraps)
                    EXPECT_GE(label->height(), 2 * fm.lineSpacing());
                else
                    EXPECT_LT(label->height(), (lines + 1) * fm.lineSpacing());
            });
    }
}

// An input box given a place opens with its corner there (15 twips to a pixel); one without
// opens where the system puts it.
TEST(BoxesWhole, AnInputBoxOpensWhereItIsPut)
{
    const struct {
        const char* what;
        TwipsPlace at;
        QPoint corner;
    } rows[] = {
        {"the zip manager's boxes", QPoint(3360, 1080), QPoint(224, 72)},
        {"its Find File box", QPoint(3360, 2080), QPoint(224, 139)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        withRealBox<QInputDialog>(
            [&](QtUi& real) { real.inputBox(QStringLiteral("Filename: "), QStringLiteral("Search For"), QString(), row.at); },
            [&](QInputDialog* box) { EXPECT_EQ(box->frameGeometry().topLeft(), row.corner); });
    }
}

namespace {

class EditorBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        prepareProgram(tree, tree.gamePath());
    }
    void TearDown() override
    {
        dlgTips::unload();
        frmZelvorn::unloadEditor();
        frmShowRoutes::unloadBrowser();
        frmShowRoutes::setScenarioEditorLauncher(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui.verifyDone();
        resetShared();
    }

    TempTree tree;
    ScriptedUi ui;
};

QRect onScreen(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

} // namespace

// A vehicle's details open beside the consist frame, over the weather and consist lists' feet:
// the stock frame's path and its caption stay in view, and a long path shows whole in its box.
TEST_F(EditorBoxes, DetailsLeaveTheStockPathWholeInView)
{
    frmZelvorn* w = openScenarioEditorFromBrowser();
    ASSERT_NE(w, nullptr);
    QCoreApplication::processEvents();
    // A stock search in the sample's RailVehicles folder, its first row chosen.
    w->Dir2->setPath(tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\RailVehicles"));
    w->Option1[2]->setChecked(true); // Steam
    w->Command6_Click();
    ASSERT_GT(w->List3->count(), 0);
    w->List3->setCurrentRow(0);
    w->List3->item(0)->setSelected(true);
    QCoreApplication::processEvents();
    const QString path = w->Label5->text();
    ASSERT_TRUE(path.startsWith(tree.gamePath())) << path.toStdString();

    // A vehicle of the first consist.
    w->List1->setCurrentRow(0);
    w->List1->item(0)->setSelected(true);
    QCoreApplication::processEvents();
    ASSERT_GT(w->List2->count(), 0);
    w->List2->setCurrentRow(0);
    w->List2_MouseDown();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    dlgTips* tips = dlgTips::existing();
    ASSERT_NE(tips, nullptr);
    ASSERT_TRUE(tips->isVisible());

    // Clear of the frames the user works in while it shows: the consist's vehicles and their
    // commands, the stock frame with its path, the scenario's own boxes and commands, the markers.
    const QRect details = tips->frameGeometry();
    const struct {
        const char* what;
        const QWidget* control;
    } clear[] = {{"the path box", w->Label5}, {"its caption", w->Label6}, {"the consist frame", w->Frame3},
                 {"the stock frame", w->Frame4}, {"the scenario frame", w->Frame5}, {"the marker frame", w->Frame6}};
    for (const auto& c : clear)
        EXPECT_FALSE(details.intersects(onScreen(c.control))) << "over " << c.what;
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(details));

    // The path whole: every character of it within the box, on as many lines as the box holds.
    const QFontMetrics fm(w->Label5->font());
    const QRect inside = w->Label5->contentsRect();
    const QRect need = fm.boundingRect(QRect(0, 0, inside.width(), 100000),
                                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, path);
    EXPECT_LE(need.width(), inside.width());
    EXPECT_LE(need.height(), inside.height());
    EXPECT_GT(need.height(), 2 * fm.lineSpacing()); // the sample's path takes more than two lines
}
