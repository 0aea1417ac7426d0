#include "assets/BlueprintPipeline.h"

#include "common/Serializer.h"
#include "common/TempFiles.h"

#include "AssetGame.h"
#include "platform/Paths.h"
#include "support/ScopedEnv.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace assets;

namespace {

const QString kLimitation = QStringLiteral("This is a limitation of Serz.exe and out of my control.");

SelectedRow sel(int gridRow, const char* provider, const char* product, const char* path)
{
    return SelectedRow{gridRow, QString::fromUtf8(provider), QString::fromUtf8(product), QString::fromUtf8(path)};
}

// ---- texts ------------------------------------------------------------------------------------

TEST(BlueprintPipelineText, RowPathsAreBuiltFromTrimmedCells)
{
    struct Row {
        SelectedRow row;
        bool ok;
        const char* fullPath;
        const char* productFolder;
        const char* extension;
        const char* baseWithDot;
    };
    const Row rows[] = {
        {sel(2, " Kuju ", "RailSimulator  ", "  Loco\\Class66.bin "), true, "G\\Assets\\Kuju\\RailSimulator\\Loco\\Class66.bin",
         "G\\Assets\\Kuju\\RailSimulator", "bin", "Class66."},
        {sel(3, "P", "Q", "v1.2\\Hut"), true, "G\\Assets\\P\\Q\\v1.2\\Hut", "G\\Assets\\P\\Q", "", "Hut."},
        {sel(4, "P", "Q", "a.b.bin"), true, "G\\Assets\\P\\Q\\a.b.bin", "G\\Assets\\P\\Q", "bin", "a.b."},
        // Tabs are not blanks: only spaces are trimmed.
        {sel(5, "  ", "", " "), false, "", "", "", ""},
    };
    for (const Row& r : rows) {
        RowPaths p;
        EXPECT_EQ(MakeRowPaths(r.row, QStringLiteral("G"), p), r.ok) << r.fullPath;
        EXPECT_EQ(p.fullPath, QString::fromUtf8(r.fullPath));
        EXPECT_EQ(p.productFolder, QString::fromUtf8(r.productFolder));
        EXPECT_EQ(p.extension, QString::fromUtf8(r.extension));
        EXPECT_EQ(p.baseWithDot, QString::fromUtf8(r.baseWithDot));
        if (r.ok) {
            EXPECT_TRUE(p.workXml().endsWith(QStringLiteral("\\TempFiles\\") + QString::fromUtf8(r.baseWithDot) + "xml"));
            EXPECT_EQ(p.folder + p.baseWithDot + p.extension,
                      p.extension.isEmpty() ? p.fullPath + QLatin1Char('.') : p.fullPath);
        }
    }
}

TEST(BlueprintPipelineText, RenameEscapesAndStopsAtTheFirstMissingLanguage)
{
    const QString names = QStringLiteral("<Name><Loc><English>Old</English><German>Alt</German></Loc></Name>");
    const QString all = QStringLiteral("<Name><English>a</English><French>b</French><Italian>c</Italian>"
                                       "<German>d</German><Spanish>e</Spanish></Name>");
    struct Row {
        QString text;
        QString name;
        QString expected;
    };
    const Row rows[] = {
        // A Name element holding the languages loses them all: the chain goes on after it.
        {QStringLiteral("<Name >") + names.mid(6), QStringLiteral("New"), QStringLiteral("<Name >New</Name>")},
        // English and German but no French: Name and English only.
        {QStringLiteral("<Blueprint><Name x=\"\">X</Name><English>Old</English><German>Alt</German>"),
         QStringLiteral("B & B <1>"),
         QStringLiteral("<Blueprint><Name x=\"\">B &amp; B &lt;1&gt;</Name><English>B &amp; B &lt;1&gt;</English><German>Alt</German>")},
        {QStringLiteral("<Name a=\"\"></Name>") + all.mid(6, all.size() - 13), QStringLiteral("Fish &amp; Chips"),
         QStringLiteral("<Name a=\"\">Fish &amp; Chips</Name><English>Fish &amp; Chips</English><French>Fish &amp; Chips</French>"
                        "<Italian>Fish &amp; Chips</Italian><German>Fish &amp; Chips</German><Spanish>Fish &amp; Chips</Spanish>")},
        // Without "<Name " nothing changes.
        {names, QStringLiteral("New"), names},
    };
    for (const Row& r : rows) {
        QString text = r.text;
        RenameBlueprint(text, r.name);
        EXPECT_EQ(text, r.expected) << r.text.toStdString();
    }
}

TEST(BlueprintPipelineText, UseInScenariosChangesOnlyFalse)
{
    const RowPaths none;
    struct Row {
        const char* text;
        const char* written; // "" for no output
    };
    const Row rows[] = {
        {"<a><ValidInScenarios d:type=\"x\">eFalse</ValidInScenarios></a>", "<a><ValidInScenarios d:type=\"x\">eTrue</ValidInScenarios></a>"},
        {"<validinscenarios>EFALSE</validinscenarios><ValidInScenarios>eFalse</ValidInScenarios>",
         "<validinscenarios>eTrue</validinscenarios><ValidInScenarios>eFalse</ValidInScenarios>"},
        {"<ValidInScenarios>eTrue</ValidInScenarios>", ""},
        {"<ValidInScenarios>eMaybe</ValidInScenarios>", ""},
        {"<ValidInScenarios>eFalse", ""},
        {"<cSceneryBlueprint/>", ""},
    };
    for (const Row& r : rows) {
        const EditResult e = UseInScenariosEdit(none, QString::fromUtf8(r.text));
        EXPECT_TRUE(e.message.isEmpty());
        EXPECT_FALSE(e.endRun);
        if (*r.written == 0) {
            EXPECT_TRUE(e.outputs.empty()) << r.text;
        } else {
            ASSERT_EQ(e.outputs.size(), 1u) << r.text;
            EXPECT_EQ(e.outputs[0].text, QString::fromUtf8(r.written));
            EXPECT_TRUE(e.outputs[0].target.isEmpty());
            EXPECT_EQ(e.outputs[0].placement, Placement::ReplaceWithBackup);
        }
    }
    EXPECT_EQ(FailedConversionMessage(QStringLiteral("Class66.bin")),
              QStringLiteral("Serz.exe could not convert file Class66.bin\r\n") + kLimitation);
}

// ---- runs with the test serializer ---------------------------------------------------------

class PipelineTest : public AssetGameTest {
protected:
    void expectWarning() { ui.expectMsgBox(vb::vbOK, QStringLiteral("This will allow SELECTED scenery items")); }
};

TEST_F(PipelineTest, UseInScenariosRowByRow)
{
    const QByteArray hutFalse = writeAsset("Kuju/Rail/Scenery/Hut.bin", scenery("Hut", "eFalse"));
    const QByteArray shedTrue = writeAsset("Kuju/Rail/Scenery/Shed.bin", scenery("Shed", "eTrue"));
    const QByteArray treeNone = writeAsset("Kuju/Rail/Scenery/Tree.bin", scenery("Tree", ""));
    const QByteArray wallFalse = writeAsset("Kuju/Rail/Scenery/Wall.bin", scenery("Wall", "EFALSE"));
    tree.writeFile("game/Assets/Kuju/Rail/BluePrints.pak", "cache");

    expectWarning();
    std::vector<SelectedRow> rows = {
        sel(2, "Kuju", "Rail", "Scenery\\Hut.bin"), sel(-1, "", "", ""),
        sel(1, "", "", ""), // the empty row: passed over silently
        sel(3, " Kuju", "Rail ", " Scenery\\Shed.bin"), sel(4, "Kuju", "Rail", "Scenery\\Tree.bin"),
        sel(5, "Kuju", "  ", "Scenery\\Wall.bin"), // no product
        sel(6, "Kuju", "Rail", "Scenery\\Wall.bin"), sel(7, "Kuju", "Rail", "Scenery\\Missing.bin"),
        sel(8, "Kuju", "Rail", "Scenery\\Hut.bin"), // not selected any more
    };
    PipelineHooks hooks;
    QStringList shown;
    hooks.isSelected = [](int gridRow) { return gridRow != 8; };
    hooks.showPath = [&](const QString& path) { shown << path.mid(tree.gamePath().size()); };
    const PipelineResult result = UseInScenarios(rows, tree.gamePath(), hooks);

    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(result.ended);
    const RowOutcome expected[] = {RowOutcome::Written,    RowOutcome::PassedOver, RowOutcome::PassedOver,
                                   RowOutcome::PassedOver, RowOutcome::PassedOver, RowOutcome::PassedOver,
                                   RowOutcome::Written,    RowOutcome::NoText,     RowOutcome::PassedOver};
    ASSERT_EQ(result.rows.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(result.rows[i].outcome, expected[i]) << i;
        EXPECT_EQ(result.rows[i].gridRow, rows[i].gridRow);
    }
    EXPECT_EQ(shown, (QStringList{"\\Assets\\Kuju\\Rail\\Scenery\\Hut.bin", "\\Assets\\Kuju\\Rail\\Scenery\\Shed.bin",
                                  "\\Assets\\Kuju\\Rail\\Scenery\\Tree.bin", "\\Assets\\Kuju\\Rail\\Scenery\\Wall.bin",
                                  "\\Assets\\Kuju\\Rail\\Scenery\\Missing.bin"}));

    EXPECT_TRUE(xmlOf(readAsset("Kuju/Rail/Scenery/Hut.bin")).contains(">eTrue</ValidInScenarios>"));
    EXPECT_EQ(readAsset("Kuju/Rail/Scenery/Hut.bin.bak"), hutFalse);
    EXPECT_EQ(result.rows[0].backups, QStringList{tree.gamePath() + "\\Assets\\Kuju\\Rail\\Scenery\\Hut.bin.bak"});
    EXPECT_TRUE(xmlOf(readAsset("Kuju/Rail/Scenery/Wall.bin")).contains(">eTrue</ValidInScenarios>"));
    EXPECT_EQ(readAsset("Kuju/Rail/Scenery/Wall.bin.bak"), wallFalse);
    // eTrue and no element: untouched, no backup.
    EXPECT_EQ(readAsset("Kuju/Rail/Scenery/Shed.bin"), shedTrue);
    EXPECT_EQ(readAsset("Kuju/Rail/Scenery/Tree.bin"), treeNone);
    EXPECT_FALSE(assetExists("Kuju/Rail/Scenery/Shed.bin.bak"));
    EXPECT_FALSE(assetExists("Kuju/Rail/Scenery/Tree.bin.bak"));
    // No closing message and no cache deletion.
    EXPECT_TRUE(assetExists("Kuju/Rail/BluePrints.pak"));
    EXPECT_TRUE(result.deletedPaks.isEmpty());
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.pointerHistory().last(), vb::vbDefault);
    EXPECT_EQ(shared().CurrentFileExt, QStringLiteral("bin"));
    EXPECT_TRUE(shared().CurrentFile.isEmpty());
}

