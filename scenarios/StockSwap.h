#pragma once
// The scenario editor's rolling-stock swaps: "Swap Selected Item(s)" puts a blueprint found by
// the stock search into the selected vehicles of a consist, "Swap All Identical Stock" into
// every vehicle of the consist that bears the chosen vehicle's name. Each swapped vehicle gets
// the new blueprint reference and name, the blueprint's mass, a running number drawn from the
// blueprint's number list, and its two fuel levels in the blueprint's order.
//
// Every read and write of a vehicle is made in that vehicle's own text. A command converts the
// blueprint once and reads its number list once, and draws one number per swapped vehicle.
// New numbers are carried into the rest of the scenario in one pass over the text as it stood
// before the command: every text value (an element typed "cDeltaString") whose whole value is
// a swapped vehicle's old number takes its new number, and nothing renumbered is renumbered
// again.
//
// Like the other consist commands (ConsistEditing.h) the swaps are functions from the scenario
// text to an EditResult; they never change the text they are given.

#include "scenarios/ConsistEditing.h"
#include "scenarios/StockSearch.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace scenarios {

// ---- messages ---------------------------------------------------------------------------------

QString stockSwapNote();            // "Your Consist's Rolling-Stock information will be updated ..."
QString noStockRowMessage();        // "You have not selected any rolling-stock from the Available Stock list?"
QString locosForWagonsMessage();    // "Sorry, but you can not swap Locos for Wagons."
QString wagonsForLocosMessage();    // "Sorry, but you can not swap Wagons for Locos."
// The note's second line when the new blueprint could not be converted.
QString unreadableBlueprintLine(const QString& binPath);

// ---- the blueprint put in ---------------------------------------------------------------------

// Values from 0 up to (not including) 1; the program passes vb::Rnd.
using RandomSource = std::function<float()>;

// What a swap puts into a vehicle, all from one stock entry.
struct SwapStock {
    QString name;      // Name
    QString provider;  // Provider
    QString product;   // Product
    QString blueprint; // BlueprintID ("RailVehicles\...\x.xml")
    QString binPath;   // the blueprint's game file: the entry's full path ending in "bin"
    QString fileName;  // the blueprint after its last "\" (ending in ".xml"), the work file's name
    StockKind kind = StockKind::None;
    QString type;      // the kind ticked when the entry was found
};
SwapStock swapStockOf(const StockEntry& entry);

// The warning that refuses putting stock into a vehicle (or, for Swap All, a consist) text;
// "" when it may go in. An engine does not go where there is a wagon and no engine, a wagon or
// tender not where there is an engine and no wagon; entries found as "DMU" or "EMU" go anywhere.
QString swapRefusal(const SwapStock& stock, const QString& text);

// ---- the blueprint's details and its number list ----------------------------------------------

// A number list's text and where its numbers stand.
struct NumberList {
    QString text;
    qsizetype firstItem = 0; // position of the first "<cCSVItem" (0: none)
    qsizetype firstName = 0; // position of the first "<Name" (0: none, nothing to draw from)
    int count = 0;           // "<Name" elements from the first one on, at most 21
};
NumberList numberListOf(const QString& text);

// The start factor of a draw: the whole part of float(count - 2) * r + 1 in single precision,
// 1 when that is 0.
int numberFactor(int count, float r);

// Draws r (only when the list has a Name) and reads the first Name at or after position
// (firstName - firstItem) * factor; "" when there is no Name, the position is not after the
// list's start, or no Name stands there.
QString drawNumber(const NumberList& list, const RandomSource& random);

struct StockDetail {
    bool converted = false; // the blueprint was converted and read
    QString csvFile;        // below "Assets", without extension; "" when absent
    QString mass;           // as read; "" when absent
    qint16 fuelOrder = 0;   // 0 no "CoalFuel"; 1 "CoalFuel" before "WaterFuel"; 2 after it or alone
    NumberList numbers;     // the number list; empty when there is none
};

// The details of a converted blueprint: CsvFile and Mass from its first "<RailVehicleComponent",
// the fuel order, and the number list gamePath & "\Assets\" & CsvFile & ".dcsv" when it exists.
StockDetail stockDetailOfXml(const QString& xml, const QString& gamePath);
// Converts the blueprint into the work folder under FileName and reads its Mass, fuel order and
// number list; converted is false when the serializer gave nothing. A command calls it once, for
// its first swapped vehicle, and draws each vehicle's number from the list (drawNumber).
StockDetail GetStockDetail(const QString& BinPath, const QString& FileName);

// ---- one vehicle and the renumbering ----------------------------------------------------------

// A vehicle's text with the stock put in: Provider, Product, BlueprintID and Name; TotalMass
// when the blueprint has a Mass; UniqueNumber when newNumber is not empty; and the first two
// values of its "<InitialLevel>" element put in the blueprint's fuel order (order 1 the smaller
// first, order 2 the larger first; a vehicle without levels with content keeps its text).
QString swapVehicleText(const QString& vehicle, const SwapStock& stock, const StockDetail& detail,
                        const QString& newNumber);

// Every text value equal (ignoring case) to a pair's old number takes the pair's new number,
// in one pass; pairs with an empty old number or one equal to the new are passed over, and the
// first pair of an old number wins.
QString renumberTextValues(const QString& text, const QList<QPair<QString, QString>>& pairs);

// ---- the commands -------------------------------------------------------------------------------

// Where a swap gets the blueprint's details from (the window: GetStockDetail of the stock row);
// called at most once per command, when the first vehicle is swapped.
using StockDetailSource = std::function<StockDetail()>;

// "Swap Selected Item(s)": the given rows of consist k in order. stock is null when no stock row
// is chosen. A refusal stops at its vehicle; those before it stay swapped. handled (when given)
// receives how many rows were worked on, the refused one included.
EditResult swapSelected(const QString& text, qsizetype k, const QList<int>& rows, const SwapStock* stock,
                        const StockDetailSource& detail, const RandomSource& random, int* handled = nullptr);

// "Swap All Identical Stock": every vehicle of consist k whose Name equals name (ignoring case).
// A refusal, tested on the whole consist, comes before anything changes.
EditResult swapAll(const QString& text, qsizetype k, const QString& name, const SwapStock* stock,
                   const StockDetailSource& detail, const RandomSource& random);

} // namespace scenarios
