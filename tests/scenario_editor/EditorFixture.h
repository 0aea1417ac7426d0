#pragma once
// Scenario texts for the scenario editor's tests: the sample game's own texts, and small
// consists and vehicles built to order. EditorFixture gives each test a copy of the sample
// game with the test serializer, the scripted user interface and fresh shared state.

#include "common/SharedState.h"
#include "scenarios/ScenarioBrowser.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace editortest {

inline const QString kValley = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
inline const QString kMorning = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
inline const QString kEvening = QStringLiteral("7f6e5d4c-3b2a-4190-8877-665544332211");

// The loading failure of an element searched from position 0.
inline QString loadFailure(int a)
{
    return QStringLiteral("Error - Invalid procedure call or argument occurred loading frmZelvorn Value of a= ")
        + QString::number(a);
}

// The text of a file of the sample game's sources (samples/game).
inline QString sampleText(const QString& relative)
{
    QFile file(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + relative);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

inline QString valleyText(const QString& relative)
{
    return sampleText(QStringLiteral("Content/Routes/") + kValley + QLatin1Char('/') + relative);
}

// A localised text element with all five languages.
inline QString localised(const QString& element, const QString& english, const QString& french = QString())
{
    return QStringLiteral("<%1><Localisation-cUserLocalisedString><English d:type=\"cDeltaString\">%2</English>"
                          "<French d:type=\"cDeltaString\">%3</French><Italian d:type=\"cDeltaString\"></Italian>"
                          "<German d:type=\"cDeltaString\"></German><Spanish d:type=\"cDeltaString\"></Spanish>"
                          "<Key d:type=\"cDeltaString\">k</Key></Localisation-cUserLocalisedString></%1>")
        .arg(element, english, french);
}

// One vehicle, in the serializer's element order.
struct Vehicle {
    QString name = QStringLiteral("VS Box Van");
    QString provider = QStringLiteral("VeltraneSamples");
    QString product = QStringLiteral("Sample01");
    QString blueprint = QStringLiteral("RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan.xml");
    QString number = QStringLiteral("4740");
    QString flipped = QStringLiteral("0");
    QString loaded = QStringLiteral("eTrue");
    bool withNumber = true;
    bool withFlipped = true;
    bool withLoaded = true;
    bool emptyLevel = false; // "<InitialLevel/>"

    QString xml() const
    {
        QString s = QStringLiteral("<cOwnedEntity d:id=\"1\"><Component><cWagon d:id=\"2\"><TotalMass d:type=\"sFloat32\">22.5</TotalMass>");
        if (withNumber)
            s += QStringLiteral("<UniqueNumber d:type=\"cDeltaString\">") + number + QStringLiteral("</UniqueNumber>");
        if (withFlipped)
            s += QStringLiteral("<Flipped d:type=\"bool\">") + flipped + QStringLiteral("</Flipped>");
        s += QStringLiteral("</cWagon><cCargoComponent d:id=\"3\">");
        if (withLoaded)
            s += QStringLiteral("<IsPreloaded d:type=\"cDeltaString\">") + loaded + QStringLiteral("</IsPreloaded>");
        s += emptyLevel ? QStringLiteral("<InitialLevel/>")
                        : QStringLiteral("<InitialLevel><e d:type=\"sFloat32\">1</e><e d:type=\"sFloat32\">0</e></InitialLevel>");
        s += QStringLiteral("</cCargoComponent></Component><BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>"
                            "<iBlueprintLibrary-cBlueprintSetID><Provider d:type=\"cDeltaString\">")
            + provider + QStringLiteral("</Provider><Product d:type=\"cDeltaString\">") + product
            + QStringLiteral("</Product></iBlueprintLibrary-cBlueprintSetID></BlueprintSetID><BlueprintID d:type=\"cDeltaString\">")
            + blueprint
            + QStringLiteral("</BlueprintID></iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID><Name d:type=\"cDeltaString\">")
            + name + QStringLiteral("</Name></cOwnedEntity>");
        return s;
    }
};

// One consist. Without a service name it is a loose consist: no driver block at all.
struct Consist {
    explicit Consist(QList<Vehicle> vehicles_ = {}, QString service_ = {})
        : vehicles(std::move(vehicles_)), service(std::move(service_))
    {
    }

    QList<Vehicle> vehicles;
    QString service; // empty: loose
    QString direction = QStringLiteral("forwards");
    QString playerDriver = QStringLiteral("0");
    QString startTime = QStringLiteral("25200.0000");
    QString serviceClass = QStringLiteral("5");
    QString destination = QStringLiteral("Eastfield Yard"); // empty: no FinalDestination
    QString driverIndex = QStringLiteral("0");

    QString xml() const
    {
        QString s = QStringLiteral("<cConsist d:id=\"9\"><RailVehicles>");
        for (const Vehicle& v : vehicles)
            s += v.xml();
        s += QStringLiteral("</RailVehicles><RearFollower><Network-cDirection><_dir d:type=\"cDeltaString\">") + direction
            + QStringLiteral("</_dir></Network-cDirection></RearFollower>");
        if (!service.isEmpty()) {
            s += QStringLiteral("<Driver><cDriver d:id=\"8\">");
            if (!destination.isEmpty())
                s += QStringLiteral("<FinalDestination><cDriverInstructionTarget d:id=\"7\"><DisplayName d:type=\"cDeltaString\">")
                    + destination + QStringLiteral("</DisplayName></cDriverInstructionTarget></FinalDestination>");
            s += QStringLiteral("<PlayerDriver d:type=\"bool\">") + playerDriver + QStringLiteral("</PlayerDriver>")
                + localised(QStringLiteral("ServiceName"), service)
                + QStringLiteral("<StartTime d:type=\"sFloat32\">") + startTime + QStringLiteral("</StartTime>")
                + QStringLiteral("<ServiceClass d:type=\"sInt32\">") + serviceClass + QStringLiteral("</ServiceClass>")
                + QStringLiteral("<Timetabled d:type=\"bool\">0</Timetabled></cDriver></Driver>");
        }
        s += QStringLiteral("<DriverEngineIndex d:type=\"sInt32\">") + driverIndex + QStringLiteral("</DriverEngineIndex></cConsist>");
        return s;
    }
};

inline QString scenarioXml(const QList<Consist>& consists)
{
    QString s = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet d:id=\"1\"><Record>");
    for (const Consist& c : consists)
        s += c.xml();
    return s + QStringLiteral("</Record></cRecordSet>\r\n");
}

