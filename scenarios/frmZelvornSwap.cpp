// The scenario editor's two rolling-stock swaps: they read the chosen consist, vehicles and
// stock row, and hand the work to scenarios/StockSwap.
#include "scenarios/frmZelvorn.h"

#include "common/SharedState.h"
#include "common/Vb.h"
#include "platform/Ui.h"

#include <QListWidget>

using namespace scenarios;

bool frmZelvorn::chosenSwapStock(SwapStock& stock) const
{
    const QList<QListWidgetItem*> items = List3->selectedItems();
    if (items.isEmpty() || items.first()->text().isEmpty())
        return false;
    const int i = stock_.entryOfRow(items.first()->text());
    if (i < 0)
        return false;
    stock = swapStockOf(stock_.entries.at(i));
    return true;
}

void frmZelvorn::Command10_Click()
{
    const int k = consistRow();
    const QList<int> rows = selectedVehicleRows();
    SwapStock stock;
    const bool chosen = chosenSwapStock(stock);
    const RandomSource random = swapRandom ? swapRandom : RandomSource([] { return vb::Rnd(); });
    int handled = 0;
    runEdit(QStringLiteral("Command10_Click"), [&] {
        const BusyPointer busy;
        return swapSelected(shared().ScenarioText, k, rows, chosen ? &stock : nullptr,
                            [&] { return GetStockDetail(stock.binPath, stock.fileName); }, random, &handled);
    }, k);
    // The rows worked on lose their selection.
    for (int n = 0; n < handled && n < rows.size(); ++n) {
        if (QListWidgetItem* item = List2->item(rows.at(n)))
            item->setSelected(false);
    }
}

void frmZelvorn::Command7_Click()
{
    const int k = consistRow();
    const int j = vehicleRow();
    const QString name = j >= 0 ? List2->item(j)->text() : QString();
    SwapStock stock;
    const bool chosen = chosenSwapStock(stock);
    const RandomSource random = swapRandom ? swapRandom : RandomSource([] { return vb::Rnd(); });
    runEdit(QStringLiteral("Command7_Click"), [&] {
        const BusyPointer busy;
        return swapAll(shared().ScenarioText, k, name, chosen ? &stock : nullptr,
                       [&] { return GetStockDetail(stock.binPath, stock.fileName); }, random);
    }, k);
}
