// The reading roads on the sample game whose provider folder (or whole Assets folder) is kept on
// another disk and linked back into the game, as people keep big games: every road gives what it
// gives on the game as installed.
#include "common/GameReference.h"
#include "packaging/AssetFolderPackage.h"
#include "packaging/RoutePackage.h"
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

#include <functional>

using namespace scenarios;

namespace {

const QString kSample = QStringLiteral("VeltraneSamples\\Sample01\\");
const QString kValleyRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
const QString kBranchRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");

class LinkedProvider : public LinkedGameFixture {
protected:
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
        const QString xml = QString::fromUtf8(xmlOfGameFile(tree.path(
            QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1/Coach/VS_Mk1Coach.bin"))));
        const StockDetail detail = stockDetailOfXml(xml, game());
        return detail.mass + QStringLiteral(" ") + QString::number(detail.numbers.count);
    }

    QString stockSearch(const QString& folder)
    {
        StockSearch search;
        if (search.search(folder, QStringLiteral("Passenger")) != StockSearch::Outcome::Done)
            return QStringLiteral("not searched");
        return search.StockNames.join(QLatin1Char('\n')) + QLatin1Char('\n') + shared().AssetsBasePath;
    }

    QString assetList()
    {
        QStringList rows;
        assets::WalkCallbacks callbacks;
        callbacks.addRow = [&rows](const assets::AssetRow& row) {
            rows << row.text();
            return true;
        };
        assets::ListAssetFiles(game() + QStringLiteral("\\Assets"), QStringLiteral("*.bin"), game(), callbacks);
        return rows.join(QLatin1Char('\n'));
    }

    QString routePackage()
    {
        const QString package = tree.path(QStringLiteral("program/Linked Line"));
        QDir(package).removeRecursively();
        const packaging::RouteAssetOutcome outcome =
            packaging::CollectRouteAssets(kValleyRoute, QStringLiteral("Linked Line"), false);
        return QString::number(outcome.blueprints) + QLatin1Char('\n') + filesBelow(package).join(QLatin1Char('\n'));
    }
};

// Each road runs on the game as installed, then with the provider folder linked back and with
// the Assets folder linked back: the same result every time (the mark shows the road found the
// sample's files at all).
TEST_F(LinkedProvider, EveryReadingRoadFollowsTheLink)
{
    const struct {
        const char* road;
        std::function<QString()> run;
        QString mark;
    } roads[] = {
        {"route check", [&] { return routeCheck(kValleyRoute); }, asset(kSample + "Scenery\\Trees\\VS_Oak01.bin")},
        {"route check, a missing blueprint", [&] { return routeCheck(kBranchRoute); },
         asset(kSample + "Scenery\\Trees\\VS_Birch01.bin   (Scenery Item)")},
        {"consist list", [&] { return consistList(); },
         "Missing items:-\r\n\r\n" + asset(kSample + "RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk9Coach.bin\r\n")},
        {"scenario save", [&] { return saveChecks(); }, "passes"},
        {"rolling-stock list",
         [&] {
             return routes::MissingStockReport(game(), {kSample + "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml",
                                                        kSample + "RailVehicles\\Steam\\Class4F\\Engine\\VS_4F9.xml"});
         },
         asset(kSample + "RailVehicles\\Steam\\Class4F\\Engine\\VS_4F9.bin is missing")},
        {"weather list", [&] { return weatherFolderOf(game(), "VeltraneSamples", "Sample01"); },
         asset(kSample + "Weather")},
        {"stock swap number", [&] { return stockSwapNumbers(); }, "33.000000 "},
        {"stock search", [&] { return stockSearch(asset(kSample + "RailVehicles")); }, "VS Mk1 Coach\n"},
        {"stock search of the whole Assets folder",
         [&] {
             ui.expectMsgBox(vb::vbOK, listAllStockQuestion());
             return stockSearch(game() + QStringLiteral("\\Assets"));
         },
         "VS Mk1 Coach\n"},
        {"asset list of the whole Assets folder", [&] { return assetList(); },
         "VeltraneSamples\tSample01\tRailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.bin"},
        {"asset folder packager",
         [&] { return packaging::PackagedFolderOf(game(), asset(kSample + "RailVehicles\\Passenger\\Mk1Maroon")).relPath; },
         "Rail Simulator\\Assets\\" + kSample + "RailVehicles\\Passenger\\Mk1Maroon"},
        {"route packager", [&] { return routePackage(); }, "Rail Simulator/Assets/VeltraneSamples/Sample01/Scenery/Trees/VS_Oak01.bin"},
        {"Change LODs",
         [&] {
             const std::optional<assets::GeometryLookup> found = assets::GetGeometryPath(
                 "<GeometryID d:type=\"cDeltaString\">" + kSample + "Scenery\\Trees\\[00]VS_Oak01</GeometryID>", game());
             return found ? found->geometryPath : QString();
         },
         asset(kSample + "Scenery\\Trees\\VS_Oak01.GeoPcDx")},
    };
    QStringList asInstalled;
    for (const auto& road : roads) {
        asInstalled << road.run();
        EXPECT_TRUE(asInstalled.last().contains(road.mark)) << road.road << ": " << asInstalled.last().toStdString();
    }
    for (const char* linked : {"Assets/VeltraneSamples", "Assets"}) {
        SCOPED_TRACE(linked);
        ASSERT_TRUE(moveOutAndLink(QString::fromLatin1(linked)));
        for (std::size_t k = 0; k < std::size(roads); ++k)
            EXPECT_EQ(roads[k].run(), asInstalled[qsizetype(k)]) << roads[k].road;
        ASSERT_TRUE(moveBack(QString::fromLatin1(linked)));
    }
}

} // namespace
