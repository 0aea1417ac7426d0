// Both clone commands of the asset list on a temporary game, named in "Clone Object with
// this new name".

#include "assets/BlueprintPipeline.h"
#include "assets/dlgNewName.h"
#include "assets_window/AssetsWindowFixture.h"
#include "common/AnsiText.h"
#include "support/ScopedEnv.h"

#include <QPushButton>

namespace {

const QString kDiesel = QStringLiteral("Maker\\Stock\\RailVehicles\\Diesel");
const QString kEngine = kDiesel + QStringLiteral("\\Class1\\Engine");
const QString kLoco = kEngine + QStringLiteral("\\loco.bin");
const QString kPak = QStringLiteral("Maker\\Stock\\BluePrints.pak");

QByteArray loco(const QByteArray& name)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
           "\t\t<cEngineBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">" + name + "</Name>\r\n"
           "\t\t\t<GeometryID d:type=\"cDeltaString\">Maker\\Stock\\RailVehicles\\Diesel\\Class1\\Engine\\loco</GeometryID>\r\n"
           "\t\t\t<CsvFile d:type=\"cDeltaString\">Maker\\Stock\\RailVehicles\\Diesel\\class1\\ENGINE\\numbers</CsvFile>\r\n"
           "\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
           "\t\t\t\t\t<English d:type=\"cDeltaString\">" + name + "</English>\r\n"
           "\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
           "\t\t</cEngineBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

// The dialog's action: the boxes given ("" leaves one as it is), then OK.
std::function<void(QWidget*)> fill(const QString& folderBox, const QString& folder, const QString& file,
                                   const QString& item = QString())
{
    return [=](QWidget* window) {
        auto* d = qobject_cast<dlgNewName*>(window);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Text1->text(), "loco_");
        EXPECT_EQ(d->Text2->text(), "Class 1_");
        EXPECT_EQ(d->Text3->text(), folderBox);
        d->Text3->setText(folder);
        d->Text1->setText(file);
        if (!item.isEmpty())
            d->Text2->setText(item);
        d->OKButton->click();
    };
}

} // namespace

class CloneWindowTest : public AssetsWindowTest {
protected:
    void SetUp() override
    {
        AssetsWindowTest::SetUp();
        writeBinary(rel(kLoco), loco("Class 1"));
        tree.writeFile(rel(kEngine + QStringLiteral("\\numbers.dcsv")), "1,2\r\n");
        tree.writeFile(rel(kEngine + QStringLiteral("\\Textures\\body.TgPcDx")), "texture");
        tree.writeFile(rel(kPak), "cache");
        w = open();
        addToList(w, kEngine);
        row = rowNamed(w, QStringLiteral("Class 1"));
        ASSERT_GT(row, 1);
        selectRows(w, {row});
        original = tree.readFile(rel(kLoco));
        xml = decodeBinary(rel(kLoco));
    }

    QStringList filesBelow(const QString& folder) const
    {
        QStringList files;
        QDir dir(tree.path(rel(folder)));
        for (const QString& f : dir.entryList(QDir::Files | QDir::NoDotAndDotDot))
            files << f;
        for (const QString& d : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString& f : filesBelow(folder + QLatin1Char('\\') + d))
                files << d + QLatin1Char('/') + f;
        files.sort();
        return files;
    }

    frmAssets* w = nullptr;
    int row = -1;
    QByteArray original;
    QByteArray xml;
};

