// The crew and passenger commands of the asset list window on a copy of the sample game, with
// the program's own templates, the test serializer and the scripted user interface.
#include "assets/CrewPassengers.h"

#include "../assets_window/AssetsWindowFixture.h"
#include "support/ProgramData.h"
#include "support/ScopedEnv.h"

#include <QDirIterator>
#include <QLabel>
#include <QMap>

namespace {

const QString kProduct = QStringLiteral("Crew\\Stock");
const QString kCoach = QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Mk1Coach.bin");
const QString kCoachTwin = QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Mk1Coach_MT.bin");
const QString kCar = QStringLiteral("Crew\\Stock\\RailVehicles\\VS_DMOCL.bin");
const QString kCarTwin = QStringLiteral("Crew\\Stock\\RailVehicles\\VS_DMOCL_PO.bin");
const QString kDiesel = QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Diesel.bin");

// A rolling-stock blueprint named name whose child entries are children.
QByteArray stock(const QByteArray& name, const QByteArray& children)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
           "\t\t<cWagonBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">"
        + name + "</Name>\r\n\t\t\t" + children
        + "\r\n\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
          "\t\t\t\t\t<English d:type=\"cDeltaString\">"
        + name + "</English>\r\n\t\t\t\t\t<French d:type=\"cDeltaString\">" + name
        + "</French>\r\n\t\t\t\t\t<Key d:type=\"cDeltaString\">bp-" + name
        + "</Key>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
          "\t\t</cWagonBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

const QByteArray kChildren = "<Children>\r\n\t\t\t</Children>";

QByteArray programTemplate(const char* name)
{
    QFile f(programDataPath() + QStringLiteral("/Templates/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString modified()
{
    return assets::ModifiedMessage;
}

} // namespace

class CrewWindowTest : public AssetsWindowTest {
protected:
    void SetUp() override
    {
        AssetsWindowTest::SetUp();
        ASSERT_TRUE(copyProgramData(tree.programPath()));
        writeBinary(rel(kCoach), stock("VS Mk1 Coach", kChildren));
        writeBinary(rel(kCar), stock("VS Unit 166", "<Children/>"));
        const QByteArray seat = programTemplate("AddDriver.txt");
        ASSERT_FALSE(seat.isEmpty());
        writeBinary(rel(kDiesel), stock("VS Diesel", "<Children>\r\n" + seat + "\t\t\t</Children>"));
        tree.writeFile(rel(kProduct + QStringLiteral("\\BluePrints.pak")), "cache");
    }

    // Lists the test product and selects the rows of these display names.
    frmAssets* openOn(const QStringList& names) { return AssetsWindowTest::openOn(kProduct, names); }
};

// Passengers and driver: the blueprint gains the template under its own name, its former
// content lies in the backup and in the twin with the suffixed names; an existing twin is kept
// under its own backup name; the product's blueprint cache goes.
TEST_F(CrewWindowTest, TemplateCommandsWriteTheBlueprintAndItsTwinWithBackups)
{
    writeBinary(rel(kCoachTwin), stock("An earlier twin", kChildren));
    const QByteArray oldTwin = tree.readFile(rel(kCoachTwin));
    const struct {
        const char* what;
        void (frmAssets::*command)();
        QString file;
        QString twin;
        const char* name;
        const char* templateFile;
        QByteArray children;    // the original children element
        QByteArray edited;      // what it becomes, [T] standing for the template
        QByteArray twinXml;     // the twin's XML
        bool twinWasThere;
    } rows[] = {
        {"passengers", &frmAssets::mnuAdd_Click, kCoach, kCoachTwin, "VS Mk1 Coach", "AddPassengers.txt", kChildren,
         "<Children>\r\n[T]\t\t\t</Children>",
         stock("VS Mk1 Coach", kChildren)
             .replace("\">VS Mk1 Coach</Name>", "\">VS Mk1 Coach_MT</Name>")
             .replace("\">VS Mk1 Coach</English>", "\">VS Mk1 Coach_MT</English>"),
         true},
        {"driver", &frmAssets::mnuAddDriver_Click, kCar, kCarTwin, "VS Unit 166", "AddDriver.txt", "<Children/>",
         "<Children>[T]</Children>", stock("VS Unit 166_PO", "<Children/>"), false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        tree.writeFile(rel(kProduct + QStringLiteral("\\BluePrints.pak")), "cache");
        const QByteArray before = tree.readFile(rel(r.file));
        frmAssets* w = openOn({QString::fromUtf8(r.name)});

        ui.expectMsgBox(vb::vbOK, QStringLiteral("A full and empty set will be produced"));
        ui.expectMsgBox(vb::vbOK, modified());
        (w->*r.command)();
        ASSERT_EQ(ui.messages().size(), 2);
        EXPECT_EQ(ui.messages()[0].style, vb::vbOKCancel + vb::vbExclamation);
        EXPECT_EQ(ui.messages()[1].style, vb::vbOKOnly + vb::vbInformation);

        QByteArray edited = r.edited;
        edited.replace("[T]", programTemplate(r.templateFile));
        EXPECT_EQ(decodeBinary(rel(r.file)), stock(r.name, r.children).replace(r.children, edited));
        EXPECT_EQ(tree.readFile(rel(r.file + QStringLiteral(".bak"))), before);
        EXPECT_EQ(decodeBinary(rel(r.twin)), r.twinXml);
        EXPECT_EQ(tree.exists(rel(r.twin + QStringLiteral(".bak"))), r.twinWasThere);
        if (r.twinWasThere) {
            EXPECT_EQ(tree.readFile(rel(r.twin + QStringLiteral(".bak"))), oldTwin);
        }
        EXPECT_FALSE(tree.exists(rel(kProduct + QStringLiteral("\\BluePrints.pak"))));
        EXPECT_EQ(w->StatusPanel2->text(), asset(r.file));
        ui.clearRecords();
    }
}

TEST_F(CrewWindowTest, ConductorGoesInPlaceWithABackup)
{
    const QByteArray before = tree.readFile(rel(kDiesel));
    const QByteArray xml = decodeBinary(rel(kDiesel));
    QString expected;
    ASSERT_EQ(assets::AddConductor(QString::fromUtf8(xml), expected), assets::ConductorFault::None);
    ASSERT_TRUE(expected.contains(QStringLiteral(">Conductor<")));
    ASSERT_TRUE(expected.contains(QStringLiteral(">-0.550000<")));
    frmAssets* w = openOn({QStringLiteral("VS Diesel")});

    ui.expectMsgBox(vb::vbOK, QStringLiteral("This option will add a Conductor in the empty seat of US Diesels\r\n"));
    ui.expectMsgBox(vb::vbOK, modified());
    w->mnuCond_Click();
    EXPECT_EQ(QString::fromUtf8(decodeBinary(rel(kDiesel))), expected);
    EXPECT_EQ(tree.readFile(rel(kDiesel + QStringLiteral(".bak"))), before);
    EXPECT_FALSE(tree.exists(rel(QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Diesel_MT.bin"))));
    EXPECT_FALSE(tree.exists(rel(QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Diesel_PO.bin"))));
    EXPECT_FALSE(tree.exists(rel(kProduct + QStringLiteral("\\BluePrints.pak"))));
}

// Every way a row cannot be written leaves the blueprint, its twin and the blueprint cache
// byte-identical and makes no backup.
TEST_F(CrewWindowTest, FailuresLeaveEveryFileAsItWas)
{
    const struct {
        const char* what;
        void (frmAssets::*command)();
        const char* name;
        const char* serzFail;
        bool takeTwinBackups;  // every backup name of the twin is in use
        bool dropTemplates;    // the program folder has no templates
        int answer;
        QString message;       // after the confirmation; "" for none
    } rows[] = {
        {"cancel", &frmAssets::mnuAdd_Click, "VS Mk1 Coach", "", false, false, vb::vbCancel, QString()},
        {"twin fails to convert", &frmAssets::mnuAdd_Click, "VS Mk1 Coach", "VS_Mk1Coach_MT.xml", false, false, vb::vbOK,
         assets::FailedConversionMessage(QStringLiteral("VS_Mk1Coach_MT.bin"))},
        {"blueprint fails to convert", &frmAssets::mnuAdd_Click, "VS Mk1 Coach", "VS_Mk1Coach.xml", false, false,
         vb::vbOK, assets::FailedConversionMessage(QStringLiteral("VS_Mk1Coach.bin"))},
        {"twin cannot be placed", &frmAssets::mnuAdd_Click, "VS Mk1 Coach", "", true, false, vb::vbOK,
         QStringLiteral("VS_Mk1Coach_MT.bin")},
        {"missing template", &frmAssets::mnuAdd_Click, "VS Mk1 Coach", "", false, true, vb::vbOK,
         assets::MissingTemplateMessage(tree.programPath() + QStringLiteral("\\Templates\\AddPassengers.txt"))},
        {"no child entries", &frmAssets::mnuAddDriver_Click, "VS Bare", "", false, false, vb::vbOK,
         assets::NoChildrenMessage(asset(QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Bare.bin")))},
        {"no driver for a conductor", &frmAssets::mnuCond_Click, "VS Mk1 Coach", "", false, false, vb::vbOK,
         assets::ConductorFaultMessage(assets::ConductorFault::NoDriver, asset(kCoach))},
    };
    writeBinary(rel(QStringLiteral("Crew\\Stock\\RailVehicles\\VS_Bare.bin")), stock("VS Bare", ""));
    writeBinary(rel(kCoachTwin), stock("An earlier twin", kChildren));
    const QByteArray oldTwin = tree.readFile(rel(kCoachTwin));
    const QString game = tree.path(QStringLiteral("game/Assets/Crew"));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ScopedEnv fail("SERZ_FAIL", r.serzFail);
        if (r.takeTwinBackups) {
            tree.writeFile(rel(kCoachTwin + QStringLiteral(".bak")), "taken");
            for (int n = 1; n <= 50; ++n)
                tree.writeFile(rel(kCoachTwin + QStringLiteral(".bak") + QString::number(n)), "taken");
        }
        if (r.dropTemplates)
            QDir(tree.path(QStringLiteral("program/Templates"))).removeRecursively();
        QMap<QString, QByteArray> files;
        QDirIterator it(game, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            QFile in(f);
            if (in.open(QIODevice::ReadOnly))
                files.insert(f, in.readAll());
        }
        frmAssets* w = openOn({QString::fromUtf8(r.name)});

        ui.expectMsgBox(r.answer);
        if (!r.message.isEmpty())
            ui.expectMsgBox(vb::vbOK, r.message);
        (w->*r.command)();
        EXPECT_EQ(ui.messages().size(), r.message.isEmpty() ? 1 : 2);

        QMap<QString, QByteArray> after;
        QDirIterator again(game, QDir::Files, QDirIterator::Subdirectories);
        while (again.hasNext()) {
            const QString f = again.next();
            QFile in(f);
            if (in.open(QIODevice::ReadOnly))
                after.insert(f, in.readAll());
        }
        for (auto f = after.constBegin(); f != after.constEnd(); ++f)
            EXPECT_TRUE(files.contains(f.key())) << "new file " << f.key().toStdString();
        for (auto f = files.constBegin(); f != files.constEnd(); ++f)
            EXPECT_TRUE(after.value(f.key()) == f.value()) << "changed " << f.key().toStdString();
        EXPECT_EQ(tree.readFile(rel(kCoachTwin)), oldTwin);

        w->close();
        delete w;
        ui.clearRecords();
        if (r.dropTemplates) {
            ASSERT_TRUE(copyProgramData(tree.programPath()));
        }
        if (r.takeTwinBackups) {
            QFile::remove(tree.path(rel(kCoachTwin + QStringLiteral(".bak"))));
            for (int n = 1; n <= 50; ++n)
                QFile::remove(tree.path(rel(kCoachTwin + QStringLiteral(".bak") + QString::number(n))));
        }
    }
}

// Rows of two products: both blueprint caches go; the empty row ends the run with its message.
TEST_F(CrewWindowTest, EveryProductWrittenToLosesItsBlueprintCacheAndTheEmptyRowStops)
{
    const QString other = QStringLiteral("Crew\\Other\\VS_Mk1Coach2.bin");
    writeBinary(rel(other), stock("VS Mk1 Coach 2", kChildren));
    tree.writeFile(rel(QStringLiteral("Crew\\Other\\BluePrints.pak")), "cache");
    frmAssets* w = open();
    addToList(w, QStringLiteral("Crew"));
    selectRows(w, {rowNamed(w, QStringLiteral("VS Mk1 Coach")), rowNamed(w, QStringLiteral("VS Mk1 Coach 2"))});
    ui.expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK, modified());
    w->mnuAdd_Click();
    EXPECT_FALSE(tree.exists(rel(kProduct + QStringLiteral("\\BluePrints.pak"))));
    EXPECT_FALSE(tree.exists(rel(QStringLiteral("Crew\\Other\\BluePrints.pak"))));
    EXPECT_TRUE(tree.exists(rel(QStringLiteral("Crew\\Other\\VS_Mk1Coach2_MT.bin"))));

    const QByteArray coach = tree.readFile(rel(kCoach));
    selectRows(w, {1});
    ui.expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK, assets::NoRollingStockMessage);
    w->mnuAdd_Click();
    EXPECT_EQ(tree.readFile(rel(kCoach)), coach);
}
