// The pieces of "Save Changes" that work on texts alone: the start time and the box checks,
// the escaping of box texts, the scenario type switch, and the exact block written for a set
// of box values.
#include "common/VbError.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/ScenarioText.h"

#include <QList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace scenarios;

namespace {

// A properties block in the serializer's form, with a French display name and the other
// localised texts in English only.
const QString kBlock = QStringLiteral(
    "<cScenarioProperties d:id=\"1\"><ID><cGUID><DevString d:type=\"cDeltaString\">abc</DevString></cGUID></ID>"
    "<DisplayName><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Old Name</English>"
    "<French d:type=\"cDeltaString\">Vieux</French><Italian d:type=\"cDeltaString\"></Italian>"
    "<German d:type=\"cDeltaString\"></German><Spanish d:type=\"cDeltaString\"></Spanish>"
    "<Key d:type=\"cDeltaString\">k-name</Key></Localisation-cUserLocalisedString></DisplayName>"
    "<Description><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Old description</English>"
    "<Key d:type=\"cDeltaString\">k-desc</Key></Localisation-cUserLocalisedString></Description>"
    "<Briefing><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Old briefing</English>"
    "</Localisation-cUserLocalisedString></Briefing>"
    "<StartTime d:type=\"sFloat32\">25200.0000</StartTime><DurationMins d:type=\"sInt32\">45</DurationMins>"
    "<StartDD d:type=\"sInt32\">15</StartDD><StartMM d:type=\"sInt32\">6</StartMM>"
    "<StartYYYY d:type=\"sInt32\">2008</StartYYYY><Season d:type=\"cDeltaString\">SEASON_SUMMER</Season>"
    "<WeatherBlueprint><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID><iBlueprintLibrary-cBlueprintSetID>"
    "<Provider d:type=\"cDeltaString\">VeltraneSamples</Provider><Product d:type=\"cDeltaString\">Sample01</Product>"
    "</iBlueprintLibrary-cBlueprintSetID></BlueprintSetID>"
    "<BlueprintID d:type=\"cDeltaString\">Weather\\SummerSun.xml</BlueprintID>"
    "</iBlueprintLibrary-cAbsoluteBlueprintID></WeatherBlueprint>"
    "<ScenarioClass d:type=\"cDeltaString\">eStandardScenarioClass</ScenarioClass></cScenarioProperties>");

PropertyBoxes newBoxes()
{
    return {QStringLiteral("Dawn & Dusk <Run>"),
            QStringLiteral("Fish &amp; chips"),
            QStringLiteral("Line one\r\nLine two "),
            QStringLiteral("0830"),
            QStringLiteral(" 60 "),
            QStringLiteral("1"),
            QStringLiteral("12"),
            QStringLiteral("2010"),
            QStringLiteral("SEASON_WINTER"),
            QStringLiteral("Other & Co"),
            QStringLiteral("Pack2"),
            QStringLiteral("Weather\\Storms\\Thunder.xml")};
}

QList<int> writeCollectingErrors(QString& block, const PropertyBoxes& boxes, const QString& startTime)
{
    QList<int> errors;
    writePropertyBoxes(block, boxes, startTime, [&errors](const VbError& e) { errors.append(e.number); });
    return errors;
}

} // namespace

TEST(SaveSteps, StartTimeChecksAndSeconds)
{
    for (const char* good : {"0000", "0530", "2400", "0575", "0830", " 830"})
        EXPECT_TRUE(startTimeAccepted(QString::fromLatin1(good))) << good;
    // Not four characters, above 2400, or before midnight.
    for (const char* bad : {"930", "08300", "", "2401", "9999", "1e99", "-100", "00-5"})
        EXPECT_FALSE(startTimeAccepted(QString::fromLatin1(bad))) << bad;

    EXPECT_EQ(startTimeSeconds("0830"), "30600.0000");
    EXPECT_EQ(startTimeSeconds("2400"), "86400.0000");
    EXPECT_EQ(startTimeSeconds("0575"), "22500.0000");
    EXPECT_EQ(startTimeSeconds("0000"), "00000.0000");
    EXPECT_EQ(startTimeSeconds("0005"), "00300.0000");
}

TEST(SaveSteps, DayMonthAndWeatherChecks)
{
    EXPECT_TRUE(boxValueWithin("1", 1, 31));
    EXPECT_TRUE(boxValueWithin("31", 1, 31));
    EXPECT_TRUE(boxValueWithin("12th", 1, 12)); // its leading number
    EXPECT_FALSE(boxValueWithin("0", 1, 31));
    EXPECT_FALSE(boxValueWithin("32", 1, 31));
    EXPECT_FALSE(boxValueWithin("13", 1, 12));
    EXPECT_FALSE(boxValueWithin("", 1, 12));
    EXPECT_FALSE(boxValueWithin("June", 1, 12));
    EXPECT_FALSE(boxValueWithin("1e999", 1, 31)); // too large to read

    // The blueprint's ".xml" name is tested as the ".bin" file below the product folder.
    EXPECT_EQ(blueprintBinFile("C:\\Game", "P", "Q", "Weather\\Sunny.xml"), "C:\\Game\\Assets\\P\\Q\\Weather\\Sunny.bin");
    EXPECT_EQ(blueprintBinFile("C:\\Game", "P", "Q", "xml"), "C:\\Game\\Assets\\P\\Q\\bin");
    EXPECT_EQ(blueprintBinFile("C:\\Game", "P", "Q", "ab"), "");
}

