// The text work of the crew and passenger commands: the template choice, the insertion into the
// child entries, the twins and the conductor copy.
#include "assets/CrewPassengers.h"

#include "support/ScopedEnv.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

using namespace assets;

namespace {

QString q(const char* s)
{
    return QString::fromUtf8(s);
}

// A driver child entry with n values in its matrix, the thirteenth being value13.
QString driverEntry(int n, const char* value13, const char* name = "Driver", const char* id = "WP_04_02")
{
    QString e = q("<cEntityContainerBlueprint-sChild d:id=\"7\">\n<ChildName>") + q(name) + q("</ChildName>\n<ID>") + q(id)
        + q("</ID>\n<Matrix><cHcRMatrix4x4><Element>\n");
    for (int i = 1; i <= n; ++i)
        e += q("<e d:type=\"sFloat32\">") + (i == 13 ? q(value13) : QString::number(i)) + q("</e>\n");
    return e + q("</Element></cHcRMatrix4x4></Matrix>\n</cEntityContainerBlueprint-sChild>");
}

} // namespace

TEST(CrewText, PassengerTemplateFollowsTheBaseName)
{
    const struct {
        const char* base;
        const QString& expected;
    } rows[] = {
        {"VS_Mk1Coach", PassengersTemplate},
        {"vs_MK1coach", PassengersTemplate},
        {"Mk1_BCK", PassengersTemplate3}, // the brake coach wins over Mk1
        {"mk1bfk", PassengersTemplate3},
        {"Mk1 Guard Van", PassengersTemplate3},
        {"Class90", PassengersTemplate2},
        {"Mk2Coach", PassengersTemplate2},
        {"", PassengersTemplate2},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PassengerTemplateFor(q(r.base)), r.expected) << r.base;
}

TEST(CrewText, EntriesGoDirectlyAfterTheChildrenTagsLineBreak)
{
    const struct {
        const char* text;
        const char* expected; // "" when nothing can be inserted
    } rows[] = {
        {"<a>\r\n<Children>\r\n<old/>\r\n</Children>\r\n", "<a>\r\n<Children>\r\n[E]<old/>\r\n</Children>\r\n"},
        {"<a>\n<Children>\n<old/>\n</Children>\n", "<a>\n<Children>\n[E]<old/>\n</Children>\n"},
        {"<a><Children><old/>\n</Children>", "<a><Children>[E]<old/>\n</Children>"},
        {"<a><Children>", "<a><Children>[E]"},
        {"<a><Children>\r", "<a><Children>[E]\r"},
        {"<a><children>\r\n</children>", "<a><children>\r\n[E]</children>"},
        {"<a>\r\n<Children/>\r\n<b/>", "<a>\r\n<Children>[E]</Children>\r\n<b/>"},
        {"<a><CHILDREN/></a>", "<a><Children>[E]</Children></a>"},
        {"<Children>\n<x/></Children><Children/>", "<Children>\n[E]<x/></Children><Children/>"},
        {"<a><ChildrenX/></a>", ""},
        {"<a></a>", ""},
    };
    for (const auto& r : rows) {
        QString result = q("untouched");
        const bool inserted = InsertChildEntries(q(r.text), q("[E]"), result);
        EXPECT_EQ(inserted, *r.expected != 0) << r.text;
        EXPECT_EQ(result, *r.expected ? q(r.expected) : q("untouched")) << r.text;
    }
}

