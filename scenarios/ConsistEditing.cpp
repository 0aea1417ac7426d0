#include "scenarios/ConsistEditing.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Ui.h"
#include "scenarios/ConsistModel.h"
#include "scenarios/ScenarioEditor.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/ScenarioText.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace scenarios {

namespace ed = tags::scenarioEditor;
using vb::Compare;

namespace {

const QString kConsistStart = QStringLiteral("<cConsist ");
const QString kConsistEnd = QStringLiteral("</cConsist>");
const QString kVehicleStart = QStringLiteral("<cOwnedEntity");
const QString kVehicleEnd = QStringLiteral("</cOwnedEntity>");
const QString kRibbonStart = QStringLiteral("<RibbonID>");
const QString kRibbonEnd = QStringLiteral("</RibbonID>");

EditResult nothing()
{
    return {};
}

EditResult changed(QString text, const QString& note)
{
    return changedResult(std::move(text), note, vb::vbInformation);
}

EditResult vehicleMissing()
{
    return refusedResult(nothingChangedMessage(QStringLiteral("the selected vehicle was not found in this consist.")));
}

// The (k+1)-th start of an element from `from`, or 0.
qsizetype nthStart(const QString& text, const QString& start, qsizetype from, qsizetype k)
{
    qsizetype p = from - 1;
    for (qsizetype i = 0; i <= k; ++i) {
        p = findText(p + 1, text, start);
        if (p == 0)
            return 0;
    }
    return p;
}

} // namespace

EditResult refusedResult(const QString& message)
{
    EditResult r;
    r.status = EditResult::Status::Refused;
    r.message = message;
    r.icon = vb::vbExclamation;
    return r;
}

EditResult changedResult(QString text, const QString& message, int icon)
{
    EditResult r;
    r.status = EditResult::Status::Changed;
    r.text = std::move(text);
    r.message = message;
    r.icon = icon;
    return r;
}

EditResult consistMissing()
{
    return refusedResult(nothingChangedMessage(QStringLiteral("the selected consist was not found in the scenario.")));
}

// ---- messages -------------------------------------------------------------------------------------

QString scenarioUpdateNote()
{
    return QStringLiteral("Your Scenario information will be updated once you save changes.");
}

QString driverUpdateNote()
{
    return QStringLiteral("Your Scenario Driver information will be updated once you save changes.");
}

QString noItemToDuplicateMessage()
{
    return QStringLiteral("You have not selected an item to duplicate?");
}

QString noItemToDeleteMessage()
{
    return QStringLiteral("You have not selected an item to delete?");
}

QString noLocomotiveMessage()
{
    return QStringLiteral("You have not selected a locomotive to drive?");
}

QString noOriginMarkerMessage()
{
    return QStringLiteral("You have not selected a new Origin for this consist from the 'Available Markers' list.");
}

QString noDestinationMarkerMessage()
{
    return QStringLiteral("You have not selected a new Destination from the 'Available Markers' list.");
}

QString notLoadableMessage(const QString& rowText)
{
    return rowText + QStringLiteral(" is not a loadable vehicle");
}

QString noDriverMessage()
{
    return QStringLiteral("This consist has no driver and cannot be driven.");
}

QString consistNamePrompt()
{
    return QStringLiteral("Enter New Name for this consist (Leave blank if Loose Consist");
}

QString nothingChangedMessage(const QString& what)
{
    return QStringLiteral("Nothing was changed: ") + what;
}

const QStringList& serviceClassNames()
{
    static const QStringList names{
        QStringLiteral("Special"),
        QStringLiteral("Light Engine"),
        QStringLiteral("Express Passenger"),
        QStringLiteral("Stopping Passenger"),
        QStringLiteral("High-Speed Freight"),
        QStringLiteral("Express Freight"),
        QStringLiteral("Stopping Freight"),
        QStringLiteral("Low-Speed Freight"),
        QStringLiteral("Other Freight"),
        QStringLiteral("Empty Stock"),
        QStringLiteral("International"),
    };
    return names;
}

// ---- locating and cutting -------------------------------------------------------------------------

