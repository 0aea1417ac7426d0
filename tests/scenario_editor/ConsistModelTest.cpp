// The consist and vehicle tables read from a scenario text, and the route's markers.
#include "EditorFixture.h"

#include "scenarios/ConsistModel.h"

using namespace editortest;
using namespace scenarios;

namespace {

class Consists : public ::testing::Test {
protected:
    void TearDown() override { ui.verifyDone(); }

    ConsistModel read(const QString& text)
    {
        ConsistModel model;
        LoadSteps steps;
        model.read(text, steps);
        failures = steps.failures();
        return model;
    }

    static void expectVehicle(const VehicleRecord& v, const QStringList& values)
    {
        const QStringList actual{v.name,   v.provider, v.product,  v.blueprint, v.flipped,
                                 v.number, v.loaded,   v.loadable, v.startTime, v.destination};
        EXPECT_EQ(actual, values);
    }

    ScriptedUi ui;
    int failures = 0;
};

const QString kEngine = QStringLiteral("RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml");
const QString kVan = QStringLiteral("RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan.xml");
const QString kProvider = QStringLiteral("VeltraneSamples");
const QString kProduct = QStringLiteral("Sample01");

} // namespace

TEST_F(Consists, SampleScenarioGivesEveryRowAndTableEntry)
{
    const QString text = valleyText(QStringLiteral("Scenarios/") + kMorning + "/Scenario.bin.xml");
    ASSERT_FALSE(text.isEmpty());
    const ConsistModel m = read(text);
    EXPECT_EQ(failures, 0);

    EXPECT_EQ(m.rows(), (QStringList{"6E21 Veltrane Central to Eastfield Yard", "4V02 Eastfield Yard to Veltrane Central",
                                     "Loose Consist"}));
    EXPECT_EQ(m.consistCount(), 3);
    EXPECT_EQ(m.drivenConsist, "6E21 Veltrane Central to Eastfield Yard");
    ASSERT_EQ(m.consistEnds.size(), 4);
    EXPECT_EQ(m.consistEnds[0], 1);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(text.mid(m.consistEnds[k] - 1, 11), "</cConsist>");

    // The driven train: its direction is the last one before its service name.
    const ConsistRecord& driven = m.consists[0];
    EXPECT_TRUE(driven.driven);
    EXPECT_EQ(driven.direction, "forwards");
    EXPECT_EQ(driven.driverIndex, "0");
    EXPECT_EQ(driven.serviceClass, "5");
    ASSERT_EQ(driven.vehicles.size(), 3);
    expectVehicle(driven.vehicles[0], {"VS Class 90", kProvider, kProduct, kEngine, "0", "90021", "eFalse", "False",
                                       "0700", "Eastfield Yard"});
    expectVehicle(driven.vehicles[1], {"VS Box Van", kProvider, kProduct, kVan, "0", "4740", "eTrue", "True", "0700",
                                       "Eastfield Yard"});
    expectVehicle(driven.vehicles[2], {"VS Box Van", kProvider, kProduct, kVan, "1", "4741", "eTrue", "True", "0700",
                                       "Eastfield Yard"});

    // The AI train starts at 25830 s: 7 h and 10.5 min, shown with the minutes rounded down.
    const ConsistRecord& ai = m.consists[1];
    EXPECT_FALSE(ai.driven);
    EXPECT_EQ(ai.direction, "backwards");
    EXPECT_EQ(ai.serviceClass, "4");
    ASSERT_EQ(ai.vehicles.size(), 2);
    expectVehicle(ai.vehicles[0], {"VS Class 90", kProvider, kProduct, kEngine, "0", "90034", "eFalse", "False", "0710",
                                   "Veltrane Central"});
    expectVehicle(ai.vehicles[1], {"VS Box Van", kProvider, kProduct, kVan, "0", "4802", "eTrue", "True", "0710",
                                   "Veltrane Central"});

    // The loose van: no service, so no direction, class, start time or destination.
    const ConsistRecord& loose = m.consists[2];
    EXPECT_FALSE(loose.driven);
    EXPECT_EQ(loose.direction, "");
    EXPECT_EQ(loose.driverIndex, "-1");
    EXPECT_EQ(loose.serviceClass, "");
    ASSERT_EQ(loose.vehicles.size(), 1);
    expectVehicle(loose.vehicles[0], {"VS Box Van", kProvider, kProduct, kVan, "0", "4915", "eTrue", "True", "0000",
                                      "Not Shown"});

    EXPECT_EQ(m.vehicle(2, 0), &m.consists[0].vehicles[2]);
    EXPECT_EQ(m.vehicle(3, 0), nullptr);
    EXPECT_EQ(m.vehicle(0, 3), nullptr);
    EXPECT_EQ(m.consist(-1), nullptr);
}

TEST_F(Consists, DrivenEmptyAndLooseConsists)
{
    Consist empty{{}, "0Z00 Empty stock"};
    Consist driven{{Vehicle{}}, "1A01 Driven"};
    driven.playerDriver = "1";
    driven.startTime = "30690.0000";
    driven.destination.clear();
    driven.direction = "backwards";
    Consist loose{{Vehicle{}, Vehicle{}}};
    const ConsistModel m = read(scenarioXml({empty, driven, loose}));
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(m.rows(), (QStringList{"0Z00 Empty stock", "1A01 Driven", "Loose Consist"}));
    EXPECT_EQ(m.drivenConsist, "1A01 Driven");
    EXPECT_TRUE(m.consists[0].vehicles.isEmpty());
    EXPECT_FALSE(m.consists[0].driven);
    ASSERT_EQ(m.consists[1].vehicles.size(), 1);
    EXPECT_EQ(m.consists[1].direction, "backwards");
    // 30690 s shows 0831 in the tables; a consist without a destination shows "Not Shown".
    EXPECT_EQ(m.consists[1].vehicles[0].startTime, "0831");
    EXPECT_EQ(m.consists[1].vehicles[0].destination, "Not Shown");
    EXPECT_EQ(m.consists[2].vehicles.size(), 2);
    EXPECT_EQ(m.consists[2].direction, "");
}