// A copy of the sample game, the test serializer, the scripted user interface and fresh
// shared state.
class EditorFixture : public SampleGameFixture {
protected:
    EditorFixture() : SampleGameFixture({.serz = true}) {}

    // The shared texts as the browser leaves them for a scenario of the valley line.
    void useSampleScenario(const QString& id = kMorning)
    {
        const scenarios::ScenarioPropertiesCut cut = scenarios::cutScenarioProperties(valleyText("Scenarios.bin.xml"), id);
        SharedState& s = shared();
        s.ScenarioProperties = cut.block;
        s.ScenariosTextBefore = cut.before;
        s.ScenariosTextAfter = cut.after;
        s.ScenarioTextLoaded = valleyText(QStringLiteral("Scenarios/") + id + QStringLiteral("/Scenario.bin.xml"));
        s.ScenarioText = s.ScenarioTextLoaded;
        s.TracksText = valleyText("Networks/Tracks.bin.xml");
        s.RouteFolder = tree.gamePath() + QStringLiteral("\\content\\Routes\\") + kValley;
        s.ScenarioFolder = s.RouteFolder + QStringLiteral("\\Scenarios\\") + id;
    }

    QStringList messageTexts() const
    {
        QStringList out;
        for (const ScriptedUi::Message& m : ui.messages())
            out.append(m.text);
        return out;
    }
};

} // namespace editortest
