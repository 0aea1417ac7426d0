#pragma once
// The route package: a folder below the program folder, named after the route, holding the
// hand-off file "Route_Setup.xxx" for the installer, the installer "RouteSetup.exe" and a copy
// of the route's folder in the game's layout below "Rail Simulator"; and the collection of the
// route's asset files into its "Rail Simulator\Assets" through the batch file "Do_Run.bat",
// with the route's template blueprint and its ghost texture.
//
// Every path built from the text of a game file is checked before it is used: a source must lie
// below the game's "Assets" folder and a target below the package folder once their "..\"
// steps are resolved, and a path written into a batch line must be one that a batch line can
// hold; anything else is left out.

#include <QString>
#include <QStringList>

namespace routes {
class RouteScanProgress;
}

namespace packaging {

// The route's name with up to five trailing dots cut, one at a time.
QString CutTrailingDots(const QString& name);

// The package folder's name for a route: its name with trailing dots cut, then made safe
// (PackageName); the route's folder name when nothing usable is left.
QString RoutePackageName(const QString& routeName, const QString& routeFolder);

// "The route <folder> was not found in <where>; nothing was packaged."
QString RouteNotPackagedMessage(const QString& routeFolder, const QString& where);

// The text of "Route_Setup.xxx": two tabs, the route's "cRouteProperties" element as it stands
// in routesXmlText, CR LF. A null QString when the list holds no element for the folder.
QString RouteSetupText(const QString& routesXmlText, const QString& routeFolder);

// One line of "Do_Run.bat", CR LF included.
QString DoRunLine(const QString& sourcePattern, const QString& targetFolder);

// The text of "Do_Run.bat": one copy line per file entry of the blueprints collected.
class DoRunBatch {
public:
    enum class Added {
        Line,    // a line was added
        Outside, // the entry does not lie below the game's Assets folder: left out
        Unsafe,  // the source or target cannot stand in a batch line: left out
    };

    // gamePath as GamePath holds it; packageFolder the package's full path.
    DoRunBatch(const QString& gamePath, const QString& packageFolder);

    // The part of entry below the game's "Assets" folder ("" when it is not below it).
    QString belowAssets(const QString& entry) const;
    // Adds the line that copies every file whose name starts with the entry's name without its
    // extension into the matching folder below the package's "Rail Simulator\Assets".
    Added add(const QString& entry);
    // The target folder of the last line added.
    const QString& lastTarget() const { return lastTarget_; }
    qsizetype lineCount() const { return lines_; }
    // The file's whole text: the lines, then one more line end.
    QString fileText() const { return text_ + QStringLiteral("\r\n"); }

private:
    QString gameAssets_;
    QString packageAssets_;
    QString text_;
    QString lastTarget_;
    qsizetype lines_ = 0;
};

// The route package's folders and files (the package branch of the route list's OK button):
// the package folder and "Rail Simulator\Content\Routes\<folder>", "Route_Setup.xxx",
// "RouteSetup.exe" and the copy of the route's folder. A step that fails is reported as
// "Error <description> occurred in OKButton A=<step>strTemp = <folder>" and the later steps
// still run. Returns the package folder's full path, or a null QString when nothing was made
// (the folder name is unusable or the route is not in the list; the user is told).
QString BuildRoutePackage(const QString& routesXmlText, const QString& routesXmlPath, const QString& routeName,
                          const QString& routeFolder);

// What one asset collection did.
struct RouteAssetOutcome {
    bool aborted = false;     // AbortScan stopped it: no batch, template or zip offer
    bool refused = false;     // a folder the ANSI code page cannot hold: nothing made, no zip offer
    bool batchStarted = false;
    qsizetype blueprints = 0; // blueprints the scan found
    qsizetype lines = 0;      // lines in "Do_Run.bat"
    QStringList leftOut;      // paths a batch line cannot hold
    // Time spent, for measurements: the serializer's runs, the batch file's run, and all of it.
    qint64 serializerNs = 0;
    qint64 batchNs = 0;
    qint64 totalNs = 0;
    qint64 serializerRuns = 0;
    qint64 foldersMade = 0;
};

// Collects the route's asset files into the package packageName below the program folder:
// clears AbortScan, empties "TempFiles", scans the route's tiles with a fresh scanner, writes
// one copy line per file of each blueprint found (the blueprint, its geometry, animation,
// script and every texture of its shape) into the program folder's "Do_Run.bat" and runs it;
// then adds the template blueprint and ghost texture when the package holds "Route_Setup.xxx".
// With ignoreKujuRsdl, blueprints whose path below "Assets" contains "Kuju" or "RSDL" are
// left out. Reports an abort, paths left out and a batch file that cannot start. A game or
// package folder that the ANSI code page cannot hold (every line names both) is refused with a
// message that names it, before anything is made.
RouteAssetOutcome CollectRouteAssets(const QString& routeFolder, const QString& packageName, bool ignoreKujuRsdl,
                                     routes::RouteScanProgress* progress = nullptr);

// Copies the template blueprint that "Route_Setup.xxx" names into the package's
// "Assets\<provider>\<product>\TemplateRoutes" and the texture of the blueprint's first ghost
// entry to its own place below the package's "Assets". Failures pass silently. True when both
// were copied.
bool AddTemplateBlueprint(const QString& gamePath, const QString& packageFolder);

} // namespace packaging
