#pragma once
// The scenario editor's consist and vehicle tables, read from the working scenario text: one
// record per consist (the consist list's row text, its direction, driven engine index and
// service class, whether the player drives it) holding one record per vehicle (name,
// blueprint, orientation, running number, load state, start time, destination).
//
// The consists are cut at their closing tags: consist k is the text from the end of consist
// k - 1 (the start of the text for consist 0) to the character before its own "</cConsist>".
// Every value is read from that cut with the scenario editor's tag helpers. The tables hold as
// many consists and vehicles as the text has.

#include "scenarios/ScenarioProperties.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace scenarios {

struct VehicleRecord {
    QString name;        // "Name": the vehicle list's row text
    QString provider;    // "Provider", "Product", "BlueprintID": the blueprint
    QString product;
    QString blueprint;
    QString flipped;     // "Flipped": "1" when the vehicle stands reversed
    QString number;      // "UniqueNumber"
    QString loaded;      // "IsPreloaded": "eTrue" or "eFalse"
    QString loadable;    // "False" when the vehicle's initial level is "<InitialLevel/>", else "True"
    QString startTime;   // the consist's start time as "HHMM", minutes rounded down
    QString destination; // the "DisplayName" of the consist's "FinalDestination", or "Not Shown"
};

struct ConsistRecord {
    QString name;         // the "ServiceName" text, or "Loose Consist"
    QString direction;    // "_dir" (read only for consists with a ServiceName)
    QString driverIndex;  // "DriverEngineIndex"
    QString serviceClass; // "ServiceClass", 0 to 10
    bool driven = false;  // "PlayerDriver" is the number 1
    QList<VehicleRecord> vehicles;
};

// The row text of a consist without a "ServiceName".
inline const QString kLooseConsist = QStringLiteral("Loose Consist");
// The destination of a vehicle whose consist has no "FinalDestination".
inline const QString kNoDestination = QStringLiteral("Not Shown");

// The positions that cut the text into consists: 1, then the position of every
// "</cConsist>" (ignoring case) in order.
QList<qsizetype> findConsistEnds(const QString& scenarioText);

class ConsistModel {
public:
    // Entry 0 is 1; entry k the position of the k-th "</cConsist>".
    QList<qsizetype> consistEnds;
    // One record per consist, in text order; entry k is row k of the consist list.
    QList<ConsistRecord> consists;
    // The row text of the driven consist (the last one, when several are); empty when none.
    QString drivenConsist;

    // Fills the tables from the scenario text. Every read is a loading step (steps.a is set
    // to 8 to 15 along the way): a failing read is reported, leaves its entry empty, and the
    // reading goes on. The values of a vehicle are searched backwards from the end of its
    // Name element and only within the vehicle, so an element the vehicle lacks gives a
    // message and an empty entry rather than its neighbour's value.
    void read(const QString& scenarioText, LoadSteps& steps);
    // The same without loading messages: the tables read again after a consist or vehicle edit.
    void reread(const QString& scenarioText);

    void clear();

    // ConsistCount: the number of consists listed.
    int consistCount() const { return int(consists.size()); }
    // The consist list's rows.
    QStringList rows() const;
    // The consist at row k, or nullptr.
    const ConsistRecord* consist(qsizetype k) const;
    ConsistRecord* consist(qsizetype k);
    // Vehicle j of the consist at row k, or nullptr.
    const VehicleRecord* vehicle(qsizetype j, qsizetype k) const;
    VehicleRecord* vehicle(qsizetype j, qsizetype k);
};

// The marker names of a route's track text: the value of every "English" element, in order,
// found with exact (case-sensitive) searches, the first from the text's second character and
// each next one from 11 characters after the previous find; a read that fails is a loading
// step's failure, and its marker is not listed.
QStringList readMarkers(const QString& tracksText, LoadSteps& steps);

} // namespace scenarios
