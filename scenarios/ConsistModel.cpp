#include "scenarios/ConsistModel.h"

#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"

namespace scenarios {

namespace ed = tags::scenarioEditor;
using vb::Compare;

namespace {

// Searches ignoring case for a tag text that starts with "<" (a character without case): the
// candidates are found by the fast exact search for "<" and then compared, which keeps the
// reading of a scenario of many megabytes quick.
qsizetype indexOfTag(QStringView text, QStringView what, qsizetype from)
{
    for (;;) {
        const qsizetype at = text.indexOf(what.front(), from);
        if (at < 0 || at + what.size() > text.size())
            return -1;
        if (text.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return at;
        from = at + 1;
    }
}

// The same backwards: the last occurrence that ends at or before the end of text.
qsizetype lastIndexOfTag(QStringView text, QStringView what)
{
    qsizetype from = text.size() - what.size();
    while (from >= 0) {
        const qsizetype at = text.lastIndexOf(what.front(), from);
        if (at < 0)
            return -1;
        if (text.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return at;
        from = at - 1;
    }
    return -1;
}

bool isTag(const QString& what)
{
    return !what.isEmpty() && what.front() == QLatin1Char('<');
}

qsizetype find(qsizetype start, const QString& text, const QString& what)
{
    if (!isTag(what) || start < 1)
        return vb::InStr(start, text, what, Compare::Text);
    const qsizetype at = indexOfTag(text, what, start - 1);
    return at < 0 ? 0 : at + 1;
}

// The last occurrence of what at or before `at`.
qsizetype findBack(const QString& text, const QString& what, qsizetype at)
{
    if (!isTag(what) || at < 1 || at > text.size())
        return vb::InStrRev(text, what, at, Compare::Text);
    const qsizetype found = lastIndexOfTag(QStringView(text).left(at), what);
    return found < 0 ? 0 : found + 1;
}

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
    const qsizetype found = isTag(what) ? lastIndexOfTag(vehicle, what) : vehicle.lastIndexOf(what, Qt::CaseInsensitive);
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
    const qsizetype vehicleStart = findBack(c, QStringLiteral("<cOwnedEntity"), q);

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
                scan.startTimeAt = find(at, c, QStringLiteral("<StartTime"));
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
        p = find(p, scenarioText, QStringLiteral("</cConsist>"));
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

        const qsizetype driver = find(1, c, QStringLiteral("<PlayerDriver"));
        if (driver > 0) {
            steps.run([&] {
                qsizetype at = driver;
                QString value;
                ed::GetDetail(c, at, QStringLiteral("PlayerDriver"), value);
                consist.driven = vb::Val(value) == 1;
            });
        }
        steps.a = 8;

        const qsizetype service = find(1, c, QStringLiteral("<ServiceName>"));
        if (service > 0) {
            steps.run([&] { ed::GetLocalisedText(c, service, consist.name); });
            steps.run([&] {
                qsizetype at = findBack(c, QStringLiteral("<_dir"), service);
                ed::GetDetail(c, at, QStringLiteral("_dir"), consist.direction);
            });
        } else {
            consist.name = kLooseConsist;
        }

        const qsizetype engineIndex = find(1, c, QStringLiteral("<DriverEngineIndex"));
        if (engineIndex > 0) {
            steps.run([&] {
                qsizetype at = engineIndex;
                ed::GetDetail(c, at, QStringLiteral("DriverEngineIndex"), consist.driverIndex);
            });
        }
        const qsizetype serviceClass = find(1, c, QStringLiteral("<ServiceClass"));
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
        const qsizetype firstName = find(1, c, QStringLiteral("<Name"));
        if (firstName > 0) {
            ConsistScan scan;
            scan.destination = find(1, c, QStringLiteral("FinalDestination"));
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
