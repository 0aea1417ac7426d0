// The values of both asset clones on one blueprint, the batch line byte for byte, the new
// blueprint's text and what the naming dialog refuses.

#include "assets/AssetClone.h"
#include "assets/ChildEntries.h"

#include <gtest/gtest.h>

using namespace assets;

namespace {

const QString kDiesel = QStringLiteral("C:\\Games\\RS\\Assets\\P\\Q\\RailVehicles\\Diesel");
const QString kBlueprint = kDiesel + QStringLiteral("\\Class1\\Engine\\loco.bin");

} // namespace

TEST(AssetClone, WorkedExampleOfBothCommands)
{
    struct Case {
        CloneKind kind;
        QString sourceFolder;
        QString folderBox;
        QString typed;
        QString batch;
        QString pair;
        QString oldNameCopy;
        QString newBlueprint;
    } cases[] = {
        {CloneKind::Asset, kDiesel + "\\Class1\\Engine", kDiesel + "\\Class1\\", kDiesel + "\\Class1\\Engine2",
         "Call xcopy \"" + kDiesel + "\\Class1\\Engine\\*.*\" \"" + kDiesel + "\\Class1\\Engine2\\*.*\" /s /y\r\n",
         "Class1\\Engine2", kDiesel + "\\Class1\\Engine2\\loco.bin", kDiesel + "\\Class1\\Engine2\\loco2.bin"},
        {CloneKind::DefaultAsset, kDiesel + "\\Class1", kDiesel + "\\", kDiesel + "\\Class2",
         "Call xcopy \"" + kDiesel + "\\Class1\\*.*\" \"" + kDiesel + "\\Class2\\*.*\" /s /y\r\n", "Class2\\Engine",
         kDiesel + "\\Class2\\Engine\\loco.bin", kDiesel + "\\Class2\\Engine\\loco2.bin"},
    };
    for (const Case& c : cases) {
        const int k = int(c.kind);
        const CloneSource s = cloneSource(c.kind, kBlueprint);
        EXPECT_EQ(s.oldFileName, "loco.bin") << k;
        EXPECT_EQ(s.baseName, "loco") << k;
        EXPECT_EQ(s.blueprintFolderName, "Engine") << k;
        EXPECT_EQ(s.oldFolderPair, "Class1\\Engine") << k;
        EXPECT_EQ(s.sourceFolder, c.sourceFolder) << k;
        EXPECT_EQ(s.folderBox(), c.folderBox) << k;
        const CloneTarget t = cloneTarget(c.kind, s, c.typed, QStringLiteral("loco2"));
        EXPECT_EQ(cloneBatchLine(s.sourceFolder, t.folder).toLatin1(), c.batch.toLatin1()) << k;
        EXPECT_EQ(t.newFolderPair, c.pair) << k;
        EXPECT_EQ(t.oldNameCopy, c.oldNameCopy) << k;
        EXPECT_EQ(t.newBlueprint, c.newBlueprint) << k;
        // The typed folder with a trailing backslash names the same folder.
        const CloneTarget same = cloneTarget(c.kind, s, c.typed + "\\", QStringLiteral("loco2"));
        EXPECT_EQ(same.folder, c.typed) << k;
        EXPECT_EQ(same.newFolderPair, c.pair) << k;
        EXPECT_EQ(same.newBlueprint, c.newBlueprint) << k;
    }
    // A folder box left as proposed (or naming that folder otherwise): the copy goes into the
    // proposed folder itself, and the copied folder's name drops out of the pair.
    const struct {
        CloneKind kind;
        QString typed;
        QString folder;
        QString pair;
    } proposed[] = {
        {CloneKind::Asset, kDiesel + "\\Class1\\", kDiesel + "\\Class1", "Class1\\"},
        {CloneKind::Asset, kDiesel + "\\CLASS1", kDiesel + "\\CLASS1", "Class1\\"},
        {CloneKind::Asset, kDiesel + "\\Class1\\Engine\\..", kDiesel + "\\Class1\\Engine\\..", "Class1\\"},
        {CloneKind::DefaultAsset, kDiesel + "\\", kDiesel, "\\Engine"},
    };
    for (const auto& p : proposed) {
        const CloneSource s = cloneSource(p.kind, kBlueprint);
        const CloneTarget t = cloneTarget(p.kind, s, p.typed, QStringLiteral("x"));
        EXPECT_EQ(t.folder, p.folder) << p.typed.toStdString();
        EXPECT_EQ(t.newFolderPair, p.pair) << p.typed.toStdString();
    }
    // A name without an extension is its own base name.
    EXPECT_EQ(cloneSource(CloneKind::Asset, "C:\\A\\B\\C\\noext").baseName, "noext");
}