TEST_F(PipelineTest, CancelChangesNothingAndRepeatedEditsTakeNumberedBackups)
{
    writeAsset("P/Q/Hut.bin", scenery("Hut", "eFalse"));
    const std::vector<SelectedRow> rows = {sel(2, "P", "Q", "Hut.bin")};
    ui.expectMsgBox(vb::vbCancel, QStringLiteral("This will allow SELECTED"));
    PipelineResult r = UseInScenarios(rows, tree.gamePath());
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_FALSE(tree.exists("program/TempFiles/Hut.xml"));
    EXPECT_FALSE(assetExists("P/Q/Hut.bin.bak"));

    // An edit that always writes: three runs give ".bak", ".bak1" and ".bak2".
    PipelineOptions options;
    const EditFunction rewrite = [](const RowPaths&, const QString& text) {
        EditResult e;
        e.outputs.push_back(EditOutput{text + QStringLiteral("<!-- again -->"), {}, Placement::ReplaceWithBackup, {}, {}});
        return e;
    };
    QStringList backups;
    for (int i = 0; i < 3; ++i) {
        r = RunBlueprintEdit(rows, tree.gamePath(), options, rewrite);
        ASSERT_EQ(r.rows.size(), 1u);
        ASSERT_EQ(r.rows[0].outcome, RowOutcome::Written);
        backups << r.rows[0].backups;
    }
    const QString base = tree.gamePath() + QStringLiteral("\\Assets\\P\\Q\\Hut.bin.bak");
    EXPECT_EQ(backups, (QStringList{base, base + "1", base + "2"}));
    EXPECT_TRUE(xmlOf(readAsset("P/Q/Hut.bin")).endsWith("<!-- again --><!-- again --><!-- again -->"));
    EXPECT_EQ(shared().CurrentFile, tree.gamePath() + QStringLiteral("\\Assets\\P\\Q\\Hut.bin"));
}

