// The time converter: the conversion itself and its window.
#include "common/VbError.h"
#include "hub/TimeConvert.h"
#include "hub/dlgTime.h"

#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

int errorOf(const QString& input)
{
    try {
        ConvertRsTime(input);
    } catch (const VbError& e) {
        return e.number;
    }
    return 0;
}

void pressKey(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

TEST(ConvertRsTime, OrdinaryTimesOfDay)
{
    EXPECT_EQ(ConvertRsTime("28800"), "0800");
    EXPECT_EQ(ConvertRsTime("31500"), "0845");
    EXPECT_EQ(ConvertRsTime("5400"), "0130");
    EXPECT_EQ(ConvertRsTime("3599"), "0059");
    EXPECT_EQ(ConvertRsTime("86399"), "2359");
    EXPECT_EQ(ConvertRsTime("0"), "0000");
    // Seconds short of a minute are dropped.
    EXPECT_EQ(ConvertRsTime("89"), "0001");
}

TEST(ConvertRsTime, HoursGoOnPastADay)
{
    EXPECT_EQ(ConvertRsTime("86400"), "2400");
    EXPECT_EQ(ConvertRsTime("90000"), "2500");
    EXPECT_EQ(ConvertRsTime("360000"), "10000");
    // Beyond the 16-bit hours and the 32-bit seconds the numbers still come out whole.
    EXPECT_EQ(ConvertRsTime("117964800"), "3276800");
    EXPECT_EQ(ConvertRsTime("4294967296"), "119304628");
}

TEST(ConvertRsTime, RoundsToWholeSecondsHalvesToEven)
{
    EXPECT_EQ(ConvertRsTime("3599.5"), "0100");  // 3600
    EXPECT_EQ(ConvertRsTime("3598.5"), "0059");  // 3598
    EXPECT_EQ(ConvertRsTime("59.5"), "0001");    // 60
    EXPECT_EQ(ConvertRsTime("60.5"), "0001");    // 60
    EXPECT_EQ(ConvertRsTime("59.49"), "0000");   // 59
}

TEST(ConvertRsTime, ReadsTheLeadingNumberAsValDoes)
{
    EXPECT_EQ(ConvertRsTime(""), "0000");
    EXPECT_EQ(ConvertRsTime("abc"), "0000");
    EXPECT_EQ(ConvertRsTime("eight"), "0000");
    EXPECT_EQ(ConvertRsTime("31500 seconds"), "0845");
    EXPECT_EQ(ConvertRsTime("  28 800"), "0800");
    EXPECT_EQ(ConvertRsTime("2.88E4"), "0800");
    EXPECT_EQ(ConvertRsTime("&H7080"), "0800");
    EXPECT_EQ(ConvertRsTime("5400,5"), "0130");
    EXPECT_EQ(ConvertRsTime("-0.4"), "0000");
}

TEST(ConvertRsTime, NegativeAndHugeInputs)
{
    EXPECT_EQ(ConvertRsTime("-5400"), "-0130");
    EXPECT_EQ(ConvertRsTime("-89"), "-0001");
    EXPECT_EQ(errorOf("1E19"), 6);
    EXPECT_EQ(errorOf("-1E19"), 6);
    EXPECT_EQ(errorOf("1E400"), 6);
    EXPECT_EQ(errorOf("9E18"), 0);
}

TEST(dlgTime, ConvertsIntoTheSecondBoxAndKeepsItsTextsWhileOpen)
{
    ScriptedUi ui;
    ASSERT_EQ(dlgTime::existing(), nullptr);
    QPointer<dlgTime> dlg = dlgTime::showDialog();
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    EXPECT_EQ(dlg->windowTitle(), "Convert DaraDerovizor Time to Hrs/Mins");
    EXPECT_EQ(dlg->Label1->text(), "Enter Time:-");
    EXPECT_EQ(dlg->OKButton->text(), "Convert");
    EXPECT_EQ(dlg->CancelButton->text(), "Exit");

    dlg->Text1->setText("31500");
    dlg->OKButton->click();
    EXPECT_EQ(dlg->Text2->text(), "0845");
    dlg->Text1->setText("90000");
    pressKey(dlg->Text1, Qt::Key_Return); // the default button
    EXPECT_EQ(dlg->Text2->text(), "2500");

    // Shown again from the menu: the same window with the same texts.
    EXPECT_EQ(dlgTime::showDialog(), dlg.data());
    EXPECT_EQ(dlg->Text1->text(), "90000");

    // A number too large is a message, not an end of the program.
    dlg->Text1->setText("1E30");
    ui.expectMsgBox(vb::vbOK, "Overflow");
    dlg->OKButton->click();
    EXPECT_EQ(ui.lastMessage().text, "Error Overflow occurred in OKButton");
    EXPECT_EQ(dlg->Text2->text(), "2500");

    // Exit unloads it; the next one starts empty.
    dlg->CancelButton->click();
    runDeferredDeletes();
    EXPECT_FALSE(dlg);
    EXPECT_EQ(dlgTime::existing(), nullptr);

    dlg = dlgTime::showDialog();
    EXPECT_TRUE(dlg->Text1->text().isEmpty());
    EXPECT_TRUE(dlg->Text2->text().isEmpty());
    // Escape unloads it too.
    pressKey(dlg, Qt::Key_Escape);
    runDeferredDeletes();
    EXPECT_FALSE(dlg);
    ui.verifyDone();
}
