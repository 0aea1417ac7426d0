// The child-entry commands of the asset list on a temporary game: the display, the removal
// through "Save Rolling-Stock Item" and the dead copy.

#include "assets/BlueprintPipeline.h"
#include "assets/dlgCoachName.h"
#include "assets_window/AssetsWindowFixture.h"
#include "support/ScopedEnv.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kFolder = QStringLiteral("Maker\\Stock\\RailVehicles\\Coaches\\Mk2");
const QString kCoach = kFolder + QStringLiteral("\\coach.bin");
const QString kPak = QStringLiteral("Maker\\Stock\\BluePrints.pak");

QByteArray child(const QByteArray& id, const QByteArray& name)
{
    return "\t\t\t\t\t\t<cEntityContainerBlueprint-sChild d:id=\"" + id + "\">\r\n"
           "\t\t\t\t\t\t\t<ChildName d:type=\"cDeltaString\">" + name + "</ChildName>\r\n"
           "\t\t\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">" + name + "Figure</BlueprintID>\r\n"
           "\t\t\t\t\t\t</cEntityContainerBlueprint-sChild>\r\n";
}

// A coach blueprint; children false leaves the container and its children out.
QByteArray coach(const QByteArray& name, bool children = true)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
                   "\t\t<cWagonBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">" + name + "</Name>\r\n";
    if (children) {
        x += "\t\t\t<ContainerComponent>\r\n\t\t\t\t<cEntityContainerBlueprint>\r\n\t\t\t\t\t<Children>\r\n"
             + child("1", "Driver") + child("2", "Guard") + child("3", "Passenger")
             + "\t\t\t\t\t</Children>\r\n\t\t\t\t</cEntityContainerBlueprint>\r\n\t\t\t</ContainerComponent>\r\n";
    }
    x += "\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n\t\t\t\t\t<English d:type=\"cDeltaString\">"
         + name + "</English>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
                  "\t\t</cWagonBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
    return x;
}

// What a cut entry leaves: the indentation before it and the line break after it.
const QByteArray kLeftOfCut = "\t\t\t\t\t\t\r\n";

QByteArray renamed(QByteArray xml, const QByteArray& from, const QByteArray& to)
{
    return xml.replace(">" + from + "<", ">" + to + "<");
}

} // namespace

class ChildEntriesWindowTest : public AssetsWindowTest {
protected:
    void SetUp() override
    {
        AssetsWindowTest::SetUp();
        writeBinary(rel(kCoach), coach("Coach A"));
        writeBinary(rel(kFolder + QStringLiteral("\\plain.bin")), coach("Plain B", false));
        tree.writeFile(rel(kPak), "cache");
        w = open();
        addToList(w, kFolder);
        coachRow = rowNamed(w, QStringLiteral("Coach A"));
        plainRow = rowNamed(w, QStringLiteral("Plain B"));
        ASSERT_GT(coachRow, 1);
        ASSERT_GT(plainRow, 1);
    }

    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < w->List1->count(); ++i)
            names << w->List1->item(i)->text();
        return names;
    }

    void display(const QList<int>& rows)
    {
        selectRows(w, rows);
        w->Command9_Click();
    }

    // The dialog's action: chooses an option (-1 none) and presses OK or Cancel, or closes it.
    enum class Press { OK, Cancel, CloseBox };
    static std::function<void(QWidget*)> answer(Press press, int option = -1)
    {
        return [press, option](QWidget* window) {
            auto* d = qobject_cast<dlgCoachName*>(window);
            ASSERT_NE(d, nullptr);
            if (option >= 0)
                d->Option1.at(option)->click();
            if (press == Press::OK)
                d->OKButton->click();
            else if (press == Press::Cancel)
                d->Command1->click();
            else
                d->close();
        };
    }

    frmAssets* w = nullptr;
    int coachRow = -1;
    int plainRow = -1;
};

