// The lights commands' text work: the lamp list reader, the lamp table, the lamp blocks of
// each position and the tail block, their place in the child entries, and the lamp add-on's
// preparation with the test serializer.
#include "assets/Lights.h"

#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/VbError.h"

#include "support/SampleGame.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using assets::LampKind;
using assets::LampRecord;

namespace {

LampRecord rec(std::initializer_list<const char*> fields)
{
    LampRecord r;
    int k = 0;
    for (const char* f : fields)
        r[k++] = QString::fromUtf8(f);
    return r;
}

std::string show(const std::vector<LampRecord>& records)
{
    std::string out;
    for (const LampRecord& r : records) {
        out += "[";
        for (const QString& f : r)
            out += "<" + f.toStdString() + ">";
        out += "]";
    }
    return out;
}

} // namespace

TEST(LampRecords, FieldsAndRecordsAsSequentialInput)
{
    const struct {
        const char* what;
        const char* text;
        std::vector<LampRecord> records;
    } rows[] = {
        {"quoted fields keep commas and blanks", "\"Lamp, white\",\" K\\P\\a.bin \",1,2,3,4,5,6\r\n",
         {rec({"Lamp, white", " K\\P\\a.bin ", "1", "2", "3", "4", "5", "6"})}},
        {"blanks and tabs around unquoted fields dropped", "  a , b\t,\tc ,d,e,f,g,  h  \r\n",
         {rec({"a", "b", "c", "d", "e", "f", "g", "h"})}},
        {"text after a closing quote dropped", "\"a\"xyz,b,c,d,e,f,g,h\n", {rec({"a", "b", "c", "d", "e", "f", "g", "h"})}},
        {"empty fields between commas", "a,,c,, ,f,g,h\r\n", {rec({"a", "", "c", "", "", "f", "g", "h"})}},
        {"a record over two lines", "a,b,c,d\r\ne,f,g,h\r\ni,j,k,l,m,n,o,p\r\n",
         {rec({"a", "b", "c", "d", "e", "f", "g", "h"}), rec({"i", "j", "k", "l", "m", "n", "o", "p"})}},
        {"LF-only lines, blank lines and a missing last line end", "a,b,c,d,e,f,g,h\n\n\ni,j,k,l,m,n,o,p",
         {rec({"a", "b", "c", "d", "e", "f", "g", "h"}), rec({"i", "j", "k", "l", "m", "n", "o", "p"})}},
        {"a cut-short last record has empty fields", "a,b,c,d,e,f,g,h\r\ni,\"j\",k\r\n\r\n",
         {rec({"a", "b", "c", "d", "e", "f", "g", "h"}), rec({"i", "j", "k"})}},
        {"an unclosed quote runs to the end", "a,b,c,d,e,f,g,\"h,i\r\n", {rec({"a", "b", "c", "d", "e", "f", "g", "h,i\r\n"})}},
        {"nothing", " \r\n\r\n", {}},
    };
    for (const auto& r : rows) {
        const std::vector<LampRecord> got = assets::ReadLampRecords(QString::fromUtf8(r.text));
        EXPECT_EQ(show(got), show(r.records)) << r.what;
    }
}

class LampTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        for (const char* lamp : {"Kuju/Lamps/Animated/white.bin", "Kuju/Lamps/Animated/red.bin"})
            tree.writeFile(QStringLiteral("game/Assets/") + QLatin1String(lamp), "lamp");
    }
    void TearDown() override { resetShared(); }

    std::vector<QStringList> tableRows(int from, int to) const
    {
        std::vector<QStringList> rows;
        for (int n = from; n <= to; ++n) {
            QStringList row;
            for (int k = 0; k <= 8; ++k)
                row << shared().LampTable(n, k);
            rows.push_back(row);
        }
        return rows;
    }

    TempTree tree;
};

