// "Add head-lights" and "Add tail-lights" of the asset list window on a copy of the sample game,
// with the program's own lamp templates and lamp add-on, the test serializer and the scripted
// user interface.
#include "assets/Lights.h"
#include "assets/dlgHead.h"
#include "assets/dlgTail.h"

#include "../assets_window/AssetsWindowFixture.h"
#include "support/ProgramData.h"
#include "support/ScopedEnv.h"

#include <QDirIterator>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString kVehicles = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles");
const QString kDiesel = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90");
const QString kCar = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\DMU\\Class101\\Car\\VS_Class101");
const QString kCoach = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach");
const QString kVan = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan");
const QString kPak = QStringLiteral("VeltraneSamples\\Sample01\\BluePrints.pak");
const QString kAnimated = QStringLiteral("Kuju\\DaraDerovizor\\Scenery\\Animated\\");

QString programText(const QString& name)
{
    QFile f(programDataPath() + QStringLiteral("/") + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

// The lamp entry of the program's template, filled the plain way: one replacement after another.
QString lampEntry(const QString& lampName, const QString& blueprint, const QString& facing, const QStringList& xyz)
{
    QString entry = programText(QStringLiteral("Templates/UKCode.txt"));
    entry.replace(QStringLiteral("HeadLamp"), lampName)
        .replace(QStringLiteral("444444"), QStringLiteral("Kuju"))
        .replace(QStringLiteral("555555"), QStringLiteral("DaraDerovizor"))
        .replace(QStringLiteral("666666"), QStringLiteral("Scenery\\Animated\\") + blueprint)
        .replace(QStringLiteral("777777"), facing)
        .replace(QStringLiteral("111111"), xyz[0])
        .replace(QStringLiteral("222222"), xyz[1])
        .replace(QStringLiteral("333333"), xyz[2]);
    return entry;
}

// The lit copy's XML: the entries after the first "<Children>", the new name in Name and the
// five languages, and a line break at the end.
QString litText(QString source, const QString& entries, const QString& oldName, const QString& newName)
{
    const qsizetype tag = source.indexOf(QStringLiteral("<Children>"));
    source.insert(tag + 10, entries);
    source.replace(QStringLiteral(">") + oldName + QStringLiteral("</Name>"), QStringLiteral(">") + newName + QStringLiteral("</Name>"));
    for (const char* language : {"English", "French", "Italian", "German", "Spanish"}) {
        const QRegularExpression element(QStringLiteral("(<%1 [^>]*>)[^<]*(</%1>)").arg(QLatin1String(language)));
        const QRegularExpressionMatch m = element.match(source);
        if (m.hasMatch())
            source.replace(m.capturedStart(), m.capturedLength(), m.captured(1) + newName + m.captured(2));
    }
    return source + QStringLiteral("\r\n");
}

} // namespace

class LightsWindowTest : public AssetsWindowTest {
protected:
    void SetUp() override
    {
        AssetsWindowTest::SetUp();
        ASSERT_TRUE(copyProgramData(tree.programPath()));
        tree.writeFile(rel(kPak), "cache");
    }

    // Every file below the game's "Assets" with its bytes.
    QMap<QString, QByteArray> gameFiles() const
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(tree.path(QStringLiteral("game/Assets")), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            files.insert(file, tree.readFile(file));
        }
        return files;
    }

    // Picks rows of the head dialog (-1 none) and presses OK, noting what it showed.
    std::function<void(QWidget*)> pickHead(int templateRow, int typeRow)
    {
        return [this, templateRow, typeRow](QWidget* w) {
            auto* d = qobject_cast<dlgHead*>(w);
            ASSERT_NE(d, nullptr);
            shownLabel = d->Label1->text();
            shownTemplates.clear();
            for (int i = 0; i < d->List1->count(); ++i)
                shownTemplates << d->List1->item(i)->text();
            shownTypes.clear();
            for (int i = 0; i < d->List2->count(); ++i)
                shownTypes << d->List2->item(i)->text();
            if (templateRow >= 0)
                d->List1->item(templateRow)->setSelected(true);
            if (typeRow >= 0)
                d->List2->item(typeRow)->setSelected(true);
            d->OKButton->click();
        };
    }
    std::function<void(QWidget*)> pickTail(int templateRow)
    {
        return [this, templateRow](QWidget* w) {
            auto* d = qobject_cast<dlgTail*>(w);
            ASSERT_NE(d, nullptr);
            shownLabel = d->Label1->text();
            shownTemplates.clear();
            for (int i = 0; i < d->List1->count(); ++i)
                shownTemplates << d->List1->item(i)->text();
            if (templateRow >= 0)
                d->List1->item(templateRow)->setSelected(true);
            d->OKButton->click();
        };
    }

    QString shownLabel;
    QStringList shownTemplates;
    QStringList shownTypes;
};

