#include "platform/QtUi.h"

#include <QApplication>
#include <QDir>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
// Installs a QtUi for one test.
struct QtUiScope {
    QtUi seam;
    Ui* previous = setUi(&seam);
    ~QtUiScope() { setUi(previous); }
};
} // namespace

TEST(QtUi, ShowModalReturnsWhenTheWindowIsHiddenOrClosed)
{
    QtUiScope scope;
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        dialog.accept();
    });
    ui().showModal(&dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.windowModality(), Qt::NonModal); // restored for a later modeless show

    QWidget plain;
    QTimer::singleShot(0, &plain, [&] { plain.close(); });
    ui().showModal(&plain);
    EXPECT_FALSE(plain.isVisible());

    // a window that deletes itself when closed
    auto* self = new QWidget;
    self->setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, self, [self] { self->close(); });
    ui().showModal(self);

    // nested modal windows return in turn
    QWidget outer, inner;
    QTimer::singleShot(0, &outer, [&] {
        QTimer::singleShot(0, &inner, [&] { inner.hide(); });
        ui().showModal(&inner);
        outer.hide();
    });
    ui().showModal(&outer);
    EXPECT_FALSE(outer.isVisible());
}

TEST(QtUi, BusyPointerBalances)
{
    QtUiScope scope;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        BusyPointer outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyPointer inner;
            EXPECT_EQ(scope.seam.mousePointerLevel(), 2);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // an extra return to normal does not unbalance a later busy scope
    ui().setMousePointer(vb::vbDefault);
    EXPECT_EQ(scope.seam.mousePointerLevel(), 0);
    {
        BusyPointer busy;
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUi, MessageBoxUsesTheStyleAndAnswersWithTheClickedButton)
{
    QtUiScope scope;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    auto inspectAndClick = [&](QMessageBox::StandardButton which) {
        QTimer::singleShot(0, [&, which] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons.clear();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            box->button(which)->click();
        });
    };

    inspectAndClick(QMessageBox::No);
    EXPECT_EQ(ui().msgBox(QStringLiteral("<b>Use</b> the XML editor?"),
                          vb::vbYesNoCancel + vb::vbExclamation + vb::vbDefaultButton2),
              vb::vbNo);
    EXPECT_EQ(title, QStringLiteral("Veltrane"));
    EXPECT_EQ(text, QStringLiteral("<b>Use</b> the XML editor?"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons.size(), 3);
    EXPECT_EQ(defaultButton, QStringLiteral("&No"));

    inspectAndClick(QMessageBox::Retry);
    EXPECT_EQ(ui().msgBox(QStringLiteral("x"), vb::vbAbortRetryIgnore + vb::vbCritical, QStringLiteral("T")),
              vb::vbRetry);
    EXPECT_EQ(title, QStringLiteral("T"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons.size(), 3);

    // Escape gives the cancel answer of the set
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->reject();
    });
    EXPECT_EQ(ui().msgBox(QStringLiteral("y"), vb::vbOKCancel + vb::vbInformation), vb::vbCancel);
}

TEST(QtUi, FiltersBecomeCaselessQtFilters)
{
    EXPECT_EQ(QtUi::qtFilters(QStringLiteral("RailSim Files (*.exe)|*.exe")),
              QStringList{QStringLiteral("RailSim Files (*.exe) (*.[eE][xX][eE])")});
    EXPECT_EQ(QtUi::qtFilters(QStringLiteral("Game files|*.bin;*.XSec|All Files|*.*")),
              (QStringList{QStringLiteral("Game files (*.[bB][iI][nN] *.[xX][sS][eE][cC])"),
                           QStringLiteral("All Files (*)")}));
    EXPECT_TRUE(QtUi::qtFilters(QString()).isEmpty());
}