TEST_F(PipelineTest, FailedConversionBackOrNoFreeBackupLeavesTheFileAndGoesOn)
{
    const QByteArray first = writeAsset("P/Q/Class66.bin", scenery("Class 66", "eFalse"));
    const QByteArray second = writeAsset("P/Q/Full.bin", scenery("Full", "eFalse"));
    const QByteArray third = writeAsset("P/Q/Hut.bin", scenery("Hut", "eFalse"));
    tree.writeFile("game/Assets/P/Q/Full.bin.bak", "old");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(QStringLiteral("game/Assets/P/Q/Full.bin.bak%1").arg(n), "old");

    // The serializer refuses the work XML of Class66 only.
    ScopedEnv fail("SERZ_FAIL", "Class66.xml");
    expectWarning();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Serz.exe could not convert file Class66.bin"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("All 51 backup names"));
    const PipelineResult r = UseInScenarios({sel(2, "P", "Q", "Class66.bin"), sel(3, "P", "Q", "Full.bin"),
                                             sel(4, "P", "Q", "Hut.bin")},
                                            tree.gamePath());
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].outcome, RowOutcome::Failed);
    EXPECT_EQ(r.rows[1].outcome, RowOutcome::Failed);
    EXPECT_EQ(r.rows[2].outcome, RowOutcome::Written);
    ASSERT_EQ(ui.messages().size(), 3);
    EXPECT_EQ(ui.messages()[1].text, QStringLiteral("Serz.exe could not convert file Class66.bin\r\n") + kLimitation);
    EXPECT_EQ(ui.messages()[1].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.messages()[2].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(readAsset("P/Q/Class66.bin"), first);
    EXPECT_FALSE(assetExists("P/Q/Class66.bin.bak"));
    EXPECT_EQ(readAsset("P/Q/Full.bin"), second);
    EXPECT_EQ(readAsset("P/Q/Full.bin.bak50"), "old");
    EXPECT_EQ(readAsset("P/Q/Hut.bin.bak"), third);
    EXPECT_FALSE(QDir(tree.path("game/Assets/P/Q")).entryList({"*.veltrane-new"}).size());
}

