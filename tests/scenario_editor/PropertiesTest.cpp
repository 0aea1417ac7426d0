// Reading a scenario's properties block into the editor's boxes, the time texts, the weather
// path split and the timetable writes.
#include "EditorFixture.h"

#include "scenarios/ScenarioProperties.h"

using namespace editortest;
using namespace scenarios;

namespace {

QString morningBlock()
{
    return cutScenarioProperties(valleyText("Scenarios.bin.xml"), kMorning).block;
}

// The block with one element taken out (its whole line).
QString without(const QString& block, const QString& element)
{
    const qsizetype start = block.indexOf(QLatin1Char('<') + element);
    const qsizetype end = block.indexOf(QStringLiteral("</") + element + QLatin1Char('>'), start);
    EXPECT_GE(start, 0);
    EXPECT_GT(end, start);
    return block.left(start) + block.mid(end + element.size() + 3);
}

class Properties : public ::testing::Test {
protected:
    void TearDown() override { ui.verifyDone(); }
    ScriptedUi ui;
};

} // namespace

TEST(TimeTexts, BoxRoundsMinutesToEvenAndConsistsRoundThemDown)
{
    EXPECT_EQ(startTimeText("25200.0000"), "0700");
    EXPECT_EQ(consistStartTimeText("25200.0000"), "0700");
    // 30630 s: 8 h and 30.5 min.
    EXPECT_EQ(startTimeText("30630"), "0830");
    EXPECT_EQ(consistStartTimeText("30630"), "0830");
    // 30690 s: 8 h and 31.5 min.
    EXPECT_EQ(startTimeText("30690"), "0832");
    EXPECT_EQ(consistStartTimeText("30690"), "0831");
    // The seconds are rounded half to even before the minutes are taken.
    // (7169.5 s becomes 7170 s: 59.5 minutes past 1 h.)
    EXPECT_EQ(startTimeText("7169.5"), "0160");
    EXPECT_EQ(consistStartTimeText("7169.5"), "0159");
    // A remainder of 3570 seconds or more shows 60 minutes in the box.
    EXPECT_EQ(startTimeText("7170"), "0160");
    EXPECT_EQ(consistStartTimeText("7170"), "0159");
    EXPECT_EQ(startTimeText("3569"), "0059");
    // Hours are not wrapped; texts that are no number read as 0.
    EXPECT_EQ(startTimeText("90000"), "2500");
    EXPECT_EQ(startTimeText(""), "0000");
    EXPECT_EQ(consistStartTimeText("soon"), "0000");
}

TEST_F(Properties, SampleBlockFillsEveryBox)
{
    LoadSteps steps;
    const ScenarioPropertiesRead read = readScenarioProperties(morningBlock(), steps);
    EXPECT_EQ(read.boxes[DisplayNameBox], "Morning Freight");
    EXPECT_EQ(read.boxes[DescriptionBox], "Take the morning freight from Veltrane Central to Eastfield Yard.");
    EXPECT_EQ(read.boxes[BriefingBox], "Couple to your train in platform 1 and depart on time.");
    EXPECT_EQ(read.boxes[StartTimeBox], "0700");
    EXPECT_EQ(read.boxes[DurationBox], "45");
    EXPECT_EQ(read.boxes[StartDayBox], "15");
    EXPECT_EQ(read.boxes[StartMonthBox], "6");
    EXPECT_EQ(read.boxes[StartYearBox], "2008");
    EXPECT_EQ(read.boxes[SeasonBox], "SEASON_SUMMER");
    EXPECT_EQ(read.boxes[WeatherProviderBox], "VeltraneSamples");
    EXPECT_EQ(read.boxes[WeatherProductBox], "Sample01");
    EXPECT_EQ(read.boxes[WeatherBlueprintBox], "Weather\\SummerSun.xml");
    EXPECT_EQ(read.loadedName, "Morning Freight");
    EXPECT_EQ(read.loadedStartTime, "25200.0000");
    EXPECT_FALSE(read.isTimetable);
    EXPECT_EQ(steps.failures(), 0);
    EXPECT_EQ(steps.a, 6);
}