TEST(CrewText, TwinsKeepTheOriginalWithSuffixedNames)
{
    const QString text = q("<Blueprint>\r\n<Name d:type=\"cDeltaString\">Coach A</Name>\r\n<Other>Coach A</Other>\r\n"
                           "<English>Coach A</English><French>coach a</French><German>Wagen</German></Blueprint>");
    EXPECT_EQ(PassengerTwinText(text, q("Coach A")),
              q("<Blueprint>\r\n<Name d:type=\"cDeltaString\">Coach A_MT</Name>\r\n<Other>Coach A</Other>\r\n"
                "<English>Coach A_MT</English><French>coach a</French><German>Wagen</German></Blueprint>"));
    EXPECT_EQ(DriverTwinText(text, q("Coach A")),
              q("<Blueprint>\r\n<Name d:type=\"cDeltaString\">Coach A_PO</Name>\r\n<Other>Coach A_PO</Other>\r\n"
                "<English>Coach A_PO</English><French>Coach A_PO</French><German>Wagen</German></Blueprint>"));
    // An empty display name replaces nothing.
    EXPECT_EQ(DriverTwinText(text, QString()), text);
    // A name with "&" is written and found in its escaped form.
    const QString amp = q("<Name x=\"\">B&amp;B</Name><English>B&amp;B</English>");
    EXPECT_EQ(PassengerTwinText(amp, q("B&B")), q("<Name x=\"\">B&amp;B_MT</Name><English>B&amp;B_MT</English>"));
    EXPECT_EQ(DriverTwinText(amp, q("B&B")), q("<Name x=\"\">B&amp;B_PO</Name><English>B&amp;B_PO</English>"));
    // Without "<Name " the passenger twin is the text as it was.
    EXPECT_EQ(PassengerTwinText(q("<English>A</English>"), q("A")), q("<English>A</English>"));

    EXPECT_EQ(TwinPath(q("C:\\Game\\Assets\\P\\Q\\Coach.bin"), PassengerTwinSuffix), q("C:\\Game\\Assets\\P\\Q\\Coach_MT.bin"));
    EXPECT_EQ(TwinPath(q("C:\\Game\\Assets\\P\\Q\\Car.BIN"), DriverTwinSuffix), q("C:\\Game\\Assets\\P\\Q\\Car_PO.bin"));
}

TEST(CrewText, ConductorIsACopyOfTheDriverEntryWithTheThirteenthValueTurned)
{
    const QString before = q("<Blueprint><Name>Loco</Name><Children>\r\n<cEntityContainerBlueprint-sChild d:id=\"1\">"
                             "<ChildName>Horn</ChildName></cEntityContainerBlueprint-sChild>\r\n");
    const QString after = q("\r\n</Children></Blueprint>");
    const struct {
        const char* value;
        const char* turned;
    } values[] = {{"0.8", "-0.8"}, {"-0.8", "0.8"}, {"", "-"}, {"--1", "-1"}};
    for (const auto& v : values) {
        const QString entry = driverEntry(14, v.value);
        QString conductor = driverEntry(14, v.turned, "Conductor", "WP_04_01");
        QString result;
        ASSERT_EQ(AddConductor(before + entry + after, result), ConductorFault::None) << v.value;
        EXPECT_EQ(result, before + entry + conductor + after) << v.value;
    }
    // Any case; no identifier to change.
    const QString lower = driverEntry(13, "0.5", "driver", "X").replace(q("<e d:"), q("<E d:"));
    QString result;
    ASSERT_EQ(AddConductor(q("<children>") + lower, result), ConductorFault::None);
    EXPECT_EQ(result, q("<children>") + lower + driverEntry(13, "-0.5", "Conductor", "X").replace(q("<e d:"), q("<E d:")));
}

TEST(CrewText, ConductorFaultsLeaveTheResultUntouched)
{
    const QString entry = driverEntry(13, "0.8");
    const struct {
        QString text;
        ConductorFault fault;
    } rows[] = {
        {entry, ConductorFault::NoChildren},
        {q("<Children/>") + entry, ConductorFault::NoChildren},
        {q("<Children>") + driverEntry(13, "0.8", "Guard"), ConductorFault::NoDriver},
        {entry + q("<Children>"), ConductorFault::NoDriver},
        {q("<Children><Seat>Driver</Seat>"), ConductorFault::NoEntry},
        {q("<Children>") + driverEntry(13, "0.8", "Guard") + q("<Seat>Driver</Seat>"), ConductorFault::NoEntry},
        {q("<Children><cEntityContainerBlueprint-sChild><ChildName>Driver</ChildName>"), ConductorFault::NoEntry},
        {q("<Children><cEntityContainerBlueprint-sChild><ChildName>Driver</ChildName>"
           "<e>1</e></cEntityContainerBlueprint-sChild>"),
         ConductorFault::NoValues},
        {q("<Children>") + driverEntry(12, ""), ConductorFault::TooFewValues},
        {q("<Children><cEntityContainerBlueprint-sChild><ChildName>Driver</ChildName><Element>"
           "<e 1<e 2<e 3<e 4<e 5<e 6<e 7<e 8<e 9<e 10<e 11<e 12<e 13</cEntityContainerBlueprint-sChild>"),
         ConductorFault::TooFewValues},
    };
    for (const auto& r : rows) {
        QString result = q("untouched");
        EXPECT_EQ(AddConductor(r.text, result), r.fault) << r.text.toStdString();
        EXPECT_EQ(result, q("untouched")) << r.text.toStdString();
        EXPECT_FALSE(ConductorFaultMessage(r.fault, q("C:\\x.bin")).isEmpty());
    }
}

