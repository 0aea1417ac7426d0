// The scenario package's text work: stock rows with lamp data, the element readers, the
// hand-off files byte for byte, the batch lines, and the asset packager's paths and layout.

#include "common/VbError.h"
#include "packaging/AssetFolderPackage.h"
#include "packaging/ScenarioPackage.h"
#include "support/TempTree.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

using namespace packaging;

namespace {

// One value of a 4x4 matrix as the serializer writes it.
QString element(const QString& value)
{
    return QStringLiteral("<e d:type=\"sFloat32\" d:alt_encoding=\"0000\" d:precision=\"string\">") + value
           + QStringLiteral("</e>\r\n");
}

// A matrix whose 13th to 15th values are x, y, z; values counts how many are written (16).
QString matrix(const QString& x, const QString& y, const QString& z, int values = 16)
{
    QString text = QStringLiteral("<Matrix><cHcRMatrix4x4><Element>\r\n");
    for (int k = 1; k <= values; ++k)
        text += element(k == 13 ? x : k == 14 ? y : k == 15 ? z : QStringLiteral("1"));
    return text + QStringLiteral("</Element></cHcRMatrix4x4></Matrix>\r\n");
}

// A lamp child of a vehicle blueprint.
QString child(const QString& name, const QString& blueprint, const QString& x, const QString& y, const QString& z,
              int values = 16)
{
    return QStringLiteral("<cEntityContainerBlueprint-sChild>\r\n<ChildName d:type=\"cDeltaString\">") + name
           + QStringLiteral("</ChildName>\r\n<BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>"
                            "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">LampCo</Provider>\r\n"
                            "<Product d:type=\"cDeltaString\">Lights</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>"
                            "</BlueprintSetID>\r\n<BlueprintID d:type=\"cDeltaString\">")
           + blueprint + QStringLiteral("</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID>\r\n")
           + matrix(x, y, z, values) + QStringLiteral("</cEntityContainerBlueprint-sChild>\r\n");
}

QString vehicleBlueprint(const QString& children)
{
    return QStringLiteral("<cBlueprintLoader><Blueprint><cEngineBlueprint>\r\n<Name d:type=\"cDeltaString\">V</Name>\r\n")
           + children + QStringLiteral("</cEngineBlueprint></Blueprint></cBlueprintLoader>\r\n");
}

// One consist vehicle of a scenario.
QString vehicle(const QString& provider, const QString& product, const QString& id)
{
    return QStringLiteral("<cOwnedEntity><BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>\r\n"
                          "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">")
           + provider + QStringLiteral("</Provider>\r\n<Product d:type=\"cDeltaString\">") + product
           + QStringLiteral("</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>\r\n</BlueprintSetID>\r\n"
                            "<BlueprintID d:type=\"cDeltaString\">")
           + id + QStringLiteral("</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID></cOwnedEntity>\r\n");
}

const QString kNoLamp = QStringLiteral(",0,0,,,,,,,,,");

} // namespace

// Each vehicle of a scenario gives one row; the lamp suffixes decide which blueprints are read
// for lamps and whether the package needs the lamp add-on.
TEST(ScenarioStock, RowsOfEachKindOfVehicle)
{
    const QHash<QString, QString> blueprints{
        {QStringLiteral("RailVehicles\\Class47_XP-Pass"),
         vehicleBlueprint(child(QStringLiteral("HeadLamp 3"), QStringLiteral("Lamps\\White.xml"), QStringLiteral("0.85"),
                                QStringLiteral("1.2"), QStringLiteral("10.5"))
                          + child(QStringLiteral("Headlamp 4"), QStringLiteral("Lamps\\White.xml"),
                                  QStringLiteral("-0.85"), QStringLiteral("1.2"), QStringLiteral("10.5")))},
        {QStringLiteral("RailVehicles\\Class20_Light-Engine"),
         vehicleBlueprint(child(QStringLiteral("HeadLamp 1"), QStringLiteral("Lamps\\White.xml"), QStringLiteral("0"),
                                QStringLiteral("1.1"), QStringLiteral("6")))},
        {QStringLiteral("RailVehicles\\Coach_Rear"),
         vehicleBlueprint(child(QStringLiteral("TailLamp 1"), QStringLiteral("Lamps\\Red.xml"), QStringLiteral("0.5"),
                                QStringLiteral("1.1"), QStringLiteral("-11")))},
        {QStringLiteral("RailVehicles\\Brake_Rear"),
         vehicleBlueprint(child(QStringLiteral("TailLamp 1"), QStringLiteral("Lamps\\Red.xml"), QStringLiteral("0.5"),
                                QStringLiteral("1.1"), QStringLiteral("-11"), 12))},
        {QStringLiteral("RailVehicles\\Wagon"), vehicleBlueprint(QString())},
        {QStringLiteral("RailVehicles\\Coach_MT"),
         vehicleBlueprint(child(QStringLiteral("HeadLamp 1"), QStringLiteral("Lamps\\White.xml"), QStringLiteral("1"),
                                QStringLiteral("1"), QStringLiteral("1")))},
    };
    struct Row {
        const char* id;
        QString expected;
        bool read;
        bool needsAddOn;
    };
    const QList<Row> rows{
        {"RailVehicles\\Class47_XP-Pass.xml",
         QStringLiteral("VS\\Loco\\RailVehicles\\Class47_XP-Pass.xml,3,4,0.85,1.2,10.5,-0.85,1.2,10.5,LampCo,Lights,Lamps\\White.xml"),
         true, true},
        {"RailVehicles\\Class20_Light-Engine.xml",
         QStringLiteral("VS\\Loco\\RailVehicles\\Class20_Light-Engine.xml,1,0,0,1.1,6,,,,LampCo,Lights,Lamps\\White.xml"),
         true, true},
        {"RailVehicles\\Coach_Rear.xml",
         QStringLiteral("VS\\Loco\\RailVehicles\\Coach_Rear.xml,0,0,0.5,1.1,-11,0,0,0,LampCo,Lights,Lamps\\Red.xml"), true,
         true},
        // a lamp child cut short: no lamp data at all, but the add-on is still needed
        {"RailVehicles\\Brake_Rear.xml", QStringLiteral("VS\\Loco\\RailVehicles\\Brake_Rear.xml") + kNoLamp, true, true},
        {"RailVehicles\\Wagon.xml", QStringLiteral("VS\\Loco\\RailVehicles\\Wagon.xml") + kNoLamp, true, false},
        {"RailVehicles\\Coach_MT.xml", QStringLiteral("VS\\Loco\\RailVehicles\\Coach_MT.xml") + kNoLamp, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        QStringList read;
        const StockScan scan = ScanStockText(
            vehicle(QStringLiteral("VS"), QStringLiteral("Loco"), QLatin1String(row.id)),
            [&](const QString& provider, const QString& product, const QString& path, const QString& name) {
                read.append(provider + QLatin1Char('|') + product + QLatin1Char('|') + path + QLatin1Char('|') + name);
                return blueprints.value(path);
            });
        EXPECT_EQ(scan.rows, QStringList{row.expected});
        EXPECT_EQ(scan.lampAddOnNeeded, row.needsAddOn);
        const QString path = QLatin1String(row.id).chopped(4);
        EXPECT_EQ(read, row.read ? QStringList{QStringLiteral("VS|Loco|") + path + QLatin1Char('|') + path.mid(13)}
                                 : QStringList{});
    }
}

TEST(ScenarioStock, TenIdenticalWagonsGiveTenRowsAndOneAfterDeduplication)
{
    QString scenario;
    for (int k = 0; k < 10; ++k)
        scenario += vehicle(QStringLiteral("VS"), QStringLiteral("Freight"), QStringLiteral("Wagons\\BoxVan.xml"));
    scenario += vehicle(QStringLiteral("vs"), QStringLiteral("freight"), QStringLiteral("wagons\\boxvan.xml"));
    scenario += vehicle(QStringLiteral("VS"), QStringLiteral("Freight"), QStringLiteral("Wagons\\Tanker.xml"));
    const StockScan scan = ScanStockText(scenario, [](auto&&...) { return QString(); });
    ASSERT_EQ(scan.rows.size(), 12);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(scan.rows[k], QStringLiteral("VS\\Freight\\Wagons\\BoxVan.xml") + kNoLamp);
    EXPECT_EQ(RemoveDuplicateRows(scan.rows),
              (QStringList{QStringLiteral("VS\\Freight\\Wagons\\BoxVan.xml") + kNoLamp,
                           QStringLiteral("VS\\Freight\\Wagons\\Tanker.xml") + kNoLamp}));
    EXPECT_EQ(RemoveDuplicateRows({}), QStringList{});
}

TEST(ScenarioStock, SuffixSets)
{
    struct Row {
        const char* path;
        const char* suffix;
        bool variant;
        bool lamp;
    };
    const Row rows[] = {
        {"RailVehicles\\Coach_MT", "_MT", true, false},     {"RailVehicles\\Coach_dead", "_dead", true, false},
        {"RailVehicles\\Loco_XP-Pass", "_XP-Pass", false, true}, {"RailVehicles\\Van_rear", "_rear", false, true},
        {"RailVehicles\\Plain", "", false, false},           {"Rail_Vehicles\\Plain", "_Vehicles\\Plain", false, false},
        {"RailVehicles\\Loco_XP-Passenger", "_XP-Passenger", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const QString suffix = VehicleSuffix(QLatin1String(row.path));
        EXPECT_EQ(suffix, QLatin1String(row.suffix));
        EXPECT_EQ(IsVariantSuffix(suffix), row.variant);
        EXPECT_EQ(IsLampSuffix(suffix), row.lamp);
    }
}

TEST(ScenarioStock, ElementAndProviderReaders)
{
    const QString text = QStringLiteral("<a><e d:type=\"sFloat32\" d:precision=\"STRING\">1.5</e><e d:type=\"x\">2</e>"
                                        "<e d:precision=\"string\">3</e></a>");
    struct ElementRow {
        qsizetype from;
        const char* type;
        qsizetype pos;
        const char* result;
    };
    const ElementRow elements[] = {
        {1, "string", 49, "1.5"},  {49, "string", 97, "3"}, {1, "sFloat32", 49, "1.5"},
        {96, "string", 0, "kept"}, {1, "missing", 0, "kept"},
    };
    for (const ElementRow& row : elements) {
        SCOPED_TRACE(row.from);
        qsizetype pos = row.from;
        QString result = QStringLiteral("kept");
        GetElement(text, pos, QLatin1String(row.type), result);
        EXPECT_EQ(pos, row.pos);
        EXPECT_EQ(result, QLatin1String(row.result));
    }

    const QString set = QStringLiteral("<PROVIDER d:type=\"c\">P1</PROVIDER><Product d:type=\"c\">Q1</Product><x/>"
                                       "<Provider d:type=\"c\">P2</Provider><Product d:type=\"c\">Q2</Product>");
    struct ProviderRow {
        qsizetype pos;
        const char* provider;
        const char* product;
    };
    const ProviderRow providers[] = {
        {1, "P1", "Q1"}, {60, "P1", "Q1"}, {70, "P1", "Q1"}, {71, "P2", "Q2"}, {500, "P2", "Q2"}, {0, "-", "-"},
    };
    for (const ProviderRow& row : providers) {
        SCOPED_TRACE(row.pos);
        QString provider = QStringLiteral("-");
        QString product = QStringLiteral("-");
        qsizetype pos = row.pos;
        GetProviderProduct(pos, provider, product, set);
        EXPECT_EQ(provider, QLatin1String(row.provider));
        EXPECT_EQ(product, QLatin1String(row.product));
    }
    QString provider = QStringLiteral("-");
    QString product = QStringLiteral("-");
    GetProviderProduct(5, provider, product, QStringLiteral("<Product>Q</Product>"));
    EXPECT_EQ(provider + product, QStringLiteral("--"));
}

// The hand-off files of a package of two scenarios of one route, byte for byte.
TEST(ScenarioHandOff, FilesOfTwoScenarios)
{
    const QString a = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
    const QString b = QStringLiteral("7f6e5d4c-3b2a-4190-8877-665544332211");
    const auto block = [](const QString& folder, const QString& name) {
        return QStringLiteral("<cScenarioProperties d:id=\"1\">\r\n\t<ID><cGUID><DevString d:type=\"cDeltaString\">") + folder
               + QStringLiteral("</DevString></cGUID></ID>\r\n\t<English>") + name
               + QStringLiteral("</English>\r\n</cScenarioProperties>");
    };
    const QString index = QStringLiteral("<cRecordSet><Record>\r\n") + block(b, QStringLiteral("Second")) + QStringLiteral("\r\n")
                          + block(QStringLiteral("00000000-0000-4000-8000-000000000000"), QStringLiteral("Other"))
                          + QStringLiteral("\r\n") + block(a, QStringLiteral("First")) + QStringLiteral("\r\n</Record></cRecordSet>\r\n");
    const QString base = QStringLiteral("C:\\Games\\Rail Simulator\\Content\\Routes\\R1\\Scenarios\\");
    const QStringList rows{base + a, base + b};

    QStringList missing;
    EXPECT_EQ(ScenarioZzzText(index, rows, &missing),
              block(a, QStringLiteral("First")) + QStringLiteral("\r\n") + block(b, QStringLiteral("Second"))
                  + QStringLiteral("\r\n"));
    EXPECT_TRUE(missing.isEmpty());
    EXPECT_EQ(ScenarioZzzText(index, {base + QStringLiteral("gone"), base + a}, &missing),
              block(a, QStringLiteral("First")) + QStringLiteral("\r\n"));
    EXPECT_EQ(missing, QStringList{base + QStringLiteral("gone")});

    EXPECT_EQ(ScenarioYyyText(QStringLiteral("R1"), rows), QStringLiteral("R1\r\n") + a + QStringLiteral("\r\n") + b + QStringLiteral("\r\n"));
    EXPECT_EQ(ScenarioQqqText({QStringLiteral("P\\Q\\A.xml") + kNoLamp, QStringLiteral("P\\Q\\B.xml") + kNoLamp}),
              QStringLiteral("P\\Q\\A.xml,0,0,,,,,,,,,\r\nP\\Q\\B.xml,0,0,,,,,,,,,\r\n\r\n"));
    EXPECT_EQ(ScenarioQqqText({}), QStringLiteral("\r\n"));
}

TEST(ScenarioHandOff, BatchLinesAndPaths)
{
    EXPECT_EQ(ScenarioCopyLine(QStringLiteral("C:\\G\\Content\\Routes\\R\\Scenarios\\S"), QStringLiteral("C:\\V"),
                               QStringLiteral("Pkg"), QStringLiteral("Content\\Routes\\R\\Scenarios\\S")),
              QStringLiteral("call Xcopy \"C:\\G\\Content\\Routes\\R\\Scenarios\\S\\*.bin\" "
                             "\"C:\\V\\Pkg\\Rail Simulator\\Content\\Routes\\R\\Scenarios\\S\\*.*\" /I /C /S\r\n"));
    EXPECT_EQ(LampAddOnCopyLine(QStringLiteral("C:\\V"), QStringLiteral("Pkg")),
              QStringLiteral("xcopy \"C:\\V\\LumavethLights\\*.*\" \"C:\\V\\Pkg\\Rail Simulator\\*.*\" /I /C /S\r\n"));
    EXPECT_EQ(FolderCopyLine(QStringLiteral("/g/Assets/P/Q/RailVehicles"), QStringLiteral("/v"), QStringLiteral("RailVehicles"),
                             QStringLiteral("Rail Simulator\\Assets\\P\\Q\\RailVehicles")),
              QStringLiteral("call Xcopy \"/g/Assets/P/Q/RailVehicles\\*.*\" "
                             "\"/v\\RailVehicles\\Rail Simulator\\Assets\\P\\Q\\RailVehicles\\*.*\" /I /C /S\r\n"));

    struct IndexRow {
        const char* entry;
        const char* index;
        const char* route;
    };
    const IndexRow indexes[] = {
        {"Rail Simulator\\Content\\Routes\\R1\\Scenarios\\S1", "/g\\Content\\Routes\\R1\\Scenarios.bin", "R1"},
        {"rail simulator\\Content\\Routes\\R1\\scenarios\\S1", "/g\\Content\\Routes\\R1\\Scenarios.bin", "R1"},
        {"Rail Simulator\\Content\\Routes\\R\\Scenarios\\S\\Scenarios\\T", "/g\\Content\\Routes\\R\\Scenarios\\S\\Scenarios.bin", "S"},
        {"Rail Simulator\\Assets\\P\\Q", "", ""},
    };
    for (const IndexRow& row : indexes) {
        SCOPED_TRACE(row.entry);
        EXPECT_EQ(RouteIndexPath(QStringLiteral("/g"), QLatin1String(row.entry)), QLatin1String(row.index));
        EXPECT_EQ(RouteFolderOfEntry(QLatin1String(row.entry)), QLatin1String(row.route));
    }

    // A clicked folder is named from the game folder by where it leads, with the names its
    // folders have on disk; one elsewhere keeps its text and has no place in the package.
    TempTree tree;
    tree.makeDir(QStringLiteral("game/Assets/Kuju/Dara/RailVehicles"));
    tree.makeDir(QStringLiteral("Other/Assets"));
    tree.makeDir(QStringLiteral("GAME/Assets"));
    const QString g = tree.gamePath();
    struct RelRow {
        QString clicked;
        QString folder;
        const char* rel;
    };
    const RelRow rels[] = {
        {g + QStringLiteral("/Assets/Kuju/Dara/RailVehicles"), g + QStringLiteral("\\Assets\\Kuju\\Dara\\RailVehicles"),
         "Rail Simulator\\Assets\\Kuju\\Dara\\RailVehicles"},
        {g + QStringLiteral("\\assets\\kuju"), g + QStringLiteral("\\Assets\\Kuju"), "Rail Simulator\\Assets\\Kuju"},
        {g, g, ""},
        {tree.path(QStringLiteral("Other/Assets")), tree.path(QStringLiteral("Other/Assets")), ""},
        {tree.path(QStringLiteral("GAME/Assets")), tree.path(QStringLiteral("GAME/Assets")), ""},
    };
    for (const RelRow& row : rels) {
        SCOPED_TRACE(row.clicked.toStdString());
        const PackagedFolder chosen = PackagedFolderOf(g, row.clicked);
        EXPECT_EQ(chosen.folder, row.folder);
        EXPECT_EQ(chosen.relPath, QLatin1String(row.rel));
    }
    EXPECT_EQ(PackagedFolderOf(QString(), g + QStringLiteral("/Assets")).relPath, QString());
}

TEST(AssetFolderPackage, AssetSetupLine)
{
    struct Row {
        const char* folder;
        const char* line;
    };
    const Row rows[] = {
        {"Rail Simulator\\Assets\\Kuju\\DaraDerovizor\\RailVehicles", "Assets\\Kuju\\DaraDerovizor"},
        {"Rail Simulator\\Assets\\Kuju\\DaraDerovizor\\RailVehicles\\Diesel\\Class20", "Assets\\Kuju\\DaraDerovizor"},
        {"Rail Simulator\\Assets\\Kuju\\DaraDerovizor", "Assets\\Kuju\\DaraDerovizor"},
        {"Rail Simulator\\Assets\\Kuju", "Assets\\Kuju"},
        {"C:\\x\\assets\\P\\Q\\R", "assets\\P\\Q"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AssetSetupLine(QLatin1String(row.folder)), QLatin1String(row.line)) << row.folder;
    EXPECT_THROW(AssetSetupLine(QStringLiteral("Rail Simulator\\Content\\Routes\\R")), VbError);
}

// The layout follows the window; a window too small for a width or height keeps the former
// value there instead of a negative one.
TEST(AssetFolderPackage, Layout)
{
    const Folder3Layout design = Folder3Design();
    EXPECT_EQ(design.Drive1, (TwipsRect{200, 250, 4300, 315}));
    EXPECT_EQ(design.Text2, (TwipsRect{200, 4700, 4300, 315}));
    EXPECT_EQ(design.Dir1, (TwipsRect{615, 250, 4300, 3000}));
    EXPECT_EQ(design.File1, (TwipsRect{615, 4700, 4300, 3000}));
    EXPECT_EQ(design.Text1, (TwipsRect{3715, 250, 8750, 315}));
    EXPECT_EQ(design.List1, (TwipsRect{4130, 250, 8750, 3000}));
    EXPECT_EQ(design.Text3, (TwipsRect{7230, 250, 8750, 315}));
    EXPECT_EQ(design.Command1, (TwipsRect{7645, 250, 1695, 495}));
    EXPECT_EQ(design.Command2.Top, 7645);
    EXPECT_EQ(design.Command4.Left, 2050);

    Folder3Layout layout = design;
    LayOutFolder3(12001, 6001, layout); // halves go to the even neighbour
    EXPECT_EQ(layout.Drive1.Width, 5500);
    EXPECT_EQ(layout.Dir1.Height, 2000);
    EXPECT_EQ(layout.Text1.Width, 11150);

    layout = design;
    LayOutFolder3(600, 0, layout);
    EXPECT_EQ(layout.Drive1.Width, 4300);
    EXPECT_EQ(layout.Dir1.Height, 0);
    EXPECT_EQ(layout.Command1.Top, 615 + 100 + 315 + 100 + 0 + 100 + 315 + 100);
    for (const TwipsRect& r : {layout.Drive1, layout.Text2, layout.Dir1, layout.File1, layout.Text1, layout.List1,
                                    layout.Text3, layout.Command1})
        EXPECT_TRUE(r.Width >= 0 && r.Height >= 0);
}