TEST_F(Properties, TimetableWordInAnyCaseMarksATimetabledScenario)
{
    LoadSteps steps;
    QString block = morningBlock();
    block.replace("eStandardScenarioClass", "eTimetableScenarioClass");
    EXPECT_TRUE(readScenarioProperties(block, steps).isTimetable);
    block.replace("eTimetableScenarioClass", "TIMETABLE");
    EXPECT_TRUE(readScenarioProperties(block, steps).isTimetable);
}

TEST_F(Properties, LocalisedTextsFallBackToTheFirstNonEmptyLanguage)
{
    QString block = morningBlock();
    block.replace("<English d:type=\"cDeltaString\">Morning Freight</English>\r\n\t\t\t\t\t<French d:type=\"cDeltaString\"></French>",
                  "<English d:type=\"cDeltaString\"></English>\r\n\t\t\t\t\t<French d:type=\"cDeltaString\">Fret du matin</French>");
    ASSERT_TRUE(block.contains("Fret du matin"));
    LoadSteps steps;
    const ScenarioPropertiesRead read = readScenarioProperties(block, steps);
    EXPECT_EQ(read.boxes[DisplayNameBox], "Fret du matin");
    EXPECT_EQ(read.loadedName, "Fret du matin");
    EXPECT_EQ(read.boxes[DescriptionBox], "Take the morning freight from Veltrane Central to Eastfield Yard.");
}

