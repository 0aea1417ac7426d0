// The route asset collection with its blueprints and shapes converted ahead, several at once:
// the same batch and the same messages, in the same order, as one conversion at a time gives.

#include "packaging/RoutePackage.h"

#include "common/SharedState.h"
#include "platform/TextCodec.h"
#include "routes_check/CheckGame.h"
#include "support/ScopedEnv.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace packaging;

namespace {

class RouteAssetPool : public CheckGameTest {
protected:
    const QString route = QStringLiteral("c0110000-0000-4000-8000-00000000c022");
    static constexpr int kBlueprints = 10;

    static QByteArray name(int k) { return "B" + QByteArray::number(k).rightJustified(2, '0'); }
    // B03 and B05 share one shape; B04 is refused by the serializer; B07 and B09 end inside an
    // element; B08's shape is refused.
    static QByteArray geometry(int k) { return k == 3 || k == 5 ? QByteArray("Shared") : name(k); }
    static bool refused(int k) { return k == 4; }
    static bool broken(int k) { return k == 7 || k == 9; }

    void SetUp() override
    {
        CheckGameTest::SetUp();
        QList<TileRef> refs;
        // Listed backwards: the collection sorts them.
        for (int k = kBlueprints; k >= 1; --k)
            refs.append({"TestCo", "Pack1", "Scenery\\" + name(k) + ".xml"});
        writeGameFile(QStringLiteral("Content/Routes/") + route + QStringLiteral("/Scenery/+000000+000000.bin"), tile(refs));
        const QString a = QStringLiteral("Assets/TestCo/Pack1/Scenery/");
        for (int k = 1; k <= kBlueprints; ++k) {
            const QString bin = a + QString::fromLatin1(name(k)) + QStringLiteral(".bin");
            if (broken(k))
                writeGameFile(bin, head("cBlueprintLoader") + "\t<GeometryID d:type=\"cDeltaString\">TestCo\\[00]B\r\n");
            else
                writeGameFile(bin, (refused(k) ? failMarker() : QByteArray())
                                       + blueprint("TestCo\\Pack1\\Scenery\\[00]" + geometry(k)));
            writeGameFile(a + QString::fromLatin1(geometry(k)) + QStringLiteral(".GeoPcDx"),
                          (k == 8 ? failMarker() : QByteArray()) + shape({"Textures\\T" + geometry(k)}));
        }
    }

    QString line(const QString& sourceRel, const QString& targetRel) const
    {
        return QStringLiteral("Call XCopy \"") + game() + QStringLiteral("\\Assets\\") + sourceRel + QStringLiteral("\" \"")
               + tree.programPath() + QStringLiteral("\\Pool Line\\Rail Simulator\\Assets\\") + targetRel
               + QStringLiteral("\\*.*\" /Y\r\n");
    }

    QString expectedBatch() const
    {
        const QString s = QStringLiteral("TestCo\\Pack1\\Scenery");
        QString text;
        for (int k = 1; k <= kBlueprints; ++k) {
            text += line(s + QLatin1Char('\\') + QString::fromLatin1(name(k)) + QStringLiteral("*.*"), s);
            if (refused(k) || broken(k))
                continue;
            const QString g = QString::fromLatin1(geometry(k));
            text += line(s + QLatin1Char('\\') + g + QStringLiteral("*.*"), s);
            if (k != 8)
                text += line(s + QStringLiteral("\\Textures\\T") + g + QStringLiteral("**.*"), s + QStringLiteral("\\Textures"));
        }
        return text + QStringLiteral("\r\n");
    }
};

TEST_F(RouteAssetPool, SameBatchAndMessagesInOrderWithOneOrFourSerializers)
{
    constexpr int kDelayMs = 250;
    // One tile, ten blueprints and six shapes (one shared by two blueprints).
    constexpr int kRuns = 1 + kBlueprints + 6;
    const ScopedEnv delay("SERZ_DELAY_MS", QByteArray::number(kDelayMs));
    qint64 oneAtATimeMs = 0;
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(jobs);
        const ScopedEnv env("VELTRANE_SERZ_JOBS", jobs);
        for (const char* b : {"B07", "B09"})
            ui.expectMsgBox(vb::vbOK, QStringLiteral("An error Invalid procedure call or argument occurred while checking ")
                                          + asset(QStringLiteral("TestCo\\Pack1\\Scenery\\") + QLatin1String(b)
                                                  + QStringLiteral(".bin")));
        const RouteAssetOutcome outcome = CollectRouteAssets(route, QStringLiteral("Pool Line"), false);
        // The time spent waiting for the serializer: every run's delay one at a time, far less
        // with four at once.
        const qint64 ms = outcome.serializerNs / 1000000;
        ui.verifyDone();
        EXPECT_FALSE(outcome.aborted);
        EXPECT_EQ(outcome.blueprints, kBlueprints);
        EXPECT_EQ(outcome.serializerRuns, kRuns);
        EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Do_Run.bat"))), expectedBatch());
        // The work folder holds nothing of the conversions.
        EXPECT_EQ(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
        if (QByteArray(jobs) == "4") {
            EXPECT_LT(ms, oneAtATimeMs * 65 / 100) << ms << " ms against " << oneAtATimeMs << " ms";
        } else {
            oneAtATimeMs = ms;
            EXPECT_GE(ms, kRuns * kDelayMs);
        }
        QDir(tree.path(QStringLiteral("program/Pool Line"))).removeRecursively();
    }
}

} // namespace