TEST(AssetClone, NewBlueprintTextRenamesAndMovesThePairInAnyCase)
{
    const QString xml = QStringLiteral(
        "<Name d:type=\"cDeltaString\">Class 1</Name>\r\n"
        "<English d:type=\"cDeltaString\">Class 1</English>\r\n<French>Classe 1</French>\r\n"
        "<Italian>x</Italian>\r\n<German>x</German>\r\n<Spanish>x</Spanish>\r\n"
        "<GeometryID>RailVehicles\\Diesel\\class1\\ENGINE\\loco</GeometryID>\r\n"
        "<BlueprintID>RailVehicles\\Diesel\\Class1\\Engine\\cab.xml</BlueprintID>\r\n"
        "<Other>Class1\\Engines\\x</Other>");
    const QString golden = QStringLiteral(
        "<Name d:type=\"cDeltaString\">Class 2</Name>\r\n"
        "<English d:type=\"cDeltaString\">Class 2</English>\r\n<French>Class 2</French>\r\n"
        "<Italian>Class 2</Italian>\r\n<German>Class 2</German>\r\n<Spanish>Class 2</Spanish>\r\n"
        "<GeometryID>RailVehicles\\Diesel\\Class2\\Engine\\loco</GeometryID>\r\n"
        "<BlueprintID>RailVehicles\\Diesel\\Class2\\Engine\\cab.xml</BlueprintID>\r\n"
        "<Other>Class2\\Engines\\x</Other>\r\n");
    EXPECT_EQ(clonedBlueprintText(xml, "Class 2", "Class1\\Engine", "Class2\\Engine"), golden);
    EXPECT_EQ(clonedBlueprintText(QString(), "Class 2", "Class1\\Engine", "Class2\\Engine"), "\r\n");
}

TEST(AssetClone, NamingDialogRefusals)
{
    const QString source = kDiesel + "\\Class1\\Engine";
    const QString empty = emptyBoxMessage();
    const QString into = cloneIntoSourceMessage(source);
    struct Case {
        QString file;
        QString name;
        QString folder;
        QString refusal; // "" accepted; "file" and "folder" the bad-name messages
    } cases[] = {
        {"loco2", "Class 2", kDiesel + "\\Class1\\Engine2", ""},
        {"loco2", "   ", kDiesel + "\\Class1", ""}, // a blank internal name counts as filled
        {"loco2", "x", kDiesel + "\\Class1\\Engine2\\", ""},
        {"loco2", "x", "/home/me/game/Assets/x", ""},
        {"loco2", "x", kDiesel + "\\Class1\\Engine 2", ""},
        {"", "x", kDiesel, empty},
        {"a", "", kDiesel, empty},
        {"a", "x", "", empty},
        {"a?", "x", kDiesel, "file"},
        {"a\\b", "x", kDiesel, "file"},
        {"  ", "x", kDiesel, "file"},
        {"..", "x", kDiesel, "file"},
        {"a", "x", "Class2", "folder"},
        {"a", "x", "..\\Class2", "folder"},
        {"a", "x", kDiesel + "\\Cl*ss2", "folder"},
        {"a", "x", kDiesel + "\\<Class2>", "folder"},
        {"a", "x", kDiesel + "\\Class2|", "folder"},
        {"a", "x", kDiesel + "\\\"Class2\"", "folder"},
        {"a", "x", source, into},
        {"a", "x", source + "\\", into},
        {"a", "x", source.toUpper(), into},
        {"a", "x", source + "\\Inner", into},
        {"a", "x", QString(source).replace("\\Engine", "\\\\Engine\\deep"), into},
        {"a", "x", kDiesel + "\\Class2\\..\\Class1\\Engine", into},
        {"a", "x", kDiesel + "\\Class1\\.\\Engine\\Inner\\..", into},
        {"a", "x", kDiesel + "/Class1/Engine/Inner", into},
        {"a", "x", kDiesel + "\\Class1\\Engine\\..\\Engine2", ""},
    };
    for (const Case& c : cases) {
        const QString expected = c.refusal == "file"     ? badFileNameMessage(c.file)
                                 : c.refusal == "folder" ? badCloneFolderMessage(c.folder)
                                                         : c.refusal;
        EXPECT_EQ(newNameRefusal(c.file, c.name, c.folder, source), expected)
            << c.file.toStdString() << " | " << c.folder.toStdString();
    }
    // A sibling whose name begins with the source's is not inside it.
    EXPECT_EQ(newNameRefusal("a", "x", source + "2", source), QString());
}
