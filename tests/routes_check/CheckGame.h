#pragma once
// A temporary copy of the sample game with the test serializer installed, and a route of the
// route check's own ("Check Line") whose tiles name present, missing, escaped and duplicated
// blueprints, whose blueprints name geometry, animation and script files, and whose shapes
// name their textures in every form a shape can.

#include "common/SharedState.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/SerzForm.h"
#include "support/GameFixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The sample game's routes.
inline const QString kValleyRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
inline const QString kBranchRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");
inline const QString kMorningFreight = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");

// The check's own route and its one scenario.
inline const QString kCheckRoute = QStringLiteral("c4ec0000-0000-4000-8000-0000000000c1");
inline const QString kCheckScenario = QStringLiteral("c4ec0000-0000-4000-8000-0000000000d1");

struct TileRef {
    QByteArray provider;
    QByteArray product;
    QByteArray id;
};

class CheckGameTest : public SampleGameFixture {
protected:
    CheckGameTest() : SampleGameFixture({.serz = true, .tempFiles = true}) {}

    // The game folder as GamePath holds it, and paths below it as the program builds them.
    QString game() const { return tree.gamePath(); }
    QString asset(const QString& rel) const { return game() + QStringLiteral("\\Assets\\") + rel; }
    QString routePath(const QString& route) const { return game() + QStringLiteral("\\Content\\Routes\\") + route; }

    static QByteArray failMarker() { return "<!--serz:fail-->\r\n"; }

    // Writes a game file (path below the game folder, "/" separated) in the binary form.
    void writeGameFile(const QString& rel, const QByteArray& xml)
    {
        tree.writeFile(QStringLiteral("game/") + rel, serzBinary(xml));
    }
    // Writes a file whose content does not matter (textures, animations, scripts).
    void touchGameFile(const QString& rel) { tree.writeFile(QStringLiteral("game/") + rel, "data"); }