TEST(SaveSteps, StartTimeOffset)
{
    EXPECT_EQ(startTimeOffset("28800.0000", "25200.0000", true), 3600);
    EXPECT_EQ(startTimeOffset("21600.0000", "28800.0000", true), -7200);
    EXPECT_EQ(startTimeOffset("28800.0000", "25200.0000", false), 0);
    EXPECT_EQ(startTimeOffset("25200.0000", "25200.0000", true), 0);
    // Whole seconds of the difference, halves to even.
    EXPECT_EQ(startTimeOffset("25200.0000", "25199.5", true), 0);
    EXPECT_EQ(startTimeOffset("25200.0000", "25198.5", true), 2);
    EXPECT_EQ(startTimeOffset("25200.0000", "", true), 25200);
    EXPECT_THROW(startTimeOffset("25200.0000", "-1e12", true), VbError);
}

TEST(SaveSteps, EscapesTypedTextButKeepsEntities)
{
    EXPECT_EQ(escapeBoxText("A & B"), "A &amp; B");
    EXPECT_EQ(escapeBoxText("<Run> & >"), "&lt;Run&gt; &amp; &gt;");
    EXPECT_EQ(escapeBoxText("Fish &amp; chips &lt;&gt;&quot;&apos;"), "Fish &amp; chips &lt;&gt;&quot;&apos;");
    EXPECT_EQ(escapeBoxText("caf&#233; &#xE9; &#XE9;"), "caf&#233; &#xE9; &#XE9;");
    // Not an entity: no name, an unknown name, no ";", no digits.
    EXPECT_EQ(escapeBoxText("&; &nbsp; &amp &#; &#x; AT&T&"), "&amp;; &amp;nbsp; &amp;amp &amp;#; &amp;#x; AT&amp;T&amp;");
    EXPECT_EQ(escapeBoxText("It's \"quoted\"\r\n"), "It's \"quoted\"\r\n");
    EXPECT_EQ(escapeBoxText(""), "");

    // What comes out reads back as typed.
    const QString typed = QStringLiteral("Dawn & Dusk <Run> AT&T & more");
    QXmlStreamReader reader(QStringLiteral("<a>") + escapeBoxText(typed) + QStringLiteral("</a>"));
    ASSERT_TRUE(reader.readNextStartElement());
    EXPECT_EQ(reader.readElementText(), typed);
    EXPECT_FALSE(reader.hasError());
}

TEST(SaveSteps, ScenarioTypeSwitch)
{
    const QString standard = QStringLiteral("<a>eStandardScenarioClass</a><b>STANDARD gauge</b>");
    QString block = standard;
    bool isTimetable = false;
    switchScenarioType(block, true, isTimetable);
    EXPECT_TRUE(isTimetable);
    EXPECT_EQ(block, "<a>etimetableScenarioClass</a><b>timetable gauge</b>");

    switchScenarioType(block, true, isTimetable); // already timetabled: nothing to do
    EXPECT_EQ(block, "<a>etimetableScenarioClass</a><b>timetable gauge</b>");

    switchScenarioType(block, false, isTimetable);
    EXPECT_FALSE(isTimetable);
    EXPECT_EQ(block, "<a>estandardScenarioClass</a><b>standard gauge</b>");

    // Switched and switched back before saving: the words stay as loaded.
    block = standard;
    isTimetable = false;
    switchScenarioType(block, false, isTimetable);
    EXPECT_EQ(block, standard);
    EXPECT_FALSE(isTimetable);
}

