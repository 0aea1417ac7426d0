// The copying roads on the sample game with one folder kept on another disk and linked back: a
// route's Scenery, a provider folder, the whole Assets folder, an asset's or a reskin's Textures,
// a scenario's Scenery. Each road copies what the link leads to, exactly as from the game as
// installed; with that disk unplugged (the link leads nowhere) each reports a failure and writes
// nothing where the link points. The table runs once with the other disk in the test's own tree
// and once on another file system (/dev/shm) when the machine has one.
#include "assets/AssetClone.h"
#include "common/FileProcs.h"
#include "common/VbError.h"
#include "packaging/AssetFolderPackage.h"
#include "packaging/ReskinPackage.h"
#include "packaging/RoutePackage.h"
#include "packaging/ScenarioPackage.h"
#include "packaging/ZipArchive.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "routes/RouteClone.h"
#include "scenarios/ScenarioClone.h"

#include "LinkedGame.h"

#include "support/FolderContents.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <sys/stat.h>

namespace {

const QString kValleyRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
const QString kBranchRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");
const QString kMorningFreight = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
const QString kMk1 = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1");
const QString kCoach = kMk1 + QStringLiteral("\\Coach");
const QString kMaroon = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1Maroon");
const QString kRouteCloned = QStringLiteral("Your Route has been Duplicated as requested.");

enum Place { RouteScenery, Provider, WholeAssets, AssetTextures, ReskinTextures, ScenarioScenery };

const struct {
    Place place;
    const char* what;
    QString rel; // below the game folder
} kPlaces[] = {
    {RouteScenery, "a route's Scenery", QStringLiteral("Content/Routes/") + kValleyRoute + QStringLiteral("/Scenery")},
    {Provider, "a provider", QStringLiteral("Assets/VeltraneSamples")},
    {WholeAssets, "the whole Assets", QStringLiteral("Assets")},
    {AssetTextures, "an asset's Textures",
     QStringLiteral("Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1/Coach/Textures")},
    {ReskinTextures, "the reskin's Textures",
     QStringLiteral("Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1Maroon/Coach/Textures")},
    {ScenarioScenery, "a scenario's Scenery",
     QStringLiteral("Content/Routes/") + kValleyRoute + QStringLiteral("/Scenarios/") + kMorningFreight
         + QStringLiteral("/Scenery")},
};

// What a road did: whether it reported success, and what it made.
struct Outcome {
    bool ok = false;
    QString made;
};

// Every entry below a native folder, sorted: folders end in "/", a link shows as "@" (a copy
// never makes one), a file with its bytes' digest.
QString contentsOf(const QString& folder)
{
    QStringList out;
    const std::function<void(const QString&, const QString&)> walk = [&](const QString& path, const QString& rel) {
        for (const platform::FolderEntry& e : platform::folderEntries(path, platform::LinkView::Itself)) {
            const QString r = rel + e.name;
            if (e.standing == platform::Standing::Folder) {
                out << r + QLatin1Char('/');
                walk(e.path, r + QLatin1Char('/'));
            } else if (e.standing == platform::Standing::Link) {
                out << r + QLatin1Char('@');
            } else {
                out << r + QLatin1Char('=')
                           + QString::fromLatin1(
                               QCryptographicHash::hash(fileBytes(e.path), QCryptographicHash::Md5).toHex());
            }
        }
    };
    walk(folder, QString());
    out.sort();
    return out.join(QLatin1Char('\n'));
}

dev_t deviceOf(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : dev_t(-1);
}

// The parameter: whether the other disk lies on another file system.
class LinkedCopy : public LinkedGameFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        LinkedGameFixture::SetUp();
        if (HasFatalFailure())
            return;
        if (GetParam()) {
            if (!QFileInfo(QStringLiteral("/dev/shm")).isDir() || deviceOf(QStringLiteral("/dev/shm")) == deviceOf(tree.rootPath()))
                GTEST_SKIP() << "no second file system: /dev/shm is missing or lies on the tree's own";
            otherFs_ = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/veltrane-linked-XXXXXX"));
            if (!otherFs_->isValid())
                GTEST_SKIP() << "/dev/shm cannot be written";
            otherDisk = otherFs_->path();
        }
        tree.writeFile(QStringLiteral("game/") + placeRel(ScenarioScenery) + QStringLiteral("/+000000+000000.bin"),
                       "scenario tile");
        tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "MZ installer");
        routesXml_ = tree.readFile(QStringLiteral("game/Content/Routes.xml"));
        makeAddOn();
    }

    static QString placeRel(Place place)
    {
        for (const auto& p : kPlaces) {
            if (p.place == place)
                return p.rel;
        }
        return QString();
    }
    QString native(const QString& path) const { return platform::nativePath(path); }
    QString routes() const { return game() + QStringLiteral("\\Content\\Routes\\"); }
    QString scenario() const { return routes() + kValleyRoute + QStringLiteral("\\Scenarios\\") + kMorningFreight; }
    QString package() const { return tree.programPath() + QStringLiteral("\\Pkg"); }
    void remove(const QString& path) { platform::removeTree(native(path)); }

    // Runs one generated line as its road does: a batch file in TempFiles, run through
    // ShellAndWait; made is the folder it copies into, removed afterwards.
    Outcome runLine(const QString& line, const QString& made)
    {
        const QString batch = tree.writeFile(QStringLiteral("program/TempFiles/linked.bat"), platform::encodeAnsi(line));
        const qint64 started = ShellAndWait(QLatin1Char('"') + batch + QLatin1Char('"'), false, 0);
        Outcome out{started != 0 && lastExitStatus() == 0, contentsOf(native(made))};
        remove(made);
        return out;
    }

    // An add-on archive whose entries go into the sample's provider, one of its assets'
    // Textures and a route's Scenery.
    void makeAddOn()
    {
        tree.writeFile(QStringLiteral("addon/Assets/VeltraneSamples/Sample01/AddOn/readme.txt"), "add-on");
        tree.writeFile(QStringLiteral("addon/") + placeRel(AssetTextures) + QStringLiteral("/VS_Extra.TgPcDx"), "extra");
        tree.writeFile(QStringLiteral("addon/") + placeRel(RouteScenery) + QStringLiteral("/+000009+000009.bin"), "tile");
        packaging::ZipArchive zip;
        ASSERT_TRUE(zip.create(tree.path(QStringLiteral("addon.zip")), false, 0));
        zip.setBasePath(tree.path(QStringLiteral("addon")));
        ASSERT_TRUE(zip.addFolder(tree.path(QStringLiteral("addon")), true, false, 6)) << zip.lastError().toStdString();
        ASSERT_TRUE(zip.commit());
        addOnEntries_ = {QStringLiteral("Assets/VeltraneSamples/Sample01/AddOn/readme.txt"),
                         placeRel(AssetTextures) + QStringLiteral("/VS_Extra.TgPcDx"),
                         placeRel(RouteScenery) + QStringLiteral("/+000009+000009.bin")};
    }

    Outcome routeClone()
    {
        ui.clearRecords();
        ui.expectInputBox(QStringLiteral("Linked Copy"), QStringLiteral("Type name for new route"));
        ui.expectMsgBox(vb::vbOK);
        const QString guid = routes::CloneRoute(kValleyRoute, QStringLiteral("Veltrane Valley Line"));
        ui.verifyDone();
        QStringList made = QDir(native(routes())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        made.removeAll(kValleyRoute);
        made.removeAll(kBranchRoute);
        Outcome out{!guid.isEmpty() && ui.lastMessage().text == kRouteCloned,
                    made.size() == 1 ? contentsOf(native(routes() + made.first()))
                                     : QStringLiteral("%1 new folders").arg(made.size())};
        for (const QString& folder : std::as_const(made))
            remove(routes() + folder);
        tree.writeFile(QStringLiteral("game/Content/Routes.xml"), routesXml_);
        for (const QString& backup : QDir(tree.path(QStringLiteral("game/Content"))).entryList({QStringLiteral("Routes.xml.bak*")}))
            QFile::remove(tree.path(QStringLiteral("game/Content/")) + backup);
        return out;
    }

    Outcome routePackageCopy()
    {
        const QString copy = package() + QStringLiteral("\\Rail Simulator\\Content\\Routes\\") + kValleyRoute;
        Outcome out;
        try {
            CopyFolder(routes() + kValleyRoute, copy, true);
            out.ok = true;
            out.made = contentsOf(native(copy));
        } catch (const VbError& error) {
            out.made = QStringLiteral("error %1").arg(error.number);
        }
        remove(package());
        return out;
    }

    Outcome zipAdd()
    {
        packaging::ZipArchive zip;
        EXPECT_TRUE(zip.create(tree.path(QStringLiteral("program/Linked.zip")), false, 0));
        zip.setBasePath(tree.rootPath());
        Outcome out;
        out.ok = zip.addFolder(game(), true, false, 6);
        out.ok = zip.commit() && out.ok;
        QStringList entries;
        for (int i = 0; i < zip.entryCount(); ++i)
            entries << zip.entry(i).name + QStringLiteral(" %1").arg(zip.entry(i).uncompressedSize);
        entries.sort();
        out.made = entries.join(QLatin1Char('\n'));
        zip.close();
        QFile::remove(tree.path(QStringLiteral("program/Linked.zip")));
        return out;
    }

    Outcome zipExtract()
    {
        packaging::ZipArchive zip;
        EXPECT_TRUE(zip.open(tree.path(QStringLiteral("addon.zip"))));
        Outcome out{true, QString()};
        for (int i = 0; i < zip.fileCount(); ++i)
            out.ok = zip.extract(i, game()) && out.ok;
        for (const QString& entry : std::as_const(addOnEntries_)) {
            const QString written = native(game() + QLatin1Char('/') + entry);
            out.made += entry + QLatin1Char('=') + QString::fromLatin1(fileBytes(written)) + QLatin1Char('\n');
            platform::removeEntry(written);
        }
        remove(asset(QStringLiteral("VeltraneSamples\\Sample01\\AddOn")));
        return out;
    }

    Outcome reskin(Place place, bool unplugged)
    {
        ui.clearRecords();
        shared().PackageFolder.clear();
        if (unplugged && (place == Provider || place == WholeAssets)) {
            ui.expectMsgBox(vb::vbOK, QStringLiteral("must both lie in"));
        } else {
            if (unplugged)
                ui.expectMsgBox(vb::vbOK, QStringLiteral("are missing"));
            ui.expectMsgBox(vb::vbNo, QStringLiteral("Your Reskins are now saved in"));
        }
        packaging::ReskinPackage reskins;
        reskins.Process(asset(kMaroon), asset(kMk1));
        ui.verifyDone();
        const QString folder = tree.programPath() + QLatin1Char('\\') + shared().PackageFolder;
        Outcome out{ui.messages().size() == 1 && ui.lastMessage().text.startsWith(QStringLiteral("Your Reskins")),
                    shared().PackageFolder.isEmpty() ? QString() : contentsOf(native(folder))};
        if (!shared().PackageFolder.isEmpty())
            remove(folder);
        return out;
    }

    std::unique_ptr<QTemporaryDir> otherFs_;
    QByteArray routesXml_;
    QStringList addOnEntries_;
};

