// The clone without its window: the new identity of the block, the refusals, the list order,
// and the work on a copy of the sample game.
#include "scenario_save/SaveFixture.h"

#include "common/FileProcs.h"
#include "scenarios/ScenarioClone.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

using namespace savetest;
using namespace scenarios;

namespace {

const QString kFixedGuid = QStringLiteral("03020100-0504-0706-0809-0A0B0C0D0E0F");

QString fixedGuid(QString& half1, QString& half2)
{
    std::array<quint8, 16> bytes{};
    for (int i = 0; i < 16; ++i)
        bytes[i] = quint8(i);
    return NewGuidFromBytes(bytes, half1, half2);
}

const QString kIdentity = QStringLiteral(
    "<ID><cGUID><UUID><e d:type=\"sUInt64\">1</e><e d:type=\"sUInt64\">2</e></UUID>"
    "<DevString d:type=\"cDeltaString\">old-guid</DevString></cGUID></ID>");

} // namespace

TEST(CloneIdentity, ObjectIdGrowsBy3127)
{
    const struct {
        const char* block;
        const char* expected; // "" when refused
    } rows[] = {
        {"<cScenarioProperties d:id=\"102496976\"><a/>", "<cScenarioProperties d:id=\"102500103\"><a/>"},
        {"<cScenarioProperties d:id=\"999999999\"><a/>", "<cScenarioProperties d:id=\"1000003126\"><a/>"},
        {"<cScenarioProperties d:id=\"5\">", "<cScenarioProperties d:id=\"3132\">"},
        {"<cScenarioProperties><x d:id=\"5\"/>", ""},       // not on the opening tag
        {"<cScenarioProperties d:id=\"12a\">", ""},         // not a number
        {"<cScenarioProperties d:id=\"\">", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        QString block = QString::fromLatin1(row.block);
        const bool ok = bumpObjectId(block);
        if (*row.expected) {
            EXPECT_TRUE(ok) << row.block;
            EXPECT_EQ(block, QString::fromLatin1(row.expected));
        } else {
            EXPECT_FALSE(ok) << row.block;
            EXPECT_EQ(block, QString::fromLatin1(row.block));
        }
    }
}

TEST(CloneIdentity, FixedGuidGivesHalvesAndDevString)
{
    QString half1;
    QString half2;
    const QString guid = fixedGuid(half1, half2);
    QString block = QStringLiteral("<cScenarioProperties d:id=\"1\">") + kIdentity
        + QStringLiteral("<Next><e>9</e></Next></cScenarioProperties>");
    ASSERT_TRUE(setCloneIdentity(block, guid, half1, half2));
    EXPECT_EQ(block, QStringLiteral("<cScenarioProperties d:id=\"1\"><ID><cGUID><UUID>"
                                    "<e d:type=\"sUInt64\">506097522914230528</e>"
                                    "<e d:type=\"sUInt64\">1084818905618843912</e></UUID>"
                                    "<DevString d:type=\"cDeltaString\">03020100-0504-0706-0809-0A0B0C0D0E0F</DevString>"
                                    "</cGUID></ID><Next><e>9</e></Next></cScenarioProperties>"));

    // Refused, and the block left alone: no UUID, one "e" only, no DevString.
    for (const QString& bad : {QStringLiteral("<ID><cGUID><DevString>x</DevString></cGUID></ID>"),
                               QStringLiteral("<UUID><e>1</e></UUID><Other><e>2</e></Other><DevString>x</DevString>"),
                               QStringLiteral("<UUID><e>1</e><e>2</e></UUID>")}) {
        QString copy = bad;
        EXPECT_FALSE(setCloneIdentity(copy, guid, half1, half2)) << bad.toStdString();
        EXPECT_EQ(copy, bad);
    }
}

TEST(CloneIdentity, NameChecksAndBatchLine)
{
    const struct {
        const char* name;
        bool illegal;
    } rows[] = {{"My.Scenario", true}, {"A/B", true},          {"a\\b", true},     {"x|y", true},  {"<x>", true},
                {"c:x", true},          {"My_Scenario", false}, {"My Scenario (2)", false}, {"", false}};
    for (const auto& row : rows)
        EXPECT_EQ(cloneNameHasIllegalCharacter(QString::fromLatin1(row.name)), row.illegal) << row.name;
    EXPECT_EQ(sceneryBatchLine("C:\\R\\Scenarios\\a b", "C:\\R\\Scenarios\\NEW"),
              "Copy \"C:\\R\\Scenarios\\a b\\Scenery\\*.*\" \"C:\\R\\Scenarios\\NEW\\Scenery\\*.*\"\r\n");
}

namespace {

class CloneGame : public SaveFixture {
protected:
    CloneOutcome clone() { return cloneScenario(editor, request, fixedGuid); }
    QString cloneDir() const { return routeDir() + QStringLiteral("/Scenarios/") + kFixedGuid; }
    QString listedText() const { return platform::decodeAnsi(decoded(listFile())); }
};

} // namespace

TEST_F(CloneGame, SecondOfThreeBlocksGivesFourWithTheCloneThird)
{
    open(kEvening);
    // A third block after the opened one.
    const QString third = QString(shared().ScenarioProperties)
                              .replace(kEvening, QStringLiteral("third-0000"));
    shared().ScenariosTextAfter = QStringLiteral("\r\n") + third + shared().ScenariosTextAfter;
    request.boxes[DisplayNameBox] = QStringLiteral("Late Shuttle");
    request.boxes[StartTimeBox] = QStringLiteral("2130");
    request.boxes[SeasonBox] = QStringLiteral("SEASON_AUTUMN");
    request.timetableSelected = !editor.IsTimetable;
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone a Scenario");
    ui.expectMsgBox(vb::vbOK, "Your New Scenarios.bin file has been updated.");
    const QString sourceBlock = shared().ScenarioProperties;
    ASSERT_EQ(clone(), CloneOutcome::Cloned);
    ui.verifyDone();
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    const QString list = listedText();
    const qsizetype source = list.indexOf(sourceBlock);
    ASSERT_GE(source, 0) << "the source block is unchanged";
    const qsizetype cloned = list.indexOf(kFixedGuid);
    const qsizetype thirdAt = list.indexOf(QStringLiteral("third-0000"));
    EXPECT_LT(source, cloned);
    EXPECT_LT(cloned, thirdAt);
    EXPECT_EQ(list.count(QStringLiteral("<cScenarioProperties ")),
              (shared().ScenariosTextBefore + sourceBlock + shared().ScenariosTextAfter).count("<cScenarioProperties ") + 1);
    // The clone block: the boxes written, the type words as the source's.
    const QString cloneBlock = list.mid(source + sourceBlock.size(), thirdAt - source - sourceBlock.size());
    EXPECT_TRUE(cloneBlock.contains(">Late Shuttle</English>"));
    EXPECT_TRUE(cloneBlock.contains(">77400.0000</StartTime>"));
    EXPECT_TRUE(cloneBlock.contains(">SEASON_AUTUMN</Season>"));
    EXPECT_EQ(cloneBlock.count(QStringLiteral("Standard"), Qt::CaseInsensitive),
              sourceBlock.count(QStringLiteral("Standard"), Qt::CaseInsensitive));
    EXPECT_EQ(cloneBlock.count(QStringLiteral("Timetable"), Qt::CaseInsensitive),
              sourceBlock.count(QStringLiteral("Timetable"), Qt::CaseInsensitive));
    EXPECT_TRUE(cloneBlock.contains(">506097522914230528</e>"));
    EXPECT_TRUE(QFileInfo(cloneDir() + "/Scenario.bin").isFile());
    EXPECT_FALSE(QFileInfo::exists(cloneDir() + "/Scenery"));
}

TEST_F(CloneGame, UnusableSourceIsRefusedBeforeAnythingIsWritten)
{
    const struct {
        const char* what;
        std::function<void()> spoil;
    } rows[] = {
        {"no object id", [] { shared().ScenarioProperties.replace(QStringLiteral(" d:id=\""), QStringLiteral(" d:xx=\"")); }},
        {"no UUID", [] { shared().ScenarioProperties.replace(QStringLiteral("UUID>"), QStringLiteral("UUIX>")); }},
        {"no DevString", [] { shared().ScenarioProperties.replace(QStringLiteral("DevString"), QStringLiteral("DevThing")); }},
        {"empty block", [] { shared().ScenarioProperties.clear(); }},
        {"no loaded text", [] { shared().ScenarioTextLoaded.clear(); }},
        {"quote in the folder", [] { shared().ScenarioFolder += QStringLiteral("\"x"); }},
    };
    const QMap<QString, QByteArray> before = gameFiles();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        open(kMorning);
        QFile::remove(workFile("Scenarios.xml"));
        row.spoil();
        request.boxes[DisplayNameBox] = QStringLiteral("Night Freight");
        ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
        ui.expectMsgBox(vb::vbOK, "no new scenario was made.");
        EXPECT_EQ(clone(), CloneOutcome::Failed);
        ui.verifyDone();
        EXPECT_EQ(gameFiles(), before);
        EXPECT_FALSE(QFileInfo::exists(workFile("Scenarios.xml")));
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }
}