// The template comes from the program folder and is chosen by the base name alone, even when
// the work folder's path holds "Mk1"; the twin goes beside the blueprint with its own work name.
TEST(CrewText, EditReadsTheTemplateOfEachRowAndMakesTheTwin)
{
    TempTree tree;
    const QString program = tree.path(QStringLiteral("Mk1Program"));
    ScopedEnv home("VELTRANE_HOME", program);
    tree.writeFile(QStringLiteral("Mk1Program/Templates/AddPassengers.txt"), "[one]\r\n");
    tree.writeFile(QStringLiteral("Mk1Program/Templates/AddPassengers2.txt"), "[two]\r\n");
    tree.writeFile(QStringLiteral("Mk1Program/Templates/AddDriver.txt"), "[driver]\r\n");

    const QString text = q("<Name a=\"\">Car</Name><English>Car</English><French>Car</French><Children>\r\n</Children>");
    const QString game = q("C:\\Game");
    const struct {
        CrewCommand command;
        const char* path;
        const char* edited;
        const char* twinPath;
        const char* twinText;
        const char* workName;
    } rows[] = {
        {CrewCommand::Passengers, "P\\Q\\Coach.bin", "[two]", "C:\\Game\\Assets\\P\\Q\\Coach_MT.bin",
         "<Name a=\"\">Car_MT</Name><English>Car_MT</English><French>Car</French>", "Coach_MT."},
        {CrewCommand::Passengers, "P\\Q\\VS_Mk1Coach.bin", "[one]", "C:\\Game\\Assets\\P\\Q\\VS_Mk1Coach_MT.bin",
         "<Name a=\"\">Car_MT</Name><English>Car_MT</English><French>Car</French>", "VS_Mk1Coach_MT."},
        {CrewCommand::Driver, "P\\Q\\Mk1\\DMOCL.bin", "[driver]", "C:\\Game\\Assets\\P\\Q\\Mk1\\DMOCL_PO.bin",
         "<Name a=\"\">Car_PO</Name><English>Car_PO</English><French>Car_PO</French>", "DMOCL_PO."},
    };
    for (const auto& r : rows) {
        RowPaths paths;
        ASSERT_TRUE(MakeRowPaths({2, q("P"), q("Q"), q(r.path).mid(4)}, game, paths));
        ASSERT_TRUE(paths.workBase.contains(q("Mk1Program")));
        const EditResult edit = CrewEdit(r.command, paths, text, q("Car"));
        EXPECT_TRUE(edit.message.isEmpty()) << edit.message.toStdString();
        EXPECT_FALSE(edit.endRun);
        ASSERT_EQ(edit.outputs.size(), 2u) << r.path;
        EXPECT_EQ(edit.outputs[0].text, text.left(text.size() - 11) + q(r.edited) + q("\r\n</Children>")) << r.path;
        EXPECT_TRUE(edit.outputs[0].target.isEmpty());
        EXPECT_EQ(edit.outputs[0].placement, Placement::ReplaceWithBackup);
        EXPECT_EQ(edit.outputs[1].target, q(r.twinPath));
        EXPECT_EQ(edit.outputs[1].text, q(r.twinText) + q("<Children>\r\n</Children>"));
        EXPECT_EQ(edit.outputs[1].placement, Placement::ReplaceWithBackup);
        EXPECT_EQ(edit.outputs[1].workName, q(r.workName));
        EXPECT_EQ(edit.outputs[1].failedName, q(r.workName) + q("bin"));
    }

    // A blueprint without child entries is passed over with a message; a missing template ends
    // the run.
    RowPaths bare;
    ASSERT_TRUE(MakeRowPaths({2, q("P"), q("Q"), q("Coach.bin")}, game, bare));
    const EditResult none = CrewEdit(CrewCommand::Passengers, bare, q("<Name a=\"\">Car</Name>"), q("Car"));
    EXPECT_TRUE(none.outputs.empty());
    EXPECT_FALSE(none.endRun);
    EXPECT_EQ(none.message, NoChildrenMessage(bare.fullPath));
    RowPaths guard;
    ASSERT_TRUE(MakeRowPaths({2, q("P"), q("Q"), q("GuardVan.bin")}, game, guard));
    const EditResult missing = CrewEdit(CrewCommand::Passengers, guard, text, q("Car"));
    EXPECT_TRUE(missing.outputs.empty());
    EXPECT_TRUE(missing.endRun);
    EXPECT_EQ(missing.message, MissingTemplateMessage(program + q("\\Templates\\AddPassengers3.txt")));
}
