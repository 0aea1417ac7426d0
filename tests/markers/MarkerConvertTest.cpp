// The marker converter's text work, the DCSV precision walk, the shared wildcard lists and the
// blueprint designer's filling, without windows.

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/Wildcard.h"
#include "hub/ToolLaunchers.h"
#include "platform/TextCodec.h"
#include "routes/DeveloperFolders.h"
#include "routes/MarkerConvert.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

using namespace routes;

namespace {

struct ConvertCase {
    const char* name;
    QString input;
    QString csv;
};

} // namespace

TEST(MarkerConvert, KmlGivesGoldenCsv)
{
    const QString named = QStringLiteral(
        "<kml><Document><name>Valley</name>\r\n"
        "<Placemark><name>  Veltrane  Central </name><LookAt><longitude>-1.5</longitude></LookAt>"
        "<Point><coordinates>-1.501234,53.802112,0</coordinates></Point></Placemark>\r\n"
        "<Placemark><name>Quarry</name><Point><coordinates>-1.472205,53.788941,0</coordinates></Point></Placemark>\r\n"
        "</Document></kml>");
    const ConvertCase cases[] = {
        {"placemarks, blanks in names", named,
         "-1.501234,53.802112,Veltrane__Central\r\n-1.472205,53.788941,Quarry\r\n"},
        {"placemark without name is skipped",
         "<longitude>0</longitude><Placemark><Point><coordinates>1,2,0</coordinates></Point></Placemark>"
         "<Placemark><name>B</name><coordinates>3,4,0</coordinates></Placemark>",
         "3,4,B\r\n"},
        {"placemark without coordinates is skipped",
         "<longitude>0</longitude><Placemark><name>A</name></Placemark>"
         "<Placemark><name>B</name><coordinates>3,4,0</coordinates></Placemark>",
         "3,4,B\r\n"},
        {"placemark whose coordinates have no second comma ends the list",
         "<longitude>0</longitude><Placemark><name>A</name><coordinates>3,4</coordinates></Placemark>", ""},
        {"path: points ended by \",0 \", the last one without it left out",
         "<kml><LineString><coordinates>\n-1.5,53.8,0 -1.49,53.79,0 -1.48,53.78</coordinates></LineString>"
         "<coordinates>\n9,9,0 </coordinates></kml>",
         "-1.5,53.8\r\n-1.49,53.79\r\n"},
        {"path whose list is not closed", "<coordinates>\n1,2,0 3,4,0 ", "1,2\r\n3,4\r\n"},
    };
    for (const ConvertCase& c : cases) {
        bool hasCoordinates = false;
        EXPECT_EQ(kmlToCsv(c.input, hasCoordinates), c.csv) << c.name;
        EXPECT_TRUE(hasCoordinates) << c.name;
    }
    bool hasCoordinates = true;
    EXPECT_EQ(kmlToCsv(QStringLiteral("<kml><Placemark><name>A</name></Placemark></kml>"), hasCoordinates), QString());
    EXPECT_FALSE(hasCoordinates);
}

TEST(MarkerConvert, GpxWptAndMkrGiveGoldenCsv)
{
    const ConvertCase gpx[] = {
        {"track points", "<gpx><wpt lat=\"1\" lon=\"2\"/><trk><trkseg><trkpt lat=\"53.8\" lon=\"-1.5\"></trkpt>"
                         "<trkpt lat=\"53.7\" lon=\"-1.4\"></trkpt></trkseg></trk></gpx>",
         "-1.5,53.8\r\n-1.4,53.7\r\n"},
        {"waypoints without <trkseg>", "<gpx><wpt lat=\"-33.5\" lon=\"151.2\"><name>A</name></wpt>"
                                       "<wpt lat=\"-33.6\" lon=\"151.3\"></wpt></gpx>",
         "151.2,-33.5\r\n151.3,-33.6\r\n"},
        {"waypoint at the very start", "<wpt lat=\"5\" lon=\"6\"/>", "6,5\r\n"},
        {"latitude not closed", "<gpx><wpt lat=\"-33.5 lon=\"151.2", ""},
        {"longitude missing", "<gpx><wpt lat=\"-33.5\"></wpt></gpx>", ""},
        {"neither track nor waypoints", "<gpx></gpx>", ""},
    };
    for (const ConvertCase& c : gpx)
        EXPECT_EQ(gpxToCsv(c.input), c.csv) << c.name;

    const ConvertCase wpt[] = {
        {"from the first \"1,1,\" line on",
         "Waypoint File\r\nWGS 84\r\n1,1,-33.5,151.2,Sydney,0\r\n2,1,-34,150.9\r\n3,1,-35\r\n\r\n4\r\n",
         "151.2,-33.5\r\n150.9,-34\r\n"},
        {"LF line ends", "x\n1,1,-33.5,151.2\n", "151.2,-33.5\r\n"},
        {"no \"1,1,\" line", "2,1,-33.5,151.2\r\n", ""},
    };
    for (const ConvertCase& c : wpt)
        EXPECT_EQ(wptToCsv(c.input), c.csv) << c.name;

    const ConvertCase mkr[] = {
        {"double blanks, a tab, short records skipped",
         "Markers (\r\n\tMarker ( -1.501234  53.802112 \"Central\" 1 )\r\n"
         "\tMarker ( -1.48765 53.79532\t\"Eastfield\" 1 )\r\n\tMarker ( 7 )\r\n\tMarker ( 1 2 3 )\r\n"
         "\tMarker ( 5 6 \"Last\" 1 )\r\n)",
         "-1.501234,53.802112,\"Central\"\r\n-1.48765,53.79532,\"Eastfield\"\r\n5,6,\"Last\"\r\n"},
        {"record without \")\"", "Marker ( 1 2 \"A\" 1", ""},
    };
    for (const ConvertCase& c : mkr)
        EXPECT_EQ(mkrToCsv(c.input), c.csv) << c.name;
}