ElementCut findConsist(const QString& text, qsizetype k)
{
    ElementCut cut;
    if (k < 0)
        return cut;
    const qsizetype start = nthStart(text, kConsistStart, 1, k);
    if (start == 0)
        return cut;
    const qsizetype end = findText(start, text, kConsistEnd);
    if (end == 0)
        return cut;
    cut.start = start;
    cut.end = end + kConsistEnd.size() - 1;
    return cut;
}

ElementCut findVehicle(const QString& text, const ElementCut& consist, qsizetype j)
{
    ElementCut cut;
    if (!consist.found() || j < 0)
        return cut;
    const qsizetype start = nthStart(text, kVehicleStart, consist.start, j);
    if (start == 0 || start > consist.end)
        return cut;
    const qsizetype end = findText(start, text, kVehicleEnd);
    if (end == 0 || end + kVehicleEnd.size() - 1 > consist.end)
        return cut;
    cut.start = start;
    cut.end = end + kVehicleEnd.size() - 1;
    return cut;
}

QString elementText(const QString& text, const ElementCut& cut)
{
    return text.mid(cut.start - 1, cut.length());
}

QString joinAround(const QString& text, const ElementCut& cut, QStringView middle)
{
    const QStringView all(text);
    QString out;
    out.reserve(text.size() - cut.length() + middle.size());
    out += all.left(cut.start - 1);
    out += middle;
    out += all.mid(cut.end);
    return out;
}

QString nextUniqueNumber(const QString& number)
{
    return vb::CStr(vb::Val(number) + 3);
}

// ---- the commands ---------------------------------------------------------------------------------

EditResult duplicateItem(const QString& text, qsizetype k, qsizetype j)
{
    if (k < 0)
        return nothing();
    if (j < 0)
        return refusedResult(noItemToDuplicateMessage());
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    const ElementCut vehicle = findVehicle(text, consist, j);
    if (!vehicle.found())
        return vehicleMissing();

    const QString original = elementText(text, vehicle);
    QString number;
    const qsizetype at = findText(1, original, QStringLiteral("<UniqueNumber"));
    if (at > 0) {
        qsizetype p = std::max<qsizetype>(1, at - 10);
        QString value;
        ed::GetDetail(original, p, QStringLiteral("UniqueNumber"), value);
        number = nextUniqueNumber(value);
    }
    QString copy = original;
    qsizetype p = 1;
    ed::PutDetail(copy, p, QStringLiteral("UniqueNumber"), number);

    return changed(joinAround(text, vehicle, QString(original + copy)), scenarioUpdateNote());
}

EditResult deleteItem(const QString& text, qsizetype k, qsizetype j)
{
    if (k < 0)
        return nothing();
    if (j < 0)
        return refusedResult(noItemToDeleteMessage());
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    const ElementCut vehicle = findVehicle(text, consist, j);
    if (!vehicle.found())
        return vehicleMissing();
    return changed(joinAround(text, vehicle, QStringView()), scenarioUpdateNote());
}

EditResult loadVehicles(const QString& text, qsizetype k, const QList<int>& rows, const QStringList& rowTexts,
                        bool load)
{
    if (k < 0 || rows.isEmpty())
        return nothing();
    const QString value = load ? QStringLiteral("eTrue") : QStringLiteral("eFalse");
    QString work = text;
    bool any = false;
    QStringList passedOver;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString row = i < rowTexts.size() ? rowTexts[i] : QString();
        const ElementCut consist = findConsist(work, k);
        if (!consist.found())
            return consistMissing();
        const ElementCut vehicle = findVehicle(work, consist, rows[i]);
        if (!vehicle.found()) {
            passedOver.append(nothingChangedMessage(row + QStringLiteral(" was not found in this consist.")));
            continue;
        }
        QString v = elementText(work, vehicle);
        if (findText(1, v, QStringLiteral("<InitialLevel/>")) > 0) {
            // The vehicles before this one stay changed.
            EditResult stop = any ? changed(work, QString()) : refusedResult(QString());
            stop.message = notLoadableMessage(row);
            stop.icon = vb::vbExclamation;
            for (const QString& line : passedOver)
                stop.message += QStringLiteral("\r\n") + line;
            return stop;
        }
        qsizetype p = findText(1, v, QStringLiteral("<ispreloaded"));
        if (p > 0)
            ed::PutDetail(v, p, QStringLiteral("IsPreloaded"), value);
        if (p == 0) {
            passedOver.append(nothingChangedMessage(row + QStringLiteral(" has no IsPreloaded.")));
            continue;
        }
        work = joinAround(work, vehicle, v);
        any = true;
    }
    if (!any)
        return refusedResult(passedOver.join(QStringLiteral("\r\n")));
    QString note = scenarioUpdateNote();
    for (const QString& line : passedOver)
        note += QStringLiteral("\r\n") + line;
    return changed(work, note);
}

