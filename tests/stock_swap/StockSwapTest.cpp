// The rolling-stock swaps without the window: the random sequence, the loco and wagon tests,
// the draw of a running number, fuel levels, the vehicle's own mass and number, renumbering
// the scenario's text values, and a blueprint the serializer cannot convert.
#include "scenario_editor/EditorFixture.h"
#include "stock_search/StockGame.h"

#include "common/Vb.h"
#include "scenarios/ConsistModel.h"
#include "scenarios/StockSwap.h"
#include "support/ScopedEnv.h"

#include <set>

using namespace scenarios;
using editortest::Consist;
using editortest::scenarioXml;
using editortest::Vehicle;

namespace {

const QString kCoachBlueprint = QStringLiteral("RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml");

SwapStock stockOf(StockKind kind, const QString& type, const QString& name = QStringLiteral("VS Mk1 Coach"))
{
    SwapStock s;
    s.name = name;
    s.provider = QStringLiteral("OtherProvider");
    s.product = QStringLiteral("OtherProduct");
    s.blueprint = kCoachBlueprint;
    s.binPath = QStringLiteral("G\\Assets\\OtherProvider\\OtherProduct\\") + kCoachBlueprint.chopped(3) + QStringLiteral("bin");
    s.fileName = QStringLiteral("VS_Mk1Coach.xml");
    s.kind = kind;
    s.type = type;
    return s;
}

// A number list in a compact form: a 3-character header, then items of 38 characters
// ("<cCSVItem><Name>NNNN</Name></cCSVItem>"), so the first "<cCSVItem" stands at 4, the
// first "<Name" at 14, and the draw looks from 10 times the factor.
QString compactList(const QStringList& numbers)
{
    QString s = QStringLiteral("<L>");
    for (const QString& n : numbers)
        s += QStringLiteral("<cCSVItem><Name>") + n + QStringLiteral("</Name></cCSVItem>");
    return s + QStringLiteral("</L>");
}

QStringList numbersFrom(int first, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(QString::number(first + i));
    return out;
}

RandomSource fixed(std::initializer_list<float> values)
{
    auto queue = std::make_shared<QList<float>>(values);
    return [queue] {
        EXPECT_FALSE(queue->isEmpty()) << "more draws than expected";
        return queue->isEmpty() ? 0.0f : queue->takeFirst();
    };
}

StockDetail detailWith(const QStringList& numbers, const QString& mass = QStringLiteral("33.000000"), qint16 fuelOrder = 0)
{
    StockDetail d;
    d.converted = true;
    d.mass = mass;
    d.fuelOrder = fuelOrder;
    if (!numbers.isEmpty())
        d.numbers = numberListOf(compactList(numbers));
    return d;
}

StockDetailSource source(const StockDetail& d, int* calls = nullptr)
{
    return [d, calls] {
        if (calls)
            ++*calls;
        return d;
    };
}

Vehicle van(const QString& number)
{
    Vehicle v;
    v.number = number;
    return v;
}

Vehicle engine(const QString& number)
{
    Vehicle v;
    v.name = QStringLiteral("VS Class 90");
    v.blueprint = QStringLiteral("RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml");
    v.number = number;
    return v;
}

// The Vehicle builder writes a wagon; an engine has "<cEngine" in its place.
QString asEngines(QString xml)
{
    return xml.replace(QStringLiteral("<cWagon "), QStringLiteral("<cEngine ")).replace(QStringLiteral("</cWagon>"), QStringLiteral("</cEngine>"));
}

QString valueOf(const QString& text, const QString& tag, int nth = 0)
{
    const QString open = QLatin1Char('<') + tag;
    qsizetype at = -1;
    for (int i = 0; i <= nth; ++i) {
        at = text.indexOf(open, at + 1);
        if (at < 0)
            return QStringLiteral("<none>");
    }
    const qsizetype start = text.indexOf(QLatin1Char('>'), at) + 1;
    return text.mid(start, text.indexOf(QLatin1Char('<'), start) - start);
}

// ---- the random sequence --------------------------------------------------------------------

TEST(StockSwapRandom, TheSequenceStartsWhereTheRunTimeStartsAndRndFollowsIt)
{
    quint32 state = 0x50000;
    const float expected[] = {0.7055475f, 0.5334240f, 0.5795186f};
    for (float e : expected)
        EXPECT_NEAR(vb::RndStep(state), e, 5e-8);
    EXPECT_EQ(state, 9722709u);

    // The program's own sequence steps the same way from wherever it stands.
    for (int i = 0; i < 3; ++i) {
        const float r = vb::Rnd();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        quint32 s = quint32(double(r) * 16777216.0);
        const float next = vb::RndStep(s);
        EXPECT_EQ(vb::Rnd(), next);
    }
}

// ---- the loco and wagon tests ---------------------------------------------------------------

TEST(StockSwapRefusal, EnginesWagonsTendersAndMultipleUnits)
{
    const QString wagon = Vehicle().xml();
    const QString loco = asEngines(Vehicle().xml());
    const QString both = wagon + loco;
    struct Row {
        StockKind kind;
        const char* type;
        QString into;
        QString expected;
    } const rows[] = {
        {StockKind::Engine, "Diesel", wagon, locosForWagonsMessage()}, // a coach is no place for a Diesel
        {StockKind::Engine, "steam", wagon, locosForWagonsMessage()},
        {StockKind::Engine, "Electric", loco, ""},
        {StockKind::Engine, "Diesel", both, ""},
        {StockKind::Wagon, "Passenger", loco, wagonsForLocosMessage()},
        {StockKind::Wagon, "Freight", loco, wagonsForLocosMessage()},
        {StockKind::Tender, "Tender", loco, wagonsForLocosMessage()},
        {StockKind::Wagon, "Freight", wagon, ""},
        {StockKind::Tender, "Tender", wagon, ""},
        // Found with a multiple-unit kind ticked: never refused.
        {StockKind::Engine, "DMU", wagon, ""},
        {StockKind::Engine, "emu", wagon, ""},
        {StockKind::Wagon, "DMU", loco, ""},
        {StockKind::Wagon, "EMU", loco, ""},
        // Listed by the list-all search while an engine kind is ticked: a wagon is a wagon.
        {StockKind::Wagon, "Diesel", wagon, ""},
        {StockKind::Wagon, "Electric", loco, wagonsForLocosMessage()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(swapRefusal(stockOf(row.kind, QString::fromLatin1(row.type)), row.into), row.expected)
            << row.type << " " << int(row.kind);
}

// ---- the draw -------------------------------------------------------------------------------

TEST(StockSwapDraw, TheFactorStopsAtTheTwentyFirstNameAndShortListsGiveTheirFirstNumber)
{
    struct Row {
        int count;
        float r;
        int m;
    } const rows[] = {
        {1, 0.0f, 1}, {1, 0.9999f, 1}, {2, 0.0f, 1}, {2, 0.9999f, 1}, {3, 0.9999f, 1},
        {4, 0.5f, 2}, {4, 0.4999f, 1}, {21, 0.0f, 1}, {21, 0.5f, 10}, {21, 0.99f, 19}, {21, 0.9999999f, 19},
    };
    for (const Row& row : rows)
        EXPECT_EQ(numberFactor(row.count, row.r), row.m) << row.count << " " << row.r;

    // Thirty numbers are counted as 21, and the factor runs from 1 to 19.
    const NumberList thirty = numberListOf(compactList(numbersFrom(1000, 30)));
    EXPECT_EQ(thirty.count, 21);
    EXPECT_EQ(thirty.firstItem, 4);
    EXPECT_EQ(thirty.firstName, 14);
    std::set<int> factors;
    for (int i = 0; i < 1000; ++i)
        factors.insert(numberFactor(thirty.count, float(i) / 1000.0f));
    EXPECT_EQ(factors, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));

    // The number at or after 10 times the factor: items start at 14 + 38 i.
    struct Draw {
        QStringList numbers;
        float r;
        QString expected;
    } const draws[] = {
        {numbersFrom(1000, 1), 0.0f, "1000"},
        {numbersFrom(1000, 1), 0.9999f, "1000"},
        {numbersFrom(1000, 2), 0.7f, "1000"},
        {numbersFrom(1000, 2), 0.9999f, "1000"},
        {numbersFrom(1000, 30), 0.0f, "1000"},  // m 1: from 10
        {numbersFrom(1000, 30), 0.5f, "1003"},  // m 10: from 100, item 3 at 128
        {numbersFrom(1000, 30), 0.99f, "1005"}, // m 19: from 190, item 5 at 204
    };
    for (const Draw& d : draws)
        EXPECT_EQ(drawNumber(numberListOf(compactList(d.numbers)), fixed({d.r})), d.expected) << d.numbers.size() << " " << d.r;

    // No number: no Name (and no draw), or the first Name before the first item.
    int calls = 0;
    const RandomSource counting = [&calls] { ++calls; return 0.5f; };
    EXPECT_EQ(drawNumber(numberListOf(QStringLiteral("<L><cCSVItem></cCSVItem></L>")), counting), QString());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(drawNumber(numberListOf(QStringLiteral("<Name>9</Name><cCSVItem><Name>1</Name></cCSVItem>")), counting),
              QString());
    EXPECT_EQ(calls, 1);
}

// ---- one vehicle -----------------------------------------------------------------------------

TEST(StockSwapVehicle, LevelsFollowTheFuelOrderAndMassAndNumberAreTheVehiclesOwn)
{
    const auto withLevels = [](const QString& first, const QString& second) {
        return Vehicle().xml().replace(
            QStringLiteral("<e d:type=\"sFloat32\">1</e><e d:type=\"sFloat32\">0</e>"),
            QStringLiteral("<e d:type=\"sFloat32\">") + first + QStringLiteral("</e><e d:type=\"sFloat32\">") + second
                + QStringLiteral("</e>"));
    };
    struct Row {
        qint16 order;
        const char* first;
        const char* second;
        const char* expectFirst;
        const char* expectSecond;
    } const rows[] = {
        {1, "50", "20", "20", "50"}, {1, "20", "50", "20", "50"}, {2, "50", "20", "50", "20"},
        {2, "20", "50", "50", "20"}, {0, "50", "20", "50", "20"}, {1, "7", "7", "7", "7"},
    };
    const SwapStock stock = stockOf(StockKind::Wagon, QStringLiteral("Passenger"));
    for (const Row& row : rows) {
        const QString out = swapVehicleText(withLevels(row.first, row.second), stock, detailWith({}, QString(), row.order), {});
        EXPECT_EQ(valueOf(out, QStringLiteral("e d:"), 0), row.expectFirst) << row.order << row.first;
        EXPECT_EQ(valueOf(out, QStringLiteral("e d:"), 1), row.expectSecond) << row.order << row.first;
    }

    // A vehicle with no levels keeps its text but for what the swap writes.
    Vehicle empty;
    empty.emptyLevel = true;
    const QString out = swapVehicleText(empty.xml(), stock, detailWith({}, QStringLiteral("33.000000"), 1), QStringLiteral("E1"));
    EXPECT_TRUE(out.contains(QStringLiteral("<InitialLevel/>")));

    // Mass, number, reference and name in the vehicle's own elements (TotalMass stands before
    // UniqueNumber); a blueprint without Mass leaves TotalMass.
    EXPECT_EQ(valueOf(out, QStringLiteral("TotalMass")), "33.000000");
    EXPECT_EQ(valueOf(out, QStringLiteral("UniqueNumber")), "E1");
    EXPECT_EQ(valueOf(out, QStringLiteral("Provider")), "OtherProvider");
    EXPECT_EQ(valueOf(out, QStringLiteral("Product")), "OtherProduct");
    EXPECT_EQ(valueOf(out, QStringLiteral("BlueprintID d:")), kCoachBlueprint);
    EXPECT_EQ(valueOf(out, QStringLiteral("Name")), "VS Mk1 Coach");
    const QString noMass = swapVehicleText(Vehicle().xml(), stock, detailWith({}, QString()), {});
    EXPECT_EQ(valueOf(noMass, QStringLiteral("TotalMass")), "22.5");
    EXPECT_EQ(valueOf(noMass, QStringLiteral("UniqueNumber")), "4740");

    // The blueprint's fuel order from its text.
    struct Fuel {
        QString xml;
        qint16 order;
    } const fuels[] = {
        {"<e>CoalFuel</e><e>WaterFuel</e>", 1}, {"<e>WaterFuel</e><e>CoalFuel</e>", 2},
        {"<e>CoalFuel</e>", 2}, {"<e>WaterFuel</e><e>DieselFuel</e>", 0},
    };
    for (const Fuel& f : fuels)
        EXPECT_EQ(stockDetailOfXml(f.xml, QString()).fuelOrder, f.order) << f.xml.toStdString();
}

// ---- the commands on a scenario text ---------------------------------------------------------

TEST(StockSwapCommands, NumbersReachEveryTextValueAndOnlyTextValues)
{
    // 4740 -> 3702 in every element whose whole text value was 4740.
    Consist first({van(QStringLiteral("4740")), van(QStringLiteral("4801"))}, QStringLiteral("Service"));
    QString text = scenarioXml({first, Consist({van(QStringLiteral("4900"))})});
    const QString reference = QStringLiteral("<Link d:type=\"cDeltaString\">4740</Link><Count d:type=\"sInt32\">4740</Count>"
                                             "<Other d:type=\"cDeltaString\">47401</Other></Record>");
    text.replace(QStringLiteral("</Record>"), reference);
    const SwapStock coach = stockOf(StockKind::Wagon, QStringLiteral("Passenger"));
    const EditResult r = swapSelected(text, 0, {0}, &coach, source(detailWith({"3702"})), fixed({0.5f}));
    ASSERT_TRUE(r.changed()) << r.message.toStdString();
    EXPECT_EQ(r.message, stockSwapNote());
    EXPECT_EQ(r.icon, vb::vbInformation);
    EXPECT_EQ(r.text.count(QStringLiteral("\">3702<")), 2);
    EXPECT_FALSE(r.text.contains(QStringLiteral("cDeltaString\">4740<")));
    EXPECT_TRUE(r.text.contains(QStringLiteral("<Count d:type=\"sInt32\">4740</Count>")));
    EXPECT_TRUE(r.text.contains(QStringLiteral(">47401<")));
    ConsistModel model;
    model.reread(r.text);
    EXPECT_EQ(model.consist(0)->vehicles[0].name, "VS Mk1 Coach");
    EXPECT_EQ(model.consist(0)->vehicles[1].name, "VS Box Van");
    EXPECT_EQ(model.consist(0)->vehicles[1].number, "4801");

    // A vehicle numbered "1" does not renumber the driver, Flipped or the levels holding 1.
    Consist one({van(QStringLiteral("1"))}, QStringLiteral("Service"));
    one.playerDriver = QStringLiteral("1");
    const QString small = scenarioXml({one});
    const EditResult s = swapSelected(small, 0, {0}, &coach, source(detailWith({"77"})), fixed({0.0f}));
    ASSERT_TRUE(s.changed());
    EXPECT_EQ(valueOf(s.text, QStringLiteral("UniqueNumber")), "77");
    EXPECT_EQ(valueOf(s.text, QStringLiteral("PlayerDriver")), "1");
    EXPECT_EQ(valueOf(s.text, QStringLiteral("e d:")), "1");
    EXPECT_EQ(QString(s.text).replace(QStringLiteral(">77<"), QStringLiteral(">1<")),
              swapSelected(small, 0, {0}, &coach, source(detailWith({})), {}).text);
}

TEST(StockSwapCommands, TwoVansDrawingEachOthersNumbersKeepTheirNewOnes)
{
    // Four numbers: a draw of 0 gives the first, one of 0.6 (factor 2) the second.
    Consist consist({van(QStringLiteral("4740")), van(QStringLiteral("4741"))}, QStringLiteral("Service"));
    QString text = scenarioXml({consist});
    text.replace(QStringLiteral("</Record>"), QStringLiteral("<Link d:type=\"cDeltaString\">4740</Link></Record>"));
    const SwapStock coach = stockOf(StockKind::Wagon, QStringLiteral("Passenger"));
    int calls = 0;
    const EditResult r = swapAll(text, 0, QStringLiteral("vs box van"), &coach,
                                 source(detailWith({"4741", "4740", "4999", "4998"}), &calls), fixed({0.0f, 0.6f}));
    ASSERT_TRUE(r.changed());
    EXPECT_EQ(calls, 1); // one conversion for the command
    ConsistModel model;
    model.reread(r.text);
    ASSERT_EQ(model.consist(0)->vehicles.size(), 2);
    EXPECT_EQ(model.consist(0)->vehicles[0].number, "4741");
    EXPECT_EQ(model.consist(0)->vehicles[1].number, "4740");
    EXPECT_EQ(valueOf(r.text, QStringLiteral("Link")), "4741");
    for (const VehicleRecord& v : model.consist(0)->vehicles)
        EXPECT_EQ(v.name, "VS Mk1 Coach");
}

TEST(StockSwapCommands, SwapAllWritesEachVehiclesOwnMassAndPassesOthersOver)
{
    Vehicle heavy = van(QStringLiteral("10"));
    Vehicle other = engine(QStringLiteral("20"));
    Vehicle light = van(QStringLiteral("30"));
    Consist consist({heavy, other, light}, QStringLiteral("Service"));
    QString text = scenarioXml({consist, Consist({van(QStringLiteral("40"))})});
    text = text.replace(QStringLiteral("22.5</TotalMass><UniqueNumber d:type=\"cDeltaString\">20<"),
                        QStringLiteral("84.0</TotalMass><UniqueNumber d:type=\"cDeltaString\">20<"));
    const SwapStock coach = stockOf(StockKind::Wagon, QStringLiteral("Passenger"));
    const EditResult r = swapAll(text, 0, QStringLiteral("VS Box Van"), &coach, source(detailWith({}, QStringLiteral("33.0"))), {});
    ASSERT_TRUE(r.changed());
    ConsistModel model;
    model.reread(r.text);
    const QList<VehicleRecord>& v = model.consist(0)->vehicles;
    ASSERT_EQ(v.size(), 3);
    EXPECT_EQ(v[0].name, "VS Mk1 Coach");
    EXPECT_EQ(v[1].name, "VS Class 90");
    EXPECT_EQ(v[2].name, "VS Mk1 Coach");
    EXPECT_EQ(valueOf(r.text, QStringLiteral("TotalMass"), 0), "33.0");
    EXPECT_EQ(valueOf(r.text, QStringLiteral("TotalMass"), 1), "84.0");
    EXPECT_EQ(valueOf(r.text, QStringLiteral("TotalMass"), 2), "33.0");
    EXPECT_EQ(valueOf(r.text, QStringLiteral("TotalMass"), 3), "22.5"); // the next consist's van
    EXPECT_EQ(model.consist(1)->vehicles[0].name, "VS Box Van");
    // Without a number list every vehicle keeps its number.
    EXPECT_EQ(v[0].number, "10");
    EXPECT_EQ(v[2].number, "30");
}

TEST(StockSwapCommands, RefusalsAndNothingToDo)
{
    const QString mixed = scenarioXml({Consist({van(QStringLiteral("1")), engine(QStringLiteral("2")), van(QStringLiteral("3"))},
                                               QStringLiteral("Service"))});
    // The Vehicle builder writes wagons: vehicle 1 becomes an engine.
    QString text = mixed;
    const qsizetype second = text.indexOf(QStringLiteral("<cWagon "), text.indexOf(QStringLiteral("<cWagon ")) + 1);
    text.replace(second, 8, QStringLiteral("<cEngine "));
    text.replace(text.indexOf(QStringLiteral("</cWagon>"), second), 9, QStringLiteral("</cEngine>"));

    const SwapStock coach = stockOf(StockKind::Wagon, QStringLiteral("Passenger"));
    int calls = 0;
    int handled = 0;
    // Swap Selected stops at the engine; the van before it stays swapped, the one after not.
    const EditResult r = swapSelected(text, 0, {0, 1, 2}, &coach, source(detailWith({}), &calls), {}, &handled);
    ASSERT_TRUE(r.changed());
    EXPECT_EQ(r.message, wagonsForLocosMessage());
    EXPECT_EQ(r.icon, vb::vbExclamation);
    EXPECT_EQ(handled, 2);
    ConsistModel model;
    model.reread(r.text);
    EXPECT_EQ(model.consist(0)->vehicles[0].name, "VS Mk1 Coach");
    EXPECT_EQ(model.consist(0)->vehicles[1].name, "VS Class 90");
    EXPECT_EQ(model.consist(0)->vehicles[2].name, "VS Box Van");

    // Refused at the first vehicle: nothing changes and nothing is converted.
    calls = 0;
    const EditResult first = swapSelected(text, 0, {1}, &coach, source(detailWith({}), &calls), {});
    EXPECT_EQ(first.status, EditResult::Status::Refused);
    EXPECT_EQ(first.message, wagonsForLocosMessage());
    EXPECT_EQ(calls, 0);

    // Swap All refuses on the whole consist before anything changes.
    const QString engines = asEngines(scenarioXml({Consist({engine(QStringLiteral("5")), engine(QStringLiteral("6"))})}));
    const EditResult all = swapAll(engines, 0, QStringLiteral("VS Class 90"), &coach, source(detailWith({}), &calls), {});
    EXPECT_EQ(all.status, EditResult::Status::Refused);
    EXPECT_EQ(all.message, wagonsForLocosMessage());
    const SwapStock diesel = stockOf(StockKind::Engine, QStringLiteral("Diesel"), QStringLiteral("VS Class 90"));
    const QString vans = scenarioXml({Consist({van(QStringLiteral("5"))})});
    EXPECT_EQ(swapAll(vans, 0, QStringLiteral("VS Box Van"), &diesel, source(detailWith({})), {}).message, locosForWagonsMessage());
    EXPECT_EQ(calls, 0);

    // No stock row: the warning; no vehicle chosen or none of that name: nothing at all.
    const EditResult noStock = swapSelected(text, 0, {0}, nullptr, source(detailWith({})), {});
    EXPECT_EQ(noStock.status, EditResult::Status::Refused);
    EXPECT_EQ(noStock.message, noStockRowMessage());
    EXPECT_EQ(swapAll(text, 0, QStringLiteral("VS Box Van"), nullptr, {}, {}).message, noStockRowMessage());
    for (const EditResult& none : {swapSelected(text, 0, {}, &coach, {}, {}), swapAll(text, 0, QString(), &coach, {}, {}),
                                   swapAll(text, 0, QStringLiteral("Empty Consist"), &coach, {}, {}),
                                   swapSelected(text, -1, {0}, &coach, {}, {})}) {
        EXPECT_EQ(none.status, EditResult::Status::Nothing);
        EXPECT_TRUE(none.message.isEmpty());
    }
}

// ---- through the serializer ------------------------------------------------------------------

class StockSwapGame : public stocktest::StockGame {
protected:
    QByteArray blueprintXml(const QString& csv, const QString& mass) const
    {
        return (QStringLiteral("<cBlueprintLoader><Blueprint><cWagonBlueprint><Name>X</Name><RailVehicleComponent>"
                               "<CsvFile d:type=\"cDeltaString\">%1</CsvFile><Mass d:type=\"sFloat32\">%2</Mass>"
                               "</RailVehicleComponent><e>CoalFuel</e><e>WaterFuel</e></cWagonBlueprint></Blueprint>"
                               "</cBlueprintLoader>")
                    .arg(csv, mass))
            .toUtf8();
    }
    SwapStock coachIn() const
    {
        StockEntry entry;
        entry.name = QStringLiteral("VS Mk1 Coach");
        entry.provider = QStringLiteral("P");
        entry.product = QStringLiteral("Q");
        entry.blueprint = QStringLiteral("RailVehicles\\Coach\\VS_Mk1Coach.xml");
        entry.fullPath = assetsFolder(QStringLiteral("P\\Q\\") + entry.blueprint);
        entry.kind = StockKind::Wagon;
        entry.type = QStringLiteral("Diesel"); // listed by the list-all search
        return swapStockOf(entry);
    }
};

TEST_F(StockSwapGame, ABlueprintIsConvertedOnceAndItsListRead)
{
    const SwapStock coach = coachIn();
    EXPECT_EQ(coach.binPath, assetsFolder("P\\Q\\RailVehicles\\Coach\\VS_Mk1Coach.bin"));
    EXPECT_EQ(coach.fileName, "VS_Mk1Coach.xml");
    writeBlueprint("P/Q/RailVehicles/Coach/VS_Mk1Coach.bin", blueprintXml("P\\Q\\Numbers", "33.000000"));
    tree.writeFile(gameRel + "/Assets/P/Q/Numbers.dcsv", compactList({"E3104", "E3215", "E3347"}).toUtf8());

    const StockDetail d = GetStockDetail(coach.binPath, coach.fileName);
    EXPECT_TRUE(d.converted);
    EXPECT_EQ(d.csvFile, "P\\Q\\Numbers");
    EXPECT_EQ(d.mass, "33.000000");
    EXPECT_EQ(d.fuelOrder, 1);
    EXPECT_EQ(d.numbers.count, 3);
    EXPECT_TRUE(tree.exists("program/TempFiles/VS_Mk1Coach.xml"));

    // A list-all wagon goes into a wagon, with the list's number.
    const QString text = scenarioXml({Consist({van(QStringLiteral("4740"))})});
    const EditResult r = swapSelected(text, 0, {0}, &coach, [&] { return GetStockDetail(coach.binPath, coach.fileName); },
                                      fixed({0.0f}));
    ASSERT_TRUE(r.changed());
    EXPECT_EQ(r.message, stockSwapNote());
    EXPECT_EQ(valueOf(r.text, "UniqueNumber"), "E3104");
    EXPECT_EQ(valueOf(r.text, "TotalMass"), "33.000000");
    EXPECT_EQ(valueOf(r.text, "e d:", 0), "0"); // levels 1, 0 put smaller first
    EXPECT_EQ(valueOf(r.text, "e d:", 1), "1");

    // Without its number list the vehicle keeps its number; the list's missing file is no error.
    QFile::remove(tree.path(gameRel + "/Assets/P/Q/Numbers.dcsv"));
    const EditResult kept = swapSelected(text, 0, {0}, &coach, [&] { return GetStockDetail(coach.binPath, coach.fileName); },
                                         fixed({}));
    ASSERT_TRUE(kept.changed());
    EXPECT_EQ(kept.message, stockSwapNote());
    EXPECT_EQ(valueOf(kept.text, "UniqueNumber"), "4740");
    EXPECT_EQ(valueOf(kept.text, "TotalMass"), "33.000000");
}

// A number list is read only from below the Assets folder, where its name matches whatever its
// letter case and the user's links are followed. One named out of it (by steps, also through a
// game folder spelled in other case) is missing: nothing is read from it and the vehicle keeps
// its number.
TEST_F(StockSwapGame, ANumberListOutOfTheAssetsFolderIsMissing)
{
    const SwapStock coach = coachIn();
    tree.writeFile(gameRel + "/Assets/P/Q/Numbers.dcsv", compactList({"E3104"}).toUtf8());
    tree.writeFile("outside/nums.dcsv", compactList({"X1"}).toUtf8());
    tree.writeFile("GAME/Assets/P/Q/Numbers.dcsv", compactList({"X2"}).toUtf8());
    ASSERT_TRUE(QFile::link(tree.path("outside"), tree.path(gameRel + "/Assets/P/Linked")));
    const struct {
        const char* csv;
        const char* number;
    } rows[] = {
        {"p\\q\\NUMBERS", "E3104"},
        {"..\\..\\outside\\nums", "4740"},
        {"P\\Q\\..\\..\\..\\..\\outside\\nums", "4740"},
        {"..\\..\\GAME\\Assets\\P\\Q\\Numbers", "4740"},
        {"P\\Linked\\nums", "X1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.csv);
        writeBlueprint("P/Q/RailVehicles/Coach/VS_Mk1Coach.bin", blueprintXml(QString::fromLatin1(row.csv), "33.000000"));
        const QString text = scenarioXml({Consist({van(QStringLiteral("4740"))})});
        const EditResult r = swapSelected(text, 0, {0}, &coach,
                                          [&] { return GetStockDetail(coach.binPath, coach.fileName); }, fixed({0.0f}));
        ASSERT_TRUE(r.changed());
        EXPECT_EQ(valueOf(r.text, "UniqueNumber"), QString::fromLatin1(row.number));
        EXPECT_EQ(valueOf(r.text, "TotalMass"), "33.000000");
    }
}

TEST_F(StockSwapGame, ABlueprintThatCannotBeConvertedKeepsMassAndNumber)
{
    const SwapStock coach = coachIn();
    QByteArray xml = blueprintXml("P\\Q\\Numbers", "33.000000");
    xml.replace("<Name>", QByteArray(stocktest::kFailMark) + "<Name>");
    writeBlueprint("P/Q/RailVehicles/Coach/VS_Mk1Coach.bin", xml);
    tree.writeFile(gameRel + "/Assets/P/Q/Numbers.dcsv", compactList({"E3104"}).toUtf8());

    const QString text = scenarioXml({Consist({van(QStringLiteral("4740"))})});
    const EditResult r = swapSelected(text, 0, {0}, &coach, [&] { return GetStockDetail(coach.binPath, coach.fileName); },
                                      fixed({}));
    ASSERT_TRUE(r.changed());
    EXPECT_EQ(r.message, stockSwapNote() + "\r\n" + unreadableBlueprintLine(coach.binPath));
    EXPECT_EQ(valueOf(r.text, "UniqueNumber"), "4740");
    EXPECT_EQ(valueOf(r.text, "TotalMass"), "22.5");
    EXPECT_EQ(valueOf(r.text, "BlueprintID d:"), coach.blueprint);
    EXPECT_EQ(valueOf(r.text, "Name"), "VS Mk1 Coach");
    EXPECT_EQ(valueOf(r.text, "Provider"), "P");
}

} // namespace