TEST(MarkerConvert, MkrFilesAreReadAsUtf16)
{
    ScriptedUi ui;
    TempTree tree;
    const QString text = QStringLiteral("Markers (\r\n\tMarker ( 151.2  -33.5 \"Sydney Central\" 1 )\r\n)\r\n");
    const QString path = tree.writeFile(QStringLiteral("m/Sydney.mkr"), platform::encodeUtf16Le(text));
    QString read;
    ReadTextFile(path, read);
    EXPECT_EQ(mkrToCsv(read), QStringLiteral("151.2,-33.5,\"Sydney Central\"\r\n"));
}

TEST(MarkerConvert, TypesAndNames)
{
    EXPECT_EQ(markerTypeOf(QStringLiteral("a\\x.kml")), MarkerType::Kml);
    EXPECT_EQ(markerTypeOf(QStringLiteral("x.gpx")), MarkerType::Gpx);
    EXPECT_EQ(markerTypeOf(QStringLiteral("x.wpt")), MarkerType::Wpt);
    EXPECT_EQ(markerTypeOf(QStringLiteral("x.mkr")), MarkerType::Mkr);
    EXPECT_EQ(markerTypeOf(QStringLiteral("x.KML")), MarkerType::None);
    EXPECT_EQ(markerTypeOf(QStringLiteral("x.csv")), MarkerType::None);
    EXPECT_EQ(csvNameOf(QStringLiteral("Track.gpx")), QStringLiteral("Track.csv"));

    EXPECT_EQ(dcsvSourcePath(QStringLiteral("C:\\RS"), QStringLiteral("C:\\RS\\Assets\\P\\Q\\R\\x.dcsv")),
              QStringLiteral("C:\\RS\\Source\\P\\Q\\R\\x.csv"));
    EXPECT_EQ(dcsvSourcePath(QStringLiteral("/g"), QStringLiteral("/g/Assets\\P\\Assets\\y.dcsv")),
              QStringLiteral("/g\\Source\\P\\Assets\\y.csv"));
    EXPECT_EQ(dcsvSourcePath(QStringLiteral("/g"), QStringLiteral("/g/assets/P/x.dcsv")), QString());
    EXPECT_EQ(dcsvSourcePath(QStringLiteral("/g"), QStringLiteral("/g/MyAssets/P/x.dcsv")), QString());
}

namespace {

// A number list with one item per (x, y) pair.
QString dcsv(const QList<std::pair<QString, QString>>& points)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\r\n<cCSVContainer>\r\n\t<CsvItem>\r\n");
    int n = 0;
    for (const auto& [x, y] : points) {
        text += QStringLiteral("\t\t<cCSVItem>\r\n\t\t\t<X d:type=\"sFloat32\">%1</X>\r\n\t\t\t<Y d:type=\"sFloat32\">%2</Y>\r\n"
                               "\t\t\t<Name d:type=\"cDeltaString\">N%3</Name>\r\n\t\t</cCSVItem>\r\n")
                    .arg(x, y)
                    .arg(++n);
    }
    return text + QStringLiteral("\t</CsvItem>\r\n</cCSVContainer>\r\n");
}

} // namespace

TEST(MarkerConvert, DcsvPrecisionWalk)
{
    using P = QList<std::pair<QString, QString>>;
    const QString zeros = dcsv(P{{"0", "0"}, {"0", "0"}, {"0", "0"}});
    struct Case {
        const char* name;
        QString before;
        QString source;
        QString after;
    } cases[] = {
        {"more points than lines", zeros, "0.125,0.5,A\r\n0.25,0.75,B\r\n", dcsv(P{{"0.125", "0.5"}, {"0.25", "0.75"}, {"0", "0"}})},
        {"more lines than points: no wrap", zeros, "1,2\r\n3,4\r\n5,6\r\n7,8\r\n9,10\r\n",
         dcsv(P{{"1", "2"}, {"3", "4"}, {"5", "6"}})},
        {"empty lines skipped", zeros, "\r\n1,2,x\r\n\r\n3,4\n", dcsv(P{{"1", "2"}, {"3", "4"}, {"0", "0"}})},
        {"shorter values keep every point in its item",
         dcsv(P{{"0.12345678901234567890", "0.12345678901234567890"}, {"0", "0"}}), "1,2\r\n3,4\r\n",
         dcsv(P{{"1", "2"}, {"3", "4"}})},
    };
    for (const Case& c : cases) {
        QString text = c.before;
        EXPECT_TRUE(improveDcsvPrecision(text, c.source)) << c.name;
        EXPECT_EQ(text, c.after) << c.name;
    }
    QString text = zeros;
    qsizetype bad = 0;
    EXPECT_FALSE(improveDcsvPrecision(text, QStringLiteral("1,2\r\n\r\n3.5\r\n4,5\r\n"), &bad));
    EXPECT_EQ(bad, 3);
    EXPECT_EQ(text, zeros);
}

