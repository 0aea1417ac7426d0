// The route list's scenario package: "Add to Package" lists a scenario of the listed route in
// the package, its stock in the (hidden) stock list and its copy line in the package batch;
// "Process Package" copies the scenarios, writes the hand-off files and offers the zip.

#include "routes/frmDelRoute.h"
#include "routes/frmDelRouteBusy.h"

#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "packaging/PackageCommon.h"
#include "packaging/ScenarioPackage.h"
#include "packaging/frmNewZip.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>

#include <algorithm>
#include <exception>

namespace {

// Puts the row into the stock list at its place in the order ignoring case (after equal rows).
void insertSorted(QListWidget* list, const QString& row)
{
    int low = 0;
    int high = list->count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (list->item(mid)->text().compare(row, Qt::CaseInsensitive) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    list->insertItem(low, row);
}

QStringList rowTexts(const QListWidget* list)
{
    QStringList rows;
    rows.reserve(list->count());
    for (int k = 0; k < list->count(); ++k)
        rows.append(list->item(k)->text());
    return rows;
}

class PointerScope {
public:
    PointerScope() { ui().setMousePointer(vb::vbHourglass); }
    ~PointerScope() { ui().setMousePointer(vb::vbDefault); }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;
};

} // namespace

template <typename F>
void frmDelRoute::runPackageCommand(F&& command)
{
    if (isBusy())
        return;
    BusyScope busy(this);
    command();
}

void frmDelRoute::Command5_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    const int row = firstSelectedRow(List3);
    if (row < 0 || !s.ScenarioFolders.contains(row) || SelectedRoutePath.isEmpty()) {
        exclaim(packaging::noScenarioSelectedMessage());
        return;
    }
    ScenarioPackageValues& pkg = scenarioPackage_;
    const QString routePath = SelectedRoutePath;
    const QString routeFolder = routePath.mid(routePath.lastIndexOf(QLatin1Char('\\')) + 1);
    if (!pkg.routeFolder.isEmpty() && routeFolder.compare(pkg.routeFolder, Qt::CaseInsensitive) != 0) {
        exclaim(packaging::otherRouteMessage());
        return;
    }
    const QString scenarioFolder = s.ScenarioFolders[row];
    const QString scenarioPath = routePath + QStringLiteral("\\Scenarios\\") + scenarioFolder;
    for (int k = 0; k < List4->count(); ++k) {
        if (List4->item(k)->text().compare(scenarioPath, Qt::CaseInsensitive) == 0) {
            exclaim(packaging::alreadyInPackageMessage());
            return;
        }
    }
    const QString below = packaging::PathBelow(s.GamePath, scenarioPath);
    if (below.isEmpty()) {
        showHandlerError(ErrorSpelling::Description, VbError(76), QStringLiteral("Command5_click"));
        return;
    }
    const QString rowText = List3->item(row)->text();
    const QString scenarioName = rowText.left(qMax<qsizetype>(0, rowText.lastIndexOf(QLatin1Char('\t'))));
    const QString packageName = !pkg.packageName.isEmpty() ? pkg.packageName
                                : !s.PackageFolder.isEmpty()
                                    ? s.PackageFolder
                                    : packaging::PackageName(scenarioName, scenarioFolder);
    const QString program = platform::programFolder();
    const QString target = program + QLatin1Char('\\') + packageName + QStringLiteral("\\Rail Simulator\\") + below;
    for (const QString& path : {scenarioPath, target}) {
        if (!packaging::BatchSafePath(path)) {
            exclaim(packaging::unsafePathMessage(path));
            return;
        }
    }