// Each kind lists its own records in file order, row k for entry k; fields 0 and 1 trimmed and
// the blueprint named as ".xml"; a missing lamp of either kind stops both.
TEST_F(LampTableTest, EachKindListsItsOwnRecordsAndEveryLampMustExist)
{
    const QString list = QStringLiteral(
        "\" Head one \",\"Kuju\\Lamps\\Animated\\white.bin\",0.62,3.45,9.95,3.90,9.98,0.0000\r\n"
        "Tail one,\"Kuju\\Lamps\\Animated\\red.bin\",0.00,1.25,-10.2,0,0,0\r\n"
        "Head two,Kuju\\Lamps\\Animated\\WHITE.BIN,0.58,3.05,10.1,3.55,10.2,10.0\r\n");
    const struct {
        LampKind kind;
        QStringList names;
        std::vector<QStringList> rows;
    } kinds[] = {
        {LampKind::Head,
         {"Head one", "Head two"},
         {{"", "", "", "", "", "", "", "", ""},
          {"Head one", "Kuju\\Lamps\\Animated\\white.xml", "0.62", "3.45", "9.95", "3.90", "9.98", "0.0000", ""},
          {"Head two", "Kuju\\Lamps\\Animated\\WHITE.xml", "0.58", "3.05", "10.1", "3.55", "10.2", "10.0", ""}}},
        {LampKind::Tail,
         {"Tail one"},
         {{"", "", "", "", "", "", "", "", ""},
          {"Tail one", "Kuju\\Lamps\\Animated\\red.xml", "0.00", "1.25", "-10.2", "0", "0", "0", ""}}},
    };
    for (const auto& k : kinds) {
        resetShared();
        const assets::LampList got = assets::LoadLampTable(assets::ReadLampRecords(list), k.kind, tree.gamePath(), shared());
        EXPECT_TRUE(got.complete);
        EXPECT_EQ(got.names, k.names);
        EXPECT_EQ(tableRows(0, int(k.rows.size()) - 1), k.rows);
    }

    // A tail lamp missing from the game stops the head list too, naming the lamp as read.
    const QString missing = list + QStringLiteral("Tail two,Kuju\\Lamps\\Animated\\gone.bin,0,1,2,0,0,0\r\n");
    for (LampKind kind : {LampKind::Head, LampKind::Tail}) {
        const assets::LampList got = assets::LoadLampTable(assets::ReadLampRecords(missing), kind, tree.gamePath(), shared());
        EXPECT_FALSE(got.complete);
        EXPECT_EQ(got.missing, QStringLiteral("Kuju\\Lamps\\Animated\\gone.bin"));
    }
    // A record cut short before its lamp names none.
    const assets::LampList cut = assets::LoadLampTable(assets::ReadLampRecords(list + QStringLiteral("Short")),
                                                       LampKind::Head, tree.gamePath(), shared());
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(assets::LightFilesMissingMessage(QStringLiteral("Kuju\\x.bin")),
              QStringLiteral("You do not appear to have the Light files installed:-\r\nKuju\\x.bin"));
}

// Sixty records of one kind: the table grows past its fifty rows and keeps them all.
TEST_F(LampTableTest, SixtyRecordsFillSixtyRows)
{
    QString list;
    for (int i = 1; i <= 60; ++i)
        list += QStringLiteral("Lamp %1,Kuju\\Lamps\\Animated\\white.bin,%1,2,3,4,5,6\r\n").arg(i);
    const assets::LampList got = assets::LoadLampTable(assets::ReadLampRecords(list), LampKind::Head, tree.gamePath(), shared());
    ASSERT_EQ(got.names.size(), 60);
    EXPECT_EQ(got.names.last(), QStringLiteral("Lamp 60"));
    EXPECT_EQ(shared().LampTable(50, 0), QStringLiteral("Lamp 50"));
    EXPECT_EQ(shared().LampTable(60, 2), QStringLiteral("60"));
    EXPECT_EQ(shared().LampTable(60, 7), QStringLiteral("6"));
}