// Head-lights for two train types on the diesel: the lamp add-on is converted and copied into
// the game on the first run; each lit copy holds its train type's blocks (slot 2's first)
// before the children already there and the suffixed names; the source stays byte-identical,
// no backup is made and the product's blueprint cache goes.
TEST_F(LightsWindowTest, HeadLightsForTwoTrainTypes)
{
    const QByteArray source = tree.readFile(rel(kDiesel + QStringLiteral(".bin")));
    const QString xml = QString::fromUtf8(decodeBinary(rel(kDiesel + QStringLiteral(".bin"))));
    ASSERT_TRUE(xml.contains(QStringLiteral("<Children>")));
    ASSERT_FALSE(tree.exists(rel(kAnimated + QStringLiteral("oillamp_white_drb.bin"))));
    const QString lamp = QStringLiteral("oillamp_white_drb.xml");
    const struct {
        const char* what;
        int type; // row of the train-type list
        const char* suffix;
        QString entries;
    } rows[] = {
        {"Express Passenger: positions 2 and 4", 0, "_XP-Pass",
         lampEntry(QStringLiteral("HeadLamp 4"), lamp, QStringLiteral("1.0000"), {"-0.6200", "3.4500", "9.9500"})
             + lampEntry(QStringLiteral("HeadLamp 2"), lamp, QStringLiteral("1.0000"), {"0.6200", "3.4500", "9.9500"})},
        {"Stopping Passenger: position 1", 1, "_Stop-Pass",
         lampEntry(QStringLiteral("HeadLamp 1"), lamp, QStringLiteral("1.0000"), {"0.0000", "3.9000", "9.9800"})},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        tree.writeFile(rel(kPak), "cache");
        frmAssets* w = openOn(kVehicles + QStringLiteral("\\Diesel"), {QStringLiteral("VS Class 90")});
        ui.expectModal(pickHead(0, r.type), QStringLiteral("Head Light Templates Available"));
        ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
        w->mnuHead_Click();
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbInformation);
        EXPECT_EQ(shownLabel, QStringLiteral("VS Class 90"));
        EXPECT_EQ(shownTemplates, (QStringList{"Oil lamps, white (loco)", "Oil lamps, white (DMU car)", "Electric head-code lamps"}));
        EXPECT_EQ(shownTypes, (QStringList{"Express Passenger", "Stopping Passenger", "Express Perishable", "Express Freight",
                                           "Thru Freight", "Light Engine", "Parcels", "Thru Mineral", "Stopping Freight"}));

        const QString lit = kDiesel + QString::fromLatin1(r.suffix) + QStringLiteral(".bin");
        const QString newName = QStringLiteral("VS Class 90") + QString::fromLatin1(r.suffix);
        EXPECT_EQ(QString::fromUtf8(decodeBinary(rel(lit))), litText(xml, r.entries, QStringLiteral("VS Class 90"), newName));
        EXPECT_EQ(shared().NewItemName, newName);
        EXPECT_EQ(tree.readFile(rel(kDiesel + QStringLiteral(".bin"))), source);
        EXPECT_FALSE(tree.exists(rel(kDiesel + QStringLiteral(".bin.bak"))));
        EXPECT_FALSE(tree.exists(rel(kPak)));
        ui.clearRecords();
    }

    // The add-on went into the game as the serializer's binaries of the program's sources, and
    // the program's add-on folder holds binaries only.
    for (const char* name : {"oillamp_white_drb", "headcode_elec_drb", "taillight_drb"}) {
        const QString lampBin = kAnimated + QLatin1String(name) + QStringLiteral(".bin");
        const QFile sourceFile(programDataPath() + QStringLiteral("/LumavethLights/Assets/Kuju/DaraDerovizor/Scenery/Animated/")
                               + QLatin1String(name) + QStringLiteral(".bin.xml"));
        QFile xmlSource(sourceFile.fileName());
        ASSERT_TRUE(xmlSource.open(QIODevice::ReadOnly));
        EXPECT_EQ(decodeBinary(rel(lampBin)), xmlSource.readAll()) << name;
        EXPECT_FALSE(tree.exists(rel(lampBin + QStringLiteral(".xml")))) << name;
    }
    QDirIterator addOn(tree.path(QStringLiteral("program/LumavethLights")), QDir::Files, QDirIterator::Subdirectories);
    int binaries = 0;
    while (addOn.hasNext()) {
        EXPECT_TRUE(addOn.next().endsWith(QLatin1String(".bin")));
        ++binaries;
    }
    EXPECT_EQ(binaries, 3);
}

