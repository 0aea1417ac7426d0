#include "assets/LodChange.h"
#include "common/Vb.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace assets;

namespace {

QStringList split(const char* values)
{
    return QString::fromUtf8(values).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

// A block of the given values, as the geometry files write them.
QString block(const QStringList& values)
{
    QString b = QStringLiteral("<LOD>\r\n");
    for (const QString& v : values)
        b += QStringLiteral("\t<e d:type=\"sFloat32\">") + v + QStringLiteral("</e>\r\n");
    return b + QStringLiteral("</LOD>\r\n");
}

TEST(LodSpread, ValuesFollowTheBoxesAndTheBlockCount)
{
    const struct {
        int count;
        bool several;
        double min;
        double max;
        const char* values;
    } rows[] = {
        // The worked figures for Min 300 and Max 1500.
        {1, false, 300, 1500, "750.0000"},
        {1, true, 300, 1500, "300.0000"},
        {2, false, 300, 1500, "300.0000,1500.0000"},
        {3, false, 300, 1500, "300.0000,600.0000,1500.0000"},
        {4, false, 300, 1500, "300.0000,500.0000,700.0000,1500.0000"},
        {4, true, 300, 1500, "300.0000,500.0000,700.0000,1500.0000"},
        {5, false, 300, 1500, "300.0000,450.0000,600.0000,750.0000,1500.0000"},
        {7, false, 300, 1500, "300.0000,400.0000,500.0000,600.0000,700.0000,800.0000,1500.0000"},
        // The half of an odd step stays; a half step rounds to the even neighbour.
        {4, false, 300, 1503, "300.0000,500.5000,701.0000,1503.0000"},
        {3, false, 300, 1301, "300.0000,550.0000,1301.0000"},
        {3, false, 300, 1299, "300.0000,550.0000,1299.0000"}, // 999 / 2 = 499.5 rounds to 500, not 499
        // Zero has no digit before the point; a spread can run downwards or below zero.
        {3, false, 0, 1500, ".0000,375.0000,1500.0000"},
        {1, true, 0, 1500, ".0000"},
        {3, false, 1500, 300, "1500.0000,1200.0000,300.0000"},
        {2, false, -20, 40, "-20.0000,40.0000"},
        {1, false, 300, 1501, "750.5000"},
        // Past seven values the first seven take the spread of seven.
        {8, false, 300, 1500, "300.0000,400.0000,500.0000,600.0000,700.0000,800.0000,1500.0000"},
        {12, true, 300, 1500, "300.0000,400.0000,500.0000,600.0000,700.0000,800.0000,1500.0000"},
        // Steps and products too wide for 16 bits are worked out in full.
        {7, false, -40000, 4900, "-40000.0000,-36258.5000,-32517.0000,-28775.5000,-25034.0000,-21292.5000,4900.0000"},
        {3, false, -70000, 4900, "-70000.0000,-51275.0000,4900.0000"},
        // Nothing to spread, or nothing that can be written: the block keeps its values.
        {0, false, 300, 1500, ""},
        {0, true, 300, 1500, ""},
        {3, false, -1.7e308, 1.7e308, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.count << (r.several ? " several " : " one ") << r.min << ".." << r.max);
        EXPECT_EQ(SpreadLodValues(r.count, r.several, r.min, r.max), split(r.values));
    }
}

TEST(LodRewrite, EveryBlockOfAFileGetsItsSpreadAndNothingElseChanges)
{
    const QString four = block({"10", "20", "30", "40"});
    const QString one = block({"5"});
    const QString eight = block({"1", "2", "3", "4", "5", "6", "7", "8"});
    const QString head = QStringLiteral("<cHcRShape>\r\n<Name>Body</Name>\r\n<e>99</e>\r\n");
    const QString tail = QStringLiteral("<Meshes><e>Mesh</e></Meshes>\r\n</cHcRShape>\r\n");
    const struct {
        const char* what;
        QString min;
        QString max;
        QString in;
        QString out;
        int blocks;
    } rows[] = {
        {"one block of four", "300", "1500", head + four + tail,
         head + block({"300.0000", "500.0000", "700.0000", "1500.0000"}) + tail, 1},
        {"one block of one", "300", "1500", head + one + tail, head + block({"750.0000"}) + tail, 1},
        {"several blocks", "300", "1500", head + one + four + one + tail,
         head + block({"300.0000"}) + block({"300.0000", "500.0000", "700.0000", "1500.0000"}) + block({"300.0000"}) + tail,
         3},
        {"Max 1503, four values", "300", "1503", four, block({"300.0000", "500.5000", "701.0000", "1503.0000"}), 1},
        {"Max 1301, three values", "300", "1301", block({"1", "2", "3"}), block({"300.0000", "550.0000", "1301.0000"}), 1},
        {"Min 0", "0", "1500", block({"1", "2"}) + one, block({".0000", "1500.0000"}) + block({".0000"}), 2},
        {"Min above Max", "1500", "300", block({"1", "2", "3"}), block({"1500.0000", "1200.0000", "300.0000"}), 1},
        {"eight values: the eighth stays", "300", "1500", eight,
         block({"300.0000", "400.0000", "500.0000", "600.0000", "700.0000", "800.0000", "1500.0000", "8"}), 1},
        {"a block without values", "300", "1500", head + QStringLiteral("<LOD>\r\n</LOD>\r\n") + one + tail,
         head + QStringLiteral("<LOD>\r\n</LOD>\r\n") + block({"300.0000"}) + tail, 2},
        {"no block", "300", "1500", head + tail, head + tail, 0},
        {"tags in any case", "300", "1500", QStringLiteral("<lod><E>1</E><e>2</e></Lod>"),
         QStringLiteral("<lod><E>300.0000</E><e>1500.0000</e></Lod>"), 1},
        {"an opening tag with attributes starts no block", "300", "1500",
         QStringLiteral("<LOD d:id=\"1\"><e>1</e></LOD>"), QStringLiteral("<LOD d:id=\"1\"><e>1</e></LOD>"), 0},
        // Values are only looked for inside their own block.
        {"values after the block stay", "300", "1500", QStringLiteral("<LOD><e>1</e></LOD><e>2</e><e>3</e>"),
         QStringLiteral("<LOD><e>750.0000</e></LOD><e>2</e><e>3</e>"), 1},
        {"an element closed after the block is no value", "300", "1500",
         QStringLiteral("<LOD><e>1</e><e>2</LOD></e><e>3</e>"), QStringLiteral("<LOD><e>750.0000</e><e>2</LOD></e><e>3</e>"), 1},
        // A block that never closes ends the rewrite: earlier blocks are written, nothing after.
        {"no closing tag at all", "300", "1500", QStringLiteral("<LOD><e>1</e><e>2</e>"),
         QStringLiteral("<LOD><e>1</e><e>2</e>"), 1},
        {"the last block never closes", "300", "1500", one + QStringLiteral("<LOD><e>1</e><e>2</e>"),
         block({"300.0000"}) + QStringLiteral("<LOD><e>1</e><e>2</e>"), 2},
        // Box texts are read by their leading number.
        {"texts with more than a number", " 300m", "1500 m", block({"1", "2", "3"}),
         block({"300.0000", "600.0000", "1500.0000"}), 1},
        {"a text without a number", "", "abc", block({"1", "2"}), block({".0000", ".0000"}), 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(CountLodBlocks(r.in), r.blocks);
        EXPECT_EQ(RewriteLods(r.in, vb::Val(r.min), vb::Val(r.max)), r.out);
    }

    // Each file is judged by its own block count: a one-block file after a several-block one.
    EXPECT_EQ(RewriteLods(one + one, 300, 1500), block({"300.0000"}) + block({"300.0000"}));
    EXPECT_EQ(RewriteLods(one, 300, 1500), block({"750.0000"}));
}

TEST(LodRewrite, ReadsTheValuesOfOneBlockWithTheirPlaces)
{
    const QString xml = QStringLiteral("<x><e>0</e><LOD><e a=\"1\">10</e><E>20</E><e></e></LOD><e>30</e></x>");
    const qsizetype start = xml.indexOf(QStringLiteral("<LOD>"));
    const qsizetype end = xml.indexOf(QStringLiteral("</LOD>"));
    const std::vector<LodValue> values = ReadLodBlock(xml, start, end);
    ASSERT_EQ(values.size(), 3u);
    const char* expected[] = {"10", "20", ""};
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].value, QString::fromUtf8(expected[i]));
        EXPECT_EQ(xml.mid(values[i].valueStart, values[i].valueEnd - values[i].valueStart), values[i].value);
        EXPECT_TRUE(xml.mid(values[i].valueEnd).startsWith(QStringLiteral("</e"), Qt::CaseInsensitive));
    }
    EXPECT_TRUE(ReadLodBlock(xml, start, start + 5).empty());
}

