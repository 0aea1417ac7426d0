// The texture commands with real files and the test serializer: a texture of the sample game to
// a DDS image and back, the editor and viewer, every message, and every failure path of the
// write-back leaving the texture as it was.

#include "hub/TextureCommands.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "textures/TextureCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include "support/ScopedEnv.h"

using namespace hub;
using namespace textures;

namespace {

const QString kTextureRel = QStringLiteral("Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx");
const QString kBase = QStringLiteral("VS_Oak01.");

QByteArray sourceXml()
{
    QFile f(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + kTextureRel + QStringLiteral(".xml"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TextureCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        ASSERT_TRUE(installSerz(tree.systemPath()));
        original = tree.readFile(QStringLiteral("game/") + kTextureRel);
        ASSERT_FALSE(original.isEmpty());
        // The path as the program builds it, with backslashes.
        texture = tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\Textures\\VS_Oak01.TgPcDx");
    }

    // What the texture open leaves: the texture's XML, converted in "TempDDS".
    QString openTexture()
    {
        tree.makeDir(QStringLiteral("program/TempDDS"));
        const QString work = tree.path(QStringLiteral("program/TempDDS/VS_Oak01."));
        EXPECT_TRUE(QFile::copy(tree.path(QStringLiteral("game/") + kTextureRel), work + QStringLiteral("bin")));
        const ConversionResult r = RunSerz(work + QStringLiteral("bin"), serz::ToXml, work + QStringLiteral("xml"),
                                           tree.programPath());
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        return platform::decodeAnsi(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.xml")));
    }

    // Converts the opened texture to the image and its side file.
    void toDds()
    {
        const QString xml = openTexture();
        ui.expectMsgBox(vb::vbOK, QStringLiteral("If you wish to edit"));
        ASSERT_TRUE(ConvertTextureToDds(texture, xml, kBase));
        ui.clearRecords();
    }

    QString ddsPath() const { return tree.path(QStringLiteral("program/TempDDS/VS_Oak01.dds")); }

    // The texture as the game now holds it, turned back into XML.
    QByteArray textureXmlNow()
    {
        const QString out = tree.path(QStringLiteral("check.xml"));
        const ConversionResult r = RunSerz(tree.path(QStringLiteral("game/") + kTextureRel), serz::ToXml, out, QString());
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        return tree.readFile(out);
    }

    // The texture and its folder are as they were: no backup, no stray file.
    void expectTextureUntouched()
    {
        EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel), original);
        const QStringList entries = QDir(QFileInfo(tree.path(QStringLiteral("game/") + kTextureRel)).absolutePath())
                                        .entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(entries, QStringList{QStringLiteral("VS_Oak01.TgPcDx")});
    }

    TempTree tree;
    ScriptedUi ui;
    QByteArray original;
    QString texture;
};

} // namespace

// ---- texture to DDS ----

