// The reading roads on the sample game whose provider folder, whole Assets folder or a route's
// Scenery is kept on another disk and linked back into the game, as people keep big games: every
// road gives what it gives on the game as installed, and with that disk unplugged each says its
// files are missing, in its own words, and writes nothing through the link.
#include "common/GameReference.h"
#include "hub/LoadingPicture.h"
#include "packaging/AssetFolderPackage.h"
#include "packaging/RoutePackage.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "routes/RouteScan.h"
#include "routes/StockList.h"
#include "scenarios/ConsistEditing.h"
#include "scenarios/ConsistModel.h"
#include "scenarios/ScenarioProperties.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/StockSearch.h"
#include "scenarios/StockSwap.h"
#include "assets/AssetList.h"
#include "assets/LodChange.h"

#include "LinkedGame.h"

#include "support/FolderContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <vector>

using namespace scenarios;

namespace {

const QString kSample = QStringLiteral("VeltraneSamples\\Sample01\\");
const QString kValleyRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
const QString kBranchRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");

class LinkedProvider : public LinkedGameFixture {
protected:
    LinkedProvider() : LinkedGameFixture({.serz = true, .programData = true, .tempFiles = true}) {}

    // The folder (below the game folder) whose disk is unplugged now; "" while every disk is in.
    QString unplugged;
    bool providerGone() const { return unplugged == QLatin1String("Assets/VeltraneSamples") || unplugged == QLatin1String("Assets"); }
    QString sceneryOf(const QString& route) const { return QStringLiteral("Content/Routes/") + route + QStringLiteral("/Scenery"); }

    QString routeCheck(const QString& route)
    {
        routes::RouteScanner scanner(game());
        if (!scanner.ScanRoute(game() + QStringLiteral("\\Content\\Routes\\") + route, {}))
            return QStringLiteral("scan failed");
        QString report;
        scanner.CheckAssetFiles(scanner.usedBlueprints().values(), report);
        return scanner.usedBlueprints().sorted().join(QLatin1Char('\n')) + QStringLiteral("\n-\n")
               + scanner.missingLines().join(QLatin1Char('\n')) + QStringLiteral("\n-\n") + report
               + scanner.usedTextures().sorted().join(QLatin1Char('\n'));
    }

    QString consistList()
    {
        ConsistRecord consist;
        for (const char* blueprint : {"RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml",
                                      "RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml",
                                      "RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk9Coach.xml"}) {
            VehicleRecord vehicle;
            vehicle.name = QStringLiteral("v");
            vehicle.provider = QStringLiteral("VeltraneSamples");
            vehicle.product = QStringLiteral("Sample01");
            vehicle.blueprint = QString::fromLatin1(blueprint);
            consist.vehicles.append(vehicle);
        }
        QString report;
        listVehicles(&consist, game(), report);
        return report;
    }

    QString saveChecks()
    {
        if (providerGone())
            ui.expectMsgBox(vb::vbOK, weatherMissingMessage());
        SaveRequest request;
        request.boxes[StartTimeBox] = QStringLiteral("0800");
        request.boxes[StartDayBox] = QStringLiteral("1");
        request.boxes[StartMonthBox] = QStringLiteral("6");
        request.boxes[WeatherProviderBox] = QStringLiteral("VeltraneSamples");
        request.boxes[WeatherProductBox] = QStringLiteral("Sample01");
        request.boxes[WeatherBlueprintBox] = QStringLiteral("Weather\\SummerSun.xml");
        request.drivenConsist = QStringLiteral("Driven");
        return saveChecksPass(request) ? QStringLiteral("passes") : QStringLiteral("stops");
    }

