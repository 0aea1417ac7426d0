#include "platform/QtUi.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

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
            EXPECT_EQ(scope.seam.busyDepth(), 2);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // an extra return to normal does not unbalance a later busy scope
    ui().setMousePointer(vb::vbDefault);
    EXPECT_EQ(scope.seam.busyDepth(), 0);
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
