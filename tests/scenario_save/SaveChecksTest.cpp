// "Save Changes" stopped by its checks and questions on the sample game: each stop shows its
// exact message and writes nothing, not even a work file.
#include "SaveFixture.h"

using namespace savetest;
using namespace scenarios;

namespace {

class SaveChecks : public SaveFixture {
protected:
    void SetUp() override
    {
        SaveFixture::SetUp();
        open();
        gameBefore = gameFiles();
        propertiesBefore = shared().ScenarioProperties;
        textBefore = shared().ScenarioText;
    }

    // The save stops with exactly these messages and leaves everything as it was. Questions
    // are queued by the caller; a last message that is a notice is expected here.
    void expectStop(SaveOutcome expected, const QStringList& messages, bool endsWithNotice = true)
    {
        if (endsWithNotice)
            ui.expectMsgBox(vb::vbOK, messages.last());
        EXPECT_EQ(save(), expected);
        EXPECT_EQ(messageTexts(), messages);
        for (const ScriptedUi::Message& m : ui.messages()) {
            EXPECT_EQ(m.title, Ui::programTitle());
            EXPECT_EQ(m.icon(), vb::vbExclamation);
        }
        if (endsWithNotice && !ui.messages().isEmpty()) {
            EXPECT_EQ(ui.lastMessage().buttons(), vb::vbOKOnly);
        }
        EXPECT_EQ(gameFiles(), gameBefore);
        EXPECT_FALSE(QFileInfo::exists(workFile("Scenarios.xml")));
        EXPECT_FALSE(QFileInfo::exists(workFile("Scenario.xml")));
        EXPECT_EQ(shared().ScenarioProperties, propertiesBefore);
        EXPECT_EQ(shared().ScenarioText, textBefore);
        EXPECT_FALSE(editor.ChangesSaved);
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        EXPECT_EQ(ui.pointerHistory().first(), vb::vbHourglass);
        ui.clearRecords();
    }

    QMap<QString, QByteArray> gameBefore;
    QString propertiesBefore;
    QString textBefore;
};

} // namespace

TEST_F(SaveChecks, StartTimeDayAndMonth)
{
    for (const char* time : {"930", "2401", "08:30", "-100"}) {
        request.boxes[StartTimeBox] = QString::fromLatin1(time);
        expectStop(SaveOutcome::Stopped, {timeFormatMessage()});
    }
    request.boxes[StartTimeBox] = "2400";

    for (const char* day : {"0", "32", ""}) {
        request.boxes[StartDayBox] = QString::fromLatin1(day);
        expectStop(SaveOutcome::Stopped, {"Invalid Start Day, must be between 1 and 31."});
    }
    request.boxes[StartDayBox] = "31";

    for (const char* month : {"0", "13"}) {
        request.boxes[StartMonthBox] = QString::fromLatin1(month);
        expectStop(SaveOutcome::Stopped, {"Invalid Start Month, must be between 1 and 12."});
    }
    EXPECT_EQ(timeFormatMessage(), "The time must be in 24hour format, e.g. 0530");
}

TEST_F(SaveChecks, WeatherBlueprintMustExistAsBin)
{
    // Weather\Sunny.xml of provider P and product Q is the file Assets\P\Q\Weather\Sunny.bin.
    request.boxes[WeatherProviderBox] = "P";
    request.boxes[WeatherProductBox] = "Q";
    request.boxes[WeatherBlueprintBox] = "Weather\\Sunny.xml";
    expectStop(SaveOutcome::Stopped, {"Weather Blueprint entered does not exist in the folder shown."});

    request.boxes[WeatherBlueprintBox] = "xm";
    expectStop(SaveOutcome::Stopped, {weatherMissingMessage()});

    // Names that lead out of the Assets folder name no weather blueprint, though a file lies
    // where they lead.
    ASSERT_TRUE(writeFileBytes(tree.path("outside/Q/Weather/Sunny.bin"), "x"));
    request.boxes[WeatherBlueprintBox] = "Weather\\Sunny.xml";
    for (const char* provider : {"..\\..\\outside", "P\\..\\..\\..\\outside"}) {
        request.boxes[WeatherProviderBox] = QString::fromLatin1(provider);
        expectStop(SaveOutcome::Stopped, {weatherMissingMessage()});
    }

    // With the file in place the check passes (names inside the Assets folder match whatever
    // their letter case) and the driven consist question comes next.
    ASSERT_TRUE(writeFileBytes(tree.gamePath() + "/Assets/P/Q/Weather/Sunny.bin", "x"));
    request.boxes[WeatherProviderBox] = "p";
    request.boxes[WeatherProductBox] = "q";
    request.drivenConsist.clear();
    gameBefore = gameFiles();
    ui.expectMsgBox(vb::vbNo, "chosen a consist to drive");
    expectStop(SaveOutcome::Stopped, {noDrivenConsistQuestion()}, false);
}

TEST_F(SaveChecks, NoDrivenConsistAsks)
{
    request.drivenConsist.clear();
    ui.expectMsgBox(vb::vbNo, "Do you wish to continue?");
    EXPECT_EQ(save(), SaveOutcome::Stopped);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text,
              "You do not appear to have chosen a consist to drive in this Scenario.\r\nDo you wish to continue?");
    EXPECT_EQ(ui.lastMessage().buttons(), vb::vbYesNo);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(gameFiles(), gameBefore);

    // Yes: the save goes on to the end.
    ui.clearRecords();
    ui.expectMsgBox(vb::vbYes, "Do you wish to continue?");
    ui.expectMsgBox(vb::vbOK, "have been updated.");
    EXPECT_EQ(save(), SaveOutcome::Saved);
}

TEST_F(SaveChecks, NewNameOffersTheClone)
{
    // Only the case differs: no question; the day check stops the save next.
    request.boxes[DisplayNameBox] = "MORNING freight";
    request.boxes[StartDayBox] = "0";
    expectStop(SaveOutcome::Stopped, {startDayMessage()});

    // A new name, and No: the clone takes over and nothing is written.
    request.boxes[DisplayNameBox] = "Night Freight";
    ui.expectMsgBox(vb::vbNo, "Do you wish to");
    EXPECT_EQ(save(), SaveOutcome::Clone);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().buttons(), vb::vbYesNo);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    ui.clearRecords();
    ui.expectMsgBox(vb::vbNo, "Do you wish to");
    expectStop(SaveOutcome::Clone, {scenarioNameQuestion()}, false);

    // Yes: the save goes on with the checks.
    ui.expectMsgBox(vb::vbYes, "click YES");
    expectStop(SaveOutcome::Stopped, {scenarioNameQuestion(), startDayMessage()});
}