EditResult driveIt(const QString& text, qsizetype k, qsizetype j)
{
    if (k < 0)
        return nothing();
    if (j < 0)
        return refusedResult(noLocomotiveMessage());
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    const qsizetype driver = findText(consist.start, text, QStringLiteral("<PlayerDriver"));
    if (driver == 0 || driver > consist.end)
        return refusedResult(noDriverMessage());

    // Same-length values ("1" to "0") are written in place, so a scenario with a thousand
    // drivers is one pass.
    QString work = text;
    for (const QString& tag : {QStringLiteral("PlayerDriver"), QStringLiteral("PlayerControlled")}) {
        qsizetype p = 1;
        while (p > 0) {
            ed::PutDetail(work, p, tag, QStringLiteral("0"));
            ui().doEvents();
        }
    }
    const ElementCut driven = findConsist(work, k);
    qsizetype p = driven.start;
    ed::PutDetail(work, p, QStringLiteral("PlayerDriver"), QStringLiteral("1"));
    return changed(std::move(work), driverUpdateNote());
}

QString markerRibbonBlock(const QString& tracksText, const QString& marker, QString& why)
{
    // The marker's name as a whole element value, so that a name that begins another marker's
    // name ("Veltrane Central", "Veltrane Central Platform 1") finds its own block.
    const qsizetype at = vb::InStr(1, tracksText, QLatin1Char('>') + marker + QStringLiteral("</"), Compare::Binary);
    if (marker.isEmpty() || at == 0) {
        why = QStringLiteral("the marker ") + marker + QStringLiteral(" was not found in the route's track file.");
        return QString();
    }
    const qsizetype start = vb::InStrRev(tracksText, kRibbonStart, at, Compare::Binary);
    const qsizetype end = start > 0 ? vb::InStr(start, tracksText, kRibbonEnd, Compare::Binary) : 0;
    if (start == 0 || end == 0) {
        why = QStringLiteral("the marker ") + marker + QStringLiteral(" has no RibbonID block in the route's track file.");
        return QString();
    }
    ui().doEvents();
    return tracksText.mid(start - 1, end + kRibbonEnd.size() - start);
}

bool placeConsistOnBlock(QString& consist, const QString& block, QString& why)
{
    QString work = consist;
    for (const QString& follower : {QStringLiteral("FrontFollower"), QStringLiteral("RearFollower")}) {
        const qsizetype at = findText(1, work, follower);
        if (at == 0) {
            why = QStringLiteral("this consist has no ") + follower + QLatin1Char('.');
            return false;
        }
        const qsizetype start = vb::InStrRev(work, kRibbonStart, at, Compare::Text);
        const qsizetype end = start > 0 ? findText(start, work, kRibbonEnd) : 0;
        if (start == 0 || end == 0) {
            why = QStringLiteral("this consist has no RibbonID block before its ") + follower + QLatin1Char('.');
            return false;
        }
        work.replace(start - 1, end + kRibbonEnd.size() - start, block);
    }
    consist = std::move(work);
    return true;
}