TEST_F(ChildEntriesWindowTest, DisplayListsTheFirstSelectedRowsChildEntriesOnly)
{
    EXPECT_FALSE(w->Frame2->isVisibleTo(w));
    EXPECT_FALSE(w->Command12->isEnabled());
    const struct {
        const char* what;
        QList<int> rows;
        bool warning;
        QStringList names;
        QString label;
    } rows[] = {
        {"two rows: the first only", {coachRow, plainRow}, true, {"Driver", "Guard", "Passenger"}, "Coach A"},
        {"no container: nothing", {plainRow}, false, {}, "Plain B"},
        {"one row", {coachRow}, false, {"Driver", "Guard", "Passenger"}, "Coach A"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        // The grid lists the rows in name order; "the first" is the first in the grid.
        ASSERT_LT(coachRow, plainRow);
        ui.clearRecords();
        if (r.warning)
            ui.expectMsgBox(vb::vbOK, QStringLiteral("You can only select one item at a time for this option.\r\n"
                                                     "Only the first item will be shown"));
        display(r.rows);
        ui.verifyDone();
        EXPECT_EQ(ui.messages().size(), r.warning ? 1 : 0);
        EXPECT_TRUE(w->Frame2->isVisibleTo(w));
        EXPECT_EQ(listed(), r.names);
        EXPECT_EQ(w->Label3->text(), r.label);
        EXPECT_EQ(shared().NewInternalName, r.label);
    }
    EXPECT_TRUE(w->Command12->isEnabled());
}

TEST_F(ChildEntriesWindowTest, RemoveSavesTheCutBlueprintUnderTheDialogsNames)
{
    const QByteArray original = tree.readFile(rel(kCoach));
    const QByteArray xml = decodeBinary(rel(kCoach));
    const QString saved = kFolder + QStringLiteral("\\coach_MT.bin");
    const QString spare = kFolder + QStringLiteral("\\coach_DEAD.bin");
    QByteArray guardless = xml;
    guardless.replace(child("2", "Guard"), kLeftOfCut);
    const struct {
        const char* what;
        QStringList selected;
        std::function<void(QWidget*)> action;
        QString file;       // "" nothing written
        QByteArray expected;
    } rows[] = {
        {"nothing selected, dialog as it opens", {}, answer(Press::OK), saved, renamed(xml, "Coach A", "Coach A_MT")},
        {"Cancel", {"Guard"}, answer(Press::Cancel), "", ""},
        {"close box", {"Guard"}, answer(Press::CloseBox), "", ""},
        {"Guard cut, Dead then Spare", {"Guard"},
         [](QWidget* window) {
             auto* d = qobject_cast<dlgCoachName*>(window);
             d->Option1.at(6)->click();
             d->Option1.at(7)->click();
             EXPECT_EQ(d->Text1->text(), "coach_DEAD");
             d->OKButton->click();
         },
         spare, renamed(guardless, "Coach A", "Coach A_DEAD")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        QFile::remove(tree.path(rel(saved)));
        QFile::remove(tree.path(rel(spare)));
        tree.writeFile(rel(kPak), "cache");
        display({coachRow});
        for (int i = 0; i < w->List1->count(); ++i)
            w->List1->item(i)->setSelected(r.selected.contains(w->List1->item(i)->text()));
        ui.clearRecords();
        ui.expectModal(r.action, QStringLiteral("Save Rolling-Stock Item"));
        w->Command12_Click();
        ui.verifyDone();
        EXPECT_TRUE(ui.messages().isEmpty());
        EXPECT_FALSE(shared().CoachNameCancelled);
        EXPECT_EQ(tree.readFile(rel(kCoach)), original) << "the listed blueprint stays";
        if (r.file.isEmpty()) {
            EXPECT_FALSE(tree.exists(rel(saved)));
            EXPECT_FALSE(tree.exists(rel(spare)));
            EXPECT_TRUE(tree.exists(rel(kPak)));
        } else {
            EXPECT_EQ(decodeBinary(rel(r.file)), r.expected);
            EXPECT_FALSE(tree.exists(rel(kPak)));
            EXPECT_EQ(shared().CurrentFile, asset(r.file));
        }
        EXPECT_EQ(listed(), QStringList({"Driver", "Guard", "Passenger"})) << "the list stays";
    }
}

TEST_F(ChildEntriesWindowTest, RemoveOverTheListedBlueprintBacksItUpAndAFailedConversionWritesNothing)
{
    const QByteArray original = tree.readFile(rel(kCoach));
    const QByteArray xml = decodeBinary(rel(kCoach));
    const auto typed = [](const QString& file) {
        return [file](QWidget* window) {
            auto* d = qobject_cast<dlgCoachName*>(window);
            d->Text1->setText(file);
            d->OKButton->click();
        };
    };
    // A failed conversion back: its message, and nothing in the game.
    {
        ScopedEnv fail("SERZ_FAIL", "coach_MT.xml");
        display({coachRow});
        ui.expectModal(answer(Press::OK));
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Serz.exe could not convert file coach_MT.bin\r\n"
                                                 "This is a limitation of Serz.exe and out of my control."));
        w->Command12_Click();
        ui.verifyDone();
        EXPECT_FALSE(tree.exists(rel(kFolder + QStringLiteral("\\coach_MT.bin"))));
        EXPECT_EQ(tree.readFile(rel(kPak)), QByteArray("cache"));
    }
    // The listed blueprint's own name: saved over it with a backup.
    display({coachRow});
    w->List1->item(0)->setSelected(true);
    ui.expectModal(typed(QStringLiteral("coach")));
    w->Command12_Click();
    ui.verifyDone();
    QByteArray driverless = renamed(xml, "Coach A", "Coach A_MT");
    driverless.replace(child("1", "Driver"), kLeftOfCut);
    EXPECT_EQ(decodeBinary(rel(kCoach)), driverless);
    EXPECT_EQ(tree.readFile(rel(kCoach + QStringLiteral(".bak"))), original);
}

