// "Add Route Loading Picture": the shipped texture template, the blueprint reference of a
// route's entry, and the whole command on a copy of the sample game with the test serializer.

#include "hub/LoadingPicture.h"

#include "common/Serializer.h"
#include "common/SharedState.h"
#include "platform/TextCodec.h"
#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "textures/TextureCodec.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include "support/ScopedEnv.h"
#include "support/FolderContents.h"
#include "support/GameFixture.h"

using namespace hub;
using namespace textures;

namespace {

const QString kBlueprintRel = QStringLiteral("game/Assets/VeltraneSamples/Sample01/RouteTemplates/ValleyTemplate.bin");
const QString kTextureDir = QStringLiteral("game/Assets/VeltraneSamples/Sample01/TemplateRoutes/");

QByteArray templateBytes()
{
    QFile f(programDataPath() + QStringLiteral("/Templates/loading_default.dat"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A 1024 by 512 DXT1 image of one level (and, with mips, the smaller levels after it).
QByteArray makeImage(bool mips = false, char seed = 1)
{
    QByteArray image = BuildDdsHeader(TextureFormat::Dxt1, 1024, 512, mips ? 11 : 1, 262144);
    QByteArray data(262144, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + seed) & 0xFF);
    image += data;
    if (mips)
        image += QByteArray(87384, '\x5A');
    return image;
}

} // namespace

TEST(LoadingPictureTemplate, ParsesAndGoesThroughTheSerializerBothWays)
{
    SideFile side;
    ASSERT_TRUE(ParseSideFile(platform::decodeAnsi(templateBytes()), side, false));
    ASSERT_EQ(side.LevelCount, 1);
    EXPECT_EQ(side.Sizes[1], 262144);
    EXPECT_EQ(FindDimension(side.Pieces[0], QStringLiteral("Width")), 1024);
    EXPECT_EQ(FindDimension(side.Pieces[0], QStringLiteral("Height")), 512);
    EXPECT_EQ(TextureFormatFor(FindFormatText(side.Pieces[0])), TextureFormat::Dxt1);

    TempTree tree;
    ASSERT_TRUE(installSerz(tree.systemPath()));
    const QString xml = RebuildTextureXml(side.Pieces, side.Sizes, makeImage());
    const QByteArray xmlBytes = platform::encodeAnsi(xml);
    const QString xmlPath = tree.writeFile(QStringLiteral("work/loading.xml"), xmlBytes);
    ASSERT_TRUE(RunSerz(xmlPath, serz::ToBinSlash, tree.path(QStringLiteral("work/loading.bin")), tree.programPath()).ok);
    ASSERT_TRUE(RunSerz(tree.path(QStringLiteral("work/loading.bin")), serz::ToXml,
                        tree.path(QStringLiteral("work/back.xml")), tree.programPath()).ok);
    EXPECT_EQ(tree.readFile(QStringLiteral("work/back.xml")), xmlBytes);
    // The rebuilt XML scans back to the template's one level.
    TextureWork work;
    EXPECT_EQ(ScanTextureLevels(xml, work).fault, LevelFault::None);
    EXPECT_EQ(work.BlobCount, 1);
}

TEST(LoadingPictureBlueprint, SearchesStayInTheChosenEntry)
{
    const QString ref = QStringLiteral("<BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><Provider>P</Provider>"
                                       "<Product>Q</Product></x><BlueprintID>R\\T.xml</BlueprintID>"
                                       "</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID>");
    const QString name = QStringLiteral("<DisplayName><English>N</English></DisplayName>");
    const QString end = QStringLiteral("</cRouteProperties>");
    struct Row {
        const char* what;
        QString xml;
        bool found;
    } rows[] = {
        {"complete entry", name + ref + end, true},
        {"reference before the display name only", ref + name + end, false},
        {"reference in the next entry", name + end + name + ref + end, false},
        {"no product", name + QStringLiteral("<iBlueprintLibrary><Provider>P</Provider><BlueprintID>x</BlueprintID>") + end
                           + name + ref + end,
         false},
        {"display name in another case", QStringLiteral("<displayname/>") + ref + end, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const qsizetype pos = row.xml.indexOf(QStringLiteral("<DisplayName"), 0, Qt::CaseInsensitive) + 1;
        RouteBlueprintRef found;
        EXPECT_EQ(FindRouteBlueprint(row.xml, pos, found), row.found);
        if (row.found) {
            EXPECT_EQ(found.provider, QStringLiteral("P"));
            EXPECT_EQ(found.product, QStringLiteral("Q"));
            EXPECT_EQ(found.blueprintId, QStringLiteral("R\\T.xml"));
        }
    }
    EXPECT_EQ(PictureName(QStringLiteral("C:\\x.y\\loading_Glen.new.dds")), QStringLiteral("loading_Glen"));
    EXPECT_EQ(PictureName(QStringLiteral("/tmp/a.b/loading_Valley.dds")), QStringLiteral("loading_Valley"));
}

namespace {

class LoadingPictureCommand : public SampleGameFixture {
protected:
    LoadingPictureCommand() : SampleGameFixture({.serz = true, .programData = true, .tempFiles = true}) {}
    void SetUp() override
    {
        SampleGameFixture::SetUp();
        if (HasFatalFailure())
            return;
        blueprintBefore = tree.readFile(kBlueprintRel);
        ASSERT_FALSE(blueprintBefore.isEmpty());
    }
    void TearDown() override
    {
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        SampleGameFixture::TearDown();
    }

    QMap<QString, QByteArray> snapshot() const { return folderSnapshot(tree.gamePath()); }

    // Every file below the test tree's root, the game and the folders beside it alike.
    QMap<QString, QByteArray> everything() const { return folderSnapshot(tree.rootPath()); }

    QByteArray decode(const QString& rel)
    {
        const QString out = tree.path(QStringLiteral("decoded/") + QFileInfo(rel).fileName() + QStringLiteral(".xml"));
        QDir().mkpath(QFileInfo(out).absolutePath());
        QFile::remove(out);
        if (!RunSerz(tree.path(rel), serz::ToXml, out, tree.programPath()).ok)
            return QByteArray();
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void expectIntro(int answer = vb::vbOK)
    {
        ui.expectMsgBox(answer, QStringLiteral("Before you can run this option, you must have prepared a .dds file "
                                               "1024x512 pixels\r\nin size, it must be named loading_'routename'.dds "
                                               "where routename is name of your route."));
    }

    // Runs the command choosing this line of the route list.
    void run(int line = 0)
    {
        AddRouteLoadingPicture([this, line](const QStringList& names) {
            offered = names;
            return line;
        });
    }

    QByteArray blueprintBefore;
    QStringList offered;
};

} // namespace

TEST_F(LoadingPictureCommand, MakesTheTextureAndPointsTheBlueprintAtIt)
{
    const QByteArray image = makeImage(true);
    const QString imagePath = tree.writeFile(QStringLiteral("game/Source/loading_Valley.dds"), image);
    expectIntro();
    ui.expectOpenFile(imagePath);
    run(0);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Veltrane Valley Line"), QStringLiteral("Eastfield Branch")}));
    EXPECT_TRUE(ui.messages().size() == 1) << ui.lastMessage().text.toStdString();
    const ScriptedUi::Dialog dialog = ui.dialogs().last();
    EXPECT_EQ(dialog.request.title, QStringLiteral("Convert .dds file to .TgPcDx"));
    EXPECT_EQ(dialog.request.filter, QStringLiteral("DDS Files (*.dds)|*.dds"));
    EXPECT_TRUE(dialog.request.fileName.isEmpty());
    EXPECT_TRUE(dialog.request.initDir.endsWith(QStringLiteral("\\TempFiles")));

    // The texture: the template's pieces around the image's first 262144 bytes.
    const QString textureRel = kTextureDir + QStringLiteral("loading_Valley.TgPcDx");
    const QString xml = platform::decodeAnsi(decode(textureRel));
    SideFile side;
    ASSERT_TRUE(ParseSideFile(platform::decodeAnsi(templateBytes()), side, false));
    ASSERT_TRUE(xml.startsWith(side.Pieces[0]));
    ASSERT_TRUE(xml.endsWith(side.Pieces[1]));
    QString digits = xml.mid(side.Pieces[0].size(), xml.size() - side.Pieces[0].size() - side.Pieces[1].size());
    digits.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_EQ(digits, QString::fromLatin1(image.mid(128, 262144).toHex().toUpper()));
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Source/loading_Valley.xml")));

    // The blueprint points at it; it is changed in place, without a backup.
    const QByteArray blueprint = decode(kBlueprintRel);
    EXPECT_TRUE(blueprint.contains(
        "<TextureID d:type=\"cDeltaString\">VeltraneSamples\\Sample01\\TemplateRoutes\\[00]loading_Valley</TextureID>"));
    const QDir blueprintFolder(QFileInfo(tree.path(kBlueprintRel)).absolutePath());
    EXPECT_EQ(blueprintFolder.entryList({QStringLiteral("ValleyTemplate.*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("ValleyTemplate.bin")});

    // A second run replaces the texture, again without a backup, also when every backup name
    // of the blueprint is taken.
    for (int i = 0; i <= 50; ++i)
        tree.writeFile(kBlueprintRel + QStringLiteral(".bak") + (i ? QString::number(i) : QString()), "old");
    const QByteArray firstTexture = tree.readFile(textureRel);
    tree.writeFile(QStringLiteral("game/Source/loading_Valley.dds"), makeImage(false, 9));
    expectIntro();
    ui.expectOpenFile(imagePath);
    run(0);
    EXPECT_EQ(ui.messages().size(), 2) << ui.lastMessage().text.toStdString();
    EXPECT_NE(tree.readFile(textureRel), firstTexture);
    EXPECT_FALSE(tree.readFile(textureRel).isEmpty());
    EXPECT_EQ(QDir(tree.path(kTextureDir)).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("loading_Valley.TgPcDx")});
    EXPECT_TRUE(decode(kBlueprintRel).contains("TemplateRoutes\\[00]loading_Valley</TextureID>"));
    for (int i = 0; i <= 50; ++i)
        EXPECT_EQ(tree.readFile(kBlueprintRel + QStringLiteral(".bak") + (i ? QString::number(i) : QString())), "old");
}

// Provider, product and blueprint ID come from Routes.xml; one that leads out of the game's
// Assets folder is refused with a message before anything is read, and nothing is written,
// inside the game or out of it.
TEST_F(LoadingPictureCommand, AReferenceLeadingOutOfAssetsIsRefused)
{
    struct Row {
        const char* what;
        const char* element;
        const char* value;
        const char* named; // the blueprint as the message names it, below Assets
    } rows[] = {
        {"provider climbs out", "Provider", "..\\..\\outside\\evil",
         "..\\..\\outside\\evil\\Sample01\\RouteTemplates\\ValleyTemplate.bin"},
        {"product climbs out", "Product", "..\\..\\..\\outside",
         "VeltraneSamples\\..\\..\\..\\outside\\RouteTemplates\\ValleyTemplate.bin"},
        {"blueprint ID climbs out", "BlueprintID", "..\\..\\..\\..\\outside\\ValleyTemplate.xml",
         "VeltraneSamples\\Sample01\\..\\..\\..\\..\\outside\\ValleyTemplate.bin"},
        {"provider names the Assets folder's parent", "Provider", "..",
         "\\Assets\\..\\Sample01\\RouteTemplates\\ValleyTemplate.bin"},
    };
    const QString imagePath = tree.writeFile(QStringLiteral("images/loading_Valley.dds"), makeImage());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        // A blueprint where the reference leads, so that only the check can stop the command.
        tree.writeFile(QStringLiteral("outside/ValleyTemplate.bin"), blueprintBefore);
        tree.writeFile(QStringLiteral("outside/evil/Sample01/RouteTemplates/ValleyTemplate.bin"), blueprintBefore);
        tree.writeFile(QStringLiteral("outside/RouteTemplates/ValleyTemplate.bin"), blueprintBefore);
        tree.writeFile(QStringLiteral("game/Sample01/RouteTemplates/ValleyTemplate.bin"), blueprintBefore);
        QByteArray xml = tree.readFile(QStringLiteral("game/Content/Routes.xml"));
        const QByteArray open = QByteArray("<") + row.element + " d:type=\"cDeltaString\">";
        const qsizetype at = xml.indexOf(open);
        ASSERT_GT(at, 0);
        const qsizetype end = xml.indexOf("</", at);
        xml.replace(at + open.size(), end - at - open.size(), row.value);
        tree.writeFile(QStringLiteral("game/Content/Routes.xml"), xml);
        QDir(tree.path(QStringLiteral("program/TempFiles"))).removeRecursively();
        tree.makeDir(QStringLiteral("program/TempFiles"));

        const QMap<QString, QByteArray> before = everything();
        expectIntro();
        ui.expectMsgBox(vb::vbOK, QStringLiteral("lies outside the game's Assets folder; nothing has been changed."));
        ui.clearRecords();
        run(0);
        ui.verifyDone();
        EXPECT_EQ(ui.messages().size(), 2);
        EXPECT_TRUE(ui.lastMessage().text.contains(QString::fromLatin1(row.named)))
            << ui.lastMessage().text.toStdString();
        EXPECT_TRUE(everything() == before);
        EXPECT_EQ(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files), QStringList());
    }
}

// The texture's place behind a link that leads nowhere (its TemplateRoutes folder, or the
// texture itself, kept on a disk that is not mounted) is missing: the command says so after the
// image is chosen, and nothing is made, in the game or through the link.
TEST_F(LoadingPictureCommand, ATexturePlaceBehindALinkThatLeadsNowhereIsMissing)
{
    const QString imagePath = tree.writeFile(QStringLiteral("images/loading_Valley.dds"), makeImage());
    tree.makeDir(QStringLiteral("unplugged"));
    for (const bool wholeFolder : {true, false}) {
        SCOPED_TRACE(wholeFolder ? "TemplateRoutes" : "the texture");
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        const QString templateRoutes = tree.path(kTextureDir);
        if (wholeFolder) {
            ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("unplugged/TemplateRoutes")), templateRoutes.chopped(1)));
        } else {
            tree.makeDir(kTextureDir);
            ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("unplugged/loading_Valley.TgPcDx")),
                                    templateRoutes + QStringLiteral("loading_Valley.TgPcDx")));
        }
        const QMap<QString, QByteArray> before = snapshot();
        expectIntro();
        ui.expectOpenFile(imagePath);
        ui.expectMsgBox(vb::vbOK, QStringLiteral("TemplateRoutes\\loading_Valley.TgPcDx cannot be made: its place is missing"));
        run(0);
        ui.verifyDone();
        EXPECT_TRUE(snapshot() == before);
        EXPECT_EQ(QDir(tree.path(QStringLiteral("unplugged"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QDir(tree.gamePath()).removeRecursively();
    }
}

TEST_F(LoadingPictureCommand, PictureNameStopsAtTheFirstDot)
{
    // The sample's own loading picture, under another name.
    const QByteArray sample = tree.readFile(QStringLiteral("game/Source/loading_Valley.dds"));
    ASSERT_EQ(sample.size(), 128 + 262144);
    EXPECT_EQ(sample.mid(84, 4), QByteArray("DXT1"));
    const QString imagePath = tree.writeFile(QStringLiteral("game/Source/loading_Glen.new.dds"), sample);
    expectIntro();
    ui.expectOpenFile(imagePath);
    run(0);
    EXPECT_TRUE(tree.exists(kTextureDir + QStringLiteral("loading_Glen.TgPcDx")));
    EXPECT_TRUE(decode(kBlueprintRel).contains("TemplateRoutes\\[00]loading_Glen</TextureID>"));
}

TEST_F(LoadingPictureCommand, FailuresLeaveTheGameAsItWas)
{
    // The images lie outside the game, where the texture's XML is written beside them.
    const QString imagePath = tree.writeFile(QStringLiteral("images/loading_Valley.dds"), makeImage());
    const QString shortPath = tree.writeFile(QStringLiteral("images/loading_Short.dds"), makeImage().left(262144));
    struct Row {
        const char* what;
        QByteArray serzFail;    // input file name the serializer refuses
        int intro;              // answer to the first message
        int line;               // route line chosen
        const char* image;      // file dialog answer; null: no dialog expected
        const char* message;    // expected part of the message; null: none
        std::function<void(TempTree&)> prepare;
    } rows[] = {
        {"Cancel in the first message", "", vb::vbCancel, 0, nullptr, nullptr, {}},
        {"Cancel in the route dialog", "", vb::vbOK, 9999, nullptr, nullptr, {}},
        {"a line that names no route", "", vb::vbOK, 7, nullptr, nullptr, {}},
        {"Cancel in the file dialog", "", vb::vbOK, 0, "", nullptr, {}},
        {"the blueprint cannot be read", "ValleyTemplate.bin", vb::vbOK, 0, nullptr, "could not be read", {}},
        {"the texture cannot be made", "loading_Valley.xml", vb::vbOK, 0, "v", "has not been made", {}},
        {"a short image", "", vb::vbOK, 0, "s", "holds 262144 bytes", {}},
        {"a route without its blueprint", "", vb::vbOK, 1, nullptr, "Eastfield Branch\" has no blueprint reference",
         [](TempTree& t) {
             QByteArray xml = t.readFile(QStringLiteral("game/Content/Routes.xml"));
             const qsizetype second = xml.indexOf("<cRouteProperties d:id=\"200000023\">");
             const qsizetype at = xml.indexOf("<Provider", second);
             ASSERT_GT(second, 0);
             xml.replace(at, 9, "<Provider");
             xml.replace(at, 9, "<Supplier");
             xml.replace(xml.indexOf("</Provider>", at), 11, "</Supplier>");
             t.writeFile(QStringLiteral("game/Content/Routes.xml"), xml);
         }},
        {"a missing blueprint", "", vb::vbOK, 0, nullptr, "ValleyTemplate.bin was not found",
         [](TempTree& t) { QFile::remove(t.path(kBlueprintRel)); }},
        {"a missing template", "", vb::vbOK, 0, nullptr, "loading_default.dat was not found",
         [](TempTree& t) { QFile::remove(t.path(QStringLiteral("program/Templates/loading_default.dat"))); }},
        {"a damaged template", "", vb::vbOK, 0, nullptr, "loading_default.dat is damaged",
         [](TempTree& t) { t.writeFile(QStringLiteral("program/Templates/loading_default.dat"), " 1\r\n\"x\r\n"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        ASSERT_TRUE(copyProgramData(tree.programPath()));
        if (row.prepare)
            row.prepare(tree);
        const QMap<QString, QByteArray> before = snapshot();
        ScopedEnv fail("SERZ_FAIL", row.serzFail);
        expectIntro(row.intro);
        if (row.image)
            ui.expectOpenFile(QString::fromLatin1(row.image) == QLatin1String("v") ? imagePath
                              : QString::fromLatin1(row.image) == QLatin1String("s") ? shortPath
                                                                                      : QString());
        if (row.message)
            ui.expectMsgBox(vb::vbOK, QString::fromLatin1(row.message));
        ui.clearRecords();
        run(row.line);
        ui.verifyDone();
        EXPECT_EQ(ui.messages().size(), row.message ? 2 : 1);
        EXPECT_TRUE(snapshot() == before);
        QDir(tree.path(QStringLiteral("game/Assets/VeltraneSamples/Sample01/TemplateRoutes"))).removeRecursively();
    }
}

TEST_F(LoadingPictureCommand, NoGhostEntryIsReportedBeforeTheFileDialog)
{
    // A blueprint without "<Ghostentry".
    QByteArray xml = decode(kBlueprintRel);
    xml.replace("Ghostentry", "Otherentry");
    const QString source = tree.writeFile(QStringLiteral("work/ValleyTemplate.xml"), xml);
    QFile::remove(tree.path(kBlueprintRel));
    ASSERT_TRUE(RunSerz(source, serz::ToBin, tree.path(kBlueprintRel), tree.programPath()).ok);
    const QMap<QString, QByteArray> before = snapshot();
    expectIntro();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("has no \"TextureID\" in a \"Ghostentry\""));
    run(0);
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(LoadingPictureCommand, BlueprintFailureAfterTheTextureIsReported)
{
    const QString imagePath = tree.writeFile(QStringLiteral("game/Source/loading_Valley.dds"), makeImage());
    ScopedEnv fail("SERZ_FAIL", "ValleyTemplate.xml");
    expectIntro();
    ui.expectOpenFile(imagePath);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("is in place, but the route's blueprint "));
    run(0);
    EXPECT_TRUE(tree.exists(kTextureDir + QStringLiteral("loading_Valley.TgPcDx")));
    EXPECT_EQ(tree.readFile(kBlueprintRel), blueprintBefore);
    EXPECT_FALSE(tree.exists(kBlueprintRel + QStringLiteral(".bak")));
}
