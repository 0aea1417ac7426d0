// References in tiles, blueprints and shapes whose "..\" steps lead out of the game's Assets
// folder: the route check names each of them and never opens the files they lead to.

#include "routes/RouteScan.h"

#include "CheckGame.h"

#include <QFileInfo>

#include <sys/inotify.h>
#include <unistd.h>

using namespace routes;

namespace {

// Records every open, read, change and removal of the files in one folder.
class FolderWatch {
public:
    explicit FolderWatch(const QString& folder)
    {
        fd_ = inotify_init1(IN_NONBLOCK);
        if (fd_ >= 0)
            inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                              IN_OPEN | IN_ACCESS | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE | IN_MOVED_FROM
                                  | IN_MOVED_TO | IN_CREATE);
    }
    ~FolderWatch()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool valid() const { return fd_ >= 0; }
    // The names of the files something has touched so far.
    QStringList touched() const
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                return names;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                names << (event->len ? QString::fromLocal8Bit(event->name) : QStringLiteral("(the folder)"));
                at += ssize_t(sizeof(inotify_event)) + event->len;
            }
        }
    }

private:
    int fd_ = -1;
};

} // namespace

class ReferencesOutsideAssets : public CheckGameTest {};

TEST_F(ReferencesOutsideAssets, AreNamedAndNothingIsReadForThem)
{
    // Beside the game folder: files a hostile reference could reach, each one the scan would
    // read if it followed the reference.
    tree.writeFile(QStringLiteral("outside/victim.bin"), serzBinary(blueprint("TestCo\\Pack1\\Scenery\\[00]Present")));
    tree.writeFile(QStringLiteral("outside/victim.GeoPcDx"), serzBinary(shape({"Textures\\Stolen"})));
    for (const char* name : {"victim.ban", "victim.lua", "victim.TgPcDx"})
        tree.writeFile(QStringLiteral("outside/") + QLatin1String(name), "secret");
    tree.writeFile(QStringLiteral("game/Content/victim.bin"), serzBinary(blueprint("")));
    tree.writeFile(QStringLiteral("game/Content/victim.TgPcDx"), "secret");
    QHash<QString, QByteArray> before;
    QHash<QString, QDateTime> changed;
    for (const QFileInfo& f : QDir(tree.path(QStringLiteral("outside"))).entryInfoList(QDir::Files)) {
        before.insert(f.fileName(), tree.readFile(f.filePath()));
        changed.insert(f.fileName(), f.lastModified());
    }

    const QString outside = tree.rootPath() + QStringLiteral("\\outside\\victim");
    const QString routeRel = QStringLiteral("Content/Routes/") + kCheckRoute;
    listRoute(kCheckRoute, "Hostile Line");
    const QByteArray P = "TestCo";
    const QByteArray Q = "Pack1";
    const struct {
        const char* what;
        TileRef ref;
        QString line; // the missing list's line; "" for a reference that is followed
    } tileRows[] = {
        {"ID that climbs out", {P, Q, "..\\..\\..\\..\\outside\\victim.xml"},
         asset("TestCo\\Pack1\\..\\..\\..\\..\\outside\\victim.bin")},
        {"provider and product that climb out", {"..", "..\\outside", "victim.xml"},
         asset("..\\..\\outside\\victim.bin")},
        {"product that climbs into the game's Content", {P, "..\\..\\Content", "victim.xml"},
         asset("TestCo\\..\\..\\Content\\victim.bin")},
        {"escaped ID that climbs out", {P, Q, "..\\..\\..\\..\\outside\\vic&amp;tim.xml"},
         asset("TestCo\\Pack1\\..\\..\\..\\..\\outside\\vic&amp;tim.bin")},
        {"steps that stay inside are followed", {P, Q, "..\\Pack1\\Scenery\\Hostile.xml"}, QString()},
    };
    QList<TileRef> refs;
    QStringList missing;
    for (const auto& row : tileRows) {
        refs << row.ref;
        if (!row.line.isEmpty())
            missing << row.line + QStringLiteral("   (Reference outside the Assets folder, not followed)");
    }
    writeGameFile(routeRel + "/Scenery/+000000+000000.bin", tile(refs));

    // The one blueprint followed names its files with steps out of Assets; its shape (inside)
    // names textures with steps out of Assets, and one inside.
    const QString a = QStringLiteral("Assets/TestCo/Pack1/Scenery/");
    writeGameFile(a + "Hostile.bin", blueprint("[00]..\\..\\outside\\victim", "..\\..\\outside\\victim",
                                               "TestCo\\..\\..\\..\\outside\\victim"));
    writeGameFile(a + "Inner.bin", blueprint("TestCo\\[00]Inner"));
    writeGameFile(QStringLiteral("Assets/TestCo/Inner.GeoPcDx"),
                  shape({"Textures\\..\\..\\..\\..\\outside\\victim", "[00]..\\..\\..\\outside\\victim",
                         "[00]..\\Inside", "..\\..\\Content\\victim"}));
    const QString shapeFolder = asset("TestCo\\");
    const QString notFollowed = QStringLiteral("Reference outside the Assets folder, not followed:-  ");
    const QString expectedReport =
        notFollowed + asset("..\\..\\outside\\victim.GeoPcDx\r\n") + notFollowed + asset("..\\..\\outside\\victim.ban\r\n")
        + notFollowed + asset("TestCo\\..\\..\\..\\outside\\victim.lua\r\n")
        + notFollowed + shapeFolder + "Textures\\..\\..\\..\\..\\outside\\victim.TgPcDx\r\n"
        + notFollowed + outside + ".TgPcDx\r\n"
        + "Texture file missing:-  " + asset("Inside.TgPcDx\r\n")
        + notFollowed + game() + "\\Content\\victim.TgPcDx\r\n"
        + notFollowed + asset("..\\..\\outside\\victim.bin\r\n");

    FolderWatch watch(tree.path(QStringLiteral("outside")));
    ASSERT_TRUE(watch.valid());
    FolderWatch content(tree.path(QStringLiteral("game/Content")));

    RouteScanner scanner(game());
    ASSERT_TRUE(scanner.ScanRoute(routePath(kCheckRoute), {}));
    EXPECT_EQ(scanner.missingLines(), missing);
    EXPECT_EQ(scanner.usedBlueprints().values(), QStringList{asset("TestCo\\Pack1\\..\\Pack1\\Scenery\\Hostile.bin")});

    QString report;
    // A list handed to the check that names a blueprint outside Assets is refused the same way.
    scanner.CheckAssetFiles({asset("TestCo\\Pack1\\Scenery\\Hostile.bin"), asset("TestCo\\Pack1\\Scenery\\Inner.bin"),
                             asset("..\\..\\outside\\victim.bin")},
                            report);
    EXPECT_EQ(report, expectedReport);
    EXPECT_EQ(scanner.usedTextures().values(), QStringList{asset("Inside*.TgPcDx")});
    QStringList textures;
    EXPECT_TRUE(scanner.ShapeTextures(asset("TestCo\\Inner.GeoPcDx"), textures));
    EXPECT_EQ(textures, QStringList{asset("Inside")});

    EXPECT_EQ(watch.touched(), QStringList());
    const QStringList inContent = content.touched();
    EXPECT_FALSE(inContent.contains(QStringLiteral("victim.bin")));
    EXPECT_FALSE(inContent.contains(QStringLiteral("victim.TgPcDx")));
    for (const QFileInfo& f : QDir(tree.path(QStringLiteral("outside"))).entryInfoList(QDir::Files)) {
        EXPECT_EQ(tree.readFile(f.filePath()), before.value(f.fileName())) << f.fileName().toStdString();
        EXPECT_EQ(f.lastModified(), changed.value(f.fileName())) << f.fileName().toStdString();
    }
    EXPECT_EQ(QDir(tree.path(QStringLiteral("outside"))).entryList(QDir::Files).size(), before.size());
    EXPECT_EQ(workFiles(), QStringList());
}