// The lamp block: every placeholder in any case, every occurrence, in one pass; the position
// values of each head-lamp position and of the tail lamp.
TEST(LampBlocks, PlaceholdersByPositionAndKind)
{
    const QString code = QStringLiteral("N=HeadLamp;n=headLAMP;P=444444;Q=555555;R=666666;S=777777;X=111111;Y=222222;Z=333333;x=111111");
    const LampRecord row = rec({"White", "Kuju\\Lamps\\Animated\\white.xml", " 0.62 ", "3.45", "9.95", "3.90", "9.98", "0.0000"});
    LampRecord fallback = row;
    fallback[7] = QStringLiteral("10.08");
    const struct {
        const char* what;
        LampRecord record;
        LampKind kind;
        int position;
        const char* block;
    } rows[] = {
        {"position 1", row, LampKind::Head, 1,
         "N=HeadLamp 1;n=HeadLamp 1;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=1.0000;X=0.0000;Y=3.90;Z=9.98;x=0.0000"},
        {"position 2", row, LampKind::Head, 2,
         "N=HeadLamp 2;n=HeadLamp 2;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=1.0000;X= 0.62 ;Y=3.45;Z=9.95;x= 0.62 "},
        {"position 3 takes field 4 for 0.0000", row, LampKind::Head, 3,
         "N=HeadLamp 3;n=HeadLamp 3;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=1.0000;X=0.0000;Y=3.45;Z=9.95;x=0.0000"},
        {"position 3 with its own value", fallback, LampKind::Head, 3,
         "N=HeadLamp 3;n=HeadLamp 3;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=1.0000;X=0.0000;Y=3.45;Z=10.08;x=0.0000"},
        {"position 4", row, LampKind::Head, 4,
         "N=HeadLamp 4;n=HeadLamp 4;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=1.0000;X=-0.62;Y=3.45;Z=9.95;x=-0.62"},
        {"tail", row, LampKind::Tail, 0,
         "N=TailLamp;n=TailLamp;P=Kuju;Q=Lamps;R=Animated\\white.xml;S=-1.0000;X= 0.62 ;Y=3.45;Z=9.95;x= 0.62 "},
    };
    for (const auto& r : rows)
        EXPECT_EQ(assets::FillLampBlock(code, r.record, r.kind, r.position), QString::fromUtf8(r.block)) << r.what;

    // A value is not searched again for a later placeholder.
    LampRecord tricky = row;
    tricky[2] = QStringLiteral("222222");
    EXPECT_EQ(assets::FillLampBlock(QStringLiteral("111111/222222"), tricky, LampKind::Tail),
              QStringLiteral("222222/3.45"));
    EXPECT_THROW(assets::FillLampBlock(code, row, LampKind::Head, 5), VbError);
}

// The blocks go directly after the first "<Children>" tag, the last one first; the text after
// them is unchanged. No such tag: nothing.
TEST(LampBlocks, InsertedDirectlyAfterTheFirstChildrenTag)
{
    const QStringList blocks{QStringLiteral("[1]"), QStringLiteral("[2]")};
    const struct {
        const char* what;
        const char* text;
        bool ok;
        const char* result;
    } rows[] = {
        {"CR LF", "<a>\r\n\t<Children>\r\n\t\t<x/>\r\n\t</Children>\r\n<Children>\r\n", true,
         "<a>\r\n\t<Children>[2][1]\r\n\t\t<x/>\r\n\t</Children>\r\n<Children>\r\n"},
        {"any case, LF", "<children>\n</children>", true, "<children>[2][1]\n</children>"},
        {"empty element", "<a><Children/></a>", false, ""},
        {"none", "<a></a>", false, ""},
    };
    for (const auto& r : rows) {
        QString result = QStringLiteral("untouched");
        EXPECT_EQ(assets::InsertLampBlocks(QString::fromUtf8(r.text), blocks, result), r.ok) << r.what;
        EXPECT_EQ(result, r.ok ? QString::fromUtf8(r.result) : QStringLiteral("untouched")) << r.what;
    }
}

// The lamp add-on: its XML sources become the serializer's binaries beside them and go; a
// failed conversion leaves every source for the next attempt; the copy into the game happens
// only when the command's marker is missing there.
class LampAddOnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        head = tree.writeFile(addOn + QStringLiteral("Kuju/DaraDerovizor/Scenery/Animated/oillamp_white_drb.bin.xml"),
                              "<?xml version=\"1.0\"?>\r\n<head/>\r\n");
        tail = tree.writeFile(addOn + QStringLiteral("Kuju/DaraDerovizor/Scenery/Animated/taillight_drb.bin.xml"),
                              "<?xml version=\"1.0\"?>\r\n<tail/>\r\n");
        tree.makeDir(QStringLiteral("game/Assets"));
    }
    void TearDown() override { resetShared(); }

    QByteArray decoded(const QString& bin)
    {
        const QString out = tree.path(QStringLiteral("decoded.xml"));
        QFile::remove(out);
        if (!RunSerz(bin, serz::ToXml, out, tree.programPath()).ok)
            return QByteArray();
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TempTree tree;
    const QString addOn = QStringLiteral("program/LumavethLights/Assets/");
    QString head;
    QString tail;
};

