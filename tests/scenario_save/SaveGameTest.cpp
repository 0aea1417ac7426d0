// "Save Changes" writing the sample game's files through the test serializer: the texts
// written, the backups, the start-time shift, and the failures that must leave both game
// files exactly as they were.
#include "SaveFixture.h"

#include <QXmlStreamReader>

using namespace savetest;
using namespace scenarios;
using editortest::Consist;
using editortest::Vehicle;

namespace {

const QString kNotChanged = QStringLiteral("Your Scenario.bin and Scenarios.bin files have not been changed.");

QByteArray ansiLine(const QString& text)
{
    return platform::encodeAnsi(text + QStringLiteral("\r\n"));
}

// Four consists: three services starting at the given times (the first one driven) and a
// loose consist, which has no start time of its own.
QList<Consist> servicesStartingAt(const QStringList& times)
{
    QList<Consist> consists;
    for (qsizetype i = 0; i < times.size(); ++i) {
        Consist c({Vehicle()}, QStringLiteral("1A0%1 Service").arg(i + 1));
        c.startTime = times[i];
        c.playerDriver = i == 0 ? QStringLiteral("1") : QStringLiteral("0");
        consists.append(c);
    }
    consists.append(Consist({Vehicle()}));
    return consists;
}

class SaveGame : public SaveFixture {
protected:
    void SetUp() override
    {
        SaveFixture::SetUp();
        listBytes = fileBytes(listFile());
        scenarioBytes = fileBytes(scenarioFile());
        ASSERT_FALSE(listBytes.isEmpty());
        ASSERT_FALSE(scenarioBytes.isEmpty());
    }

    // A failed save: one message naming what failed, and nothing changed anywhere.
    void expectFailure(const QString& failedPart)
    {
        const QMap<QString, QByteArray> before = gameFiles();
        const QString properties = shared().ScenarioProperties;
        const QString text = shared().ScenarioText;
        ui.expectMsgBox(vb::vbOK, failedPart);
        EXPECT_EQ(save(), SaveOutcome::Failed);
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_TRUE(ui.lastMessage().text.contains(failedPart)) << qPrintable(ui.lastMessage().text);
        EXPECT_TRUE(ui.lastMessage().text.endsWith("\r\n" + kNotChanged)) << qPrintable(ui.lastMessage().text);
        EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
        EXPECT_EQ(gameFiles(), before);
        EXPECT_EQ(fileBytes(listFile()), listBytes);
        EXPECT_EQ(fileBytes(scenarioFile()), scenarioBytes);
        EXPECT_EQ(shared().ScenarioProperties, properties);
        EXPECT_EQ(shared().ScenarioText, text);
        EXPECT_FALSE(editor.ChangesSaved);
        EXPECT_EQ(editor.ConsistCount(), 3);
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        ui.clearRecords();
    }

    void expectSaved()
    {
        ui.expectMsgBox(vb::vbOK, "have been updated.");
        EXPECT_EQ(save(), SaveOutcome::Saved);
        ASSERT_FALSE(ui.messages().isEmpty());
        EXPECT_EQ(ui.lastMessage().text, "Your Scenario.bin and Scenarios.bin files have been updated.");
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbInformation);
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }

    void useScenarioText(const QList<Consist>& consists)
    {
        shared().ScenarioText = editortest::scenarioXml(consists);
        shared().ScenarioTextLoaded = shared().ScenarioText;
        loadEditor();
    }

    QByteArray listBytes;
    QByteArray scenarioBytes;
};

} // namespace