TEST_F(TextureCommands, TextureBecomesImageAndSideFile)
{
    const QString xml = openTexture();
    QDir(tree.path(QStringLiteral("program/TempDDS"))).removeRecursively(); // made again when missing
    ui.expectMsgBox(vb::vbOK);
    ASSERT_TRUE(ConvertTextureToDds(texture, xml, kBase));

    const ScriptedUi::Message note = ui.lastMessage();
    EXPECT_EQ(note.text, QStringLiteral("If you wish to edit this file, then it must be saved with the following format:-\r\n"
                                        "1. .DDS\r\n2. DXT1 ARGB\r\n3. Number of Mip-Maps - 5"));
    EXPECT_EQ(note.title, QStringLiteral("Editing .dds files"));
    EXPECT_EQ(note.style, vb::vbOKOnly + vb::vbInformation);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    // 16 by 16 DXT1, five levels: 128 + 32 + 8 + 8 + 8 bytes after the header.
    const QByteArray dds = tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"));
    ASSERT_EQ(dds.size(), 128 + 184);
    EXPECT_EQ(dds.left(32), QByteArray::fromHex("444453207C000000" "07100A00" "10000000" "10000000" "80000000" "00000000" "05000000"));
    EXPECT_EQ(dds.mid(84, 4), QByteArray("DXT1"));
    EXPECT_EQ(dds.mid(128, 8), QByteArray::fromHex("A52CC3121B1B1B1B"));
    EXPECT_EQ(dds.right(8), QByteArray::fromHex("A52CC3121B1B1B1B"));

    const QString dat = platform::decodeAnsi(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dat")));
    EXPECT_TRUE(dat.startsWith(QStringLiteral(" 5\r\n\"<?xml version=#1.0# encoding=#utf-8#?>\r\n")));
    EXPECT_TRUE(dat.endsWith(QStringLiteral("\r\n128\r\n32\r\n8\r\n8\r\n8\r\n\"") + texture + QStringLiteral("\"\r\n")));
    EXPECT_EQ(textureWork().BlobCount, 5);
}

TEST_F(TextureCommands, TextureRefusalsSayWhy)
{
    const QString xml = openTexture();
    const QString dat = tree.path(QStringLiteral("program/TempDDS/VS_Oak01.dat"));
    const auto refused = [&](const QString& box, const QString& text, const QString& message) {
        ui.clearRecords();
        ui.expectMsgBox(vb::vbOK);
        EXPECT_FALSE(ConvertTextureToDds(box, text, kBase));
        ASSERT_EQ(ui.messages().size(), 1) << message.toStdString();
        EXPECT_EQ(ui.lastMessage().text, message);
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    };

    refused(tree.path(QStringLiteral("game/a.bin")), xml, QStringLiteral("You do not appear to have opened a .TgPcDx file?"));
    EXPECT_FALSE(QFile::exists(dat));

    // A texture below a folder the code page lacks: its header file could not name it, so the
    // image could never go back; nothing is made or removed.
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"), "old");
    const QString foreign = tree.path(unwritableName()) + QStringLiteral("\\VS_Oak01.TgPcDx");
    refused(foreign, xml,
            UnwritablePathMessage(foreign) + QStringLiteral("\r\nThe texture has not been converted to a .dds file."));
    EXPECT_FALSE(QFile::exists(dat));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds")), QByteArray("old"));

    // An unsupported format still removes an earlier image; the earlier side file stays.
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"), "old");
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dat"), "old");
    refused(texture.toLower(), QString(xml).replace(QStringLiteral("HC_IMAGE_FORMAT_COMPRESSED"), QStringLiteral("HC_IMAGE_FORMAT_PAL8")),
            QStringLiteral("Sorry, unable to convert files of the following type at this time:- HC_IMAGE_FORMAT_PAL8\r\n"));
    EXPECT_FALSE(QFile::exists(ddsPath()));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dat")), QByteArray("old"));

    QString seventeen = xml;
    const QString level = QStringLiteral("<d:blob d:size=\"8\">A52CC3121B1B1B1B </d:blob>\r\n");
    seventeen.replace(QStringLiteral("\t</Levels>"), level.repeated(12) + QStringLiteral("\t</Levels>"));
    refused(texture, seventeen, QStringLiteral("Sorry, unable to convert files of the following type at this time:-Multiple-Texture file.\r\n"));

    refused(texture, QString(xml).replace(QStringLiteral("VS_Oak01</Name>"), QStringLiteral("VS_Oak#1</Name>")),
            QStringLiteral("Sorry, unable to convert this file:- the texture holds the character # outside its image data, "
                           "which the .dat file cannot keep."));
    refused(texture, QString(xml).replace(QStringLiteral("A52DC3130A0A0A0A 856A"), QStringLiteral("A52DC3130A0A0A0A x56A")),
            QStringLiteral("Sorry, unable to convert this file:- the data of level 2 of the texture holds characters other "
                           "than hexadecimal digits and white space."));
    refused(texture, QString(xml).replace(QStringLiteral("d:size=\"32\""), QStringLiteral("d:size=\"-32\"")),
            QStringLiteral("Sorry, unable to convert this file:- the size of level 2 of the texture is not a whole number "
                           "from 0 to 2147483647."));
    refused(texture, QString(xml).replace(QStringLiteral("d:size=\"32\""), QStringLiteral("d:size=\"2147483647\"")),
            QStringLiteral("Sorry, unable to convert this file:- the sizes of its levels add up to more than a .dds file can hold."));
    refused(texture, QString(xml).replace(QStringLiteral("</d:blob>\r\n\t</Levels>"), QStringLiteral("\r\n\t</Levels>")),
            QStringLiteral("Sorry, unable to convert this file:- level 5 of the texture has no size in double quotes or no "
                           "closing </d:blob> tag."));
    EXPECT_FALSE(QFile::exists(ddsPath()));

    // An image that cannot be written: the side file is not written and no note is shown.
    QFile::remove(dat);
    tree.makeDir(QStringLiteral("program/TempDDS/VS_Oak01.dds"));
    refused(texture, xml, QStringLiteral("The file ") + DdsPathFor(kBase) + QStringLiteral(" could not be written."));
    EXPECT_FALSE(QFile::exists(dat));
    QDir(ddsPath()).removeRecursively();

    // A side file that cannot be written: no note either.
    tree.makeDir(QStringLiteral("program/TempDDS/VS_Oak01.dat"));
    refused(texture, xml, QStringLiteral("The file ") + platform::programFolder() + QStringLiteral("\\TempDDS\\VS_Oak01.dat could not be written."));
}

TEST_F(TextureCommands, NoBaseNameGivesAFileNamedDds)
{
    const QString xml = openTexture();
    ui.expectMsgBox(vb::vbOK);
    ASSERT_TRUE(ConvertTextureToDds(texture, xml, QString()));
    EXPECT_TRUE(tree.exists(QStringLiteral("program/TempDDS/dds")));
    EXPECT_TRUE(tree.exists(QStringLiteral("program/TempDDS/dat")));
}

// ---- editor and viewer ----

TEST_F(TextureCommands, EditorAndViewerNeedTheirSetting)
{
    ui.expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK);
    EXPECT_FALSE(EditDdsFile(kBase));
    EXPECT_FALSE(ViewDdsFile(kBase));
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages()[0].text,
              QStringLiteral("To edit DDS files you need to install a suitable paint program (e.g. PSP with .dds plugin) on your PC "
                             "\r\nand select the path from the Options menu."));
    EXPECT_EQ(ui.messages()[1].text,
              QStringLiteral("To view DDS files you need to install a suitable Texture viewer (e.g. IrfanView) on your PC "
                             "\r\nand select the path from the Options menu."));
    EXPECT_EQ(ui.messages()[1].style, vb::vbOKOnly + vb::vbExclamation);
}