    QString stockSwapNumbers()
    {
        // The blueprint as the swap has read it; its number list is looked up in the game.
        if (coachXml.isEmpty())
            coachXml = QString::fromUtf8(xmlOfGameFile(tree.path(
                QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1/Coach/VS_Mk1Coach.bin"))));
        const StockDetail detail = stockDetailOfXml(coachXml, game());
        return detail.mass + QStringLiteral(" ") + QString::number(detail.numbers.count);
    }

    QString stockSearch(const QString& folder)
    {
        StockSearch search;
        if (search.search(folder, QStringLiteral("Passenger")) != StockSearch::Outcome::Done)
            return QStringLiteral("not searched");
        return QStringLiteral("names: ") + search.StockNames.join(QStringLiteral(", ")) + QLatin1Char('\n')
               + shared().AssetsBasePath;
    }
    static QString missingFolderError() { return QStringLiteral("Error 76 occurred in WorkWithSubFolders"); }

    QString assetList()
    {
        QStringList rows;
        assets::WalkCallbacks callbacks;
        callbacks.addRow = [&rows](const assets::AssetRow& row) {
            rows << row.text();
            return true;
        };
        assets::ListAssetFiles(game() + QStringLiteral("\\Assets"), QStringLiteral("*.bin"), game(), callbacks);
        return QStringLiteral("rows: ") + QString::number(rows.size()) + QLatin1Char('\n') + rows.join(QLatin1Char('\n'));
    }

    // The command up to the image's file dialog, cancelled there (nothing is changed then).
    QString loadingPicture()
    {
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Before you can run this option"));
        if (providerGone())
            ui.expectMsgBox(vb::vbOK, QStringLiteral("The route's blueprint ") + asset(kSample + "RouteTemplates\\ValleyTemplate.bin")
                                          + QStringLiteral(" was not found."));
        else
            ui.expectOpenFile(QString());
        hub::AddRouteLoadingPicture([](const QStringList&) { return 0; });
        return ui.lastMessage().text;
    }

    QString coachXml;

    QString routePackage()
    {
        const QString package = tree.path(QStringLiteral("program/Linked Line"));
        QDir(package).removeRecursively();
        const packaging::RouteAssetOutcome outcome =
            packaging::CollectRouteAssets(kValleyRoute, QStringLiteral("Linked Line"), false);
        return QString::number(outcome.blueprints) + QLatin1Char('\n') + filesBelow(package).join(QLatin1Char('\n'));
    }
};

// Every reading road: how it runs, what shows it found the sample's files as installed, the
// route whose Scenery it reads (if any), and what shows its files missing with the provider's
// disk (or the whole Assets folder's) unplugged.
struct Road {
    const char* road;
    std::function<QString()> run;
    QString mark;
    QString sceneryRoute;
    QString missing;
};

class LinkedRoads : public LinkedProvider {
protected:
    std::vector<Road> roads()
    {
        return {
            {"route check", [this] { return routeCheck(kValleyRoute); }, asset(kSample + "Scenery\\Trees\\VS_Oak01.bin"),
             kValleyRoute, asset(kSample + "Scenery\\Trees\\VS_Oak01.bin   (Scenery Item)")},
            {"route check, a missing blueprint", [this] { return routeCheck(kBranchRoute); },
             asset(kSample + "Scenery\\Trees\\VS_Birch01.bin   (Scenery Item)"), kBranchRoute,
             asset(kSample + "Scenery\\Trees\\VS_Birch01.bin   (Scenery Item)")},
            {"consist list", [this] { return consistList(); },
             "Missing items:-\r\n\r\n" + asset(kSample + "RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk9Coach.bin\r\n"), {},
             "Missing items:-\r\n\r\n" + asset(kSample + "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.bin\r\n")},
            {"scenario save", [this] { return saveChecks(); }, "passes", {}, "stops"},
            {"rolling-stock list",
             [this] {
                 return routes::MissingStockReport(game(), {kSample + "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml",
                                                            kSample + "RailVehicles\\Steam\\Class4F\\Engine\\VS_4F9.xml"});
             },
             asset(kSample + "RailVehicles\\Steam\\Class4F\\Engine\\VS_4F9.bin is missing"), {},
             asset(kSample + "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.bin is missing\r\n")
                 + asset(kSample + "RailVehicles\\Steam\\Class4F\\Engine\\VS_4F9.bin is missing\r\n")},
            {"weather list", [this] { return weatherFolderOf(game(), "VeltraneSamples", "Sample01"); },
             asset(kSample + "Weather"), {}, asset(kSample + "Weather")},
            {"stock swap number", [this] { return stockSwapNumbers(); }, "33.000000 ", {}, "33.000000 0"},
            {"stock search",
             [this] {
                 if (providerGone())
                     ui.expectMsgBox(vb::vbOK, missingFolderError());
                 return stockSearch(asset(kSample + "RailVehicles"));
             },
             "names: VS Mk1 Coach\n", {}, "names: \n"},
            {"stock search of the whole Assets folder",
             [this] {
                 if (unplugged == QLatin1String("Assets"))
                     ui.expectMsgBox(vb::vbOK, missingFolderError());
                 else
                     ui.expectMsgBox(vb::vbOK, listAllStockQuestion());
                 return stockSearch(game() + QStringLiteral("\\Assets"));
             },
             "VS Mk1 Coach", {}, "names: \n"},
            {"asset list of the whole Assets folder", [this] { return assetList(); },
             "VeltraneSamples\tSample01\tRailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.bin", {}, "rows: 0\n"},
            {"asset folder packager",
             [this] {
                 return "rel: [" + packaging::PackagedFolderOf(game(), asset(kSample + "RailVehicles\\Passenger\\Mk1Maroon")).relPath
                        + "]";
             },
             "Rail Simulator\\Assets\\" + kSample + "RailVehicles\\Passenger\\Mk1Maroon", {}, "rel: []"},
            {"route packager", [this] { return routePackage(); },
             "Rail Simulator/Assets/VeltraneSamples/Sample01/Scenery/Trees/VS_Oak01.bin", kValleyRoute, "0\n"},
            {"Change LODs",
             [this] {
                 const std::optional<assets::GeometryLookup> found = assets::GetGeometryPath(
                     "<GeometryID d:type=\"cDeltaString\">" + kSample + "Scenery\\Trees\\[00]VS_Oak01</GeometryID>", game());
                 return found ? found->geometryPath : QString();
             },
             asset(kSample + "Scenery\\Trees\\VS_Oak01.GeoPcDx"), {}, asset(kSample + "Scenery\\Trees\\VS_Oak01.GeoPcDx")},
            {"loading picture", [this] { return loadingPicture(); }, "Before you can run this option", {}, "was not found."},
        };
    }
};

// Each road runs on the game as installed, then with the provider folder, the Assets folder and
// the Scenery of the route it reads linked back: the same result every time (the mark shows the
// road found the sample's files at all).
TEST_F(LinkedRoads, EveryReadingRoadFollowsTheLink)
{
    const std::vector<Road> all = roads();
    QStringList asInstalled;
    for (const Road& road : all) {
        asInstalled << road.run();
        EXPECT_TRUE(asInstalled.last().contains(road.mark)) << road.road << ": " << asInstalled.last().toStdString();
    }
    for (const QString& linked : {QStringLiteral("Assets/VeltraneSamples"), QStringLiteral("Assets"), sceneryOf(kValleyRoute),
                                  sceneryOf(kBranchRoute)}) {
        SCOPED_TRACE(linked.toStdString());
        ASSERT_TRUE(moveOutAndLink(linked));
        for (std::size_t k = 0; k < all.size(); ++k) {
            if (linked.endsWith(QLatin1String("Scenery")) && sceneryOf(all[k].sceneryRoute) != linked)
                continue;
            EXPECT_EQ(all[k].run(), asInstalled[qsizetype(k)]) << all[k].road;
        }
        ASSERT_TRUE(moveBack(linked));
    }
}

// With the other disk unplugged, every road that reads it says its files are missing, in the
// road's own words, never that they lie outside; nothing is made through the link on the disk's
// place. A route's Scenery that is not there is a folder the route check passes over.
TEST_F(LinkedRoads, AnUnpluggedDiskIsMissingOnEveryReadingRoad)
{
    const std::vector<Road> all = roads();
    stockSwapNumbers(); // the swap has read its blueprint before the disk went
    for (const QString& place : {QStringLiteral("Assets/VeltraneSamples"), QStringLiteral("Assets"), sceneryOf(kValleyRoute)}) {
        SCOPED_TRACE(place.toStdString());
        ASSERT_TRUE(moveOutAndLink(place));
        ASSERT_TRUE(unplug(place));
        unplugged = place;
        const bool scenery = place.endsWith(QLatin1String("Scenery"));
        for (const Road& road : all) {
            if (scenery && sceneryOf(road.sceneryRoute) != place)
                continue;
            const QString got = road.run();
            if (scenery) {
                EXPECT_FALSE(got.contains(QLatin1String("VS_Oak01"))) << road.road << ": " << got.toStdString();
                // The route check lists the unplugged folder itself as missing.
                const QString folder = game() + QLatin1Char('\\') + QString(place).replace(QLatin1Char('/'), QLatin1Char('\\'));
                if (QString::fromLatin1(road.road).startsWith(QLatin1String("route check"))) {
                    EXPECT_TRUE(got.contains(folder + QStringLiteral("   (Scenery Item)"))) << road.road << ": " << got.toStdString();
                }
            } else
                EXPECT_TRUE(got.contains(road.missing)) << road.road << ": " << got.toStdString();
            EXPECT_FALSE(got.contains(QLatin1String("outside"), Qt::CaseInsensitive)) << road.road << ": " << got.toStdString();
            for (const ScriptedUi::Message& message : ui.messages())
                EXPECT_FALSE(message.text.contains(QLatin1String("outside"), Qt::CaseInsensitive)) << road.road;
            ui.verifyDone();
            ui.clearRecords();
        }
        EXPECT_EQ(platform::standingAt(away(place), platform::LinkView::Itself), platform::Standing::Nothing);
        unplugged.clear();
        ASSERT_TRUE(plugIn(place));
        ASSERT_TRUE(moveBack(place));
    }
}

// The walks of the asset list and the stock search enter every linked folder but a loop: the
// provider reached by two links, and again on the other disk linked whole (with that disk's own
// files), is walked each time, as the folder lists show it; links to the walk's start, to the
// game folder above it and back up inside the provider end there. Names that are not text on
// this system are named, never dropped in silence.
TEST_F(LinkedRoads, WalksEnterEveryLinkButALoop)
{
    const QString provider = QStringLiteral("Assets/VeltraneSamples");
    ASSERT_TRUE(moveOutAndLink(provider));
    const QString vehicles = away(provider) + QStringLiteral("/Sample01/RailVehicles");
    const QByteArray coach = fileBytes(vehicles + QStringLiteral("/Passenger/Mk1/Coach/VS_Mk1Coach.bin"));
    ASSERT_FALSE(coach.isEmpty());
    ASSERT_TRUE(QFile::link(away(provider), tree.path(QStringLiteral("game/Assets/Twice"))));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("big")), tree.path(QStringLiteral("game/Assets/Disk"))));
    ASSERT_TRUE(writeFileBytes(tree.path(QStringLiteral("big/Own/Stock/RailVehicles/Passenger/Coach/VS_Own.bin")), coach));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("game/Assets")), vehicles + QStringLiteral("/Start")));
    ASSERT_TRUE(QFile::link(game(), vehicles + QStringLiteral("/Above")));
    ASSERT_TRUE(QFile::link(away(provider), vehicles + QStringLiteral("/Passenger/Loop")));
    // Copied from Windows without conversion: a file and a folder named in Windows-1252 bytes.
    const QByteArray passenger = QFile::encodeName(vehicles + QStringLiteral("/Passenger"));
    const int fd = ::open((passenger + "/caf\xE9.bin").constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, coach.constData(), size_t(coach.size())), coach.size());
    ::close(fd);
    ASSERT_EQ(::mkdir((passenger + "/Wei\xDF").constData(), 0755), 0);

    const QString coachRow = QStringLiteral("RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.bin");
    const QString namedCafe = asset(kSample + "RailVehicles\\Passenger\\caf\\xE9.bin");
    const QString namedFolder = asset("Twice\\Sample01\\RailVehicles\\Passenger\\Wei\\xDF");
    ui.expectMsgBox(vb::vbOK, QStringLiteral("were not listed"));
    const QString noCells = QStringLiteral("\t\t\t");
    EXPECT_EQ(assetList().split(QLatin1Char('\n')).filter(QStringLiteral("Coach\\VS_")),
              (QStringList{"VeltraneSamples\tSample01\t" + coachRow + noCells, "Twice\tSample01\t" + coachRow + noCells,
                           "Disk\tVeltraneSamples\tSample01\\" + coachRow + noCells,
                           "Disk\tOwn\tStock\\RailVehicles\\Passenger\\Coach\\VS_Own.bin" + noCells}));
    EXPECT_TRUE(ui.lastMessage().text.contains(namedCafe)) << ui.lastMessage().text.toStdString();
    EXPECT_TRUE(ui.lastMessage().text.contains(namedFolder)) << ui.lastMessage().text.toStdString();

    ui.expectMsgBox(vb::vbOK, listAllStockQuestion());
    ui.expectMsgBox(vb::vbOK, QStringLiteral("were not searched"));
    StockSearch search;
    ASSERT_EQ(search.search(game() + QStringLiteral("\\Assets"), QStringLiteral("Passenger")), StockSearch::Outcome::Done);
    QStringList coaches;
    for (const StockEntry& entry : search.entries) {
        if (entry.name == QLatin1String("VS Mk1 Coach"))
            coaches << entry.provider + QLatin1Char('\\') + entry.product + QLatin1Char('\\') + entry.blueprint;
    }
    EXPECT_EQ(coaches, (QStringList{"Disk\\Own\\Stock\\RailVehicles\\Passenger\\Coach\\VS_Own.xml",
                                    "Disk\\VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml",
                                    "Twice\\Sample01\\RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml",
                                    "VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml"}));
    EXPECT_TRUE(ui.lastMessage().text.contains(namedCafe)) << ui.lastMessage().text.toStdString();
    EXPECT_TRUE(ui.lastMessage().text.contains(namedFolder)) << ui.lastMessage().text.toStdString();
}

} // namespace