TEST(SaveSteps, WritesTheBoxesIntoTheBlock)
{
    QString block = kBlock;
    EXPECT_TRUE(writeCollectingErrors(block, newBoxes(), startTimeSeconds("0830")).isEmpty());
    EXPECT_EQ(block,
              "<cScenarioProperties d:id=\"1\"><ID><cGUID><DevString d:type=\"cDeltaString\">abc</DevString></cGUID></ID>"
              "<DisplayName><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Dawn &amp; Dusk &lt;Run&gt;</English>"
              "<French d:type=\"cDeltaString\">Dawn &amp; Dusk &lt;Run&gt;</French><Italian d:type=\"cDeltaString\">Dawn &amp; Dusk &lt;Run&gt;</Italian>"
              "<German d:type=\"cDeltaString\">Dawn &amp; Dusk &lt;Run&gt;</German><Spanish d:type=\"cDeltaString\">Dawn &amp; Dusk &lt;Run&gt;</Spanish>"
              "<Key d:type=\"cDeltaString\">k-name</Key></Localisation-cUserLocalisedString></DisplayName>"
              "<Description><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Fish &amp; chips</English>"
              "<Key d:type=\"cDeltaString\">k-desc</Key></Localisation-cUserLocalisedString></Description>"
              "<Briefing><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">Line one\r\nLine two </English>"
              "</Localisation-cUserLocalisedString></Briefing>"
              "<StartTime d:type=\"sFloat32\">30600.0000</StartTime><DurationMins d:type=\"sInt32\">60</DurationMins>"
              "<StartDD d:type=\"sInt32\">1</StartDD><StartMM d:type=\"sInt32\">12</StartMM>"
              "<StartYYYY d:type=\"sInt32\">2010</StartYYYY><Season d:type=\"cDeltaString\">SEASON_WINTER</Season>"
              "<WeatherBlueprint><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID><iBlueprintLibrary-cBlueprintSetID>"
              "<Provider d:type=\"cDeltaString\">Other &amp; Co</Provider><Product d:type=\"cDeltaString\">Pack2</Product>"
              "</iBlueprintLibrary-cBlueprintSetID></BlueprintSetID>"
              "<BlueprintID d:type=\"cDeltaString\">Weather\\Storms\\Thunder.xml</BlueprintID>"
              "</iBlueprintLibrary-cAbsoluteBlueprintID></WeatherBlueprint>"
              "<ScenarioClass d:type=\"cDeltaString\">eStandardScenarioClass</ScenarioClass></cScenarioProperties>");

    // The boxes as loaded write the block back unchanged.
    QString same = kBlock;
    const PropertyBoxes loaded{QStringLiteral("Old Name"), QStringLiteral("Old description"), QStringLiteral("Old briefing"),
                               QStringLiteral("0700"), QStringLiteral("45"), QStringLiteral("15"), QStringLiteral("6"),
                               QStringLiteral("2008"), QStringLiteral("SEASON_SUMMER"), QStringLiteral("VeltraneSamples"),
                               QStringLiteral("Sample01"), QStringLiteral("Weather\\SummerSun.xml")};
    QString expected = kBlock;
    expected.replace(">Vieux<", ">Old Name<");
    for (const char* language : {"Italian", "German", "Spanish"})
        expected.replace(QStringLiteral("\"></%1>").arg(language), QStringLiteral("\">Old Name</%1>").arg(language));
    EXPECT_TRUE(writeCollectingErrors(same, loaded, startTimeSeconds("0700")).isEmpty());
    EXPECT_EQ(same, expected); // every language of the name takes the box's text
}

TEST(SaveSteps, MissingElementsOfTheBlock)
{
    // Without "<DisplayName>" every later search runs from position 0: the three localised
    // writes and the two searches fail one by one, and the elements after them are skipped.
    QString block = kBlock;
    block.replace("DisplayName>", "Title>");
    const QString before = block;
    EXPECT_EQ(writeCollectingErrors(block, newBoxes(), startTimeSeconds("0830")), (QList<int>{5, 5, 5, 5, 5}));
    EXPECT_EQ(block, before);

    // Without a briefing, only its write fails; the elements after it are skipped.
    block = kBlock;
    block.replace("<Briefing>", "<Summary>");
    QList<int> errors = writeCollectingErrors(block, newBoxes(), startTimeSeconds("0830"));
    EXPECT_EQ(errors, QList<int>{5});
    EXPECT_TRUE(block.contains("Fish &amp; chips"));
    EXPECT_TRUE(block.contains(">25200.0000<"));
    EXPECT_TRUE(block.contains(">45<"));

    // An element missing after the briefing stops the chain there, silently.
    block = kBlock;
    block.replace("<StartMM d:type=\"sInt32\">6</StartMM>", "");
    errors = writeCollectingErrors(block, newBoxes(), startTimeSeconds("0830"));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(block.contains("<StartTime d:type=\"sFloat32\">30600.0000</StartTime>"));
    EXPECT_TRUE(block.contains("<DurationMins d:type=\"sInt32\">60</DurationMins>"));
    EXPECT_TRUE(block.contains("<StartDD d:type=\"sInt32\">1</StartDD>"));
    EXPECT_TRUE(block.contains("<StartYYYY d:type=\"sInt32\">2008</StartYYYY>"));
    EXPECT_TRUE(block.contains(">SEASON_SUMMER<"));
    EXPECT_TRUE(block.contains(">VeltraneSamples<"));
}

TEST(SaveSteps, Messages)
{
    EXPECT_EQ(scenarioNameQuestion(),
              "You have changed the Scenario Name - Do you wish to\r\nsave the scenario with this name (click YES) or do you\r\n"
              "wish to Clone the scenario (click NO)");
    EXPECT_EQ(noDrivenConsistQuestion(),
              "You do not appear to have chosen a consist to drive in this Scenario.\r\nDo you wish to continue?");
}
