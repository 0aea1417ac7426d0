#include "scenarios/StockSwap.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioText.h"

#include <QHash>

#include <cmath>
#include <map>

namespace scenarios {

namespace ed = tags::scenarioEditor;
using vb::Compare;

namespace {

bool holds(const QString& text, const QString& what)
{
    return findText(1, text, what) > 0;
}

// The value of the first `tag` element of text; "" when there is none.
QString firstValue(const QString& text, const QString& tag)
{
    QString value;
    firstElementValue(text, tag, value);
    return value;
}

// The note after a command that swapped: the blueprint's trouble, if any, on a second line.
QString doneNote(const SwapStock& stock, const StockDetail& detail)
{
    QString note = stockSwapNote();
    if (!detail.converted)
        note += QStringLiteral("\r\n") + unreadableBlueprintLine(stock.binPath);
    return note;
}

// Details read once, on first use.
class LazyDetail {
public:
    explicit LazyDetail(const StockDetailSource& source) : source_(source) {}
    const StockDetail& get()
    {
        if (!read_) {
            if (source_)
                detail_ = source_();
            read_ = true;
        }
        return detail_;
    }
    bool read() const { return read_; }

private:
    const StockDetailSource& source_;
    StockDetail detail_;
    bool read_ = false;
};

// What a command does to one vehicle: its index in the consist and its new number.
struct PlannedSwap {
    qsizetype index = 0;
    QString newNumber;
};

// The text with the planned vehicles of consist k swapped, after the numbers were carried
// through the text as it stood. Each vehicle is cut from the consist, changed in its own
// text, and the consist is joined once.
QString applySwaps(const QString& text, qsizetype k, const QList<PlannedSwap>& plan, const SwapStock& stock,
                   const StockDetail& detail, const QList<QPair<QString, QString>>& pairs)
{
    const QString renumbered = renumberTextValues(text, pairs);
    const ElementCut consistCut = findConsist(renumbered, k);
    if (!consistCut.found())
        return renumbered;
    const QString consist = elementText(renumbered, consistCut);
    const ElementCut whole = findConsist(consist, 0);

    std::map<qsizetype, std::pair<ElementCut, QString>> cuts; // by start in the consist
    for (const PlannedSwap& swap : plan) {
        const ElementCut vehicle = findVehicle(consist, whole, swap.index);
        if (vehicle.found())
            cuts.emplace(vehicle.start, std::make_pair(vehicle, swap.newNumber));
    }

    QString out;
    out.reserve(consist.size() + 256 * qsizetype(cuts.size()));
    qsizetype done = 0; // characters of the consist already copied
    for (const auto& [start, entry] : cuts) {
        const ElementCut& vehicle = entry.first;
        if (vehicle.start <= done)
            continue; // inside a vehicle already swapped
        out += QStringView(consist).mid(done, vehicle.start - 1 - done);
        out += swapVehicleText(elementText(consist, vehicle), stock, detail, entry.second);
        done = vehicle.end;
    }
    out += QStringView(consist).mid(done);
    return joinAround(renumbered, consistCut, out);
}

} // namespace

// ---- messages -------------------------------------------------------------------------------------

QString stockSwapNote()
{
    return QStringLiteral("Your Consist's Rolling-Stock information will be updated once you save changes.");
}

QString noStockRowMessage()
{
    return QStringLiteral("You have not selected any rolling-stock from the Available Stock list?");
}

QString locosForWagonsMessage()
{
    return QStringLiteral("Sorry, but you can not swap Locos for Wagons.");
}

QString wagonsForLocosMessage()
{
    return QStringLiteral("Sorry, but you can not swap Wagons for Locos.");
}

QString unreadableBlueprintLine(const QString& binPath)
{
    return QStringLiteral("The new blueprint ") + binPath
        + QStringLiteral(" could not be read, so the mass and running numbers were kept.");
}

// ---- the blueprint put in -------------------------------------------------------------------------

SwapStock swapStockOf(const StockEntry& entry)
{
    SwapStock s;
    s.name = entry.name;
    s.provider = entry.provider;
    s.product = entry.product;
    s.blueprint = entry.blueprint;
    if (entry.fullPath.size() >= 3)
        s.binPath = entry.fullPath.left(entry.fullPath.size() - 3) + QStringLiteral("bin");
    s.fileName = entry.blueprint.mid(entry.blueprint.lastIndexOf(QLatin1Char('\\')) + 1);
    s.kind = entry.kind;
    s.type = entry.type;
    return s;
}

QString swapRefusal(const SwapStock& stock, const QString& text)
{
    if (stock.type.compare(QStringLiteral("DMU"), Qt::CaseInsensitive) == 0
        || stock.type.compare(QStringLiteral("EMU"), Qt::CaseInsensitive) == 0)
        return QString();
    const bool engine = holds(text, QStringLiteral("<cEngine"));
    const bool wagon = holds(text, QStringLiteral("<cWagon"));
    if (stock.kind == StockKind::Engine && !engine && wagon)
        return locosForWagonsMessage();
    if ((stock.kind == StockKind::Wagon || stock.kind == StockKind::Tender) && !wagon && engine)
        return wagonsForLocosMessage();
    return QString();
}

// ---- the blueprint's details and its number list --------------------------------------------------

NumberList numberListOf(const QString& text)
{
    NumberList list;
    list.text = text;
    list.firstItem = findText(1, text, QStringLiteral("<cCSVItem"));
    list.firstName = findText(1, text, QStringLiteral("<Name"));
    qsizetype p = list.firstName;
    while (p > 0 && list.count < 21) {
        ++list.count;
        p = findText(p + 1, text, QStringLiteral("<Name"));
    }
    return list;
}

int numberFactor(int count, float r)
{
    const float product = float(count - 2) * r;
    const float sum = product + 1.0f;
    const int m = int(std::floor(sum));
    return m == 0 ? 1 : m;
}

QString drawNumber(const NumberList& list, const RandomSource& random)
{
    if (list.firstName == 0)
        return QString();
    const float r = random ? random() : vb::Rnd();
    const qsizetype at = (list.firstName - list.firstItem) * numberFactor(list.count, r);
    if (at < 1)
        return QString();
    QString number;
    qsizetype p = at;
    try {
        ed::GetDetail(list.text, p, QStringLiteral("Name"), number);
    } catch (const VbError&) {
        return QString(); // a Name without its end: no number to take
    }
    return p > 0 ? number : QString();
}

StockDetail stockDetailOfXml(const QString& xml, const QString& gamePath)
{
    StockDetail d;
    d.converted = true;
    const qsizetype component = findText(1, xml, QStringLiteral("<RailVehicleComponent"));
    if (component > 0) {
        try {
            qsizetype p = component;
            ed::GetDetail(xml, p, QStringLiteral("CsvFile"), d.csvFile);
            qsizetype m = p > 0 ? p : component;
            ed::GetDetail(xml, m, QStringLiteral("Mass"), d.mass);
        } catch (const VbError&) {
            // An element without its end: what was read before it stands.
        }
    }
    const qsizetype coal = findText(1, xml, QStringLiteral("CoalFuel"));
    if (coal > 0) {
        const qsizetype water = findText(1, xml, QStringLiteral("WaterFuel"));
        d.fuelOrder = water > 0 && coal < water ? 1 : 2;
    }
    if (!d.csvFile.isEmpty()) {
        // A list that leads out of the Assets folder counts as missing: nothing is read from it.
        const QString listFile = AssetsPathFromText(gamePath, d.csvFile + QStringLiteral(".dcsv"));
        if (!listFile.isNull() && FileExists(listFile)) {
            QString text;
            ReadTextFile(listFile, text);
            d.numbers = numberListOf(text);
        }
    }
    return d;
}

StockDetail GetStockDetail(const QString& BinPath, const QString& FileName)
{
    EnsureTempFiles();
    const QString workFile = TempFilesPath(FileName);
    const ConversionResult converted = RunSerz(BinPath, serz::ToXml, workFile, platform::programFolder());
    ui().doEvents();
    if (!converted)
        return StockDetail();
    QString xml;
    ReadTextFile(workFile, xml);
    return stockDetailOfXml(xml, shared().GamePath);
}

// ---- one vehicle and the renumbering --------------------------------------------------------------

QString swapVehicleText(const QString& vehicle, const SwapStock& stock, const StockDetail& detail,
                        const QString& newNumber)
{
    QString v = vehicle;

    // The reference and the name, each searched from the closing tag of the one before (the
    // reference's own "BlueprintID" follows its Product; the outer one comes before it). The
    // closing tag has moved by what the write added or took away.
    qsizetype p = 1;
    const auto put = [&v, &p](const QString& tag, const QString& value) {
        const qsizetype before = v.size();
        ed::PutDetail(v, p, tag, value);
        if (p > 0)
            p += v.size() - before;
    };
    put(QStringLiteral("Provider"), stock.provider);
    put(QStringLiteral("Product"), stock.product);
    put(QStringLiteral("BlueprintID"), stock.blueprint);
    put(QStringLiteral("Name"), stock.name);

    if (!newNumber.isEmpty() && holds(v, QStringLiteral("<UniqueNumber"))) {
        qsizetype n = 1;
        ed::PutDetail(v, n, QStringLiteral("UniqueNumber"), newNumber);
    }
    if (!detail.mass.isEmpty()) {
        qsizetype m = 1;
        ed::PutDetail(v, m, QStringLiteral("TotalMass"), detail.mass);
    }

    if (detail.fuelOrder != 0) {
        const QString open = QStringLiteral("<InitialLevel>");
        const QString close = QStringLiteral("</InitialLevel>");
        const qsizetype start = findText(1, v, open);
        const qsizetype end = start > 0 ? findText(start, v, close) : 0;
        if (end > 0) {
            QString level = v.mid(start - 1, end + close.size() - start);
            QString first;
            QString second;
            try {
                qsizetype e = 1;
                ed::GetDetail(level, e, QStringLiteral("e"), first);
                if (e > 0)
                    ed::GetDetail(level, e, QStringLiteral("e"), second);
                if (e > 0) {
                    const double a = vb::Val(first);
                    const double b = vb::Val(second);
                    if ((detail.fuelOrder == 1 && b < a) || (detail.fuelOrder == 2 && b > a)) {
                        ed::SwapInitialLevels(level);
                        v = v.left(start - 1) + level + v.mid(end + close.size() - 1);
                    }
                }
            } catch (const VbError&) {
                // Levels that cannot be read are left as they are.
            }
        }
    }
    return v;
}

QString renumberTextValues(const QString& text, const QList<QPair<QString, QString>>& pairs)
{
    QHash<QString, QString> newNumbers;
    for (const auto& [oldNumber, newNumber] : pairs) {
        if (oldNumber.isEmpty() || oldNumber.compare(newNumber, Qt::CaseInsensitive) == 0)
            continue;
        const QString key = oldNumber.toCaseFolded();
        if (!newNumbers.contains(key))
            newNumbers.insert(key, newNumber);
    }
    if (newNumbers.isEmpty())
        return text;

    static const QString marker = QStringLiteral("d:type=\"cDeltaString\">");
    const QStringView all(text);
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    for (;;) {
        const qsizetype at = text.indexOf(marker, done);
        if (at < 0)
            break;
        const qsizetype valueStart = at + marker.size();
        const qsizetype valueEnd = text.indexOf(QLatin1Char('<'), valueStart);
        if (valueEnd < 0)
            break;
        const auto found = newNumbers.constFind(all.mid(valueStart, valueEnd - valueStart).toString().toCaseFolded());
        if (found != newNumbers.constEnd()) {
            out += all.mid(done, valueStart - done);
            out += found.value();
        } else {
            out += all.mid(done, valueEnd - done);
        }
        done = valueEnd;
    }
    out += all.mid(done);
    return out;
}

// ---- the commands ---------------------------------------------------------------------------------


// Plans one vehicle's swap: the number drawn for it from the new blueprint's list, and the
// renumbering of its old number when it gets one.
static void planSwap(qsizetype index, const QString& vehicle, const StockDetail& d, const RandomSource& random,
              QList<PlannedSwap>& plan, QList<QPair<QString, QString>>& pairs)
{
    PlannedSwap swap;
    swap.index = index;
    if (d.converted)
        swap.newNumber = drawNumber(d.numbers, random);
    if (!swap.newNumber.isEmpty())
        pairs.append({firstValue(vehicle, QStringLiteral("UniqueNumber")), swap.newNumber});
    plan.append(swap);
}

EditResult swapSelected(const QString& text, qsizetype k, const QList<int>& rows, const SwapStock* stock,
                        const StockDetailSource& detail, const RandomSource& random, int* handled)
{
    if (handled)
        *handled = 0;
    if (!stock)
        return refusedResult(noStockRowMessage());
    if (k < 0 || rows.isEmpty())
        return EditResult();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();

    // What happens to each vehicle is decided on the text as it stands; the changes are made
    // afterwards, in one go.
    LazyDetail details(detail);
    QList<PlannedSwap> plan;
    QList<QPair<QString, QString>> pairs;
    QString refusal;
    for (int row : rows) {
        if (handled)
            ++*handled;
        const ElementCut vehicle = findVehicle(text, consist, row);
        if (!vehicle.found())
            continue;
        const QString v = elementText(text, vehicle);
        refusal = swapRefusal(*stock, v);
        if (!refusal.isEmpty())
            break;
        planSwap(row, v, details.get(), random, plan, pairs);
        ui().doEvents();
    }

    if (plan.isEmpty())
        return refusal.isEmpty() ? EditResult() : refusedResult(refusal);
    QString out = applySwaps(text, k, plan, *stock, details.get(), pairs);
    if (!refusal.isEmpty())
        return changedResult(std::move(out), refusal, vb::vbExclamation);
    return changedResult(std::move(out), doneNote(*stock, details.get()), vb::vbInformation);
}

EditResult swapAll(const QString& text, qsizetype k, const QString& name, const SwapStock* stock,
                   const StockDetailSource& detail, const RandomSource& random)
{
    if (!stock)
        return refusedResult(noStockRowMessage());
    if (k < 0 || name.isEmpty())
        return EditResult();
    const ElementCut consist = findConsist(text, k);
    if (!consist.found())
        return consistMissing();
    const QString refusal = swapRefusal(*stock, elementText(text, consist));
    if (!refusal.isEmpty())
        return refusedResult(refusal);

    LazyDetail details(detail);
    QList<PlannedSwap> plan;
    QList<QPair<QString, QString>> pairs;
    for (qsizetype r = 0;; ++r) {
        const ElementCut vehicle = findVehicle(text, consist, r);
        if (!vehicle.found())
            break;
        const QString v = elementText(text, vehicle);
        if (firstValue(v, QStringLiteral("Name")).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        planSwap(r, v, details.get(), random, plan, pairs);
        ui().doEvents();
    }
    if (plan.isEmpty())
        return EditResult();
    return changedResult(applySwaps(text, k, plan, *stock, details.get(), pairs), doneNote(*stock, details.get()),
                       vb::vbInformation);
}

} // namespace scenarios
