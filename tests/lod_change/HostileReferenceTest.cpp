// References read from game files that lead out of the game: "Change LODs" and the grid
// preview refuse them by name and touch nothing outside, neither the files a reference names
// nor the files its work name would put beside the work folder.

#include "assets_window/AssetsWindowFixture.h"

#include "assets/LodChange.h"

#include <QDirIterator>
#include <QMap>

namespace {

const QString kFolder = QStringLiteral("Maker\\Stock\\Hostile");

QByteArray blueprint(const QByteArray& name, const QByteArray& geometryId)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
           "\t\t<cSceneryBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">" + name + "</Name>\r\n"
           "\t\t\t<GeometryID d:type=\"cDeltaString\">" + geometryId + "</GeometryID>\r\n"
           "\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
           "\t\t\t\t\t<English d:type=\"cDeltaString\">" + name + "</English>\r\n"
           "\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
           "\t\t</cSceneryBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

QByteArray shape(const QByteArray& texture)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cGeometry>\r\n\t<TextureByName>\r\n"
           "\t\t<e d:type=\"cDeltaString\">" + texture + "</e>\r\n\t</TextureByName>\r\n"
           "\t<LOD>\r\n\t\t<e d:type=\"sFloat32\">10.0000</e>\r\n\t\t<e d:type=\"sFloat32\">20.0000</e>\r\n\t</LOD>\r\n"
           "</cGeometry>\r\n";
}

} // namespace

class HostileReferenceTest : public AssetsWindowTest {
protected:
    // Every file below the folders beside the game and the program folder with its bytes: the
    // tree's "outside" folder, and "GAME" and "PROGRAM", which a file system that tells letter
    // case apart keeps apart from "game" and "program".
    QMap<QString, QByteArray> outside() const
    {
        QMap<QString, QByteArray> files;
        for (const QString& folder : {QStringLiteral("outside"), QStringLiteral("GAME"), QStringLiteral("PROGRAM")}) {
            for (QDirIterator it(tree.path(folder), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
                const QString file = it.next();
                QFile f(file);
                files.insert(file, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
            }
        }
        return files;
    }
};

TEST_F(HostileReferenceTest, ReferencesOutOfTheGameAreRefusedAndNothingOutsideIsTouched)
{
    // The victims: a shape, a blueprint and a texture beside the game and the program folders.
    writeBinary(QStringLiteral("outside/victim.GeoPcDx"), shape("victim"));
    tree.writeFile(QStringLiteral("outside/victim.bin"), "victim blueprint");
    tree.writeFile(QStringLiteral("outside/victim.xml"), "victim text");
    tree.writeFile(QStringLiteral("outside/victim.TgPcDx"), "victim texture");
    // A game and a program folder spelled in other case beside the real ones.
    writeBinary(QStringLiteral("GAME/Assets/v/victim.GeoPcDx"), shape("victim"));
    tree.writeFile(QStringLiteral("PROGRAM/TempFiles/victim.bin"), "victim work file");
    // A shape inside the game that a work name would copy over the victim blueprint, and one
    // whose texture lies outside.
    writeBinary(rel(QStringLiteral("Maker\\Stock\\outside\\victim.GeoPcDx")), shape("Hostile\\body"));
    writeBinary(rel(QStringLiteral("Maker\\Stock\\Hostile\\tex.GeoPcDx")), shape("[00]..\\..\\outside\\victim"));
    writeBinary(rel(QStringLiteral("Maker\\Stock\\PROGRAM\\TempFiles\\victim.GeoPcDx")), shape("Hostile\\body"));
    const QMap<QString, QByteArray> before = outside();
    ASSERT_EQ(before.size(), 6);

    const struct {
        const char* name;
        const char* geometryId;
        bool lodRefused;     // "Change LODs" names it
        const char* refused; // what the preview names
    } rows[] = {
        {"A brackets", "[00]..\\..\\outside\\victim", true, "[00]..\\..\\outside\\victim"},
        {"B plain", "..\\..\\outside\\victim", true, "..\\..\\outside\\victim"},
        {"C from a product", "Maker\\Stock\\[00]..\\..\\..\\outside\\victim", true,
         "Maker\\Stock\\[00]..\\..\\..\\outside\\victim"},
        {"D work name only", "Maker\\Stock\\Hostile\\Deep\\[00]..\\..\\outside\\victim", true,
         "Maker\\Stock\\Hostile\\Deep\\[00]..\\..\\outside\\victim"},
        {"E texture only", "Maker\\Stock\\Hostile\\tex", false, "..\\..\\outside\\victim"},
        {"F game in other case", "..\\..\\GAME\\Assets\\v\\[00]victim", true, "..\\..\\GAME\\Assets\\v\\[00]victim"},
        {"G work name in other case", "Maker\\Stock\\PROGRAM\\TempFiles\\[00]..\\..\\PROGRAM\\TempFiles\\victim", true,
         "Maker\\Stock\\PROGRAM\\TempFiles\\[00]..\\..\\PROGRAM\\TempFiles\\victim"},
    };
    for (const auto& r : rows) {
        const QString file = QString::fromLatin1(r.name).left(1) + QStringLiteral(".bin");
        writeBinary(rel(kFolder + QLatin1Char('\\') + file), blueprint(r.name, r.geometryId));
    }
    frmAssets* w = open();
    addToList(w, kFolder);
    QStringList names;
    for (const auto& r : rows)
        names << QString::fromLatin1(r.name);
    selectNamed(w, names);

    ui.expectMsgBox(vb::vbOK, QStringLiteral("Changing a large number of LODs"));
    for (const auto& r : rows) {
        if (r.lodRefused)
            ui.expectMsgBox(vb::vbOK, QStringLiteral("names ") + QString::fromLatin1(r.geometryId)
                                          + QStringLiteral(", which leads out of the folder it must lie in."));
    }
    w->mnuLod_Click();
    ui.verifyDone();
    EXPECT_EQ(outside(), before);

    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const QString caption = w->windowTitle();
        w->VsFg1->setRow(rowNamed(w, QString::fromLatin1(r.name)));
        w->VsFg1->setCol(3);
        ui.expectMsgBox(vb::vbOK, QStringLiteral("names ") + QString::fromLatin1(r.refused) + QStringLiteral(", which"));
        w->VsFg1_MouseDown(1);
        ui.verifyDone();
        EXPECT_EQ(w->windowTitle(), caption);
        EXPECT_EQ(outside(), before);
    }
}