TEST_F(SaveGame, WritesBothFilesAndBacksThemUp)
{
    open();
    const QString before = shared().ScenariosTextBefore;
    const QString after = shared().ScenariosTextAfter;
    const QString scenarioText = shared().ScenarioText;
    QString block = shared().ScenarioProperties;
    const QMap<QString, QByteArray> gameBefore = gameFiles();

    request.boxes[DescriptionBox] = "Dawn & Dusk run";
    request.boxes[StartTimeBox] = "0800";
    request.boxes[DurationBox] = "90 ";
    expectSaved();
    EXPECT_EQ(ui.messages().size(), 1);

    // The block as it must read: each localised text in all five languages (the description
    // as typed, escaped), the new start time and duration, everything else as it was.
    const auto fill = [&block](const QString& element, const QString& english, const QString& value) {
        const qsizetype d = block.indexOf("<" + element + ">");
        const qsizetype e = block.indexOf("</" + element + ">");
        QString text = block.mid(d, e - d);
        ASSERT_EQ(text.count(">" + english + "</English>"), 1);
        text.replace(">" + english + "</English>", ">" + value + "</English>");
        for (const char* language : {"French", "Italian", "German", "Spanish"}) {
            const QString empty = QStringLiteral("\"cDeltaString\"></%1>").arg(language);
            ASSERT_EQ(text.count(empty), 1);
            text.replace(empty, QStringLiteral("\"cDeltaString\">%1</%2>").arg(value, language));
        }
        block = block.left(d) + text + block.mid(e);
    };
    fill("DisplayName", "Morning Freight", "Morning Freight");
    fill("Description", "Take the morning freight from Veltrane Central to Eastfield Yard.", "Dawn &amp; Dusk run");
    fill("Briefing", "Couple to your train in platform 1 and depart on time.",
         "Couple to your train in platform 1 and depart on time.");
    block.replace("<StartTime d:type=\"sFloat32\">25200.0000</StartTime>", "<StartTime d:type=\"sFloat32\">28800.0000</StartTime>");
    block.replace("<DurationMins d:type=\"sInt32\">45</DurationMins>", "<DurationMins d:type=\"sInt32\">90</DurationMins>");
    const QByteArray expectedList = ansiLine(before + block + after);

    EXPECT_EQ(fileBytes(workFile("Scenarios.xml")), expectedList);
    EXPECT_EQ(decoded(listFile()), expectedList);
    // The scenario is written back as it was (no shift asked for).
    EXPECT_EQ(fileBytes(workFile("Scenario.xml")), ansiLine(scenarioText));
    EXPECT_EQ(decoded(scenarioFile()), ansiLine(scenarioText));

    // The old files are kept as the first backups; nothing else in the game changed.
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), listBytes);
    EXPECT_EQ(fileBytes(scenarioDir() + "/Scenario.bak"), scenarioBytes);
    QMap<QString, QByteArray> gameAfter = gameFiles();
    const QString route = "Content/Routes/" + kValley;
    const QString scenario = route + "/Scenarios/" + kMorning;
    EXPECT_EQ(gameAfter.take(route + "/Scenarios.bak"), gameBefore.value(route + "/Scenarios.bin"));
    EXPECT_EQ(gameAfter.take(scenario + "/Scenario.bak"), gameBefore.value(scenario + "/Scenario.bin"));
    gameAfter.remove(route + "/Scenarios.bin");
    gameAfter.remove(scenario + "/Scenario.bin");
    QMap<QString, QByteArray> unchanged = gameBefore;
    unchanged.remove(route + "/Scenarios.bin");
    unchanged.remove(scenario + "/Scenario.bin");
    EXPECT_EQ(gameAfter, unchanged);

    // The editor is done with this scenario.
    EXPECT_TRUE(editor.ChangesSaved);
    EXPECT_EQ(editor.ConsistCount(), 0);
    EXPECT_TRUE(shared().ScenarioText.isEmpty());
    EXPECT_TRUE(shared().ScenarioProperties.isEmpty());
}

TEST_F(SaveGame, TypedTextIsEscapedAndTheTypeWordsSwitched)
{
    open();
    request.boxes[DisplayNameBox] = "A & B <express>";
    request.timetableSelected = true;
    ui.expectMsgBox(vb::vbYes, "click YES");
    expectSaved();
    EXPECT_TRUE(editor.IsTimetable);

    // The list reads as valid XML, and the name as typed.
    const QByteArray xml = decoded(listFile());
    QXmlStreamReader reader(xml);
    QStringList english;
    QStringList classes;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("English"))
            english.append(reader.readElementText());
        else if (reader.name() == QLatin1String("ScenarioClass"))
            classes.append(reader.readElementText());
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    ASSERT_GE(english.size(), 4);
    EXPECT_EQ(english[0], "A & B <express>");
    EXPECT_EQ(english[3], "Evening Shuttle"); // the next scenario's block is untouched
    EXPECT_EQ(classes, (QStringList{"etimetableScenarioClass", "eStandardScenarioClass"}));
}

