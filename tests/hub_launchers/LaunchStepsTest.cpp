// The launchers' steps without windows: the route list's tasks and the flags around it, the
// packagers' work folder and flags, the developer name rule and the batch line.

#include "common/SharedState.h"
#include "common/VbError.h"
#include "hub/DeveloperSetup.h"
#include "hub/ToolLaunchers.h"

#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

using hub::RouteListOutcome;
using hub::RouteListTask;

class LaunchStepsTest : public UiFixture {};

struct Flags {
    bool routePackage = false;
    bool scenarioPackage = false;
    QString packageFolder;
    bool operator==(const Flags&) const = default;
};

Flags flagsNow()
{
    const SharedState& s = shared();
    return {s.PackageRouteMode, s.PackageScenariosMode, s.PackageFolder};
}

void setFlags(const Flags& f)
{
    SharedState& s = shared();
    s.PackageRouteMode = f.routePackage;
    s.PackageScenariosMode = f.scenarioPackage;
    s.PackageFolder = f.packageFolder;
}

} // namespace

TEST_F(LaunchStepsTest, RouteListTasksSetTheirFlagBeforeLoadingAndNeverSwitchAnOpenList)
{
    const QString old = QStringLiteral("Old Package");
    enum class Prepare { None, Yes, No };
    struct Row {
        const char* name;
        RouteListTask task;
        std::optional<RouteListTask> open;
        Prepare prepare;
        int throwNumber; // the window's load fails with this run-time error; 0: it does not
        Flags before;
        RouteListOutcome outcome;
        std::optional<Flags> atShow; // none: the list is not loaded
        Flags after;
        bool prepared;
        bool raised;
        const char* message;
    } rows[] = {
        {"check", RouteListTask::Check, std::nullopt, Prepare::None, 0, {true, false, old}, RouteListOutcome::Shown,
         Flags{false, false, old}, {false, false, old}, false, false, nullptr},
        {"route package", RouteListTask::RoutePackage, std::nullopt, Prepare::None, 0, {false, false, old},
         RouteListOutcome::Shown, Flags{true, false, old}, {false, false, old}, false, false, nullptr},
        {"scenario package", RouteListTask::ScenarioPackage, std::nullopt, Prepare::Yes, 0, {false, false, old},
         RouteListOutcome::Shown, Flags{false, true, old}, {false, true, ""}, true, false, nullptr},
        {"work folder not made", RouteListTask::ScenarioPackage, std::nullopt, Prepare::No, 0, {false, false, old},
         RouteListOutcome::Stopped, std::nullopt, {false, false, old}, true, false, nullptr},
        {"route package over an open check", RouteListTask::RoutePackage, RouteListTask::Check, Prepare::None, 0,
         {false, false, old}, RouteListOutcome::OpenForAnotherTask, std::nullopt, {false, false, old}, false, true,
         "The route list is open for another task; close it first."},
        {"scenario package over an open check", RouteListTask::ScenarioPackage, RouteListTask::Check, Prepare::Yes, 0,
         {false, false, old}, RouteListOutcome::OpenForAnotherTask, std::nullopt, {false, false, old}, false, true,
         "The route list is open for another task; close it first."},
        {"check over an open scenario package", RouteListTask::Check, RouteListTask::ScenarioPackage, Prepare::None, 0,
         {true, true, old}, RouteListOutcome::OpenForAnotherTask, std::nullopt, {true, true, old}, false, true,
         "The route list is open for another task; close it first."},
        {"scenario package again", RouteListTask::ScenarioPackage, RouteListTask::ScenarioPackage, Prepare::Yes, 0,
         {false, true, old}, RouteListOutcome::Raised, std::nullopt, {false, true, old}, false, true, nullptr},
        {"check again", RouteListTask::Check, RouteListTask::Check, Prepare::None, 0, {true, false, old},
         RouteListOutcome::Raised, std::nullopt, {true, false, old}, false, true, nullptr},
        {"scenario list fails to load", RouteListTask::ScenarioPackage, std::nullopt, Prepare::Yes, 53,
         {false, false, old}, RouteListOutcome::Stopped, Flags{false, true, old}, {false, true, old}, true, false,
         "Error 53 occurred in mnuPackSce"},
        {"route package list fails to load", RouteListTask::RoutePackage, std::nullopt, Prepare::None, 5,
         {false, false, old}, RouteListOutcome::Stopped, Flags{true, false, old}, {false, false, old}, false, false,
         "Error 5 occurred in mnuPack"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        setFlags(r.before);
        std::optional<Flags> atShow;
        bool prepared = false;
        bool raised = false;
        hub::RouteListWindow window;
        window.openTask = [&] { return r.open; };
        window.raise = [&] { raised = true; };
        window.show = [&] {
            EXPECT_EQ(prepared, r.prepare != Prepare::None) << "the work folder is emptied before the list loads";
            atShow = flagsNow();
            if (r.throwNumber)
                throw VbError(r.throwNumber);
        };
        std::function<bool()> prepare;
        if (r.prepare != Prepare::None)
            prepare = [&] {
                prepared = true;
                return r.prepare == Prepare::Yes;
            };
        if (r.message)
            ui.expectMsgBox(vb::vbOK, QString::fromLatin1(r.message));

        EXPECT_EQ(hub::launchRouteList(r.task, window, prepare), r.outcome);
        EXPECT_EQ(atShow, r.atShow);
        EXPECT_EQ(flagsNow(), r.after);
        EXPECT_EQ(prepared, r.prepared);
        EXPECT_EQ(raised, r.raised);
        if (r.message) {
            EXPECT_EQ(ui.lastMessage().text, QString::fromLatin1(r.message));
            EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
            EXPECT_EQ(ui.lastMessage().title, "Veltrane");
        }
        ui.verifyDone();
        ui.clearRecords();
    }
}

TEST_F(LaunchStepsTest, PackagersEmptyTheWorkFolderAndClearThePackageFolderWhenTheyReturn)
{
    struct Row {
        hub::Packager which;
        const char* handler;
    } rows[] = {
        {hub::Packager::Scenarios, "mnuPackSce"},
        {hub::Packager::Assets, "mnuPackAss"},
        {hub::Packager::Reskins, "mnuReskin"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.handler);
        EXPECT_EQ(hub::packagerHandlerName(r.which), r.handler);

        // A planted file and folder go; the folder is there again, empty.
        tree.writeFile(QStringLiteral("program/TempFiles/left/over.xml"), "<a/>");
        tree.writeFile(QStringLiteral("program/TempFiles/Scenario.bin"), "x");
        EXPECT_TRUE(hub::emptyWorkFolderFor(r.which));
        const QDir temp(tree.path(QStringLiteral("program/TempFiles")));
        EXPECT_TRUE(temp.exists());
        EXPECT_TRUE(temp.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        EXPECT_TRUE(ui.messages().isEmpty());

        // A program folder below a file: the work folder cannot be made again.
        tree.writeFile(QStringLiteral("blocker"), "a file, not a folder");
        {
            ScopedEnv home("VELTRANE_HOME", tree.path(QStringLiteral("blocker/program")));
            ui.expectMsgBox(vb::vbOK, QStringLiteral("occurred in"));
            EXPECT_FALSE(hub::emptyWorkFolderFor(r.which));
        }
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("Error 75 occurred in ") + r.handler);
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        ui.verifyDone();
        ui.clearRecords();
    }

    for (const hub::Packager which : {hub::Packager::Assets, hub::Packager::Reskins}) {
        SCOPED_TRACE(hub::packagerHandlerName(which).toStdString());
        setFlags({false, false, QStringLiteral("Earlier")});
        shared().PackageAssetsMode = false;
        bool modeAtShow = false;
        hub::runPackager(which, [&] {
            modeAtShow = shared().PackageAssetsMode;
            EXPECT_EQ(shared().PackageFolder, "Earlier"); // cleared only when the window returns
            shared().PackageFolder = QStringLiteral("MyPackage"); // what the packager chose
        });
        EXPECT_TRUE(modeAtShow);
        EXPECT_EQ(shared().PackageFolder, "");

        // A packager that fails to load ends the command with the handler's error.
        shared().PackageFolder = QStringLiteral("Earlier");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Error 76 occurred in ") + hub::packagerHandlerName(which));
        hub::runPackager(which, [] { throw VbError(76); });
        EXPECT_EQ(shared().PackageFolder, "Earlier");
        ui.verifyDone();
    }
}

TEST(DeveloperSetupTest, DeveloperNamesMustNameAFolderOfTheirOwn)
{
    struct Row {
        const char* name;
        bool usable;
    } rows[] = {
        {"Dev", true},      {"Bad Name1", true}, {"J.Smith", true}, {".hidden", true}, {"x.", true},
        {"", false},        {".", false},        {"..", false},     {"...", false},    {"  ", false},
        {". .", false},     {"a/b", false},      {"a\\b", false},   {"C:", false},     {"a*", false},
        {"a?", false},      {"a\"b", false},     {"a<b", false},    {"a>b", false},    {"a|b", false},
        {"tab\there", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(hub::IsUsableDeveloperName(QString::fromLatin1(r.name)), r.usable) << r.name;
}

TEST(DeveloperSetupTest, ReadWriteBatchLineQuotesTheGamePath)
{
    EXPECT_EQ(hub::ReadWriteBatchText(QStringLiteral("C:\\Program Files\\Rail Simulator")),
              "ATTRIB -R \"C:\\Program Files\\Rail Simulator\\*.*\" /s /d\r\n");
    EXPECT_EQ(hub::ReadWriteBatchText(QStringLiteral("/home/me/My Games/RS")), "ATTRIB -R \"/home/me/My Games/RS\\*.*\" /s /d\r\n");
}