TEST_F(ChildEntriesWindowTest, TheDialogRefusesEmptyAndUnusableNamesStayingOpen)
{
    display({coachRow});
    const struct {
        QString file;
        QString internal;
        QString message;
    } rows[] = {
        {"", "Coach", "You have failed to complete one of the boxes?"},
        {"coach", "  ", "You have failed to complete one of the boxes?"},
        {"co:ach", "Coach", "cannot be used as a file name"},
        {"..", "Coach", "cannot be used as a file name"},
    };
    ui.expectModal([&rows](QWidget* window) {
        auto* d = qobject_cast<dlgCoachName*>(window);
        EXPECT_EQ(d->Text1->text(), "coach_MT");
        EXPECT_EQ(d->Text2->text(), "Coach A_MT");
        for (const auto& r : rows) {
            d->Text1->setText(r.file);
            d->Text2->setText(r.internal);
            d->OKButton->click();
            EXPECT_TRUE(d->isVisible()) << r.file.toStdString();
        }
        d->Command1->click();
    });
    for (const auto& r : rows)
        ui.expectMsgBox(vb::vbOK, r.message);
    w->Command12_Click();
    ui.verifyDone();
    EXPECT_EQ(QDir(tree.path(rel(kFolder))).entryList(QDir::Files), QStringList({"coach.bin", "plain.bin"}));
}