TEST_F(TextureCommands, EditorAndViewerRunOnTheImageAndAreWaitedFor)
{
    // A program that notes its folder and arguments, after a pause that the command must wait out.
    const auto program = [&](const QString& name) {
        const QString path = tree.writeFile(QStringLiteral("tools/") + name,
                                            "#!/bin/sh\nsleep 0.3\npwd > \"$0.log\"\nfor a in \"$@\"; do echo \"$a\" >> \"$0.log\"; done\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    };
    shared().TextureEditorPath = program(QStringLiteral("paint program"));
    shared().ViewerPath = program(QStringLiteral("viewer"));
    QDir::setCurrent(tree.rootPath());

    EXPECT_TRUE(EditDdsFile(kBase));
    const QByteArray expected = tree.programPath().toUtf8() + "\n" + platform::nativePath(DdsPathFor(kBase)).toUtf8() + "\n";
    EXPECT_EQ(tree.readFile(QStringLiteral("tools/paint program.log")), expected);
    EXPECT_TRUE(ViewDdsFile(kBase));
    EXPECT_EQ(tree.readFile(QStringLiteral("tools/viewer.log")), expected);
    EXPECT_TRUE(ui.messages().isEmpty());
}

// ---- DDS back to the texture ----

TEST_F(TextureCommands, ImageGoesBackIntoTheTextureWithABackup)
{
    toDds();
    // A blueprint of the same base name beside the texture is never touched.
    const QByteArray blueprint = "SERZBIN1 not a texture";
    tree.writeFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.bin"), blueprint);

    QString shown;
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes);
    ASSERT_TRUE(ConvertDdsToTexture([&](const QString& xml) { shown = xml; }));

    const ScriptedUi::Dialog dialog = ui.dialogs().first();
    EXPECT_EQ(dialog.request.title, QStringLiteral("Convert .dds file"));
    EXPECT_EQ(dialog.request.filter, QStringLiteral("DDS Files (*.dds)|*.dds"));
    EXPECT_EQ(dialog.request.filterIndex, 1);
    EXPECT_EQ(dialog.request.fileName, QString());
    EXPECT_EQ(dialog.request.initDir, platform::programFolder() + QStringLiteral("\\TempDDS"));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("This option will convert your modified file ") + ddsPath()
                                         + QStringLiteral("\r\nto ") + texture
                                         + QStringLiteral("\r\nand create a backup of the original file. Continue?"));
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbExclamation);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    // The unchanged image gives the original texture, byte for byte; the original is the backup.
    EXPECT_EQ(platform::encodeAnsi(shown), sourceXml());
    EXPECT_EQ(textureXmlNow(), sourceXml());
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel), original);
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel + QStringLiteral(".bak")), original);
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.bin")), blueprint);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempDDS")));
}

TEST_F(TextureCommands, EditedImageChangesItsLevelAndTakesTheNextBackupName)
{
    tree.writeFile(QStringLiteral("game/") + kTextureRel + QStringLiteral(".bak"), "older");
    toDds();
    // The editor changed the first byte of level 2 and the last byte of the image.
    QByteArray dds = tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"));
    dds[128 + 128] = char(0xC4);
    dds[dds.size() - 1] = char(0x01);
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"), dds);

    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes);
    ASSERT_TRUE(ConvertDdsToTexture({}));

    QByteArray expected = sourceXml();
    expected.replace("<d:blob d:size=\"32\">A52C", "<d:blob d:size=\"32\">C42C");
    const qsizetype last = expected.lastIndexOf("1B1B1B1B </d:blob>");
    expected.replace(last, 8, "1B1B1B01");
    EXPECT_EQ(textureXmlNow(), expected);
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel + QStringLiteral(".bak")), QByteArray("older"));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel + QStringLiteral(".bak1")), original);
}

