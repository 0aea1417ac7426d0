// "Change LODs" in the asset list window, on a copy of the sample game with the test
// serializer: the scenery of Sample01 (a station whose shape has two "<LOD>" blocks, an oak
// whose shape has one, a driver figure whose shape has none).

#include "assets_window/AssetsWindowFixture.h"

#include "support/ScopedEnv.h"

#include <QLabel>
#include <QMenu>

namespace {

const QString kWarning = QStringLiteral(
    "Changing a large number of LODs can cause your route to run too slow.\r\n"
    "If you do not have a back-up of the folder you are about to alter, I suggest\r\n"
    "you make one before carrying out this procedure!");
const QString kEmptyBox = QStringLiteral("You must enter MinLOD and MaxLOD before selecting items to change.");

const QString kScenery = QStringLiteral("VeltraneSamples\\Sample01\\Scenery");
const QString kStation = kScenery + QStringLiteral("\\Buildings\\VS_Station01");
const QString kOak = kScenery + QStringLiteral("\\Trees\\VS_Oak01");
const QString kDriver = kScenery + QStringLiteral("\\Figures\\VS_Driver01");
const QString kPak = QStringLiteral("VeltraneSamples\\Sample01\\BluePrints.pak");

QString geo(const QString& item)
{
    return item + QStringLiteral(".GeoPcDx");
}
QString bin(const QString& item)
{
    return item + QStringLiteral(".bin");
}

QByteArray replaced(QByteArray xml, const std::vector<std::pair<const char*, const char*>>& values)
{
    for (const auto& [from, to] : values)
        xml.replace(QByteArray(">") + from + "</e>", QByteArray(">") + to + "</e>");
    return xml;
}

class LodWindowTest : public AssetsWindowTest {
protected:
    frmAssets* listScenery()
    {
        frmAssets* w = open();
        addToList(w, kScenery);
        return w;
    }
    void select(frmAssets* w, const QStringList& names) { selectNamed(w, names); }
    QStringList tempFiles() const
    {
        return QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST_F(LodWindowTest, TheBoxesAreShownAndKeepTheirLimits)
{
    frmAssets* w = open();
    for (QWidget* c : std::initializer_list<QWidget*>{w->Label1, w->Text3, w->Label2, w->Text4})
        EXPECT_FALSE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_TRUE(w->mnuLod->isVisible());
    EXPECT_TRUE(w->mnuEdAss->menuAction()->isVisible());

    const struct {
        bool min;
        const char* typed;
        const char* shown;
    } rows[] = {
        {true, "5000", "4000"}, {true, "4000", "4000"}, {true, "-20", "-20"},   {true, "4001m", "4000"},
        {false, "4950", "4900"}, {false, "4900", "4900"}, {false, "2000", "2000"}, {false, "", ""},
    };
    for (const auto& r : rows) {
        QLineEdit* box = r.min ? w->Text3 : w->Text4;
        box->setText(QString::fromUtf8(r.typed));
        EXPECT_EQ(box->text(), QString::fromUtf8(r.shown)) << r.typed;
    }
}

TEST_F(LodWindowTest, ChangesTheGeometriesOfTheSelectedRowsAndLeavesTheBlueprintsAlone)
{
    tree.writeFile(rel(kPak), "cache");
    frmAssets* w = listScenery();
    const QStringList cellsBefore = listedRows(w);
    const QByteArray stationGeo = tree.readFile(rel(geo(kStation)));
    const QByteArray oakGeo = tree.readFile(rel(geo(kOak)));
    const QByteArray stationXml = decodeBinary(rel(geo(kStation)));
    const QByteArray oakXml = decodeBinary(rel(geo(kOak)));
    ASSERT_TRUE(stationXml.contains("<LOD>") && oakXml.contains("<LOD>")) << "the sample shapes have LOD blocks";
    const QByteArray stationBp = tree.readFile(rel(bin(kStation)));
    const QByteArray oakBp = tree.readFile(rel(bin(kOak)));
    const QByteArray driverGeo = tree.readFile(rel(geo(kDriver)));

    select(w, {QStringLiteral("VS Station 01"), QStringLiteral("VS Oak 01")});
    ui.expectMsgBox(vb::vbOK, kWarning);
    w->mnuLod_Click();
    ASSERT_EQ(ui.messages().size(), 1) << "no closing message";
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKCancel + vb::vbExclamation);

    // The station's shape has several blocks: its one-value block takes Min.
    EXPECT_EQ(decodeBinary(rel(geo(kStation))),
              replaced(stationXml, {{"120.0000", "300.0000"}, {"480.0000", "600.0000"}, {"900.0000", "1500.0000"},
                                    {"2000.0000", "300.0000"}}));
    EXPECT_EQ(decodeBinary(rel(geo(kOak))),
              replaced(oakXml, {{"50.0000", "300.0000"}, {"150.0000", "500.0000"}, {"250.0000", "700.0000"},
                                {"400.0000", "1500.0000"}}));
    EXPECT_EQ(tree.readFile(rel(geo(kStation) + QStringLiteral(".bak"))), stationGeo);
    EXPECT_EQ(tree.readFile(rel(geo(kOak) + QStringLiteral(".bak"))), oakGeo);

    // Blueprints, their cache and the grid are as they were; the unselected row too.
    EXPECT_EQ(tree.readFile(rel(bin(kStation))), stationBp);
    EXPECT_EQ(tree.readFile(rel(bin(kOak))), oakBp);
    EXPECT_FALSE(tree.exists(rel(bin(kStation) + QStringLiteral(".bak"))));
    EXPECT_FALSE(tree.exists(rel(bin(kOak) + QStringLiteral(".bak"))));
    EXPECT_EQ(tree.readFile(rel(geo(kDriver))), driverGeo);
    EXPECT_FALSE(tree.exists(rel(geo(kDriver) + QStringLiteral(".bak"))));
    EXPECT_EQ(tree.readFile(rel(kPak)), QByteArray("cache"));
    EXPECT_EQ(listedRows(w), cellsBefore);
    ASSERT_LT(rowNamed(w, QStringLiteral("VS Oak 01")), rowNamed(w, QStringLiteral("VS Station 01")));
    EXPECT_EQ(w->StatusPanel2->text(), kStation + QStringLiteral(".GeoPcDx"));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    // The geometries' work files are gone.
    EXPECT_FALSE(tempFiles().contains(QStringLiteral("VS_Oak01.bin")));
    EXPECT_FALSE(tempFiles().contains(QStringLiteral("VS_Oak01.xml")));
    EXPECT_FALSE(tempFiles().contains(QStringLiteral("VS_Station01.bin")));
    EXPECT_FALSE(tempFiles().contains(QStringLiteral("VS_Station01.xml")));

    // Again with other boxes: the next backup name, the oak now judged by its own one block.
    w->Text3->setText(QStringLiteral("0"));
    w->Text4->setText(QStringLiteral("1000"));
    select(w, {QStringLiteral("VS Oak 01")});
    ui.expectMsgBox(vb::vbOK, kWarning);
    w->mnuLod_Click();
    EXPECT_EQ(decodeBinary(rel(geo(kOak))),
              replaced(oakXml, {{"50.0000", ".0000"}, {"150.0000", "166.5000"}, {"250.0000", "333.0000"},
                                {"400.0000", "1000.0000"}}));
    EXPECT_EQ(tree.readFile(rel(geo(kOak) + QStringLiteral(".bak"))), oakGeo);
    EXPECT_TRUE(tree.exists(rel(geo(kOak) + QStringLiteral(".bak1"))));
}

TEST_F(LodWindowTest, RowsThatCannotBeDoneAreSkippedAndLaterRowsStillDone)
{
    // The oak's blueprint names no geometry, the driver's geometry is missing; both lie
    // before the station in the list.
    writeBinary(rel(bin(kOak)), scenery("VS Oak 01", "eFalse"));
    QFile::remove(tree.path(rel(geo(kDriver))));
    frmAssets* w = listScenery();
    ASSERT_LT(rowNamed(w, QStringLiteral("VS Oak 01")), rowNamed(w, QStringLiteral("VS Station 01")));
    ASSERT_LT(rowNamed(w, QStringLiteral("VS Driver 01")), rowNamed(w, QStringLiteral("VS Station 01")));
    const QByteArray stationGeo = tree.readFile(rel(geo(kStation)));
    const QByteArray oakGeo = tree.readFile(rel(geo(kOak)));

    select(w, {QStringLiteral("VS Oak 01"), QStringLiteral("VS Driver 01"), QStringLiteral("VS Station 01")});
    ui.expectMsgBox(vb::vbOK, kWarning);
    w->mnuLod_Click();
    EXPECT_EQ(ui.messages().size(), 1) << "the skipped rows show nothing";
    EXPECT_EQ(tree.readFile(rel(geo(kOak))), oakGeo);
    EXPECT_FALSE(tree.exists(rel(geo(kOak) + QStringLiteral(".bak"))));
    EXPECT_FALSE(tree.exists(rel(geo(kDriver))));
    EXPECT_FALSE(tree.exists(rel(geo(kDriver) + QStringLiteral(".bak"))));
    EXPECT_EQ(tree.readFile(rel(geo(kStation) + QStringLiteral(".bak"))), stationGeo);
    EXPECT_TRUE(decodeBinary(rel(geo(kStation))).contains(">1500.0000</e>"));
}

TEST_F(LodWindowTest, NothingIsWrittenWhenTheCommandStopsOrAConversionFails)
{
    const QString failBack = QStringLiteral("Serz.exe could not convert file VS_Oak01.GeoPcDx\r\n"
                                            "This is a limitation of Serz.exe and out of my control.");
    const struct {
        const char* what;
        const char* minText;
        const char* maxText;
        int answer;              // to the warning
        const char* serzFail;    // SERZ_FAIL
        bool emptyGeometry;      // the oak's shape is an empty file
        bool takeAllBackups;     // ".bak" and ".bak1" to ".bak50" of the shape exist
        QString message;         // after the warning; "" for none
        bool workXml;            // the shape's work XML "TempFiles\VS_Oak01.xml" is left
    } rows[] = {
        {"cancelled", "300", "1500", vb::vbCancel, "", false, false, QString(), false},
        {"empty Min LOD", "", "1500", vb::vbOK, "", false, false, kEmptyBox, false},
        {"empty Max LOD", "300", "", vb::vbOK, "", false, false, kEmptyBox, false},
        {"conversion back fails", "300", "1500", vb::vbOK, "VS_Oak01.xml", false, false, failBack, true},
        {"the shape gives no XML", "300", "1500", vb::vbOK, "", true, false, failBack, false},
        {"the blueprint gives no XML", "300", "1500", vb::vbOK, "VS_Oak01.bin", false, false, QString(), false},
        {"no free backup name", "300", "1500", vb::vbOK, "", false, true,
         QStringLiteral("All 51 backup names of ") + asset(geo(kOak))
             + QStringLiteral(" are in use; delete some of its old backups. The file has not been changed."),
         true},
    };
    frmAssets* w = listScenery();
    const QByteArray oakGeo = tree.readFile(rel(geo(kOak)));
    const QByteArray oakBp = tree.readFile(rel(bin(kOak)));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ScopedEnv fail("SERZ_FAIL", r.serzFail);
        tree.writeFile(rel(geo(kOak)), r.emptyGeometry ? QByteArray() : oakGeo);
        for (int n = 0; r.takeAllBackups && n <= 50; ++n)
            tree.writeFile(rel(geo(kOak) + QStringLiteral(".bak") + (n ? QString::number(n) : QString())), "old backup");
        w->Text3->setText(QString::fromUtf8(r.minText));
        w->Text4->setText(QString::fromUtf8(r.maxText));
        select(w, {QStringLiteral("VS Oak 01")});
        QDir(tree.path(QStringLiteral("program/TempFiles"))).removeRecursively();
        ui.clearRecords();
        ui.expectMsgBox(r.answer, kWarning);
        if (!r.message.isEmpty())
            ui.expectMsgBox(vb::vbOK, r.message);
        w->mnuLod_Click();
        ui.verifyDone();
        ASSERT_EQ(ui.messages().size(), r.message.isEmpty() ? 1 : 2);
        if (!r.message.isEmpty()) {
            EXPECT_EQ(ui.lastMessage().text, r.message);
            EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        }
        EXPECT_EQ(tree.readFile(rel(geo(kOak))), r.emptyGeometry ? QByteArray() : oakGeo);
        if (r.takeAllBackups) {
            for (int n = 0; n <= 50; ++n) {
                const QString backup = rel(geo(kOak) + QStringLiteral(".bak") + (n ? QString::number(n) : QString()));
                EXPECT_EQ(tree.readFile(backup), QByteArray("old backup"));
                QFile::remove(tree.path(backup));
            }
        }
        EXPECT_FALSE(tree.exists(rel(geo(kOak) + QStringLiteral(".bak"))));
        EXPECT_EQ(tree.readFile(rel(bin(kOak))), oakBp);
        EXPECT_EQ(tempFiles().contains(QStringLiteral("VS_Oak01.xml")), r.workXml) << tempFiles().join(' ').toStdString();
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }
}

} // namespace