// Cancel, the close box, and OK without a template or without a train type write nothing,
// also when an earlier run had made its choices.
TEST_F(LightsWindowTest, NoChoiceWritesNothing)
{
    const auto closeBox = [](QWidget* w) { w->close(); };
    const auto cancel = [](QWidget* w) {
        if (auto* h = qobject_cast<dlgHead*>(w))
            h->CancelButton->click();
        else if (auto* t = qobject_cast<dlgTail*>(w))
            t->CancelButton->click();
    };
    const struct {
        const char* what;
        bool head;
        std::function<void(QWidget*)> action;
    } rows[] = {
        {"head: Cancel", true, cancel},
        {"head: close box", true, closeBox},
        {"head: OK without a train type", true, pickHead(0, -1)},
        {"head: OK without a template", true, pickHead(-1, 3)},
        {"tail: Cancel", false, cancel},
        {"tail: close box", false, closeBox},
        {"tail: OK without a template", false, pickTail(-1)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        frmAssets* w = openOn(kVehicles, {QStringLiteral("VS Class 90"), QStringLiteral("VS Mk1 Coach")});
        const QMap<QString, QByteArray> before = gameFiles();
        shared().HeadTemplateChoice = 1;
        shared().LampDialogChoice = 2;
        ui.expectModal(r.action, r.head ? QStringLiteral("Head Light Templates Available") : QStringLiteral("Tail Light Templates Available"));
        if (r.head)
            w->mnuHead_Click();
        else
            w->mnuTail_Click();
        EXPECT_TRUE(ui.messages().isEmpty());
        // Only the add-on came in (the first time); nothing else changed.
        QMap<QString, QByteArray> after = gameFiles();
        for (auto it = after.begin(); it != after.end();) {
            it = it.key().contains(QStringLiteral("/Kuju/")) && !before.contains(it.key()) ? after.erase(it) : std::next(it);
        }
        EXPECT_EQ(after, before);
        EXPECT_TRUE(tree.exists(rel(kPak)));
        ui.clearRecords();
    }
}

// Each way the command cannot start stops it with a message before the dialog, and every game
// file stays as it was; a lit copy that does not convert back is not written.
TEST_F(LightsWindowTest, StopsBeforeAnythingIsWritten)
{
    const QString program = tree.programPath();
    const struct {
        const char* what;
        std::function<void()> spoil;
        QString message;
        bool dialog;
        const char* serzFail;
    } rows[] = {
        {"no UKCode.txt", [&] { QFile::remove(tree.path(QStringLiteral("program/Templates/UKCode.txt"))); },
         assets::LampTemplateMissingMessage(program + QStringLiteral("\\Templates\\UKCode.txt")), false, ""},
        {"no UKLights.txt", [&] { QFile::remove(tree.path(QStringLiteral("program/Templates/UKLights.txt"))); },
         assets::LampTemplateMissingMessage(program + QStringLiteral("\\Templates\\UKLights.txt")), false, ""},
        {"a lamp blueprint missing in the game (the marker there, the add-on not copied)",
         [&] { tree.writeFile(rel(kAnimated + QStringLiteral("oillamp_white_drb.bin")), "own"); },
         assets::LightFilesMissingMessage(kAnimated + QStringLiteral("headcode_elec_drb.bin")), false, ""},
        {"the add-on does not convert",
         [&] {
             tree.writeFile(QStringLiteral("program/LumavethLights/Assets/Kuju/DaraDerovizor/Scenery/Animated/taillight_drb.bin.xml"),
                            "<?xml version=\"1.0\"?>\r\n<!--serz:fail-->\r\n");
         },
         QStringLiteral("The lamp add-on could not be installed:\r\nSerz.exe could not convert the lamp blueprint "), false, ""},
        {"the lit copy does not convert", [] {}, assets::FailedConversionMessage(QStringLiteral("VS_Class90_XP-Pass.bin")), true,
         "VS_Class90_XP-Pass.xml"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_TRUE(copyProgramData(program));
        QDir(tree.path(QStringLiteral("game/Assets/Kuju"))).removeRecursively();
        r.spoil();
        ScopedEnv fail("SERZ_FAIL", r.serzFail);
        frmAssets* w = openOn(kVehicles + QStringLiteral("\\Diesel"), {QStringLiteral("VS Class 90")});
        const QMap<QString, QByteArray> before = gameFiles();
        if (r.dialog)
            ui.expectModal(pickHead(0, 0), QStringLiteral("Head Light Templates Available"));
        ui.expectMsgBox(vb::vbOK, r.message);
        w->mnuHead_Click();
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
        QMap<QString, QByteArray> after = gameFiles();
        if (r.dialog) { // the add-on came in before the row failed
            for (auto it = after.begin(); it != after.end();)
                it = it.key().contains(QStringLiteral("/Kuju/")) ? after.erase(it) : std::next(it);
        }
        EXPECT_EQ(after, before);
        EXPECT_FALSE(tree.exists(rel(kDiesel + QStringLiteral("_XP-Pass.bin"))));
        ui.clearRecords();
    }
}

// Tail-lights on the coach, with the van (no child entries) passed over with a message: one
// dialog, the tail block turned round, the "_Rear" names.
TEST_F(LightsWindowTest, TailLightsAndARowWithoutChildEntries)
{
    const QString xml = QString::fromUtf8(decodeBinary(rel(kCoach + QStringLiteral(".bin"))));
    const QByteArray van = tree.readFile(rel(kVan + QStringLiteral(".bin")));
    frmAssets* w = openOn(kVehicles, {QStringLiteral("VS Mk1 Coach"), QStringLiteral("VS Box Van")});
    const bool vanFirst = rowNamed(w, QStringLiteral("VS Box Van")) < rowNamed(w, QStringLiteral("VS Mk1 Coach"));
    ui.expectModal(pickTail(0), QStringLiteral("Tail Light Templates Available"));
    ui.expectMsgBox(vb::vbOK, assets::LampNoChildrenMessage(asset(kVan + QStringLiteral(".bin"))));
    ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
    w->mnuTail_Click();
    EXPECT_EQ(shownLabel, vanFirst ? QStringLiteral("VS Box Van") : QStringLiteral("VS Mk1 Coach"));
    EXPECT_EQ(shownTemplates, (QStringList{"Tail lamp, red (coach)", "Tail lamp, red (van)"}));
    const QString entry = lampEntry(QStringLiteral("TailLamp"), QStringLiteral("taillight_drb.xml"), QStringLiteral("-1.0000"),
                                    {"0.0000", "1.2500", "-10.2000"});
    EXPECT_EQ(QString::fromUtf8(decodeBinary(rel(kCoach + QStringLiteral("_Rear.bin")))),
              litText(xml, entry, QStringLiteral("VS Mk1 Coach"), QStringLiteral("VS Mk1 Coach_Rear")));
    EXPECT_FALSE(tree.exists(rel(kVan + QStringLiteral("_Rear.bin"))));
    EXPECT_EQ(tree.readFile(rel(kVan + QStringLiteral(".bin"))), van);
    EXPECT_FALSE(tree.exists(rel(kPak)));
}

// Two rows of two products: one dialog for both, both lit copies, both blueprint caches gone.
TEST_F(LightsWindowTest, TwoRowsOfTwoProducts)
{
    const QByteArray blueprint = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
                                 "\t\t<cEngineBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">NAME</Name>\r\n"
                                 "\t\t\t<Children>\r\n\t\t\t</Children>\r\n\t\t\t<DisplayName>\r\n"
                                 "\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
                                 "\t\t\t\t\t<English d:type=\"cDeltaString\">NAME</English>\r\n"
                                 "\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
                                 "\t\t</cEngineBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
    const QString one = QStringLiteral("Lamps\\One\\RailVehicles\\Loco1");
    const QString two = QStringLiteral("Lamps\\Two\\RailVehicles\\Loco2");
    writeBinary(rel(one + QStringLiteral(".bin")), QByteArray(blueprint).replace("NAME", "Loco one"));
    writeBinary(rel(two + QStringLiteral(".bin")), QByteArray(blueprint).replace("NAME", "Loco two"));
    for (const char* pak : {"Lamps\\One\\BluePrints.pak", "Lamps\\Two\\BluePrints.pak"})
        tree.writeFile(rel(QLatin1String(pak)), "cache");

    frmAssets* w = openOn(QStringLiteral("Lamps"), {QStringLiteral("Loco one"), QStringLiteral("Loco two")});
    ui.expectModal(pickHead(2, 5), QStringLiteral("Head Light Templates Available")); // light engine: position 3
    ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
    w->mnuHead_Click();
    EXPECT_EQ(ui.messages().size(), 1);
    const QString entry = lampEntry(QStringLiteral("HeadLamp 3"), QStringLiteral("headcode_elec_drb.xml"), QStringLiteral("1.0000"),
                                    {"0.0000", "3.4000", "9.9700"});
    for (const auto& [file, name] : {std::pair{one, QStringLiteral("Loco one")}, std::pair{two, QStringLiteral("Loco two")}}) {
        const QString source = QString::fromUtf8(QByteArray(blueprint).replace("NAME", name.toUtf8()));
        EXPECT_EQ(QString::fromUtf8(decodeBinary(rel(file + QStringLiteral("_Light-Engine.bin")))),
                  litText(source, entry, name, name + QStringLiteral("_Light-Engine")));
    }
    EXPECT_FALSE(tree.exists(rel(QStringLiteral("Lamps\\One\\BluePrints.pak"))));
    EXPECT_FALSE(tree.exists(rel(QStringLiteral("Lamps\\Two\\BluePrints.pak"))));
}

// With the game's provider folders kept on another disk and linked back (the sample's, and the
// "Kuju" one the lamp add-on goes into), the command reads and writes through the links: the
// add-on lands in the folder the link leads to, the link stays, and the lit copy is made.
TEST_F(LightsWindowTest, HeadLightsThroughLinkedProviderFolders)
{
    const QString disk = tree.makeDir(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().rename(tree.path(QStringLiteral("game/Assets/VeltraneSamples")), disk + QStringLiteral("/VeltraneSamples")));
    ASSERT_TRUE(QFile::link(disk + QStringLiteral("/VeltraneSamples"), tree.path(QStringLiteral("game/Assets/VeltraneSamples"))));
    tree.writeFile(QStringLiteral("disk/Kuju/RailSimulator/own.bin"), "own");
    ASSERT_TRUE(QFile::link(disk + QStringLiteral("/Kuju"), tree.path(QStringLiteral("game/Assets/Kuju"))));

    frmAssets* w = openOn(kVehicles + QStringLiteral("\\Diesel"), {QStringLiteral("VS Class 90")});
    ui.expectModal(pickHead(0, 1), QStringLiteral("Head Light Templates Available"));
    ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
    w->mnuHead_Click();
    EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("game/Assets/Kuju"))).isSymLink());
    for (const char* name : {"oillamp_white_drb", "headcode_elec_drb", "taillight_drb"})
        EXPECT_FALSE(decodeBinary(QStringLiteral("disk/Kuju/DaraDerovizor/Scenery/Animated/") + QLatin1String(name)
                                  + QStringLiteral(".bin"))
                         .isEmpty())
            << name;
    EXPECT_EQ(tree.readFile(QStringLiteral("disk/Kuju/RailSimulator/own.bin")), "own");
    EXPECT_TRUE(decodeBinary(rel(kDiesel + QStringLiteral("_Stop-Pass.bin"))).contains(">HeadLamp 1<"));
}

// The sample's driving car takes head-lights too.
TEST_F(LightsWindowTest, TheSampleDrivingCarTakesHeadLights)
{
    frmAssets* w = openOn(kVehicles + QStringLiteral("\\DMU"), {QStringLiteral("VS Class 101")});
    ui.expectModal(pickHead(1, 6), QStringLiteral("Head Light Templates Available")); // parcels: positions 2 and 3
    ui.expectMsgBox(vb::vbOK, assets::ModifiedMessage);
    w->mnuHead_Click();
    const QString lit = QString::fromUtf8(decodeBinary(rel(kCar + QStringLiteral("_Parcel.bin"))));
    EXPECT_LT(lit.indexOf(QStringLiteral(">HeadLamp 3<")), lit.indexOf(QStringLiteral(">HeadLamp 2<")));
    EXPECT_GT(lit.indexOf(QStringLiteral(">HeadLamp 3<")), lit.indexOf(QStringLiteral("<Children>")));
    EXPECT_TRUE(lit.contains(QStringLiteral(">10.0800</e>"))); // position 3's own depth
    EXPECT_TRUE(lit.contains(QStringLiteral(">VS Class 101_Parcel</Name>")));
}