TEST_F(TextureCommands, ImageFromAnotherFolderIsConvertedBesideIt)
{
    toDds();
    tree.makeDir(QStringLiteral("mine"));
    QFile::copy(ddsPath(), tree.path(QStringLiteral("mine/Oak.dds")));
    QFile::copy(tree.path(QStringLiteral("program/TempDDS/VS_Oak01.dat")), tree.path(QStringLiteral("mine/Oak.dat")));

    ui.expectOpenFile(tree.path(QStringLiteral("mine/Oak.dds"))).expectMsgBox(vb::vbYes);
    ASSERT_TRUE(ConvertDdsToTexture({}));
    EXPECT_EQ(tree.readFile(QStringLiteral("mine/Oak.xml")), sourceXml());
    EXPECT_EQ(textureXmlNow(), sourceXml());
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempDDS")));
}

TEST_F(TextureCommands, WriteBackFailuresLeaveTheTextureAsItWas)
{
    toDds();
    const QString datRel = QStringLiteral("program/TempDDS/VS_Oak01.dat");
    const QByteArray dat = tree.readFile(datRel);
    const QByteArray dds = tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"));
    const auto failsWith = [&](const QString& message) {
        ui.clearRecords();
        EXPECT_FALSE(ConvertDdsToTexture([](const QString&) {}));
        ui.verifyDone();
        if (message.isEmpty()) {
            EXPECT_EQ(ui.messages().size(), ui.dialogs().size() - 1); // only the question, if any
        } else {
            ASSERT_FALSE(ui.messages().isEmpty());
            EXPECT_EQ(ui.lastMessage().text, message);
            EXPECT_EQ(ui.lastMessage().style & 0x70, vb::vbExclamation);
        }
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        expectTextureUntouched();
    };

    // No image chosen, the answer No.
    ui.expectOpenFile(QString());
    failsWith(QString());
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbNo);
    failsWith(QString());

    // No side file, a damaged one.
    QFile::remove(tree.path(datRel));
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbOK);
    failsWith(QStringLiteral("No header file found in TempFiles for this .dds file, cannot process further."));
    tree.writeFile(datRel, dat.left(dat.size() / 2));
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbOK);
    failsWith(QStringLiteral("The header file ") + tree.path(QStringLiteral("program/TempDDS/VS_Oak01.dat"))
              + QStringLiteral(" is damaged, cannot process further."));
    tree.writeFile(datRel, dat);

    // An image shorter than its header and levels need.
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"), dds.left(dds.size() - 1));
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
    failsWith(QStringLiteral("The file ") + ddsPath() + QStringLiteral(" holds 311 bytes, but its header and the 5 levels "
                                                                         "named in its header file need 312 bytes. It must be "
                                                                         "saved with the format and the number of Mip-Maps it "
                                                                         "had; ")
              + texture + QStringLiteral(" has not been changed."));
    tree.writeFile(QStringLiteral("program/TempDDS/VS_Oak01.dds"), dds);

    // The rebuilt XML cannot be written.
    QFile::remove(tree.path(QStringLiteral("program/TempDDS/VS_Oak01.xml")));
    tree.makeDir(QStringLiteral("program/TempDDS/VS_Oak01.xml"));
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
    failsWith(QStringLiteral("An error occurred while writing ") + tree.path(QStringLiteral("program/TempDDS/VS_Oak01.xml")));
    QDir(tree.path(QStringLiteral("program/TempDDS/VS_Oak01.xml"))).removeRecursively();

    // serz.exe fails: the texture, its folder and the image and side file stay.
    {
        ScopedEnv fail("SERZ_FAIL", "VS_Oak01.xml");
        ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
        failsWith(QStringLiteral("SERZ.EXE could not convert ") + tree.path(QStringLiteral("program/TempDDS/VS_Oak01.xml"))
                  + QStringLiteral(" (exit status 2).\r\n") + texture + QStringLiteral(" has not been changed."));
    }
    EXPECT_EQ(tree.readFile(datRel), dat);
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds")), dds);

    // Every backup name taken.
    const QString textureRel = QStringLiteral("game/") + kTextureRel;
    tree.writeFile(textureRel + QStringLiteral(".bak"), "b");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(textureRel + QStringLiteral(".bak") + QString::number(n), "b");
    ui.clearRecords();
    ui.expectOpenFile(ddsPath()).expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
    EXPECT_FALSE(ConvertDdsToTexture({}));
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("All 51 backup names of ") + texture));
    EXPECT_EQ(tree.readFile(textureRel), original);
    EXPECT_EQ(tree.readFile(textureRel + QStringLiteral(".bak50")), QByteArray("b"));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempDDS/VS_Oak01.dds")), dds);
}