TEST_F(PipelineTest, SeveralOutputsBlueprintCachesAndTheEmptyRowMessage)
{
    writeAsset("P/Q/Loco.bin", scenery("Loco", "eFalse"));
    writeAsset("P/R/Coach.bin", scenery("Coach", "eFalse"));
    tree.writeFile("game/Assets/P/R/Coach_Dead.bin", "an older dead coach");
    for (const char* pak : {"P/Q/BluePrints.pak", "P/R/BluePrints.pak", "P/S/BluePrints.pak"})
        tree.writeFile(QStringLiteral("game/Assets/") + QString::fromUtf8(pak), "cache");

    // The blueprint with a backup, and a new dead copy beside it without one.
    PipelineOptions options;
    options.confirmText = QStringLiteral("Sure?");
    options.deleteBlueprintPak = true;
    options.cleanUp = true;
    const EditFunction twin = [](const RowPaths& row, const QString& text) {
        EditResult e;
        e.outputs.push_back(EditOutput{text + QStringLiteral("<!--live-->"), {}, Placement::ReplaceWithBackup, {}, {}});
        const QString base = row.baseWithDot.chopped(1) + QStringLiteral("_Dead.");
        e.outputs.push_back(EditOutput{text + QStringLiteral("<!--dead-->"), row.folder + base + QStringLiteral("bin"),
                                       Placement::ReplaceNoBackup, base, {}});
        return e;
    };
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Sure?"));
    ui.expectMsgBox(vb::vbOK, ModifiedMessage);
    PipelineResult r = RunBlueprintEdit({sel(2, "P", "Q", "Loco.bin"), sel(3, "P", "R", "Coach.bin")}, tree.gamePath(),
                                        options, twin);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[1].outcome, RowOutcome::Written);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbInformation);
    EXPECT_TRUE(xmlOf(readAsset("P/Q/Loco.bin")).endsWith("<!--live-->"));
    EXPECT_TRUE(xmlOf(readAsset("P/Q/Loco_Dead.bin")).endsWith("<!--dead-->"));
    EXPECT_TRUE(xmlOf(readAsset("P/R/Coach_Dead.bin")).endsWith("<!--dead-->"));
    EXPECT_TRUE(assetExists("P/R/Coach.bin.bak"));
    EXPECT_FALSE(assetExists("P/R/Coach_Dead.bin.bak"));
    // Both products written to lose their cache; the third keeps it.
    EXPECT_FALSE(assetExists("P/Q/BluePrints.pak"));
    EXPECT_FALSE(assetExists("P/R/BluePrints.pak"));
    EXPECT_TRUE(assetExists("P/S/BluePrints.pak"));
    EXPECT_EQ(r.deletedPaks.size(), 2);
    // Clean-up: no work files left.
    EXPECT_FALSE(tree.exists("program/TempFiles/Coach.xml"));
    EXPECT_FALSE(tree.exists("program/TempFiles/Coach_Dead.bin"));
    ui.verifyDone();

    // Nothing written: no message, the cache stays. The empty row ends the run at once.
    tree.writeFile("game/Assets/P/Q/BluePrints.pak", "cache");
    options.confirmText.clear();
    const EditFunction nothing = [](const RowPaths&, const QString&) { return EditResult(); };
    ui.expectMsgBox(vb::vbOK, NoRollingStockMessage);
    r = RunBlueprintEdit({sel(2, "P", "Q", "Loco.bin"), sel(1, "", "", ""), sel(3, "P", "R", "Coach.bin")},
                         tree.gamePath(), options, nothing);
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].outcome, RowOutcome::PassedOver);
    EXPECT_TRUE(assetExists("P/Q/BluePrints.pak"));
    EXPECT_EQ(ui.messages().last().text, NoRollingStockMessage);
}