TEST(Wildcards, PatternListsIgnoreCase)
{
    struct Case {
        const char* patterns;
        const char* name;
        bool match;
    } cases[] = {
        {"*.kml;*.gpx;*.wpt;*.mkr", "Track.GPX", true},
        {"*.kml;*.gpx;*.wpt;*.mkr", "Stations.KML", true},
        {"*.kml;*.gpx;*.wpt;*.mkr", "Stations.kmlx", false},
        {"*.kml;*.gpx;*.wpt;*.mkr", "notes.txt", false},
        {" *.wpt ; *.mkr", "a.MKR", true},
        {"*.dcsv", "VS_Numbers.DCSV", true},
        {"*.*", "noextension", true},
        {"Tree?.bin", "tree1.BIN", true},
        {"", "a", false},
        {";;", "a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcardMatchAny(QString::fromLatin1(c.patterns), QString::fromLatin1(c.name)), c.match)
            << c.patterns << " / " << c.name;

    TempTree tree;
    for (const char* name : {"b.KML", "a.gpx", "C.wpt", "d.txt", "e.kml.bak"})
        tree.writeFile(QStringLiteral("m/") + QLatin1String(name), "x");
    tree.makeDir(QStringLiteral("m/sub.kml"));
    EXPECT_EQ(matchingFileNames(tree.path(QStringLiteral("m")), QStringLiteral("*.kml;*.gpx;*.wpt")),
              (QStringList{"a.gpx", "b.KML", "C.wpt"}));
    EXPECT_EQ(matchingFileNames(tree.path(QStringLiteral("missing")), QStringLiteral("*.*")), QStringList());
}

TEST(BlueprintDesigner, FillsTokensExactly)
{
    ScriptedUi ui;
    const QString tpl = QStringLiteral("ZZZZZZ|XXXXXX|YYYYYY|zzzzzz|ZZZZZZ");
    struct Case {
        int mode;
        QStringList boxes;
        QString result;
    } cases[] = {
        {1, {"Signals", "signals"}, "Signals|signals.csv|YYYYYY|zzzzzz|Signals"},
        {2, {"Posts", "posts.csv"}, "Posts|posts.csv|YYYYYY|zzzzzz|Posts"},
        {2, {"Posts", "posts.CSV"}, "Posts|posts.CSV.csv|YYYYYY|zzzzzz|Posts"},
        {3, {"Valley", "-1.50x", " 53.8"}, "Valley|-1.50x| 53.8|zzzzzz|Valley"},
        {4, {"A", "B", "C"}, "A|XXXXXX|YYYYYY|zzzzzz|A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillBlueprint(c.mode, tpl, c.boxes), c.result) << c.mode;

    for (const char* good : {"Signals", "Route 1", "a.b"})
        EXPECT_TRUE(IsNewFolderName(QString::fromLatin1(good))) << good;
    for (const char* bad : {"", "a\\b", "a/b", "..", "x..y", "a:b", "a*", "a?", "<a>", "a|b", "\"a\"", " . ", "a\tb"})
        EXPECT_FALSE(IsNewFolderName(QString::fromLatin1(bad))) << bad;
}

TEST(ToolLaunchers, SetModesBeforeTheirWindows)
{
    resetShared();
    QStringList calls;
    const auto note = [&calls](const char* window) {
        const SharedState& s = shared();
        calls.append(QStringLiteral("%1 marker=%2 pending=%3 blueprint=%4")
                         .arg(QLatin1String(window))
                         .arg(s.MarkerToolMode)
                         .arg(s.BlueprintPending)
                         .arg(s.BlueprintMode));
    };
    const hub::ToolWindows windows{[&] { note("markers"); }, [&] { note("folder"); }, [&] { note("blue"); }};
    hub::launchMarkerTool(1, windows);
    hub::launchMarkerTool(2, windows);
    hub::launchBlueprintDesigner(2, windows);
    hub::launchDeveloperFolders(windows);
    hub::launchBlueprintDesigner(3, windows);
    EXPECT_EQ(calls, (QStringList{"markers marker=1 pending=0 blueprint=0", "markers marker=2 pending=0 blueprint=0",
                                  "folder marker=2 pending=1 blueprint=2", "blue marker=2 pending=1 blueprint=2",
                                  "folder marker=2 pending=0 blueprint=2", "folder marker=2 pending=1 blueprint=3",
                                  "blue marker=2 pending=1 blueprint=3"}));
    resetShared();
}