TEST_F(SaveGame, StepFailureIsReportedAndTheSaveGoesOn)
{
    // The block as the browser leaves it, without its briefing; the editor's fields as its
    // loading would set them.
    useSampleScenario();
    shared().ScenarioProperties.replace("Briefing>", "Summary>");
    editor.LoadedName = "Morning Freight";
    editor.LoadedStartTime = "25200.0000";
    request.boxes = {"Morning Freight", "Changed", "", "0800", "45", "15", "6", "2008", "SEASON_SUMMER",
                     "VeltraneSamples", "Sample01", "Weather\\SummerSun.xml"};
    request.drivenConsist = "x";
    ui.expectMsgBox(vb::vbOK, "An error 5 occurred");
    expectSaved();
    EXPECT_EQ(messageTexts(), (QStringList{"An error 5 occurred while saving your Scenario", scenarioSavedMessage()}));
    const QString list = platform::decodeAnsi(decoded(listFile()));
    EXPECT_TRUE(list.contains(">Changed</English>"));
    EXPECT_TRUE(list.contains(">25200.0000</StartTime>")); // skipped after the failing step
}

TEST_F(SaveGame, StartTimeShiftOfEveryConsist)
{
    // 0700 to 0800 with "Change for all consists": +3600 seconds; a time past midnight comes
    // round, exactly midnight stays 86400, and a fraction is rounded first.
    open();
    useScenarioText(servicesStartingAt({"84000", "82800", "3600.5"}));
    ASSERT_EQ(editor.LoadedStartTime, "25200.0000");
    request.boxes[StartTimeBox] = "0800";
    request.shiftAllConsists = true;
    expectSaved();
    EXPECT_EQ(decoded(scenarioFile()), ansiLine(editortest::scenarioXml(servicesStartingAt({"1200", "86400", "7200"}))));
    EXPECT_TRUE(platform::decodeAnsi(decoded(listFile())).contains("<StartTime d:type=\"sFloat32\">28800.0000</StartTime>"));
}

TEST_F(SaveGame, NoShiftWithoutTheTickBox)
{
    open();
    useScenarioText(servicesStartingAt({"84000", "82800", "3600.5"}));
    const QString text = shared().ScenarioText;
    request.boxes[StartTimeBox] = "0800";
    expectSaved();
    EXPECT_EQ(decoded(scenarioFile()), ansiLine(text));
    EXPECT_TRUE(platform::decodeAnsi(decoded(listFile())).contains("<StartTime d:type=\"sFloat32\">28800.0000</StartTime>"));
}

TEST_F(SaveGame, ShiftBackBeforeMidnight)
{
    // 0800 to 0600: -7200 seconds, and a start at 3600 becomes -3600.
    useSampleScenario();
    shared().ScenarioProperties.replace(">25200.0000<", ">28800.0000<");
    useScenarioText(servicesStartingAt({"3600", "30000"}));
    request.boxes[StartTimeBox] = "0600";
    request.shiftAllConsists = true;
    expectSaved();
    EXPECT_EQ(decoded(scenarioFile()), ansiLine(editortest::scenarioXml(servicesStartingAt({"-3600", "22800"}))));
}

TEST_F(SaveGame, BackupTakesTheFirstFreeNumber)
{
    ASSERT_TRUE(writeFileBytes(routeDir() + "/Scenarios.bak", "first"));
    ASSERT_TRUE(writeFileBytes(routeDir() + "/Scenarios.bak1", "second"));
    ASSERT_TRUE(writeFileBytes(scenarioDir() + "/Scenario.bak", "one"));
    open();
    expectSaved();
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), "first");
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak1"), "second");
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak2"), listBytes);
    EXPECT_FALSE(QFileInfo::exists(routeDir() + "/Scenarios.bak3"));
    EXPECT_EQ(fileBytes(scenarioDir() + "/Scenario.bak"), "one");
    EXPECT_EQ(fileBytes(scenarioDir() + "/Scenario.bak1"), scenarioBytes);
}