TEST_F(Properties, MissingElementLeavesThePreviousValueAndFailsEveryLaterRead)
{
    // StartMM missing: its box keeps the day; the five reads after it each fail at a = 6.
    for (int i = 0; i < 5; ++i)
        ui.expectMsgBox(vb::vbOK, loadFailure(6));
    LoadSteps steps;
    const ScenarioPropertiesRead read = readScenarioProperties(without(morningBlock(), "StartMM"), steps);
    EXPECT_EQ(steps.failures(), 5);
    for (const ScriptedUi::Message& m : ui.messages()) {
        EXPECT_EQ(m.text, loadFailure(6));
        EXPECT_EQ(m.style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(m.title, Ui::programTitle());
    }
    EXPECT_EQ(read.boxes[StartDayBox], "15");
    for (int box = StartMonthBox; box <= WeatherBlueprintBox; ++box)
        EXPECT_EQ(read.boxes[box], "15") << box;
    EXPECT_EQ(read.boxes[DurationBox], "45");
    EXPECT_EQ(read.boxes[StartTimeBox], "0700");
}

TEST_F(Properties, MissingDescriptionNamesTheProgressOfEachFailingRead)
{
    // The description's search finds nothing: its read fails (a = 3), then the briefing's
    // search and read and the start time (a = 4), the duration (a = 5) and the seven reads
    // after it (a = 6). Every box from the description on keeps the display name.
    const QList<int> expected{3, 4, 4, 4, 5, 6, 6, 6, 6, 6, 6, 6};
    for (int a : expected)
        ui.expectMsgBox(vb::vbOK, loadFailure(a));
    LoadSteps steps;
    const ScenarioPropertiesRead read = readScenarioProperties(without(morningBlock(), "Description"), steps);
    QStringList texts;
    for (int a : expected)
        texts.append(loadFailure(a));
    ASSERT_EQ(ui.messages().size(), texts.size());
    for (qsizetype i = 0; i < ui.messages().size(); ++i)
        EXPECT_EQ(ui.messages()[i].text, texts[i]);
    EXPECT_EQ(read.boxes[DisplayNameBox], "Morning Freight");
    EXPECT_EQ(read.boxes[DescriptionBox], "Morning Freight");
    EXPECT_EQ(read.boxes[BriefingBox], "Morning Freight");
    EXPECT_EQ(read.loadedStartTime, "Morning Freight");
    EXPECT_EQ(read.boxes[StartTimeBox], "0000");
    EXPECT_EQ(read.boxes[WeatherBlueprintBox], "Morning Freight");
}

TEST(WeatherPath, SplitsProviderProductAndBlueprint)
{
    const QString game = QStringLiteral("C:\\Program Files\\Rail Simulator");
    WeatherChoice choice;
    ASSERT_TRUE(splitWeatherPath(game, game + "\\Assets\\Kuju\\RailSimulator\\Weather", "Sunny.bin", choice));
    EXPECT_EQ(choice.provider, "Kuju");
    EXPECT_EQ(choice.product, "RailSimulator");
    EXPECT_EQ(choice.blueprint, "Weather\\Sunny.xml");

    // Deeper folders stay in the blueprint; "bin" in any case becomes "xml".
    ASSERT_TRUE(splitWeatherPath(game, game + "\\assets\\P\\Q\\Weather\\Storms", "Thunder.BIN", choice));
    EXPECT_EQ(choice.provider, "P");
    EXPECT_EQ(choice.product, "Q");
    EXPECT_EQ(choice.blueprint, "Weather\\Storms\\Thunder.xml");

    // A game folder whose own path holds the word "Assets" does not mislead the split.
    const QString odd = QStringLiteral("/home/me/AssetsBackup/RailSim");
    ASSERT_TRUE(splitWeatherPath(odd, odd + "\\Assets\\P\\Q\\Weather", "Fog.bin", choice));
    EXPECT_EQ(choice.provider, "P");
    EXPECT_EQ(choice.product, "Q");
    EXPECT_EQ(choice.blueprint, "Weather\\Fog.xml");

    // A weather file directly in the product folder.
    ASSERT_TRUE(splitWeatherPath(game, game + "\\Assets\\P\\Q", "Fog.bin", choice));
    EXPECT_EQ(choice.product, "Q");
    EXPECT_EQ(choice.blueprint, "Fog.xml");
}

TEST(WeatherPath, RefusesWhatCannotNameABlueprint)
{
    const QString game = QStringLiteral("C:\\Games\\RS");
    WeatherChoice choice{"p", "q", "b"};
    EXPECT_FALSE(splitWeatherPath(game, game + "\\Assets\\P\\Q\\Weather", QString(), choice));
    EXPECT_FALSE(splitWeatherPath(game, game + "\\Content\\Routes", "Fog.bin", choice));
    EXPECT_FALSE(splitWeatherPath(game, game + "\\Assets", "Fog.bin", choice));
    EXPECT_FALSE(splitWeatherPath(game, game + "\\Assets\\P", "Fog.bin", choice));
    EXPECT_EQ(choice.provider, "p");
    EXPECT_EQ(choice.product, "q");
    EXPECT_EQ(choice.blueprint, "b");
}

// The weather list opens in the boxes' product folder; names that lead out of the Assets folder
// open it at the Assets folder, as a missing provider folder does.
TEST(WeatherPath, FolderOfTheBoxes)
{
    TempTree tree;
    const QString game = tree.gamePath();
    tree.makeDir("game/Assets/Kuju/RailSimulator/Weather");
    tree.makeDir("outside/Weather");
    tree.makeDir("GAME/Assets/P/Q/Weather");
    const struct {
        const char* provider;
        const char* product;
        const char* folder; // below the game folder
    } rows[] = {
        {"Kuju", "RailSimulator", "\\Assets\\Kuju\\RailSimulator\\Weather"},
        {"kuju", "RAILSIMULATOR", "\\Assets\\kuju\\RAILSIMULATOR\\Weather"},
        {"Nobody", "Nothing", "\\Assets\\Nobody\\Nothing\\Weather"},
        {"..\\..", "outside", "\\Assets"},
        {"..", "..\\GAME\\Assets\\P\\Q", "\\Assets"},
        {"Kuju", "..\\..", "\\Assets"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(weatherFolderOf(game, row.provider, row.product), game + row.folder) << row.provider << " " << row.product;
}

TEST(Timetabled, EveryElementIsWrittenAndNothingElse)
{
    const QString text = scenarioXml({Consist{{Vehicle{}}, "A"}, Consist{{Vehicle{}}, "B"}, Consist{{Vehicle{}}}});
    QString changed = text;
    EXPECT_EQ(setEveryTimetabled(changed, "1"), 2);
    QString expected = text;
    expected.replace("<Timetabled d:type=\"bool\">0</Timetabled>", "<Timetabled d:type=\"bool\">1</Timetabled>");
    EXPECT_EQ(changed, expected);
    EXPECT_EQ(setEveryTimetabled(changed, "0"), 2);
    EXPECT_EQ(changed, text);

    QString none = "<cConsist></cConsist>";
    EXPECT_EQ(setEveryTimetabled(none, "1"), 0);
    EXPECT_EQ(none, "<cConsist></cConsist>");
}