TEST_F(Consists, ScenarioWithoutConsistsListsNothing)
{
    const ConsistModel m = read("<?xml version=\"1.0\"?><cRecordSet><Record></Record></cRecordSet>");
    EXPECT_EQ(m.consistCount(), 0);
    EXPECT_TRUE(m.rows().isEmpty());
    EXPECT_EQ(m.drivenConsist, "");
    EXPECT_EQ(m.consistEnds, QList<qsizetype>{1});
    EXPECT_EQ(read(QString()).consistCount(), 0);
}

TEST_F(Consists, OptionalVehicleElements)
{
    Vehicle reversed;
    reversed.flipped = "1";
    reversed.number = "100";
    Vehicle noFlip;
    noFlip.withFlipped = false;
    noFlip.number = "200";
    Vehicle bare;
    bare.withNumber = false;
    bare.withLoaded = false;
    bare.emptyLevel = true;
    bare.flipped = "1";
    Consist c{{reversed, noFlip, bare}, "2B02 Mixed"};

    // Each element a vehicle lacks gives one message at a = 12 and an empty entry, never the
    // value of the vehicle before it.
    ui.expectMsgBox(vb::vbOK, loadFailure(12));
    ui.expectMsgBox(vb::vbOK, loadFailure(12));
    ui.expectMsgBox(vb::vbOK, loadFailure(12));
    const ConsistModel m = read(scenarioXml({c}));
    EXPECT_EQ(failures, 3);
    ASSERT_EQ(m.consists[0].vehicles.size(), 3);
    const VehicleRecord& v0 = m.consists[0].vehicles[0];
    const VehicleRecord& v1 = m.consists[0].vehicles[1];
    const VehicleRecord& v2 = m.consists[0].vehicles[2];
    EXPECT_EQ(v0.flipped, "1");
    EXPECT_EQ(v1.flipped, "");
    EXPECT_EQ(v1.number, "200");
    EXPECT_EQ(v1.loaded, "eTrue");
    EXPECT_EQ(v1.blueprint, kVan);
    EXPECT_EQ(v2.flipped, "1");
    EXPECT_EQ(v2.number, "");
    EXPECT_EQ(v2.loaded, "");
    EXPECT_EQ(v2.loadable, "False");
    EXPECT_EQ(v1.loadable, "True");
    EXPECT_EQ(v2.startTime, "0700");
    EXPECT_EQ(v2.destination, "Eastfield Yard");
}

TEST_F(Consists, VehicleWithoutBlueprintFailsItsThreeReads)
{
    Vehicle odd;
    odd.name = "Odd";
    QString text = scenarioXml({Consist{{odd}, "3C03"}});
    text.replace("<Provider d:type=\"cDeltaString\">VeltraneSamples</Provider>", "");
    for (int i = 0; i < 3; ++i)
        ui.expectMsgBox(vb::vbOK, loadFailure(11));
    const ConsistModel m = read(text);
    ASSERT_EQ(m.consists[0].vehicles.size(), 1);
    const VehicleRecord& v = m.consists[0].vehicles[0];
    EXPECT_EQ(v.name, "Odd");
    EXPECT_EQ(v.provider, "");
    EXPECT_EQ(v.product, "");
    EXPECT_EQ(v.blueprint, "");
    EXPECT_EQ(v.number, "4740");
}

TEST_F(Consists, NoLimitOnConsistsOrVehicles)
{
    QList<Consist> consists;
    for (int i = 0; i < 520; ++i)
        consists.append(Consist{{Vehicle{}}, QStringLiteral("S%1").arg(i)});
    Consist longTrain{{}, "Long"};
    for (int j = 0; j < 510; ++j) {
        Vehicle v;
        v.number = QString::number(j);
        longTrain.vehicles.append(v);
    }
    consists.append(longTrain);
    const ConsistModel m = read(scenarioXml(consists));
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(m.consistCount(), 521);
    EXPECT_EQ(m.rows()[519], "S519");
    ASSERT_EQ(m.consists[520].vehicles.size(), 510);
    EXPECT_EQ(m.consists[520].vehicles[509].number, "509");
    EXPECT_EQ(m.vehicle(509, 520)->number, "509");
}

TEST_F(Consists, MarkersAreTheEnglishElementsComparedExactly)
{
    const QString tracks = QStringLiteral(
        "<?xml?><Markers><English d:type=\"cDeltaString\">Platform 1</English>"
        "<english>lower case</english><ENGLISH>upper</ENGLISH>"
        "<English d:type=\"cDeltaString\">Yard</English><English></English></Markers>");
    LoadSteps steps;
    EXPECT_EQ(readMarkers(tracks, steps), (QStringList{"Platform 1", "Yard", ""}));
    EXPECT_EQ(readMarkers(QString(), steps), QStringList());

    // A marker whose element is not closed fails at the loading's last milestone and is not listed.
    steps.a = 16;
    ui.expectMsgBox(vb::vbOK, loadFailure(16));
    EXPECT_EQ(readMarkers("<?xml?><English>A</English><English>B", steps), QStringList{"A"});

    EXPECT_EQ(readMarkers(valleyText("Networks/Tracks.bin.xml"), steps),
              (QStringList{"Veltrane Central Platform 1", "Eastfield Yard", "Quarry Siding"}));
}
