// The text rules of the route scan: reading references from a tile's lines, the blueprint,
// geometry, animation and script paths, the texture folders, and the deduplicated lists.

#include "routes/RouteScan.h"

#include "common/VbError.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

using namespace routes;

namespace {

// Feeds the lines to a reference reader; returns the references it completed as
// "provider|product|id" and tells whether it was left inside a reference.
QStringList readReferences(const QList<QByteArray>& lines, bool* cutShort = nullptr)
{
    ReferenceReader reader;
    QStringList found;
    for (const QByteArray& line : lines) {
        if (reader.addLine(line)) {
            const auto& r = reader.reference();
            found << r.provider + QLatin1Char('|') + r.product + QLatin1Char('|') + r.blueprintId;
        }
    }
    if (cutShort)
        *cutShort = reader.inReference();
    return found;
}

QList<QByteArray> referenceLines(const QByteArray& provider, const QByteArray& product, const QByteArray& id)
{
    return {"\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">" + provider + "</Provider>",
            "\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">" + product + "</Product>",
            "\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>",
            "\t\t\t\t\t</BlueprintSetID>",
            "\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">" + id + "</BlueprintID>"};
}

QStringList shapeTextures(const QString& shapeFolder, const QList<QByteArray>& lines)
{
    ShapeTextureReader reader(shapeFolder);
    for (const QByteArray& line : lines)
        reader.addLine(line);
    return reader.textures();
}

QByteArray e(const QByteArray& name)
{
    return "\t\t<e d:type=\"cDeltaString\">" + name + "</e>";
}

} // namespace

TEST(RouteScanRules, CountUpLevelsCountsLeadingStepsUpToFive)
{
    const auto levels = [](const QString& path, qint16 start) {
        qint16 n = start;
        CountUpLevels(path, n);
        return n;
    };
    EXPECT_EQ(levels(QStringLiteral("..\\Textures\\A"), 0), 1);
    EXPECT_EQ(levels(QStringLiteral("..\\..\\Textures\\A"), 0), 2);
    EXPECT_EQ(levels(QStringLiteral("..\\..\\..\\A"), 0), 3);
    EXPECT_EQ(levels(QStringLiteral("..\\..\\..\\..\\A"), 0), 4);
    EXPECT_EQ(levels(QStringLiteral("..\\..\\..\\..\\..\\A"), 0), 5);
    EXPECT_EQ(levels(QStringLiteral("..\\..\\..\\..\\..\\..\\A"), 0), 5); // six steps begin with five
    EXPECT_EQ(levels(QStringLiteral("..\\"), 0), 1);
    // No leading step: the value passed in stays.
    EXPECT_EQ(levels(QStringLiteral("Textures\\..\\A"), 7), 7);
    EXPECT_EQ(levels(QStringLiteral("../Textures/A"), 7), 7);
    EXPECT_EQ(levels(QStringLiteral(".."), 7), 7);
    EXPECT_EQ(levels(QString(), 7), 7);
}

TEST(RouteScanRules, BlueprintGeometryAndNameRules)
{
    const QString game = QStringLiteral("C:\\Games\\RS");
    EXPECT_EQ(BlueprintFilePath(game, "Kuju", "RailSimulator", "Scenery\\Trees\\Oak.xml"),
              QStringLiteral("C:\\Games\\RS\\Assets\\Kuju\\RailSimulator\\Scenery\\Trees\\Oak.bin"));
    // The last three characters are replaced whatever they are.
    EXPECT_EQ(BlueprintFilePath(game, "P", "Q", "Oak.XML"), QStringLiteral("C:\\Games\\RS\\Assets\\P\\Q\\Oak.bin"));
    EXPECT_EQ(BlueprintFilePath(game, "P", "Q", "ab"), QStringLiteral("C:\\Games\\RS\\Assets\\P\\Q\\bin"));

    EXPECT_EQ(GeometryFilePath(game, "Kuju\\RailSimulator\\Scenery\\[00]Oak"),
              QStringLiteral("C:\\Games\\RS\\Assets\\Kuju\\RailSimulator\\Scenery\\Oak.GeoPcDx"));
    // The cut takes the bracket and the three characters after it, wherever it stands.
    EXPECT_EQ(GeometryFilePath(game, "[00]P\\Oak"), QStringLiteral("C:\\Games\\RS\\Assets\\P\\Oak.GeoPcDx"));
    EXPECT_EQ(GeometryFilePath(game, "P\\Oak[LOD]"), QStringLiteral("C:\\Games\\RS\\Assets\\P\\Oak].GeoPcDx"));
    // An ID without a bracket gets the same folder and extension.
    EXPECT_EQ(GeometryFilePath(game, "P\\Q\\Oak"), QStringLiteral("C:\\Games\\RS\\Assets\\P\\Q\\Oak.GeoPcDx"));
    EXPECT_EQ(GeometryFilePath(game, ""), QString());
    EXPECT_EQ(GeometryFilePath(game, "[00]"), QString());

    EXPECT_EQ(FolderOf(QStringLiteral("C:\\A\\B\\Oak.GeoPcDx")), QStringLiteral("C:\\A\\B\\"));
    EXPECT_EQ(NameBase(QStringLiteral("C:\\A\\B\\Oak.Tree.GeoPcDx")), QStringLiteral("Oak.Tree."));
    EXPECT_EQ(NameBase(QStringLiteral("+000000+000000.bin")), QStringLiteral("+000000+000000."));
    EXPECT_EQ(NameBase(QStringLiteral("C:\\A\\NoDot")), QStringLiteral("NoDot"));

    EXPECT_EQ(LineValue(QStringLiteral("<Provider d:type=\"x\">Kuju</Provider>")), QStringLiteral("Kuju"));
    EXPECT_EQ(LineValue(QStringLiteral("<a>one</a><b>two</b>"), 11), QStringLiteral("two"));
    EXPECT_EQ(LineValue(QStringLiteral("no markup")), QString());
    EXPECT_EQ(LineValue(QStringLiteral("<open>never closed")), QString());
}

TEST(RouteScanRules, ReferencesAreReadFromFiveLines)
{
    QList<QByteArray> lines = {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<cRecordSet>"};
    lines += referenceLines("Kuju", "RailSimulator", "Scenery\\Oak.xml");
    lines += "<Other/>";
    // Upper-case tag, and a product line read wherever its first ">" stands.
    lines += QList<QByteArray>{"<PROVIDER>P2</PROVIDER>", "<X a=\"1\">Prod2</X>", "skip", "skip", "<id>Q\\R.xml</id>"};
    bool cutShort = true;
    EXPECT_EQ(readReferences(lines, &cutShort),
              (QStringList{"Kuju|RailSimulator|Scenery\\Oak.xml", "P2|Prod2|Q\\R.xml"}));
    EXPECT_FALSE(cutShort);

    // An empty provider passes the line over (the next lines are read afresh); an empty ID
    // passes the reference over.
    lines = referenceLines("", "Ignored", "Ignored.xml");
    lines += referenceLines("P", "Q", "");
    lines += referenceLines("P", "Q", "Kept.xml");
    EXPECT_EQ(readReferences(lines), (QStringList{"P|Q|Kept.xml"}));

    // The provider is read after the "<Provider" tag, not at the line's first ">".
    EXPECT_EQ(readReferences({"<a>x</a><Provider>P</Provider>", "<b>Q</b>", "", "", "<c>Id.xml</c>"}),
              (QStringList{"P|Q|Id.xml"}));

    // The ID line's characters are kept as the file holds them (in the ANSI code page).
    EXPECT_EQ(readReferences(referenceLines("P", "Q", "Gr\xEF\xBF\xBCn.xml")),
              (QStringList{QStringLiteral("P|Q|") + platform::decodeAnsi("Gr\xEF\xBF\xBCn.xml")}));

    // A text that ends inside a reference is cut short; one that ends before it is not.
    for (int kept = 1; kept < 5; ++kept) {
        QList<QByteArray> cut = referenceLines("P", "Q", "Id.xml").mid(0, kept);
        EXPECT_TRUE(readReferences(cut, &cutShort).isEmpty());
        EXPECT_TRUE(cutShort) << kept;
    }
    readReferences({"<Provider></Provider>"}, &cutShort);
    EXPECT_FALSE(cutShort);
}

TEST(RouteScanRules, TextureFoldersFollowTheEntryForms)
{
    const QString shape = QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Trees\\");
    const auto resolve = [&shape](const QString& tex, QString folder = QString()) {
        return ResolveTexture(tex, shape, folder);
    };
    // Bracket prefix and a name below the shape's Textures folder.
    EXPECT_EQ(resolve("[00]Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Trees\\Textures\\Oak"));
    // The same with one step up first, written with or without the bracket.
    EXPECT_EQ(resolve("[00]..\\Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Textures\\Oak"));
    EXPECT_EQ(resolve("..\\Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Textures\\Oak"));
    EXPECT_EQ(resolve("..\\..\\Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Textures\\Oak"));
    // Three steps go three folders up.
    EXPECT_EQ(resolve("..\\..\\..\\Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Textures\\Oak"));
    // Four or five steps: the shape folder up to where the name's first folder occurs in it...
    EXPECT_EQ(resolve("..\\..\\..\\..\\Q\\Textures\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Textures\\Oak"));
    EXPECT_EQ(resolve("..\\..\\..\\..\\..\\scenery\\Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\scenery\\Oak"));
    // ...else that many folders up.
    EXPECT_EQ(resolve("..\\..\\..\\..\\Shared\\Oak"), QStringLiteral("C:\\RS\\Assets\\Shared\\Oak"));
    EXPECT_EQ(resolve("..\\..\\..\\..\\..\\Shared\\Oak"), QStringLiteral("C:\\RS\\Shared\\Oak"));
    EXPECT_EQ(resolve("..\\..\\..\\..\\Oak"), QStringLiteral("C:\\RS\\Assets\\Oak"));
    // A bracket later in the name is cut out where it stands.
    EXPECT_EQ(resolve("Textures\\[01]Oak"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Trees\\Textures\\Oak"));
    // Any other name lies in the shape folder, whatever folder came before.
    EXPECT_EQ(resolve("Oak", QStringLiteral("C:\\Elsewhere\\")), QStringLiteral("C:\\RS\\Assets\\P\\Q\\Scenery\\Trees\\Oak"));
    // A name beginning with "text" keeps the folder of the entry before.
    EXPECT_EQ(resolve("TEXTURES\\Oak", QStringLiteral("C:\\Kept\\")), QStringLiteral("C:\\Kept\\TEXTURES\\Oak"));
    // Nothing to check for an entry without a name.
    EXPECT_EQ(resolve(""), QString());
    EXPECT_EQ(resolve("[00]"), QString());

    // A game folder given as a native path: steps up cross into it.
    const QString native = QStringLiteral("/home/me/game\\Assets\\P\\Q\\");
    QString folder;
    EXPECT_EQ(ResolveTexture(QStringLiteral("..\\..\\..\\..\\X\\Oak"), native, folder), QStringLiteral("/home/me\\X\\Oak"));
    EXPECT_EQ(folder, QStringLiteral("/home/me\\"));
}

TEST(RouteScanRules, ShapeTexturesAreReadBlockByBlockUntilABlob)
{
    const QString shape = QStringLiteral("G\\Assets\\P\\Q\\Scenery\\");
    // The folder carries from one entry to the next within a block and starts afresh with
    // the next block; entries without a name are passed over; the block ends at its end tag
    // or at a line without an "e" element.
    EXPECT_EQ(shapeTextures(shape, {"<cHcRShape>", "\t<TextureByName>", e("[00]..\\Textures\\Walls"),
                                    e("Textures\\Roof"), e(""), "\t</TextureByName>", "\t<TextureByName>",
                                    e("Textures\\Second"), "\t<Meshes>", e("Mesh_NotATexture"), "\t</Meshes>",
                                    "\t<texturebyname>", e("Third"), "</cHcRShape>"}),
              (QStringList{"G\\Assets\\P\\Q\\Textures\\Walls", "G\\Assets\\P\\Q\\Textures\\Roof",
                           "G\\Assets\\P\\Q\\Scenery\\Textures\\Second", "G\\Assets\\P\\Q\\Scenery\\Third"}));

    // A shape stored as a blob has no texture list.
    EXPECT_TRUE(shapeTextures(shape, {"<cHcRShape>", "\t<d:blob d:size=\"8\">00</d:blob>", "\t<TextureByName>",
                                      e("[00]Textures\\Hidden"), "\t</TextureByName>"})
                    .isEmpty());
    // A blob after the list ends the reading there.
    EXPECT_EQ(shapeTextures(shape, {"<TextureByName>", e("A"), "</TextureByName>", "<d:blob>", "<TextureByName>",
                                    e("B"), "</TextureByName>"}),
              (QStringList{"G\\Assets\\P\\Q\\Scenery\\A"}));
}

TEST(RouteScanRules, BlueprintElementsGiveTheAssetPaths)
{
    const QString game = QStringLiteral("G");
    BlueprintAssets a = ReadBlueprintAssets(
        game, QStringLiteral("<Name>Not the script</Name>\r\n<GeometryID d:type=\"s\">P\\Q\\[00]Oak</GeometryID>\r\n"
                             "<AnimationName d:type=\"s\">P\\Q\\Sway</AnimationName>\r\n"
                             "<GeometryID>P\\Second</GeometryID>\r\n"
                             "<_script d:id=\"7\">\r\n<Name d:type=\"s\">P\\Q\\Script</Name>\r\n"));
    EXPECT_EQ(a.geometry, QStringLiteral("G\\Assets\\P\\Q\\Oak.GeoPcDx"));
    EXPECT_EQ(a.animation, QStringLiteral("G\\Assets\\P\\Q\\Sway.ban"));
    EXPECT_EQ(a.script, QStringLiteral("G\\Assets\\P\\Q\\Script.lua"));

    // Absent or empty elements name nothing; a "Name" only before "_script" is not a script.
    a = ReadBlueprintAssets(game, QStringLiteral("<AnimationName></AnimationName><Name>N</Name><x_script/>"));
    EXPECT_EQ(a.geometry, QString());
    EXPECT_EQ(a.animation, QString());
    EXPECT_EQ(a.script, QString());

    // A geometry element that never closes fails with the invalid-argument error.
    try {
        ReadBlueprintAssets(game, QStringLiteral("<GeometryID d:type=\"s\">P\\[00]Oak\r\n</Blueprint>"));
        ADD_FAILURE() << "no error";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number, 5);
    }
}

TEST(RouteScanRules, UniqueTextsKeepTheFirstSpellingAndRefuseEmptyEntries)
{
    UniqueTexts texts;
    EXPECT_TRUE(texts.add(QStringLiteral("C:\\A\\Oak.bin")));
    EXPECT_FALSE(texts.add(QStringLiteral("c:\\a\\OAK.BIN")));
    EXPECT_FALSE(texts.add(QString()));
    EXPECT_TRUE(texts.add(QStringLiteral("C:\\A\\birch.bin")));
    EXPECT_TRUE(texts.add(QStringLiteral(u"C:\\A\\\u00C4sh.bin")));
    EXPECT_FALSE(texts.add(QStringLiteral(u"C:\\A\\\u00E4SH.bin")));
    EXPECT_TRUE(texts.contains(QStringLiteral("C:\\a\\Birch.BIN")));
    EXPECT_EQ(texts.count(), 3);
    EXPECT_EQ(texts.values(), (QStringList{"C:\\A\\Oak.bin", "C:\\A\\birch.bin", QStringLiteral(u"C:\\A\\\u00C4sh.bin")}));
    EXPECT_EQ(texts.sorted(), (QStringList{"C:\\A\\birch.bin", "C:\\A\\Oak.bin", QStringLiteral(u"C:\\A\\\u00C4sh.bin")}));
    texts.clear();
    EXPECT_TRUE(texts.isEmpty());
    EXPECT_TRUE(texts.add(QStringLiteral("c:\\a\\OAK.BIN")));
}
