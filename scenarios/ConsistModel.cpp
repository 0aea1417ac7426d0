#include "scenarios/ConsistModel.h"

#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "scenarios/ScenarioText.h"

namespace scenarios {

namespace ed = tags::scenarioEditor;
using vb::Compare;

namespace {

// The last occurrence of what at or before `at` that lies within the vehicle starting at
// vehicleStart (after its "<"); 0 when the vehicle has none. Only the vehicle's own text is
// looked at, so a consist of many vehicles is read in one pass.
qsizetype findInVehicle(const QString& text, const QString& what, qsizetype at, qsizetype vehicleStart)
{
    if (at < 1 || at > text.size())
        return 0;
    const qsizetype from = vehicleStart + 1;
    if (at - from + 1 < what.size())
        return 0;
    const QStringView vehicle = QStringView(text).mid(from - 1, at - from + 1);
    const qsizetype found = lastIndexIgnoringCase(vehicle, what);
    return found < 0 ? 0 : from + found;
}

// What every vehicle of one consist shares: where its destination is named, and the last
// search for a start time (the first "<StartTime" from a vehicle's start is the same for the
// vehicles that follow it, up to that element).
struct ConsistScan {
    qsizetype destination = 0;
    qsizetype startTimeFrom = 0; // where the last search started; 0: none yet
    qsizetype startTimeAt = 0;   // what it found; 0: nothing
};

// Reads one vehicle whose Name element ends just before q (q is 10 characters past the start
// of its closing tag).
void readVehicle(const QString& c, qsizetype q, VehicleRecord& v, ConsistScan& scan, LoadSteps& steps)
{
    // The vehicle's own start; 0 when the text has no vehicle element before its Name.
    const qsizetype vehicleStart = findTextBack(c, QStringLiteral("<cOwnedEntity"), q);

    qsizetype p = 0;
    steps.run([&] { p = findInVehicle(c, QStringLiteral("<Provider "), q, vehicleStart); });
    steps.run([&] { ed::GetDetail(c, p, QStringLiteral("Provider"), v.provider); });
    steps.run([&] { ed::GetDetail(c, p, QStringLiteral("Product"), v.product); });
    steps.run([&] { ed::GetDetail(c, p, QStringLiteral("BlueprintID"), v.blueprint); });
    steps.a = 12;

    // Read from five characters before the element's "<".
    auto readBack = [&](const QString& search, const QString& tag, QString& into) {
        steps.run([&] {
            qsizetype at = findInVehicle(c, search, q, vehicleStart) - 5;
            ed::GetDetail(c, at, tag, into);
        });
    };
    readBack(QStringLiteral("<Flipped"), QStringLiteral("Flipped"), v.flipped);
    readBack(QStringLiteral("<uniquenumber"), QStringLiteral("UniqueNumber"), v.number);
    readBack(QStringLiteral("<IsPreloaded"), QStringLiteral("IsPreloaded"), v.loaded);
    steps.a = 13;

    const qsizetype emptyLevel = findInVehicle(c, QStringLiteral("<InitialLevel/>"), q, vehicleStart);
    v.loadable = emptyLevel > 0 ? QStringLiteral("False") : QStringLiteral("True");
    steps.a = 14;

    // The first start time after the vehicle's start: normally its consist's own.
    QString start;
    steps.run([&] {
        qsizetype at = vehicleStart;
        if (at > 0) {
            if (scan.startTimeFrom == 0 || (scan.startTimeAt != 0 && scan.startTimeAt < at)) {
                scan.startTimeFrom = at;
                scan.startTimeAt = findText(at, c, QStringLiteral("<StartTime"));
            }
            if (scan.startTimeAt == 0)
                return; // none: the start time stays empty
            at = scan.startTimeAt;
        }
        ed::GetDetail(c, at, QStringLiteral("StartTime"), start);
    });
    steps.a = 15;
    steps.run([&] { v.startTime = consistStartTimeText(start); });

    if (scan.destination > 0) {
        steps.run([&] {
            qsizetype at = scan.destination;
            ed::GetDetail(c, at, QStringLiteral("DisplayName"), v.destination);
        });
    } else {
        v.destination = kNoDestination;
    }
}

} // namespace

QList<qsizetype> findConsistEnds(const QString& scenarioText)
{
    QList<qsizetype> ends{1};
    qsizetype p = 1;
    for (;;) {
        p = findText(p, scenarioText, QStringLiteral("</cConsist>"));
        if (p == 0)
            break;
        ends.append(p);
        ++p;
    }
    return ends;
}

void ConsistModel::clear()
{
    consistEnds.clear();
    consists.clear();
    drivenConsist.clear();
}

void ConsistModel::read(const QString& scenarioText, LoadSteps& steps)
{
    clear();
    consistEnds = findConsistEnds(scenarioText);
    const qsizetype n = consistEnds.size() - 1;
    consists.reserve(n);

    for (qsizetype i = 0; i < n; ++i) {
        const QString c = vb::Mid(scenarioText, consistEnds[i], consistEnds[i + 1] - consistEnds[i]);
        ConsistRecord consist;

        const qsizetype driver = findText(1, c, QStringLiteral("<PlayerDriver"));
        if (driver > 0) {
            steps.run([&] {
                qsizetype at = driver;
                QString value;
                ed::GetDetail(c, at, QStringLiteral("PlayerDriver"), value);
                consist.driven = vb::Val(value) == 1;
            });
        }
        steps.a = 8;

        const qsizetype service = findText(1, c, QStringLiteral("<ServiceName>"));
        if (service > 0) {
            steps.run([&] { ed::GetLocalisedText(c, service, consist.name); });
            steps.run([&] {
                qsizetype at = findTextBack(c, QStringLiteral("<_dir"), service);
                ed::GetDetail(c, at, QStringLiteral("_dir"), consist.direction);
            });
        } else {
            consist.name = kLooseConsist;
        }

        const qsizetype engineIndex = findText(1, c, QStringLiteral("<DriverEngineIndex"));
        if (engineIndex > 0) {
            steps.run([&] {
                qsizetype at = engineIndex;
                ed::GetDetail(c, at, QStringLiteral("DriverEngineIndex"), consist.driverIndex);
            });
        }
        const qsizetype serviceClass = findText(1, c, QStringLiteral("<ServiceClass"));
        if (serviceClass > 0) {
            steps.run([&] {
                qsizetype at = serviceClass;
                ed::GetDetail(c, at, QStringLiteral("ServiceClass"), consist.serviceClass);
            });
        }
        steps.a = 9;
        if (consist.driven)
            drivenConsist = consist.name;

        // Vehicles: one per Name element, each read from 10 characters before its "<".
        const qsizetype firstName = findText(1, c, QStringLiteral("<Name"));
        if (firstName > 0) {
            ConsistScan scan;
            scan.destination = findText(1, c, QStringLiteral("FinalDestination"));
            qsizetype q = firstName - 10;
            for (;;) {
                steps.a = 10;
                QString name;
                steps.run([&] { ed::GetDetail(c, q, QStringLiteral("Name"), name); });
                if (q == 0)
                    break;
                q += 10;
                VehicleRecord vehicle;
                vehicle.name = name;
                steps.a = 11;
                readVehicle(c, q, vehicle, scan, steps);
                consist.vehicles.append(vehicle);
            }
        }
        consists.append(consist);
    }
}

void ConsistModel::reread(const QString& scenarioText)
{
    LoadSteps steps;
    steps.quiet = true;
    read(scenarioText, steps);
}

QStringList ConsistModel::rows() const
{
    QStringList out;
    out.reserve(consists.size());
    for (const ConsistRecord& consist : consists)
        out.append(consist.name);
    return out;
}

const ConsistRecord* ConsistModel::consist(qsizetype k) const
{
    return k >= 0 && k < consists.size() ? &consists[k] : nullptr;
}

ConsistRecord* ConsistModel::consist(qsizetype k)
{
    return k >= 0 && k < consists.size() ? &consists[k] : nullptr;
}

const VehicleRecord* ConsistModel::vehicle(qsizetype j, qsizetype k) const
{
    const ConsistRecord* c = consist(k);
    return c && j >= 0 && j < c->vehicles.size() ? &c->vehicles[j] : nullptr;
}

VehicleRecord* ConsistModel::vehicle(qsizetype j, qsizetype k)
{
    ConsistRecord* c = consist(k);
    return c && j >= 0 && j < c->vehicles.size() ? &c->vehicles[j] : nullptr;
}

QStringList readMarkers(const QString& tracksText, LoadSteps& steps)
{
    QStringList markers;
    qsizetype p = 1;
    for (;;) {
        p = vb::InStr(p + 1, tracksText, QStringLiteral("<English"), Compare::Binary);
        if (p == 0)
            break;
        steps.run([&] {
            qsizetype at = p;
            QString name;
            ed::GetDetailExact(tracksText, at, QStringLiteral("English"), name);
            markers.append(name);
        });
        p += 10;
    }
    return markers;
}

} // namespace scenarios
