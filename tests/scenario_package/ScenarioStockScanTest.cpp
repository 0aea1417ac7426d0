// The scenario stock scan with the test serializer: its vehicle blueprints are converted ahead
// of the scan, several at once, and the rows come out as a one-at-a-time scan gives them; a
// blueprint ID that leads out of the Assets folder is not followed.

#include "common/SharedState.h"
#include "packaging/ScenarioPackage.h"
#include "support/SampleGame.h"
#include "support/ScopedEnv.h"
#include "support/TempTree.h"
#include "support/SerzForm.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace packaging;

namespace {

QByteArray vehicle(const QByteArray& product, const QByteArray& id)
{
    return "<cOwnedEntity><BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>\r\n"
           "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">TestCo</Provider>\r\n"
           "<Product d:type=\"cDeltaString\">"
           + product + "</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>\r\n</BlueprintSetID>\r\n"
           "<BlueprintID d:type=\"cDeltaString\">" + id
           + "</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID></cOwnedEntity>\r\n";
}

// A vehicle blueprint with one head lamp whose x is x.
QByteArray lampBlueprint(const QByteArray& x)
{
    QByteArray matrix = "<Matrix><cHcRMatrix4x4><Element>\r\n";
    for (int k = 1; k <= 16; ++k)
        matrix += "<e d:type=\"sFloat32\" d:precision=\"string\">" + (k == 13 ? x : QByteArray("1")) + "</e>\r\n";
    return "<cBlueprintLoader>\r\n<cEntityContainerBlueprint-sChild>\r\n"
           "<ChildName d:type=\"cDeltaString\">HeadLamp 1</ChildName>\r\n<BlueprintID>"
           "<iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID><iBlueprintLibrary-cBlueprintSetID>\r\n"
           "<Provider d:type=\"cDeltaString\">LampCo</Provider>\r\n<Product d:type=\"cDeltaString\">Lights</Product>\r\n"
           "</iBlueprintLibrary-cBlueprintSetID></BlueprintSetID>\r\n"
           "<BlueprintID d:type=\"cDeltaString\">Lamps\\White.xml</BlueprintID>\r\n"
           "</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID>\r\n"
           + matrix + "</Element></cHcRMatrix4x4></Matrix>\r\n</cEntityContainerBlueprint-sChild>\r\n</cBlueprintLoader>\r\n";
}

TEST(ScenarioStockScan, ConvertsAheadAndGivesTheRowsOfAOneAtATimeScan)
{
    TempTree tree;
    resetShared();
    ASSERT_TRUE(installSerz(tree.systemPath()));
    tree.makeDir(QStringLiteral("program/TempFiles"));
    shared().GamePath = tree.gamePath();

    // Eight locos, each with a lamp at its own place; one is refused by the serializer, one is
    // missing and one comes again in other letter case (read once).
    QByteArray scenario = "<cRecordSet><Record>\r\n";
    QStringList expected;
    int conversions = 0;
    for (int k = 1; k <= 8; ++k) {
        const QByteArray name = "Loco" + QByteArray::number(k) + "_XP-Pass";
        const QByteArray x = QByteArray::number(k) + ".5";
        QByteArray xml = lampBlueprint(x);
        if (k == 4)
            xml = "<!--serz:fail-->\r\n" + xml;
        if (k != 6)
            tree.writeFile(QStringLiteral("game/Assets/TestCo/Locos/RailVehicles/") + QString::fromLatin1(name)
                               + QStringLiteral(".bin"),
                           serzBinary(xml));
        scenario += vehicle("Locos", "RailVehicles\\" + name + ".xml");
        const QString row = QStringLiteral("TestCo\\Locos\\RailVehicles\\") + QString::fromLatin1(name) + QStringLiteral(".xml,");
        expected.append(k == 4 || k == 6 ? row + QStringLiteral("0,0,,,,,,,,,")
                                         : row + QStringLiteral("1,0,") + QString::fromLatin1(x)
                                               + QStringLiteral(",1,1,,,,LampCo,Lights,Lamps\\White.xml"));
        ++conversions; // the missing one too: the serializer finds nothing to read
        if (k == 2) {
            scenario += vehicle("LOCOS", "railvehicles\\loco1_xp-pass.xml");
            expected.append(QStringLiteral("TestCo\\LOCOS\\railvehicles\\loco1_xp-pass.xml,1,0,1.5,1,1,,,,LampCo,Lights,"
                                           "Lamps\\White.xml"));
        }
    }
    // A blueprint ID that climbs out of the Assets folder: its file is never converted or read.
    tree.writeFile(QStringLiteral("game/Outside/Loco9_XP-Pass.bin"), serzBinary(lampBlueprint("9.5")));
    scenario += vehicle("Locos", "..\\..\\..\\Outside\\Loco9_XP-Pass.xml");
    expected.append(QStringLiteral("TestCo\\Locos\\..\\..\\..\\Outside\\Loco9_XP-Pass.xml,0,0,,,,,,,,,"));
    scenario += "</Record></cRecordSet>\r\n";
    const QString folder = tree.gamePath() + QStringLiteral("\\Content\\Routes\\R\\Scenarios\\S");
    tree.writeFile(QStringLiteral("game/Content/Routes/R/Scenarios/S/Scenario.bin"), serzBinary(scenario));

    constexpr int kDelayMs = 200;
    const ScopedEnv delay("SERZ_DELAY_MS", QByteArray::number(kDelayMs));
    qint64 oneAtATimeMs = 0;
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(jobs);
        const ScopedEnv env("VELTRANE_SERZ_JOBS", jobs);
        QStringList names;
        QElapsedTimer timer;
        timer.start();
        const ScenarioStock stock = ListScenarioStock(folder, [&names](const QString& name) { names.append(name); });
        const qint64 ms = timer.elapsed();
        ASSERT_TRUE(stock.converted);
        EXPECT_EQ(stock.scan.rows.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
        EXPECT_TRUE(stock.scan.lampAddOnNeeded);
        EXPECT_EQ(names.size(), 10);
        // Nothing of the pool's work is left behind.
        EXPECT_EQ(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("Scenario.xml")});
        // The scenario itself and then eight blueprints: one at a time they take every delay,
        // four at once about a third of that.
        if (QByteArray(jobs) == "4") {
            EXPECT_LT(ms, oneAtATimeMs * 65 / 100) << ms << " ms against " << oneAtATimeMs << " ms";
        } else {
            oneAtATimeMs = ms;
            EXPECT_GE(ms, (1 + conversions) * kDelayMs);
        }
    }
    resetShared();
}

} // namespace