TEST_F(PipelineTest, NewFilePlacementReplacesWholeOrNotAtAll)
{
    tree.writeFile("program/TempFiles/new.bin", "new bytes");
    tree.writeFile("program/TempFiles/empty.bin", "");
    tree.writeFile("game/Assets/P/Q/Target.bin", "old bytes");
    struct Row {
        const char* source;
        bool ok;
        const char* after;
    };
    const Row rows[] = {
        {"empty.bin", false, "old bytes"},
        {"missing.bin", false, "old bytes"},
        {"new.bin", true, "new bytes"},
    };
    for (const Row& row : rows) {
        const ConversionResult r = PlaceNewGameFile(TempFilesPath(QString::fromUtf8(row.source)),
                                                    assets() + QStringLiteral("\\P\\Q\\Target.bin"));
        EXPECT_EQ(r.ok, row.ok) << row.source << " " << r.error.toStdString();
        EXPECT_EQ(readAsset("P/Q/Target.bin"), QByteArray(row.after)) << row.source;
    }
    EXPECT_EQ(QDir(tree.path("game/Assets/P/Q")).entryList(QDir::Files).size(), 1);
    // A new file where none was.
    EXPECT_TRUE(PlaceNewGameFile(TempFilesPath(QStringLiteral("new.bin")), assets() + QStringLiteral("\\P\\Q\\Other.bin")).ok);
    EXPECT_EQ(readAsset("P/Q/Other.bin"), "new bytes");
}

