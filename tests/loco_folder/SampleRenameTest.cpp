// The new loco's text work and its rename walk, without the window.

#include "assets/LocoFolder.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/FolderContents.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace assets;

TEST(LocoFolder, TypeSampleFolderAndBatchLine)
{
    struct Case {
        const char* text;
        const char* type;
        bool isType;
    } cases[] = {
        {"C:\\G\\Source\\Dev\\Add\\RailVehicles\\Diesel", "Diesel", true},
        {"C:\\G\\Source\\x\\electric", "electric", true},
        {"C:\\G\\Source\\x\\STEAM", "STEAM", true},
        {"C:\\G\\Source\\x\\Steam\\", "", false},
        {"C:\\", "", false},
        {"C:\\G\\Source\\x\\Diesels", "Diesels", false},
        {"Diesel", "Diesel", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(locoTypeOf(QString::fromLatin1(c.text)), QString::fromLatin1(c.type)) << c.text;
        EXPECT_EQ(isLocoType(QString::fromLatin1(c.type)), c.isType) << c.text;
    }
    const QString sample = locoSampleFolder(QStringLiteral("C:\\Games\\RS"), QStringLiteral("dIesel"));
    EXPECT_EQ(sample, QStringLiteral("C:\\Games\\RS\\Source\\Developer\\Addon\\RailVehicles\\dIesel\\EngineSample\\Default"));
    EXPECT_EQ(locoCopyBatchLine(sample, QStringLiteral("C:\\Games\\RS\\Source\\Me\\Diesel\\Dart")).toLatin1(),
              QByteArray("call xcopy \"C:\\Games\\RS\\Source\\Developer\\Addon\\RailVehicles\\dIesel\\EngineSample\\"
                         "Default\\*.*\" \"C:\\Games\\RS\\Source\\Me\\Diesel\\Dart\" /e /s /y\r\n"));
}

TEST(LocoFolder, RenameWalkReplacesSampleInFileNamesOnly)
{
    ScriptedUi ui;
    TempTree tree;
    for (const char* file : {"loco/Sample.igs", "loco/sample_cab.txt", "loco/SampleCab_SAMPLE.txt", "loco/Other.txt",
                             "loco/SampleParts/Sample_bogie.txt", "loco/Textures/deep/sAmPlE.ace",
                             "loco/Sample_old.txt", "loco/dart_old.txt", "loco/Textures/Sample.igs",
                             "outside/Sample_out.txt"})
        tree.writeFile(QString::fromLatin1(file), QByteArray(file));
    // A linked folder is walked as the folder it leads to; a link back up ends there, and one
    // that leads nowhere is named.
    ASSERT_TRUE(QFile::link(tree.path("outside"), tree.path("loco/Linked")));
    ASSERT_TRUE(QFile::link(tree.path("loco"), tree.path("loco/Textures/Up")));
    ASSERT_TRUE(QFile::link(tree.path("unplugged"), tree.path("loco/Gone")));

    // The walk takes the game's form of the folder: backslashes after the root.
    const QString folder = tree.rootPath() + QStringLiteral("\\loco");
    const SampleRenameResult result = RenameSampleFiles(folder, QStringLiteral("Dart"));

    EXPECT_EQ(filesBelow(tree.path("loco")),
              (QStringList{"Dart.igs", "DartCab_Dart.txt", "Dart_cab.txt", "Other.txt",
                           "SampleParts/Dart_bogie.txt", "Sample_old.txt", "Textures/Dart.igs",
                           "Textures/deep/Dart.ace", "dart_old.txt"}));
    EXPECT_EQ(filesBelow(tree.path("outside")), QStringList{"Dart_out.txt"});
    EXPECT_EQ(tree.readFile("loco/SampleParts/Dart_bogie.txt"), QByteArray("loco/SampleParts/Sample_bogie.txt"));
    EXPECT_EQ(result.skipped,
              QStringList{folder + QStringLiteral("\\Sample_old.txt was not renamed: Dart_old.txt is there already")});
    const QStringList gone{folder + QStringLiteral("\\Gone is missing (a link that leads nowhere)")};
    EXPECT_EQ(result.failed, gone);
    EXPECT_EQ(sampleRenameReport(result), result.skipped + gone);

    // A second walk finds nothing left to do but the taken name.
    const SampleRenameResult again = RenameSampleFiles(folder + QLatin1Char('\\'), QStringLiteral("Dart"));
    EXPECT_EQ(again.skipped, result.skipped);
    EXPECT_EQ(again.failed, gone);

    // A folder that is not there is reported, not walked.
    const SampleRenameResult missing = RenameSampleFiles(tree.rootPath() + QStringLiteral("\\none"), "Dart");
    EXPECT_EQ(missing.failed, QStringList{tree.rootPath() + QStringLiteral("\\none could not be listed")});
    EXPECT_TRUE(ui.messages().isEmpty());
}