TEST(LodFormat, FourDecimalsWithAPointAndNoLeadingZero)
{
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0, ".0000"}, {750, "750.0000"}, {500.5, "500.5000"}, {-20, "-20.0000"},
        {0.25, ".2500"}, {1234.56789, "1234.5679"}, {4900, "4900.0000"}, {-0.5, "-.5000"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FormatLod(r.value), QString::fromUtf8(r.text)) << r.value;
}

TEST(LodBoxes, AValueOverItsLimitIsCutToTheLimit)
{
    const struct {
        const char* text;
        int limit;
        const char* after; // nullptr: the text stays
    } rows[] = {
        {"5000", MinLodLimit, "4000"}, {"4000", MinLodLimit, nullptr},    {"4000.5", MinLodLimit, "4000"},
        {"-20", MinLodLimit, nullptr}, {"4001abc", MinLodLimit, "4000"},  {" 4500", MinLodLimit, "4000"},
        {"", MinLodLimit, nullptr},    {"abc", MinLodLimit, nullptr},     {"1e999", MinLodLimit, "4000"},
        {"-1e999", MinLodLimit, nullptr},
        {"4950", MaxLodLimit, "4900"}, {"4900", MaxLodLimit, nullptr},    {"4500", MaxLodLimit, nullptr},
        {"5E3", MaxLodLimit, "4900"},
    };
    EXPECT_EQ(MinLodLimit, 4000);
    EXPECT_EQ(MaxLodLimit, 4900);
    for (const auto& r : rows) {
        const std::optional<QString> after = LimitLodBox(QString::fromUtf8(r.text), r.limit);
        EXPECT_EQ(after.has_value(), r.after != nullptr) << r.text;
        if (after && r.after) {
            EXPECT_EQ(*after, QString::fromUtf8(r.after)) << r.text;
        }
    }
}