EditResult duplicateConsist(const QString& text, qsizetype k, const QString& marker, const QString& tracksText,
                            const std::function<QString()>& askName)
{
    if (k < 0)
        return nothing();
    if (marker.isEmpty())
        return refusedResult(noOriginMarkerMessage());
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    QString copy = elementText(text, consist);

    // New running numbers for every vehicle of the copy.
    const QString number = QStringLiteral("UniqueNumber");
    qsizetype from = 1;
    for (;;) {
        const qsizetype at = findText(from, copy, QLatin1Char('<') + number);
        if (at == 0)
            break;
        qsizetype p = at;
        QString value;
        ed::GetDetail(copy, p, number, value);
        qsizetype w = at;
        ed::PutDetail(copy, w, number, nextUniqueNumber(value));
        if (w == 0)
            break;
        from = w + 10;
        ui().doEvents();
    }

    qsizetype p = 1;
    ed::PutDetail(copy, p, QStringLiteral("PlayerDriver"), QStringLiteral("0"));
    p = 1;
    ed::PutDetail(copy, p, QStringLiteral("PlayerControlled"), QStringLiteral("0"));

    QString why;
    const QString block = markerRibbonBlock(tracksText, marker, why);
    if (block.isEmpty() || !placeConsistOnBlock(copy, block, why))
        return refusedResult(nothingChangedMessage(why));

    const QString name = askName ? askName() : QString();
    const qsizetype service = findText(1, copy, QStringLiteral("<ServiceName>"));
    if (service > 0)
        ed::PutLocalisedText(copy, service, escapeBoxText(name));

    QString out;
    out.reserve(text.size() + copy.size());
    out += QStringView(text).left(consist.start - 1);
    out += copy;
    out += QStringView(text).mid(consist.start - 1);
    return changed(std::move(out), scenarioUpdateNote());
}

EditResult deleteConsist(const QString& text, qsizetype k)
{
    if (k < 0)
        return nothing();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    return changed(joinAround(text, consist, QStringView()), scenarioUpdateNote());
}

EditResult changeStartTime(const QString& text, qsizetype k, const QString& time)
{
    if (k < 0)
        return nothing();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    if (!startTimeAccepted(time))
        return refusedResult(timeFormatMessage());
    QString c = elementText(text, consist);
    qsizetype p = findText(1, c, QStringLiteral("</ServiceName>"));
    if (p == 0)
        return refusedResult(nothingChangedMessage(QStringLiteral("this consist has no ServiceName, so it has no start time.")));
    ed::PutDetail(c, p, QStringLiteral("StartTime"), startTimeSeconds(time));
    if (p == 0)
        return refusedResult(nothingChangedMessage(QStringLiteral("this consist has no StartTime after its ServiceName.")));
    return changed(joinAround(text, consist, c), scenarioUpdateNote());
}

EditResult changeServiceClass(const QString& text, qsizetype k, const QString& classText)
{
    if (k < 0)
        return nothing();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    if (vb::Trim(classText).isEmpty())
        return refusedResult(nothingChangedMessage(QStringLiteral("no service class was chosen.")));
    QString value = escapeBoxText(classText);
    const QStringList& names = serviceClassNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (classText.compare(names[i], Qt::CaseInsensitive) == 0) {
            value = QString::number(i);
            break;
        }
    }
    QString c = elementText(text, consist);
    qsizetype p = findText(1, c, QStringLiteral("<ServiceClass"));
    if (p > 0)
        ed::PutDetail(c, p, QStringLiteral("ServiceClass"), value);
    if (p == 0)
        return refusedResult(nothingChangedMessage(QStringLiteral("this consist has no ServiceClass.")));
    return changed(joinAround(text, consist, c), scenarioUpdateNote());
}

EditResult changeDestination(const QString& text, qsizetype k, qsizetype j, const QString& oldDestination,
                             const QString& marker)
{
    if (k < 0 || j < 0)
        return nothing();
    if (marker.isEmpty())
        return refusedResult(noDestinationMarkerMessage());
    if (oldDestination.isEmpty() || oldDestination.compare(kNoDestination, Qt::CaseInsensitive) == 0)
        return refusedResult(nothingChangedMessage(QStringLiteral("this consist has no destination to change.")));
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    QString c = elementText(text, consist);
    const QString find = QLatin1Char('>') + oldDestination + QLatin1Char('<');
    if (!c.contains(find, Qt::CaseInsensitive))
        return refusedResult(nothingChangedMessage(QStringLiteral("the destination ") + oldDestination
                                             + QStringLiteral(" was not found in this consist.")));
    c.replace(find, QLatin1Char('>') + marker + QLatin1Char('<'), Qt::CaseInsensitive);
    return changed(joinAround(text, consist, c), scenarioUpdateNote());
}