TEST_F(CloneWindowTest, BothClonesCopyTheFolderAndPlaceTheRenamedBlueprint)
{
    const struct {
        bool defaultAsset;
        QString folderBox;
        QString typed;
        QString copied;     // the copy of the folder that was copied
        QString newFile;
        QByteArray pair;
    } rows[] = {
        // The default asset first: the folder it copies then holds no earlier copy.
        {true, asset(kDiesel + "\\"), asset(kDiesel + "\\Class2"), kDiesel + "\\Class2",
         kDiesel + "\\Class2\\Engine\\loco2.bin", "Class2\\Engine"},
        {false, asset(kDiesel + "\\Class1\\"), asset(kDiesel + "\\Class1\\Engine2"), kDiesel + "\\Class1\\Engine2",
         kDiesel + "\\Class1\\Engine2\\loco2.bin", "Class1\\Engine2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.defaultAsset ? "default asset" : "asset");
        tree.writeFile(rel(kPak), "cache");
        ui.clearRecords();
        ui.expectModal(fill(r.folderBox, r.typed, QStringLiteral("loco2"), QStringLiteral("Class 2 & Co")),
                       QStringLiteral("Clone Object with this new name"));
        ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
        r.defaultAsset ? w->mnuCloneDefault_Click() : w->mnuClone_Click();
        ui.verifyDone();
        EXPECT_EQ(ui.messages().size(), 1);

        QByteArray expected = xml;
        expected.replace(">Class 1<", ">Class 2 &amp; Co<");
        expected.replace("Class1\\Engine", r.pair);
        expected.replace("class1\\ENGINE", r.pair);
        expected += "\r\n";
        EXPECT_EQ(decodeBinary(rel(r.newFile)), expected);
        const QStringList expectedFiles = r.defaultAsset
            ? QStringList{"Engine/Textures/body.TgPcDx", "Engine/loco2.bin", "Engine/numbers.dcsv"}
            : QStringList{"Textures/body.TgPcDx", "loco2.bin", "numbers.dcsv"};
        EXPECT_EQ(filesBelow(r.copied), expectedFiles) << "copied, and no copy under the old name";
        EXPECT_EQ(tree.readFile(rel(r.copied + (r.defaultAsset ? "\\Engine" : "") + "\\Textures\\body.TgPcDx")),
                  QByteArray("texture"));
        EXPECT_EQ(tree.readFile(rel(kLoco)), original) << "the source is only read";
        EXPECT_EQ(filesBelow(kEngine), QStringList({"Textures/body.TgPcDx", "loco.bin", "numbers.dcsv"}));
        EXPECT_FALSE(tree.exists(rel(kPak)));
        const QByteArray batch = QFile(tree.path(QStringLiteral("program/TempFiles/do_clone.bat"))).exists()
            ? tree.readFile(QStringLiteral("program/TempFiles/do_clone.bat"))
            : QByteArray();
        EXPECT_TRUE(batch.startsWith("Call xcopy \"")) << batch.constData();
        EXPECT_TRUE(batch.endsWith("\\*.*\" /s /y\r\n")) << batch.constData();
    }
}

TEST_F(CloneWindowTest, RefusalsCancelAndAFailedConversionCreateNothing)
{
    const QString engine2 = asset(kDiesel + "\\Class1\\Engine2");
    // Refused with the dialog open: an empty box, the source folder and a folder inside it.
    ui.expectModal([&](QWidget* window) {
        auto* d = qobject_cast<dlgNewName*>(window);
        const struct {
            QString file;
            QString folder;
        } tries[] = {{"", engine2}, {"loco2", asset(kEngine) + "\\"}, {"loco2", asset(kEngine + "\\Textures")}};
        for (const auto& t : tries) {
            d->Text1->setText(t.file);
            d->Text3->setText(t.folder);
            d->OKButton->click();
            EXPECT_TRUE(d->isVisible()) << t.folder.toStdString();
            EXPECT_EQ(d->Text3->text(), t.folder);
        }
        d->CancelButton->click();
    });
    ui.expectMsgBox(vb::vbOK, QStringLiteral("You have failed to complete one of the boxes?"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("The copy cannot go into the folder it is copied from"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("The copy cannot go into the folder it is copied from"));
    w->mnuClone_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.messages().size(), 3) << "Cancel shows nothing";
    EXPECT_TRUE(shared().NewFileName.isEmpty());
    EXPECT_FALSE(tree.exists(rel(kDiesel + "\\Class1\\Engine2")));
    EXPECT_TRUE(tree.exists(rel(kPak)));

    // A failed conversion of the new text: its message, no folder, no copy.
    ScopedEnv fail("SERZ_FAIL", "loco2.xml");
    ui.clearRecords();
    ui.expectModal(fill(asset(kDiesel + "\\Class1\\"), engine2, QStringLiteral("loco2")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Serz.exe could not convert file loco2.bin"));
    w->mnuClone_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.messages().size(), 1) << "no closing message";
    EXPECT_FALSE(tree.exists(rel(kDiesel + "\\Class1\\Engine2")));
    EXPECT_TRUE(tree.exists(rel(kPak)));
    EXPECT_EQ(tree.readFile(rel(kLoco)), original);
}

TEST_F(CloneWindowTest, ACopyNamedInALanguageTheCodePageLacksIsToldAndNothingIsMade)
{
    // The copy's batch line cannot name the new folder: the user learns why, before it is made.
    const QString named = kDiesel + QStringLiteral("\\Class1\\") + unwritableName();
    ui.expectModal(fill(asset(kDiesel + "\\Class1\\"), asset(named), QStringLiteral("loco2")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("cannot be written in the system's code page"));
    w->mnuClone_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.messages().size(), 1) << "no closing message";
    EXPECT_EQ(ui.lastMessage().text, UnwritablePathMessage(asset(named)) + QStringLiteral("\r\nNothing has been copied."));
    EXPECT_FALSE(tree.exists(rel(named)));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/do_clone.bat")));
    EXPECT_TRUE(tree.exists(rel(kPak)));
    EXPECT_EQ(tree.readFile(rel(kLoco)), original);
}

TEST_F(CloneWindowTest, CancelAtTheSecondRowKeepsTheFirstCloneWithoutAClosingMessage)
{
    const QString other = kDiesel + QStringLiteral("\\Class3\\Engine");
    writeBinary(rel(other + QStringLiteral("\\loco.bin")), loco("Class 3"));
    addToList(w, other);
    const int second = rowNamed(w, QStringLiteral("Class 3"));
    ASSERT_GT(second, row);
    selectRows(w, {row, second});

    ui.expectModal(fill(asset(kDiesel + "\\Class1\\"), asset(kDiesel + "\\Class1\\Engine2"), QStringLiteral("loco2")));
    ui.expectModal([](QWidget* window) {
        auto* d = qobject_cast<dlgNewName*>(window);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Text2->text(), "Class 3_");
        d->CancelButton->click();
    });
    w->mnuClone_Click();
    ui.verifyDone();
    EXPECT_TRUE(ui.messages().isEmpty()) << "Cancel ends the command without the closing message";
    EXPECT_TRUE(tree.exists(rel(kDiesel + "\\Class1\\Engine2\\loco2.bin"))) << "the first clone stays";
    EXPECT_FALSE(tree.exists(rel(kDiesel + "\\Class3\\Engine2")));
    EXPECT_EQ(tree.readFile(rel(kLoco)), original);
    // As with every edit, the product the first clone was written to rebuilds its cache.
    EXPECT_FALSE(tree.exists(rel(kPak)));
}