TEST(GeometryLookupText, TheFirstGeometryIdNamesTheGeometryFile)
{
    const QString game = QStringLiteral("C:\\Games\\RS");
    const struct {
        const char* what;
        const char* xml;
        bool found;
        const char* id;
        const char* prefix;
        const char* work;
    } rows[] = {
        {"bracketed", "<GeometryID d:type=\"cDeltaString\">Folder\\[00]Body</GeometryID>", true, "Folder\\Body",
         "Folder\\", "Body"},
        {"no brackets", "<GeometryID>Folder\\Body</GeometryID>", true, "Folder\\Body", "", ""},
        {"deep path", "<x><GeometryID>P\\Q\\Scenery\\Trees\\[00]VS_Oak01</GeometryID></x>", true,
         "P\\Q\\Scenery\\Trees\\VS_Oak01", "P\\Q\\Scenery\\Trees\\", "VS_Oak01"},
        {"any case, the first one", "<geometryid>A\\[1]B</geometryid><GeometryID>C\\[2]D</GeometryID>", true, "A\\B",
         "A\\", "B"},
        {"brackets first", "<GeometryID>[00]Body</GeometryID>", true, "Body", "", "Body"},
        {"no closing bracket", "<GeometryID>Folder\\[00Body</GeometryID>", true, "Folder\\[00Body", "", ""},
        {"a closing bracket before the opening one", "<GeometryID>A]B[C]D</GeometryID>", true, "A]BD", "A]B",
         "D"},
        {"empty", "<GeometryID></GeometryID>", true, "", "", ""},
        {"none", "<Geometry>Folder\\Body</Geometry>", false, "", "", ""},
        {"no end of the tag", "<GeometryID", false, "", "", ""},
        {"never closed", "<GeometryID>Folder\\Body", false, "", "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const std::optional<GeometryLookup> g = GetGeometryPath(QString::fromUtf8(r.xml), game);
        ASSERT_EQ(g.has_value(), r.found);
        if (!g)
            continue;
        EXPECT_EQ(g->geometryId, QString::fromUtf8(r.id));
        EXPECT_EQ(g->folderPrefix, QString::fromUtf8(r.prefix));
        EXPECT_EQ(g->workName, QString::fromUtf8(r.work));
        EXPECT_EQ(g->geometryPath, game + QStringLiteral("\\Assets\\") + QString::fromUtf8(r.id) + QStringLiteral(".GeoPcDx"));
    }
}

} // namespace