TEST_F(PipelineTest, OneWorkFolderForEverySpelling)
{
    EXPECT_EQ(TempFilesFolder(), tree.programPath() + QStringLiteral("\\TempFiles"));
    EXPECT_EQ(TempFilesFolder(QStringLiteral("Tempfiles")), tree.programPath() + QStringLiteral("\\Tempfiles"));
    EXPECT_EQ(TempFilesFolder(QStringLiteral("tempfiles")), tree.programPath() + QStringLiteral("\\tempfiles"));
    EXPECT_EQ(TempFilesFolder(QStringLiteral("TEMPFILES")), tree.programPath() + QStringLiteral("\\TempFiles"));
    EXPECT_EQ(TempFilesPath(QStringLiteral("do_clone.bat"), QStringLiteral("Tempfiles")),
              tree.programPath() + QStringLiteral("\\Tempfiles\\do_clone.bat"));

    // A folder spelt in lower case on disk is the one folder: reset empties it, makes no second.
    QDir(tree.programPath()).rename(QStringLiteral("TempFiles"), QStringLiteral("tempfiles"));
    platform::clearPathCache();
    tree.writeFile("program/tempfiles/old.xml", "x");
    ASSERT_TRUE(ResetTempFiles());
    const QStringList folders = QDir(tree.programPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(folders.filter(QStringLiteral("tempfiles"), Qt::CaseInsensitive).size(), 1) << folders.join(',').toStdString();
    EXPECT_FALSE(tree.exists("program/tempfiles/old.xml"));
    QDir(tree.programPath()).removeRecursively();
    EXPECT_TRUE(ResetTempFiles());
    EXPECT_TRUE(QFileInfo(tree.path("program/TempFiles")).isDir());
}

} // namespace