TEST_F(CloneGame, FailuresLeaveNothingAndARetrySucceeds)
{
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* message;
    } rows[] = {
        {"list conversion", [] { qputenv("SERZ_FAIL", "Scenarios.xml"); }, "no new scenario was made."},
        {"scenario conversion", [] { qputenv("SERZ_FAIL", "Scenario.xml"); }, "no new scenario was made."},
        {"all backup names", [this] {
             writeFileBytes(routeDir() + "/Scenarios.bak", "x");
             for (int i = 1; i <= 50; ++i)
                 writeFileBytes(routeDir() + "/Scenarios.bak" + QString::number(i), "x");
         }, "All 51 backup names"},
        {"batch interpreter missing", [this] { qputenv("VELTRANE_CMD", QFile::encodeName(tree.programPath() + "/none")); },
         "no new scenario was made."},
        {"folder exists", [this] { QDir().mkpath(cloneDir()); writeFileBytes(cloneDir() + "/keep", "k"); },
         "exists already."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        open(kMorning);
        request.boxes[DisplayNameBox] = QStringLiteral("Night Freight");
        const QByteArray oldCmd = qgetenv("VELTRANE_CMD");
        row.arrange();
        const QMap<QString, QByteArray> before = gameFiles();
        const QString properties = shared().ScenarioProperties;
        ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
        ui.expectMsgBox(vb::vbOK, row.message);
        EXPECT_EQ(clone(), CloneOutcome::Failed);
        ui.verifyDone();
        EXPECT_EQ(gameFiles(), before);
        EXPECT_EQ(shared().ScenarioProperties, properties);
        EXPECT_FALSE(editor.ChangesSaved);
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

        // Put right, the clone goes through.
        qunsetenv("SERZ_FAIL");
        if (oldCmd.isNull())
            qunsetenv("VELTRANE_CMD");
        else
            qputenv("VELTRANE_CMD", oldCmd);
        QDir(routeDir()).remove("Scenarios.bak");
        for (int i = 1; i <= 50; ++i)
            QDir(routeDir()).remove("Scenarios.bak" + QString::number(i));
        QDir(cloneDir()).removeRecursively();
        const QByteArray list = fileBytes(listFile());
        ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
        ui.expectMsgBox(vb::vbOK, "has been updated.");
        EXPECT_EQ(clone(), CloneOutcome::Cloned);
        ui.verifyDone();
        EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), list);
        EXPECT_TRUE(QFileInfo(cloneDir() + "/Scenery/+000000+000000.bin").isFile());
        // Back to the sample as it was for the next row.
        QFile::remove(listFile());
        QFile::rename(routeDir() + "/Scenarios.bak", listFile());
        QDir(cloneDir()).removeRecursively();
        editor.ChangesSaved = false;
    }
}