EditResult changeOriginPoint(const QString& text, qsizetype k, const QString& marker, const QString& tracksText)
{
    if (k < 0)
        return nothing();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    if (marker.isEmpty())
        return refusedResult(noOriginMarkerMessage());
    QString why;
    const QString block = markerRibbonBlock(tracksText, marker, why);
    QString c = elementText(text, consist);
    if (block.isEmpty() || !placeConsistOnBlock(c, block, why))
        return refusedResult(nothingChangedMessage(why));
    return changed(joinAround(text, consist, c), scenarioUpdateNote());
}

// ---- committing -----------------------------------------------------------------------------------

bool commitEdit(ScenarioEditor& editor, const EditResult& result)
{
    if (!result.changed())
        return false;
    shared().ScenarioText = result.text;
    editor.ScenarioChanged = true;
    editor.tables.reread(shared().ScenarioText);
    return true;
}

void showEditMessage(const EditResult& result)
{
    if (result.message.isEmpty())
        return;
    ui().msgBox(result.message, vb::vbOKOnly + result.icon, Ui::programTitle());
}

QList<int> remapRows(const QList<int>& selected, int at, RowChange change, int count)
{
    QList<int> out;
    for (int row : selected) {
        if (change == RowChange::Inserted && row > at)
            ++row;
        else if (change == RowChange::Removed && row == at)
            continue;
        else if (change == RowChange::Removed && row > at)
            --row;
        if (row >= 0 && row < count)
            out.append(row);
    }
    return out;
}

// ---- the consist list and the details window ------------------------------------------------------

VehicleListing listVehicles(const ConsistRecord* consist, const QString& gamePath, QString& reportText)
{
    VehicleListing listing;
    if (consist) {
        QSet<QString> reported;
        for (const VehicleRecord& v : consist->vehicles) {
            if (v.name.isEmpty())
                continue;
            const QString file = blueprintBinFile(gamePath, v.provider, v.product, v.blueprint);
            if (!file.isEmpty() && !AssetsFileExists(gamePath, file) && !reported.contains(file.toLower())) {
                reported.insert(file.toLower());
                if (reportText.isEmpty())
                    reportText = QStringLiteral("Missing items:-\r\n\r\n");
                reportText += file + QStringLiteral("\r\n");
            }
            listing.rows.append(v.name);
        }
        if (consist->driverIndex != QStringLiteral("-1"))
            listing.label7 = QStringLiteral("Driven Loco Index ") + consist->driverIndex;
    }
    if (listing.rows.isEmpty())
        listing.rows.append(QStringLiteral("Empty Consist"));
    return listing;
}

bool vehicleDetails(const ConsistModel& tables, qsizetype k, qsizetype j, const QString& rowText,
                    VehicleDetails& details)
{
    const VehicleRecord* v = tables.vehicle(j, k);
    const ConsistRecord* c = tables.consist(k);
    if (!v || !c || rowText.compare(v->name, Qt::CaseInsensitive) != 0)
        return false;
    details = VehicleDetails();
    details.blueprint = v->blueprint;
    details.loadable = v->loadable == QStringLiteral("False") ? QStringLiteral("Loadable = False")
                                                               : QStringLiteral("Loadable = True");
    if (v->loaded == QStringLiteral("eFalse"))
        details.loaded = QStringLiteral("Loaded = False");
    else if (v->loaded == QStringLiteral("eTrue"))
        details.loaded = QStringLiteral("Loaded = True");
    // A value that cannot be read as a number (one too large, "1e999") leaves its caption as
    // it was; the other captions are still filled.
    try {
        details.orientation = vb::Val(v->flipped) == 1 ? QStringLiteral("Orientation = Reversed")
                                                        : QStringLiteral("Orientation = Forward");
    } catch (const VbError&) {
    }
    details.direction = QStringLiteral("Consist Dir. = ") + c->direction;
    details.startTime = v->startTime;
    details.destination = v->destination;
    details.number = v->number;
    try {
        const double cls = std::nearbyint(vb::Val(c->serviceClass));
        if (cls >= 0 && cls < serviceClassNames().size())
            details.serviceClass = int(cls);
    } catch (const VbError&) {
    }
    return true;
}

} // namespace scenarios