// The steps the clone and the child-entry removal take through the pipeline: the product a
// written file counts for (its own below Assets, else the row's), a preparation that refuses
// before anything is placed, a text already in hand, and a run ended after a written row
// (the products written to lose their cache, no completion message).
TEST_F(PipelineTest, PreparedPlacementsTextInHandAndProductsWrittenTo)
{
    const QString game = tree.gamePath();
    const struct {
        QString file;
        QString product;
    } products[] = {
        {game + "\\Assets\\P\\Q\\Loco\\a.bin", game + "\\Assets\\P\\Q"},
        {game + "/assets/P/R/a.bin", game + "\\Assets\\P\\R"},
        {game + "\\Assets\\P\\a.bin", "fallback"},
        {"C:\\Elsewhere\\a.bin", "fallback"},
    };
    for (const auto& p : products)
        EXPECT_EQ(ProductFolderOf(p.file, game, QStringLiteral("fallback")), p.product) << p.file.toStdString();

    writeAsset("P/Q/Loco.bin", scenery("Loco", "eFalse"));
    writeAsset("P/R/Coach.bin", scenery("Coach", "eFalse"));
    const QByteArray loco = readAsset("P/Q/Loco.bin");
    for (const char* pak : {"P/Q/BluePrints.pak", "P/R/BluePrints.pak"})
        tree.writeFile(QStringLiteral("game/Assets/") + QString::fromUtf8(pak), "cache");
    PipelineOptions options;
    options.deleteBlueprintPak = true;
    options.busyPointer = false;

    // A preparation that refuses: its message, the converted output is not placed.
    int prepared = 0;
    const EditFunction refused = [&](const RowPaths& row, const QString& text) {
        EditResult e;
        e.outputs.push_back(EditOutput{text + "<!--copy-->", row.folder + "Copy.bin", Placement::ReplaceNoBackup, "Copy.", {}});
        e.beforePlacement = [&] {
            ++prepared;
            return QStringLiteral("Not now");
        };
        return e;
    };
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Not now"));
    PipelineResult r = RunBlueprintEdit({sel(2, "P", "Q", "Loco.bin")}, game, options, refused);
    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(r.rows.at(0).outcome, RowOutcome::Failed);
    EXPECT_FALSE(assetExists("P/Q/Copy.bin"));
    EXPECT_TRUE(assetExists("P/Q/BluePrints.pak"));
    ui.verifyDone();

    // A conversion back that fails never reaches the preparation.
    {
        ScopedEnv fail("SERZ_FAIL", "Copy.xml");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Serz.exe could not convert file Loco.bin"));
        RunBlueprintEdit({sel(2, "P", "Q", "Loco.bin")}, game, options, refused);
        EXPECT_EQ(prepared, 1);
        ui.verifyDone();
    }

    // The text in hand, placed over the blueprint with a backup, without the completion message.
    options.completionMessage = false;
    ui.clearRecords();
    QFile::remove(tree.path("program/TempFiles/Loco.xml"));
    RowPaths listed;
    ASSERT_TRUE(MakeRowPaths(sel(2, "P", "Q", "Loco.bin"), game, listed));
    r = RunBlueprintEdit(listed, QStringLiteral("<listed/>"), game, options, [](const RowPaths& row, const QString& text) {
        EditResult e;
        e.outputs.push_back(EditOutput{text, row.fullPath, Placement::ReplaceWithBackup, "Saved.", {}});
        return e;
    });
    EXPECT_EQ(r.rows.at(0).outcome, RowOutcome::Written);
    EXPECT_EQ(xmlOf(readAsset("P/Q/Loco.bin")), "<listed/>");
    EXPECT_EQ(readAsset("P/Q/Loco.bin.bak"), loco);
    EXPECT_FALSE(tree.exists("program/TempFiles/Loco.xml")) << "the text in hand is not converted again";
    EXPECT_FALSE(assetExists("P/Q/BluePrints.pak"));
    EXPECT_TRUE(ui.messages().isEmpty());

    // A run ended after a written row: that row's product loses its cache, the next row is
    // not taken up, and no completion message is shown.
    ui.clearRecords();
    options.completionMessage = true;
    tree.writeFile("game/Assets/P/Q/BluePrints.pak", "cache");
    int calls = 0;
    const EditFunction endSecond = [&](const RowPaths& row, const QString& text) {
        EditResult e;
        if (++calls == 2) {
            e.endRun = true;
            return e;
        }
        e.outputs.push_back(EditOutput{text, row.folder + "Twin.bin", Placement::ReplaceNoBackup, "Twin.", {}});
        return e;
    };
    r = RunBlueprintEdit({sel(2, "P", "Q", "Loco.bin"), sel(3, "P", "R", "Coach.bin"), sel(4, "P", "R", "Coach.bin")},
                         game, options, endSecond);
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(assetExists("P/Q/Twin.bin"));
    EXPECT_FALSE(assetExists("P/R/Twin.bin"));
    EXPECT_FALSE(assetExists("P/Q/BluePrints.pak"));
    EXPECT_TRUE(assetExists("P/R/BluePrints.pak"));
    EXPECT_TRUE(ui.messages().isEmpty());
    ui.verifyDone();
}