TEST_P(LinkedCopy, EveryCopyRoadCopiesWhatTheLinkLeadsToAndNothingThroughALinkThatLeadsNowhere)
{
    const struct {
        const char* road;
        QList<Place> reads;
        std::function<Outcome(Place, bool unplugged)> run;
    } roads[] = {
        {"route clone", {RouteScenery, ScenarioScenery}, [&](Place, bool) { return routeClone(); }},
        {"route packager's copy of the route", {RouteScenery, ScenarioScenery}, [&](Place, bool) { return routePackageCopy(); }},
        {"asset clone's line",
         {Provider, WholeAssets, AssetTextures},
         [&](Place, bool) {
             return runLine(assets::cloneBatchLine(asset(kCoach), asset(kCoach + QStringLiteral("Clone"))),
                            asset(kCoach + QStringLiteral("Clone")));
         }},
        {"scenario clone's Scenery line",
         {ScenarioScenery},
         [&](Place, bool) {
             const QString clone = routes() + kValleyRoute + QStringLiteral("\\Scenarios\\Clone");
             QDir().mkpath(native(clone + QStringLiteral("\\Scenery")));
             return runLine(scenarios::sceneryBatchLine(scenario(), clone), clone);
         }},
        {"asset folder packager's line",
         {Provider, WholeAssets, AssetTextures},
         [&](Place, bool) {
             return runLine(packaging::FolderCopyLine(asset(kMk1), tree.programPath(), QStringLiteral("Pkg"),
                                                      QStringLiteral("Rail Simulator\\Assets\\") + kMk1),
                            package());
         }},
        {"scenario packager's line",
         {ScenarioScenery},
         [&](Place, bool) {
             return runLine(packaging::ScenarioCopyLine(scenario(), tree.programPath(), QStringLiteral("Pkg"),
                                                        QStringLiteral("Content\\Routes\\") + kValleyRoute
                                                            + QStringLiteral("\\Scenarios\\") + kMorningFreight),
                            package());
         }},
        {"route packager's Do_Run lines",
         {Provider, WholeAssets, AssetTextures},
         [&](Place, bool) {
             packaging::DoRunBatch batch(game(), package());
             batch.add(asset(kCoach + QStringLiteral("\\VS_Mk1Coach.bin")));
             batch.add(asset(kCoach + QStringLiteral("\\Textures\\VS_Mk1Coach_Body.TgPcDx")));
             return runLine(batch.fileText(), package());
         }},
        {"zip add of the game", {RouteScenery, Provider, WholeAssets, AssetTextures, ReskinTextures, ScenarioScenery},
         [&](Place, bool) { return zipAdd(); }},
        {"zip extract into the game", {RouteScenery, Provider, WholeAssets, AssetTextures},
         [&](Place, bool) { return zipExtract(); }},
        {"reskin packager", {Provider, WholeAssets, AssetTextures, ReskinTextures},
         [&](Place place, bool unplugged) { return reskin(place, unplugged); }},
    };
    QList<Outcome> asInstalled;
    for (const auto& road : roads) {
        asInstalled << road.run(RouteScenery, false);
        EXPECT_TRUE(asInstalled.last().ok) << road.road;
        EXPECT_FALSE(asInstalled.last().made.isEmpty()) << road.road;
    }
    for (const auto& place : kPlaces) {
        SCOPED_TRACE(place.what);
        ASSERT_TRUE(moveOutAndLink(place.rel));
        for (std::size_t k = 0; k < std::size(roads); ++k) {
            if (!roads[k].reads.contains(place.place))
                continue;
            const Outcome linked = roads[k].run(place.place, false);
            EXPECT_TRUE(linked.ok) << roads[k].road;
            EXPECT_EQ(linked.made, asInstalled[qsizetype(k)].made) << roads[k].road;
        }
        ASSERT_TRUE(unplug(place.rel));
        const QString unpluggedDisk = contentsOf(away(place.rel) + QStringLiteral(".unplugged"));
        for (const auto& road : roads) {
            if (!road.reads.contains(place.place))
                continue;
            EXPECT_FALSE(road.run(place.place, true).ok) << road.road << " with the disk unplugged";
            EXPECT_FALSE(QFileInfo::exists(away(place.rel))) << road.road << " wrote through the link";
        }
        EXPECT_EQ(contentsOf(away(place.rel) + QStringLiteral(".unplugged")), unpluggedDisk);
        ASSERT_TRUE(plugIn(place.rel));
        ASSERT_TRUE(moveBack(place.rel));
    }
}

INSTANTIATE_TEST_SUITE_P(Disks, LinkedCopy, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("OtherFileSystem") : std::string("SameFileSystem");
                         });

} // namespace