TEST_F(ChildEntriesWindowTest, DeadStockWritesTheDeadCopyBesideEachBlueprint)
{
    const QByteArray original = tree.readFile(rel(kCoach));
    QByteArray expected = renamed(decodeBinary(rel(kCoach)), "Coach A", "Coach A_Dead");
    const qsizetype from = expected.indexOf("\r\n\t\t\t\t\t<Children>");
    const qsizetype to = expected.indexOf("</Children>") + 11;
    expected.remove(from, to - from);
    expected += "\r\n";
    selectRows(w, {coachRow, plainRow});
    ui.expectMsgBox(vb::vbOK, asset(kFolder + QStringLiteral("\\plain.bin")) + QStringLiteral(" has no <Children> element."));
    ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
    w->mnuDead_Click();
    ui.verifyDone();
    EXPECT_EQ(decodeBinary(rel(kFolder + QStringLiteral("\\coach_Dead.bin"))), expected);
    EXPECT_FALSE(tree.exists(rel(kFolder + QStringLiteral("\\plain_Dead.bin"))));
    EXPECT_EQ(tree.readFile(rel(kCoach)), original);
    EXPECT_FALSE(tree.exists(rel(kCoach + QStringLiteral(".bak"))));
    EXPECT_FALSE(tree.exists(rel(kPak)));

    // A failed conversion back: the serializer's failure message, nothing written, no closing
    // message.
    QFile::remove(tree.path(rel(kFolder + QStringLiteral("\\coach_Dead.bin"))));
    tree.writeFile(rel(kPak), "cache");
    ScopedEnv fail("SERZ_FAIL", "coach_Dead.xml");
    selectRows(w, {coachRow});
    ui.clearRecords();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Serz.exe could not convert file coach_Dead.bin"));
    w->mnuDead_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_FALSE(tree.exists(rel(kFolder + QStringLiteral("\\coach_Dead.bin"))));
    EXPECT_TRUE(tree.exists(rel(kPak)));
}

// The removal writes beside the blueprint it listed and backs that one up when it is the
// target, whatever other commands did to the shared file in work since the display.
TEST_F(ChildEntriesWindowTest, RemovalKeepsToTheListedBlueprintAfterOtherCommands)
{
    const QString otherFolder = QStringLiteral("Other\\Line\\RailVehicles");
    const QString otherLoco = otherFolder + QStringLiteral("\\loco.bin");
    const QString otherPak = QStringLiteral("Other\\Line\\BluePrints.pak");
    writeBinary(rel(otherLoco), coach("Other Loco"));
    addToList(w, otherFolder);
    const int otherRow = rowNamed(w, QStringLiteral("Other Loco"));
    ASSERT_GT(otherRow, plainRow);
    const QByteArray original = tree.readFile(rel(kCoach));
    const QByteArray otherOriginal = tree.readFile(rel(otherLoco));
    const QByteArray xml = decodeBinary(rel(kCoach));
    const auto typed = [](const QString& file) {
        return [file](QWidget* window) {
            auto* d = qobject_cast<dlgCoachName*>(window);
            d->Text1->setText(file);
            d->Text2->setText(QStringLiteral("Coach A_MT")); // what an earlier removal took stays shared
            d->OKButton->click();
        };
    };
    const struct {
        const char* what;
        std::function<void()> between; // what runs between the display and the last removal
        QString name;                  // the last removal's file name
        QString file;                  // where it must land
        bool backup;                   // the listed blueprint kept as its ".bak"
    } rows[] = {
        {"an earlier removal moved the file in work", [&] {
             ui.expectModal(answer(Press::OK));
             w->Command12_Click();
         },
         QStringLiteral("coach"), kCoach, true},
        {"dead stock of another product moved it", [&] {
             selectRows(w, {otherRow});
             ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
             w->mnuDead_Click();
             tree.writeFile(rel(otherPak), "cache");
         },
         QStringLiteral("loco"), kFolder + QStringLiteral("\\loco.bin"), false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        tree.writeFile(rel(kCoach), original);
        QFile::remove(tree.path(rel(kCoach + QStringLiteral(".bak"))));
        tree.writeFile(rel(kPak), "cache");
        display({coachRow});
        r.between();
        EXPECT_NE(shared().CurrentFile, asset(kCoach));
        ui.expectModal(typed(r.name));
        w->Command12_Click();
        ui.verifyDone();
        EXPECT_EQ(decodeBinary(rel(r.file)), renamed(xml, "Coach A", "Coach A_MT"));
        if (r.backup)
            EXPECT_EQ(tree.readFile(rel(kCoach + QStringLiteral(".bak"))), original);
        else
            EXPECT_EQ(tree.readFile(rel(kCoach)), original);
        EXPECT_EQ(tree.readFile(rel(otherLoco)), otherOriginal);
        EXPECT_FALSE(tree.exists(rel(kPak)));
        EXPECT_EQ(tree.readFile(rel(otherPak)), r.backup ? QByteArray() : QByteArray("cache"));
    }
}
