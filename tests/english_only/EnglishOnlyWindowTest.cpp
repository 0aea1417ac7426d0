// "Make English Only" from the asset list window on a temporary game: the selected blueprints
// are cut in place with backups; Cancel and a failed conversion leave every game file as it was.

#include "assets/EnglishOnly.h"

#include "assets_window/AssetsWindowFixture.h"
#include "support/ScopedEnv.h"

#include <QLabel>

#include <iterator>

namespace {

const QString kWarning = QStringLiteral(
    "This will remove all non-English entries from the items in question\r\n"
    "If you do not have a back-up of the folder you are about to alter, I suggest\r\n"
    "you make one before carrying out this procedure!");

const QString kProduct = QStringLiteral("TestMaker\\English");

QByteArray blueprint(const QByteArray& localised)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
           "\t\t<cSceneryBlueprint>\r\n\t\t\t<Name>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
        + localised
        + "\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</Name>\r\n"
          "\t\t\t<Category d:type=\"cDeltaString\">eBuildings</Category>\r\n"
          "\t\t</cSceneryBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

const QByteArray kEnglish = "\t\t\t\t\t<English d:type=\"cDeltaString\">Signal Box</English>\r\n";
const QByteArray kOthers = "\t\t\t\t\t<French d:type=\"cDeltaString\">Poste d'aiguillage</French>\r\n"
                           "\t\t\t\t\t<German d:type=\"cDeltaString\">Stellwerk</German>\r\n"
                           "\t\t\t\t\t<Other/>\r\n";

} // namespace

class EnglishOnlyWindowTest : public AssetsWindowTest {
protected:
    static QString file(const char* name) { return kProduct + QStringLiteral("\\Scenery\\") + QLatin1String(name); }
};

TEST_F(EnglishOnlyWindowTest, CutsTheSelectedBlueprintsInPlaceWithABackup)
{
    const struct {
        const char* name;     // the file below the product's Scenery folder
        QByteArray xml;       // its content
        QByteArray expected;  // its content after the command; "" when the row is passed over
        bool emptyProduct;    // the row's Product cell is emptied before the command
    } rows[] = {
        {"Multi.bin", blueprint(kEnglish + kOthers), blueprint(kEnglish), false},
        {"EnglishOnly.bin", blueprint(kEnglish), blueprint(kEnglish), false},
        {"NoEnglish.bin", blueprint(kOthers), blueprint(kOthers), false}, // still replaced, with a backup
        {"Skipped.bin", blueprint(kEnglish + kOthers), QByteArray(), true},
    };
    for (const auto& r : rows)
        writeBinary(rel(file(r.name)), r.xml);
    // An existing backup: the next free name is taken.
    tree.writeFile(rel(file("Multi.bin") + QStringLiteral(".bak")), "older backup");
    tree.writeFile(rel(kProduct + QStringLiteral("\\BluePrints.pak")), "cache");

    frmAssets* w = open();
    addToList(w, kProduct);
    QList<int> picked;
    QList<QByteArray> before;
    for (const auto& r : rows) {
        before << tree.readFile(rel(file(r.name)));
        int row = -1;
        for (int g = 2; g < w->VsFg1->Rows(); ++g) {
            if (w->VsFg1->TextMatrix(g, 2).endsWith(QLatin1String(r.name)))
                row = g;
        }
        if (row == -1) {
            // The walk lists only blueprints with a name; this one goes into the grid directly.
            w->VsFg1->AddItem(QStringLiteral("TestMaker\tEnglish\tScenery\\") + QLatin1String(r.name));
            row = w->VsFg1->Rows() - 1;
        }
        ASSERT_EQ(w->VsFg1->TextMatrix(row, 1), QStringLiteral("English")) << r.name;
        if (r.emptyProduct)
            w->VsFg1->setTextMatrix(row, 1, QStringLiteral("  "));
        picked << row;
    }
    selectRows(w, picked);

    ui.expectMsgBox(vb::vbOK, kWarning);
    w->mnuEnglish_Click();
    ASSERT_EQ(ui.messages().size(), 1) << "no message but the warning";
    EXPECT_EQ(ui.lastMessage().text, kWarning);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKCancel + vb::vbExclamation);

    for (int i = 0; i < int(std::size(rows)); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.name);
        const QString game = rel(file(r.name));
        if (r.expected.isEmpty()) {
            EXPECT_EQ(tree.readFile(game), before[i]);
            EXPECT_FALSE(tree.exists(game + QStringLiteral(".bak")));
            continue;
        }
        EXPECT_EQ(decodeBinary(game), r.expected);
        const QString backup = game + (i == 0 ? QStringLiteral(".bak1") : QStringLiteral(".bak"));
        EXPECT_EQ(tree.readFile(backup), before[i]);
        // The work files are cleaned up.
        const QString base = QStringLiteral("program/TempFiles/") + QString::fromLatin1(r.name).chopped(3);
        EXPECT_FALSE(tree.exists(base + QStringLiteral("xml")));
        EXPECT_FALSE(tree.exists(base + QStringLiteral("bin")));
    }
    EXPECT_EQ(tree.readFile(rel(file("Multi.bin") + QStringLiteral(".bak"))), QByteArray("older backup"));
    // The game's blueprint cache stays and no closing message is shown.
    EXPECT_EQ(tree.readFile(rel(kProduct + QStringLiteral("\\BluePrints.pak"))), QByteArray("cache"));
    EXPECT_EQ(shared().CurrentFileExt, QStringLiteral("bin"));
    EXPECT_EQ(w->StatusPanel2->text(), asset(file("NoEnglish.bin")));
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

TEST_F(EnglishOnlyWindowTest, CancelOrAFailedConversionLeavesTheGameFileAsItWas)
{
    const struct {
        const char* what;
        int answer;          // to the warning
        const char* serzFail; // SERZ_FAIL
        QString message;     // shown after the warning; "" for none
    } cases[] = {
        {"cancelled", vb::vbCancel, "", QString()},
        {"conversion back fails", vb::vbOK, "Multi.xml",
         QStringLiteral("Serz.exe could not convert file Multi.bin\r\n"
                        "This is a limitation of Serz.exe and out of my control.")},
        {"conversion to XML fails", vb::vbOK, "Multi.bin", QString()},
    };
    writeBinary(rel(file("Multi.bin")), blueprint(kEnglish + kOthers));
    const QByteArray before = tree.readFile(rel(file("Multi.bin")));
    frmAssets* w = open();
    addToList(w, kProduct);
    ASSERT_EQ(w->VsFg1->Rows(), 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnv fail("SERZ_FAIL", c.serzFail);
        selectRows(w, {2});
        ui.clearRecords();
        ui.expectMsgBox(c.answer, kWarning);
        if (!c.message.isEmpty())
            ui.expectMsgBox(vb::vbOK, c.message);
        w->mnuEnglish_Click();
        ui.verifyDone();
        ASSERT_EQ(ui.messages().size(), c.message.isEmpty() ? 1 : 2);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(ui.lastMessage().text, c.message);
            EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
        }
        EXPECT_EQ(tree.readFile(rel(file("Multi.bin"))), before);
        EXPECT_FALSE(tree.exists(rel(file("Multi.bin") + QStringLiteral(".bak"))));
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }
}