TEST_F(LampAddOnTest, SourcesBecomeBinariesOnFirstNeed)
{
    QString error;
    ASSERT_TRUE(assets::EnsureLampAddOn(&error)) << error.toStdString();
    for (const auto& [source, xml] : {std::pair{head, QByteArray("<head/>")}, std::pair{tail, QByteArray("<tail/>")}}) {
        EXPECT_FALSE(QFileInfo::exists(source));
        const QString bin = source.chopped(4);
        ASSERT_TRUE(QFileInfo::exists(bin));
        EXPECT_GT(QFileInfo(bin).size(), 0);
        EXPECT_TRUE(decoded(bin).contains(xml));
    }
    // Ready already: nothing to do, still fine.
    EXPECT_TRUE(assets::EnsureLampAddOn(&error)) << error.toStdString();
}

TEST_F(LampAddOnTest, FailuresLeaveTheSourcesAndTheGame)
{
    const struct {
        const char* what;
        std::function<void()> spoil;
        const char* reason;
    } rows[] = {
        {"a source the serializer refuses",
         [&] { tree.writeFile(tail, "<?xml version=\"1.0\"?>\r\n<!--serz:fail-->\r\n<tail/>\r\n"); },
         "Serz.exe could not convert the lamp blueprint "},
        {"no add-on folder", [&] { QDir(tree.path(QStringLiteral("program/LumavethLights"))).removeRecursively(); },
         "is missing."},
        {"an empty add-on folder",
         [&] {
             QDir(tree.path(QStringLiteral("program/LumavethLights"))).removeRecursively();
             tree.makeDir(addOn);
         },
         "holds no lamp blueprints."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        r.spoil();
        QString error;
        EXPECT_FALSE(assets::InstallLampAddOn(LampKind::Head, tree.gamePath(), &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(r.reason))) << error.toStdString();
        EXPECT_TRUE(QDir(tree.path(QStringLiteral("game/Assets"))).isEmpty());
        if (QFileInfo::exists(tail)) {
            EXPECT_TRUE(QFileInfo::exists(head)); // every source stays for the next attempt
            EXPECT_TRUE(QFileInfo::exists(tail));
        }
    }
}

TEST_F(LampAddOnTest, CopiedIntoTheGameWhenTheMarkerIsMissing)
{
    const QString animated = QStringLiteral("game/Assets/Kuju/DaraDerovizor/Scenery/Animated/");
    // The tail marker present: the tail command copies nothing.
    tree.writeFile(animated + QStringLiteral("taillight_drb.bin"), "own");
    QString error;
    ASSERT_TRUE(assets::InstallLampAddOn(LampKind::Tail, tree.gamePath(), &error)) << error.toStdString();
    EXPECT_FALSE(tree.exists(animated + QStringLiteral("oillamp_white_drb.bin")));
    EXPECT_TRUE(QFileInfo::exists(head)); // not even converted

    // The head marker missing: converted, and the binaries alone copied over the game's files.
    ASSERT_TRUE(assets::InstallLampAddOn(LampKind::Head, tree.gamePath(), &error)) << error.toStdString();
    EXPECT_TRUE(decoded(tree.path(animated + QStringLiteral("oillamp_white_drb.bin"))).contains("<head/>"));
    EXPECT_TRUE(decoded(tree.path(animated + QStringLiteral("taillight_drb.bin"))).contains("<tail/>"));
    EXPECT_FALSE(tree.exists(animated + QStringLiteral("oillamp_white_drb.bin.xml")));
    EXPECT_FALSE(tree.exists(animated + QStringLiteral("taillight_drb.bin.xml")));
}