namespace {

// The pointer the user sees: the program-wide override, else the window's own (normal) one.
bool hourglassShown()
{
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

// Answers whatever waits for the user as a cancel would.
void dismissModal()
{
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr) << "nothing waits for the user";
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

} // namespace

TEST(QtUi, WhatWaitsForTheUserShowsTheNormalPointerAndTheHourglassComesBackAfter)
{
    QtUiScope scope;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Report:-"));
    const QString folder = QDir::tempPath();
    const struct Row {
        const char* what;
        int hourglasses; // requests in force when it is shown
        std::function<void()> show;
    } rows[] = {
        {"message box", 1, [] { ui().msgBox(QStringLiteral("Do you wish?"), vb::vbYesNo + vb::vbQuestion); }},
        {"message box under two requests", 2, [] { exclaim(QStringLiteral("Note")); }},
        {"input box", 1, [] { ui().inputBox(QStringLiteral("Name?")); }},
        {"open dialog", 1, [&] { ui().openFile({QStringLiteral("Open"), QStringLiteral("All|*.*"), 1, folder, {}}); }},
        {"open dialog for several files", 1,
         [&] { ui().openFiles({QStringLiteral("Open"), QStringLiteral("All|*.*"), 1, folder, {}}); }},
        {"save dialog", 1, [&] { ui().saveFile({QStringLiteral("Save"), QStringLiteral("All|*.*"), 1, folder, {}}); }},
        {"folder dialog", 1, [] { ui().browseForFolder(QStringLiteral("Pick")); }},
        {"modal window", 1, [&] { ui().showModal(&window); }},
        {"message box without the hourglass", 0, [] { exclaim(QStringLiteral("Idle")); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (int i = 0; i < row.hourglasses; ++i)
            ui().setMousePointer(vb::vbHourglass);
        bool inspected = false;
        bool hourglassWhileShown = true;
        QTimer::singleShot(0, [&] {
            inspected = true;
            hourglassWhileShown = hourglassShown();
            dismissModal();
        });
        row.show();
        EXPECT_TRUE(inspected);
        EXPECT_FALSE(hourglassWhileShown);
        EXPECT_EQ(hourglassShown(), row.hourglasses > 0) << "the pointer after the answer";
        EXPECT_EQ(scope.seam.mousePointerLevel(), row.hourglasses);
        for (int i = 0; i < row.hourglasses; ++i)
            ui().setMousePointer(vb::vbDefault);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST(QtUi, AModalWindowsOwnCommandsShowTheHourglassAndTheCallersRequestsOutlastThem)
{
    QtUiScope scope;
    QWidget window;
    BusyPointer caller;
    bool hourglassOverWork = false;
    bool hourglassAfterExtraReturn = true;
    int levelInside = -1;
    QTimer::singleShot(0, &window, [&] {
        {
            // A command of the modal window, with one return to normal too many.
            BusyPointer work;
            hourglassOverWork = hourglassShown();
            ui().setMousePointer(vb::vbDefault);
            ui().setMousePointer(vb::vbDefault);
        }
        hourglassAfterExtraReturn = hourglassShown();
        levelInside = scope.seam.mousePointerLevel();
        window.close();
    });
    ui().showModal(&window);
    EXPECT_TRUE(hourglassOverWork);
    EXPECT_FALSE(hourglassAfterExtraReturn);
    EXPECT_EQ(levelInside, 1) << "the caller's request is not taken back inside the window";
    EXPECT_TRUE(hourglassShown());

    // A count taken earlier is restored both ways.
    const int level = scope.seam.mousePointerLevel();
    ui().setMousePointer(vb::vbHourglass);
    ui().setMousePointer(vb::vbHourglass);
    ui().restoreMousePointerLevel(level);
    EXPECT_EQ(scope.seam.mousePointerLevel(), 1);
    ui().setMousePointer(vb::vbDefault);
    ui().restoreMousePointerLevel(level);
    EXPECT_EQ(scope.seam.mousePointerLevel(), 1);
    EXPECT_TRUE(hourglassShown());
}