    static QByteArray head(const QByteArray& root)
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root
               + " xmlns:d=\"http://www.veltrane.example/2003/Delta\" d:version=\"1.0\">\r\n";
    }

    // One placed entity of a tile, as the serializer writes it.
    static QByteArray entity(const TileRef& ref)
    {
        return "\t\t<cStaticEntity d:id=\"400000190\">\r\n\t\t\t<BlueprintID>\r\n"
               "\t\t\t\t<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t<BlueprintSetID>\r\n"
               "\t\t\t\t\t\t<iBlueprintLibrary-cBlueprintSetID>\r\n"
               "\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">"
               + ref.provider + "</Provider>\r\n\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">" + ref.product
               + "</Product>\r\n\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>\r\n\t\t\t\t\t</BlueprintSetID>\r\n"
                 "\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">"
               + ref.id
               + "</BlueprintID>\r\n\t\t\t\t</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t</BlueprintID>\r\n"
                 "\t\t</cStaticEntity>\r\n";
    }

    static QByteArray tile(const QList<TileRef>& refs)
    {
        QByteArray xml = head("cRecordSet") + "\t<Record>\r\n";
        for (const TileRef& ref : refs)
            xml += entity(ref);
        return xml + "\t</Record>\r\n</cRecordSet>\r\n";
    }

    // A blueprint naming the given files (an empty text leaves its element out).
    static QByteArray blueprint(const QByteArray& geometryId, const QByteArray& animation = QByteArray(),
                                const QByteArray& script = QByteArray())
    {
        QByteArray xml = head("cBlueprintLoader") + "\t<Blueprint>\r\n\t\t<cSceneryBlueprint>\r\n"
                         "\t\t\t<Name d:type=\"cDeltaString\">Test item</Name>\r\n";
        if (!geometryId.isEmpty())
            xml += "\t\t\t<GeometryID d:type=\"cDeltaString\">" + geometryId + "</GeometryID>\r\n";
        if (!animation.isEmpty())
            xml += "\t\t\t<AnimationName d:type=\"cDeltaString\">" + animation + "</AnimationName>\r\n";
        if (!script.isEmpty())
            xml += "\t\t\t<_script>\r\n\t\t\t\t<Name d:type=\"cDeltaString\">" + script + "</Name>\r\n\t\t\t</_script>\r\n";
        return xml + "\t\t</cSceneryBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
    }

    // A shape naming the textures in one "TextureByName" block; blob puts a blob before it.
    static QByteArray shape(const QList<QByteArray>& textures, bool blob = false)
    {
        QByteArray xml = head("cHcRShape") + "\t<Name d:type=\"cDeltaString\">Shape</Name>\r\n";
        if (blob)
            xml += "\t<d:blob d:size=\"4\">00000000</d:blob>\r\n";
        xml += "\t<TextureByName>\r\n";
        for (const QByteArray& t : textures)
            xml += "\t\t<e d:type=\"cDeltaString\">" + t + "</e>\r\n";
        return xml + "\t</TextureByName>\r\n\t<Meshes>\r\n\t\t<e d:type=\"cDeltaString\">Mesh</e>\r\n\t</Meshes>\r\n</cHcRShape>\r\n";
    }

    // Adds a route to the game's "Content\Routes.xml".
    void listRoute(const QString& folder, const QByteArray& name)
    {
        const QString rel = QStringLiteral("game/Content/Routes.xml");
        QByteArray xml = tree.readFile(rel);
        const QByteArray entry = "\t\t<cRouteProperties d:id=\"200000099\">\r\n\t\t\t<ID>\r\n\t\t\t\t<cGUID>\r\n"
                                 "\t\t\t\t\t<DevString d:type=\"cDeltaString\">"
                                 + folder.toUtf8()
                                 + "</DevString>\r\n\t\t\t\t</cGUID>\r\n\t\t\t</ID>\r\n\t\t\t<DisplayName>\r\n"
                                   "\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
                                   "\t\t\t\t\t<English d:type=\"cDeltaString\">"
                                 + name
                                 + "</English>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n"
                                   "\t\t\t</DisplayName>\r\n\t\t</cRouteProperties>\r\n";
        const qsizetype at = xml.lastIndexOf("\t</Record>");
        ASSERT_GT(at, 0);
        xml.insert(at, entry);
        tree.writeFile(rel, xml);
    }

    // The check's route:
    //  Scenery\+000000+000000.bin  Present, a case variant of it, A&amp;B (exists unescaped),
    //                              Missing, Gr"ü" written as the serializer mis-encodes it,
    //                              Lost&amp;Found (missing either way), and two references
    //                              with an empty provider and an empty ID
    //  Scenery\+000001+000000.bin  Missing again, Blob, NoGeo, Broken, Unconvertible, FailShape
    //  Scenery\+000002+000000.bin  refused by the serializer
    //  Networks\Loft Tiles\...     Missing
    //  Networks\Road Tiles\...     Missing; a second tile cut off inside a reference
    //  Networks\Tracks.bin         RailNetwork\Track01 (a blueprint without geometry)
    //  Networks\Track Tiles\...    Unlisted (a folder the check does not scan)
    //  Scenarios\<scenario>\Scenery\+000000+000000.bin  ScenarioOnly and Missing
    void buildCheckRoute()
    {
        const QByteArray P = "TestCo";
        const QByteArray Q = "Pack1";
        const QString route = QStringLiteral("Content/Routes/") + kCheckRoute;
        listRoute(kCheckRoute, "Check Line");

        writeGameFile(route + "/Scenery/+000000+000000.bin",
                      tile({{P, Q, "Scenery\\Present.xml"},
                            {P, Q, "SCENERY\\present.xml"},
                            {P, Q, "Scenery\\A&amp;B.xml"},
                            {P, Q, "Scenery\\Missing.xml"},
                            {P, Q, "Scenery\\Gr\xEF\xBF\xBCn.xml"},
                            {P, Q, "Scenery\\Lost&amp;Found.xml"},
                            {"", Q, "Scenery\\NoProvider.xml"},
                            {P, Q, ""}}));
        writeGameFile(route + "/Scenery/+000001+000000.bin",
                      tile({{P, Q, "Scenery\\Missing.xml"},
                            {P, Q, "Scenery\\Blob.xml"},
                            {P, Q, "Scenery\\NoGeo.xml"},
                            {P, Q, "Scenery\\Broken.xml"},
                            {P, Q, "Scenery\\Unconvertible.xml"},
                            {P, Q, "Scenery\\FailShape.xml"}}));
        writeGameFile(route + "/Scenery/+000002+000000.bin", failMarker() + tile({{P, Q, "Scenery\\Hidden.xml"}}));
        writeGameFile(route + "/Networks/Loft Tiles/+000000+000000.bin", tile({{P, Q, "Scenery\\Missing.xml"}}));
        writeGameFile(route + "/Networks/Road Tiles/+000000+000000.bin", tile({{P, Q, "Scenery\\Missing.xml"}}));
        const QByteArray whole = tile({{P, Q, "Scenery\\Present.xml"}});
        writeGameFile(route + "/Networks/Road Tiles/+000001+000000.bin",
                      whole.left(whole.indexOf("</Product>") + 12)); // ends after the product line
        writeGameFile(route + "/Networks/Tracks.bin", tile({{P, Q, "RailNetwork\\Track01.xml"}}));
        writeGameFile(route + "/Networks/Track Tiles/+000000+000000.bin", tile({{P, Q, "Scenery\\Unlisted.xml"}}));
        writeGameFile(route + "/Scenarios/" + kCheckScenario + "/Scenery/+000000+000000.bin",
                      tile({{P, Q, "Scenery\\ScenarioOnly.xml"}, {P, Q, "Scenery\\Missing.xml"}}));
        tree.writeFile(QStringLiteral("game/") + route + "/Scenarios/" + kCheckScenario + "/Scenario.bin",
                       serzBinary(head("cRecordSet") + "</cRecordSet>\r\n"));
        writeGameFile(route + "/Scenarios.bin", scenarioList(kCheckScenario.toUtf8(), "Check Run"));

        // Blueprints, shapes and the files they name.
        const QString assets = QStringLiteral("Assets/TestCo/Pack1/");
        writeGameFile(assets + "RailNetwork/Track01.bin", blueprint(""));
        writeGameFile(assets + "Scenery/Present.bin",
                      blueprint("TestCo\\Pack1\\Scenery\\[00]Present", "TestCo\\Pack1\\Scenery\\Present_Anim",
                                "TestCo\\Pack1\\Scenery\\Present_Script"));
        touchGameFile(assets + "Scenery/Present_Anim.ban");
        writeGameFile(assets + "Scenery/Present.GeoPcDx",
                      shape({"[00]Textures\\Wall",                     // Scenery\Textures (exists)
                             "Textures\\Roof",                         // kept folder (missing)
                             "[00]..\\Textures\\Ground",               // one step up (exists)
                             "Textures\\[01]Grass",                    // kept folder, late bracket (missing)
                             "..\\..\\Shared\\Sky",                    // two steps up (exists)
                             "..\\..\\..\\Common\\Rock",               // three steps up (exists)
                             "..\\..\\..\\..\\Pack1\\Textures\\Tree",  // four, first folder found (missing)
                             "..\\..\\..\\..\\Elsewhere\\Cloud",       // four, not found (outside Assets)
                             "Bare",                                   // shape folder (missing)
                             ""}));                                    // no name
        touchGameFile(assets + "Scenery/Textures/Wall.TgPcDx");
        touchGameFile(assets + "Textures/Ground.TgPcDx");
        touchGameFile(QStringLiteral("Assets/TestCo/Shared/Sky.TgPcDx"));
        touchGameFile(QStringLiteral("Assets/Common/Rock.TgPcDx"));
        writeGameFile(assets + "Scenery/ScenarioOnly.bin", blueprint("TestCo\\Pack1\\Scenery\\[00]Present"));
        writeGameFile(assets + "Scenery/A&B.bin", blueprint("TestCo\\Pack1\\Scenery\\[00]Nowhere"));
        writeGameFile(assets + QStringLiteral(u"Scenery/Gr\u00FCn.bin"),
                      blueprint("", "TestCo\\Pack1\\Scenery\\Gruen_Anim"));
        writeGameFile(assets + "Scenery/Blob.bin", blueprint("TestCo\\Pack1\\Scenery\\[00]Blob"));
        writeGameFile(assets + "Scenery/Blob.GeoPcDx", shape({"[00]Textures\\Hidden"}, true));
        writeGameFile(assets + "Scenery/NoGeo.bin", blueprint(""));
        writeGameFile(assets + "Scenery/Broken.bin",
                      head("cBlueprintLoader") + "\t<GeometryID d:type=\"cDeltaString\">TestCo\\[00]Broken\r\n");
        writeGameFile(assets + "Scenery/Unconvertible.bin", failMarker() + blueprint(""));
        writeGameFile(assets + "Scenery/FailShape.bin", blueprint("TestCo\\Pack1\\Scenery\\[00]FailShape"));
        writeGameFile(assets + "Scenery/FailShape.GeoPcDx", failMarker() + shape({"A"}));
    }

    static QByteArray scenarioList(const QByteArray& folder, const QByteArray& name)
    {
        return head("cRecordSet") + "\t<Record>\r\n\t\t<cScenarioProperties d:id=\"31\">\r\n\t\t\t<ID>\r\n"
               "\t\t\t\t<cGUID>\r\n\t\t\t\t\t<DevString d:type=\"cDeltaString\">"
               + folder
               + "</DevString>\r\n\t\t\t\t</cGUID>\r\n\t\t\t</ID>\r\n\t\t\t<DisplayName>\r\n"
                 "\t\t\t\t<Localisation-cUserLocalisedString>\r\n\t\t\t\t\t<English d:type=\"cDeltaString\">"
               + name
               + "</English>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
                 "\t\t</cScenarioProperties>\r\n\t</Record>\r\n</cRecordSet>\r\n";
    }

    // The check's route's missing list, in the order the check finds the lines.
    QStringList expectedMissing() const
    {
        const QString r = routePath(kCheckRoute);
        return {
            asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Scenery Item)"),
            asset("TestCo\\Pack1\\Scenery\\Lost&Found.bin   (Scenery Item)"),
            asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Scenery Item)"),
            r + "\\Scenery\\+000002+000000.bin   (Tile could not be converted)",
            asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Loft Item)"),
            asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Road Item)"),
            r + "\\Networks\\Road Tiles\\+000001+000000.bin   (Tile ends inside a blueprint reference)",
            asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Scenery Item)"),
        };
    }

    // The blueprints the check's route uses, sorted, each once, first spelling kept.
    QStringList expectedUsed() const
    {
        return {
            asset("TestCo\\Pack1\\RailNetwork\\Track01.bin"),
            asset("TestCo\\Pack1\\Scenery\\A&B.bin"),
            asset("TestCo\\Pack1\\Scenery\\Blob.bin"),
            asset("TestCo\\Pack1\\Scenery\\Broken.bin"),
            asset("TestCo\\Pack1\\Scenery\\FailShape.bin"),
            asset(QStringLiteral(u"TestCo\\Pack1\\Scenery\\Gr\u00FCn.bin")),
            asset("TestCo\\Pack1\\Scenery\\NoGeo.bin"),
            asset("TestCo\\Pack1\\Scenery\\Present.bin"),
            asset("TestCo\\Pack1\\Scenery\\ScenarioOnly.bin"),
            asset("TestCo\\Pack1\\Scenery\\Unconvertible.bin"),
        };
    }

    // The asset check's report for those blueprints.
    QString expectedAssetReport() const
    {
        const QString presentTextures = QStringLiteral("Texture file missing:-  ")
                                        + asset("TestCo\\Pack1\\Scenery\\Textures\\Roof.TgPcDx\r\n")
                                        + "Texture file missing:-  " + asset("TestCo\\Pack1\\Textures\\Grass.TgPcDx\r\n")
                                        + "Texture file missing:-  " + asset("TestCo\\Pack1\\Textures\\Tree.TgPcDx\r\n")
                                        + "Reference outside the Assets folder, not followed:-  " + game()
                                        + "\\Elsewhere\\Cloud.TgPcDx\r\n"
                                        + "Texture file missing:-  " + asset("TestCo\\Pack1\\Scenery\\Bare.TgPcDx\r\n");
        return QStringLiteral("Texture Check:-\r\n\r\n")
               + "GeoPcDx file missing:-  " + asset("TestCo\\Pack1\\Scenery\\Nowhere.GeoPcDx\r\n")
               + "An error Invalid procedure call or argument occurred while checking "
               + asset("TestCo\\Pack1\\Scenery\\Broken.bin\r\n")
               + "GeoPcDx file could not be converted:-  " + asset("TestCo\\Pack1\\Scenery\\FailShape.GeoPcDx\r\n")
               + "Animation file missing:-  " + asset("TestCo\\Pack1\\Scenery\\Gruen_Anim.ban\r\n")
               + "Script file missing:-  " + asset("TestCo\\Pack1\\Scenery\\Present_Script.lua\r\n")
               + presentTextures + presentTextures // ScenarioOnly uses the same shape
               + "Blueprint could not be converted:-  " + asset("TestCo\\Pack1\\Scenery\\Unconvertible.bin\r\n");
    }

    // The texture patterns, sorted.
    QStringList expectedTextures() const
    {
        return {
            asset("Common\\Rock*.TgPcDx"),
            asset("TestCo\\Pack1\\Scenery\\Bare*.TgPcDx"),
            asset("TestCo\\Pack1\\Scenery\\Textures\\Roof*.TgPcDx"),
            asset("TestCo\\Pack1\\Scenery\\Textures\\Wall*.TgPcDx"),
            asset("TestCo\\Pack1\\Textures\\Grass*.TgPcDx"),
            asset("TestCo\\Pack1\\Textures\\Ground*.TgPcDx"),
            asset("TestCo\\Pack1\\Textures\\Tree*.TgPcDx"),
            asset("TestCo\\Shared\\Sky*.TgPcDx"),
        };
    }

    // The files left in the work folder.
    QStringList workFiles() const
    {
        return QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files | QDir::Hidden);
    }
};