    runPackageCommand([&] {
        PointerScope pointer;
        List3->item(row)->setSelected(false);
        List4->addItem(scenarioPath);
        try {
            const packaging::ScenarioStock stock =
                packaging::ListScenarioStock(scenarioPath, [this](const QString& name) { StatusPanel3->setText(name); });
            if (!stock.converted)
                exclaim(packaging::scenarioNotConvertedMessage(stock.scenarioFile, stock.error));
            for (const QString& stockRow : stock.scan.rows)
                insertSorted(List5, stockRow);
            if (stock.scan.lampAddOnNeeded)
                pkg.lampAddOnNeeded = true;
        } catch (const VbError& e) {
            showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Command5_click"));
        } catch (const std::exception&) {
            showHandlerError(ErrorSpelling::Description, VbError(51), QStringLiteral("Command5_click"));
        }
        if (pkg.packageName.isEmpty())
            pkg.packageName = packageName;
        s.PackageFolder = pkg.packageName;
        if (pkg.routeFolder.isEmpty())
            pkg.routeFolder = routeFolder;
        pkg.batchText += packaging::ScenarioCopyLine(scenarioPath, program, pkg.packageName, below);
        pkg.relEntries.append(QStringLiteral("Rail Simulator\\") + below);
        StatusPanel3->setText(QStringLiteral("Scenario Added - Add another or click Process to finish."));
    });
}

void frmDelRoute::Command6_Click()
{
    if (isBusy())
        return;
    ScenarioPackageValues& pkg = scenarioPackage_;
    if (pkg.relEntries.isEmpty()) {
        exclaim(packaging::emptyPackageMessage());
        return;
    }
    runPackageCommand([&] {
        SharedState& s = shared();
        const bool scenarioMode = loadedMode() == ListMode::ScenarioPackage;
        const QString program = platform::programFolder();
        const QString packagePath = program + QLatin1Char('\\') + pkg.packageName;
        s.PackageFolder = pkg.packageName;
        try {
            PointerScope pointer;
            if (scenarioMode) {
                const packaging::PropertiesResult properties =
                    packaging::ExtractScenarioProperties(pkg.relEntries.first(), rowTexts(List4));
                if (!properties.ok) {
                    exclaim(packaging::indexNotConvertedMessage(properties.indexPath, properties.error));
                    return;
                }
                if (!properties.missing.isEmpty())
                    exclaim(packaging::propertiesMissingMessage(properties.missing));
            }
            const QStringList stockRows = packaging::RemoveDuplicateRows(rowTexts(List5));
            if (stockRows.size() != List5->count()) {
                List5->clear();
                List5->addItems(stockRows);
            }
            s.StockListText = packaging::ScenarioQqqText(stockRows).chopped(2);
            if (pkg.lampAddOnNeeded) {
                QString error;
                if (packaging::LampAddOnInstaller() && !packaging::LampAddOnInstaller()(&error))
                    throw VbError(76, error);
                pkg.batchText += packaging::LampAddOnCopyLine(program, pkg.packageName);
                pkg.lampAddOnNeeded = false;
            }
            packaging::RunPackageBatch(pkg.batchText);
            packaging::CopyInstaller(packagePath);
            if (scenarioMode) {
                if (!packaging::CopyReplacing(TempFilesPath(QStringLiteral("Scenario.zzz"), QStringLiteral("Tempfiles")),
                                              packagePath + QStringLiteral("\\Scenario.zzz")))
                    throw VbError(53);
                if (!packaging::CopyReplacing(program + QStringLiteral("\\Templates\\UKCode.txt"),
                                              packagePath + QStringLiteral("\\UKCode.txt")))
                    throw VbError(53);
                packaging::WritePackageFile(packagePath + QStringLiteral("\\Scenario.yyy"),
                                            packaging::ScenarioYyyText(pkg.routeFolder, rowTexts(List4)));
                packaging::WritePackageFile(packagePath + QStringLiteral("\\Scenario.qqq"),
                                            packaging::ScenarioQqqText(stockRows));
            }
        } catch (const VbError& e) {
            showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Command6_click"));
            return;
        } catch (const std::exception&) {
            showHandlerError(ErrorSpelling::Description, VbError(51), QStringLiteral("Command6_click"));
            return;
        }
        if (ui().msgBox(packaging::packageSavedQuestion(QStringLiteral("Scenario(s)"), packagePath),
                        vb::vbYesNo + vb::vbInformation)
            == vb::vbYes) {
            s.PackageFolder = pkg.packageName;
            frmNewZip::openForPackage(pkg.packageName);
        }
    });
}