// Links at the backup names (one leading nowhere, one to a file outside the game) take those
// names: the old files go to the next free ones, and what the links lead to is untouched.
TEST_F(SaveGame, BackupsNeverLandThroughALink)
{
    const QString got = tree.makeDir("outside") + "/got.bin";
    const QString kept = tree.writeFile("outside/kept.bin", "kept");
    ASSERT_TRUE(QFile::link(got, scenarioDir() + "/Scenario.bak"));
    ASSERT_TRUE(QFile::link(kept, routeDir() + "/Scenarios.bak"));
    open();
    expectSaved();
    EXPECT_FALSE(QFileInfo::exists(got));
    EXPECT_EQ(fileBytes(kept), "kept");
    EXPECT_EQ(fileBytes(scenarioDir() + "/Scenario.bak1"), scenarioBytes);
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak1"), listBytes);
    EXPECT_TRUE(QFileInfo(scenarioDir() + "/Scenario.bak").isSymLink());
    EXPECT_TRUE(QFileInfo(routeDir() + "/Scenarios.bak").isSymLink());
}

TEST_F(SaveGame, NoFreeBackupNameChangesNothing)
{
    // All 51 names of either file taken: neither file is replaced.
    for (const QString& base : {scenarioDir() + "/Scenario.bak", routeDir() + "/Scenarios.bak"}) {
        SCOPED_TRACE(base.toStdString());
        ASSERT_TRUE(writeFileBytes(base, "0"));
        for (int n = 1; n <= 50; ++n)
            ASSERT_TRUE(writeFileBytes(base + QString::number(n), QByteArray::number(n)));
        open();
        const QString file = base.endsWith("Scenario.bak") ? scenarioFileText() : listFileText();
        expectFailure("All 51 backup names of " + file + " are in use; delete some of its old backups.");
    }
}

TEST_F(SaveGame, FailedConversionOfEitherFileChangesNothing)
{
    open();
    request.boxes[StartTimeBox] = "0800";
    request.shiftAllConsists = true;
    {
        const ScopedEnv fail("SERZ_FAIL", "Scenarios.xml");
        expectFailure("SERZ.EXE could not convert");
    }
    {
        const ScopedEnv fail("SERZ_FAIL", "Scenario.xml");
        expectFailure("SERZ.EXE could not convert");
    }
    // A scenario text the serializer refuses.
    const QString text = shared().ScenarioText;
    shared().ScenarioText.replace("</cRecordSet>", "<!--serz:fail--></cRecordSet>");
    expectFailure("SERZ.EXE could not convert");
    shared().ScenarioText = text;

    // Nothing was half-done: the next save shifts the consists once.
    expectSaved();
    const QString written = platform::decodeAnsi(decoded(scenarioFile()));
    EXPECT_TRUE(written.contains("<StartTime d:type=\"sFloat32\">28800</StartTime>"));  // 25200 + 3600
    EXPECT_TRUE(written.contains("<StartTime d:type=\"sFloat32\">29430</StartTime>"));  // 25830 + 3600
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), listBytes);
    EXPECT_FALSE(QFileInfo::exists(routeDir() + "/Scenarios.bak1"));
}

TEST_F(SaveGame, NothingToSaveWithoutTheTexts)
{
    open();
    shared().ScenarioText.clear();
    expectFailure("no longer loaded");
    useSampleScenario();
    shared().ScenarioProperties.clear();
    expectFailure("no longer loaded");
}

TEST_F(SaveGame, SecondReplacementFailingPutsTheFirstBack)
{
    // The scenario's folder has gone: the list, already replaced, is put back as it was.
    open();
    ASSERT_TRUE(QDir(scenarioDir()).removeRecursively());
    const QMap<QString, QByteArray> before = gameFiles();
    ui.expectMsgBox(vb::vbOK, "could not be copied to " + scenarioFileText());
    EXPECT_EQ(save(), SaveOutcome::Failed);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.lastMessage().text.endsWith(kNotChanged)) << qPrintable(ui.lastMessage().text);
    EXPECT_EQ(gameFiles(), before);
    EXPECT_EQ(fileBytes(listFile()), listBytes);
    EXPECT_FALSE(QFileInfo::exists(routeDir() + "/Scenarios.bak"));
    EXPECT_FALSE(editor.ChangesSaved);
}
