// The route list of the selection dialog, the route folder of a chosen route and the filling of
// the description template, on texts made for each case.

#include "routes/RouteChooser.h"
#include "routes/RouteDescription.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace routes;

namespace {

QString route(const QString& folder, const QString& displayName, const QString& description = QString())
{
    return QStringLiteral("<cRouteProperties><ID><cGUID><DevString d:type=\"cDeltaString\">") + folder
           + QStringLiteral("</DevString></cGUID></ID>") + displayName + QStringLiteral("<Description>")
           + description + QStringLiteral("</Description></cRouteProperties>\r\n");
}

QString english(const QString& name)
{
    return QStringLiteral("<DisplayName><L><English d:type=\"cDeltaString\">") + name
           + QStringLiteral("</English></L></DisplayName>");
}

} // namespace

TEST(RouteChooser, ListsEveryDisplayNameWithItsOwnEnglishName)
{
    const QString english1 = QStringLiteral("<English d:type=\"cDeltaString\">Desc</English>");
    struct Row {
        const char* what;
        QString xml;
        QStringList names;
        QStringList folders;
    } rows[] = {
        {"two routes", route("f1", english("One")) + route("f2", english("Two")), {"One", "Two"}, {"f1", "f2"}},
        {"display name in any case",
         route("f1", "<displayname><English>Low</English></displayname>")
             + route("f2", "<DISPLAYNAME><english>High</english></DISPLAYNAME>"),
         {"Low", "High"},
         {"f1", "f2"}},
        {"no English in the display name, one in the description",
         route("f1", "<DisplayName><French>Un</French></DisplayName>", english1) + route("f2", english("Two")),
         {"", "Two"},
         {"f1", "f2"}},
        {"no English anywhere after it", route("f1", "<DisplayName></DisplayName>"), {""}, {"f1"}},
        {"an empty English element before another route",
         route("f1", "<DisplayName><L><English d:type=\"cDeltaString\"/></L></DisplayName>")
             + route("f2", english("Two")),
         {"", "Two"},
         {"f1", "f2"}},
        {"an empty English element in the last route",
         route("f1", english("One")) + route("f2", "<DisplayName><L><english d:type=\"cDeltaString\" /></L></DisplayName>"),
         {"One", ""},
         {"f1", "f2"}},
        {"an English element that is not closed inside its display name",
         route("f1", "<DisplayName><L><English d:type=\"cDeltaString\">One</L></DisplayName>", english1)
             + route("f2", "<DisplayName><English d:type"),
         {"", ""},
         {"f1", "f2"}},
        {"an empty text", QString(), {}, {}},
    };
    ScriptedUi ui;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QList<ChoosableRoute> routes = ChoosableRoutes(row.xml);
        EXPECT_EQ(ChoosableNames(routes), row.names);
        ASSERT_EQ(routes.size(), row.folders.size());
        for (qsizetype i = 0; i < routes.size(); ++i) {
            EXPECT_EQ(row.xml.mid(routes[i].pos - 1, 12).toLower(), QStringLiteral("<displayname"));
            EXPECT_EQ(RouteFolderOf(row.xml, routes[i]), row.folders[i]);
        }
    }
}

TEST(RouteChooser, HoldsMoreThanAHundredAndOneRoutes)
{
    QString xml;
    for (int i = 0; i < 150; ++i)
        xml += route(QStringLiteral("folder%1").arg(i), english(QStringLiteral("Route %1").arg(i)));
    const QList<ChoosableRoute> routes = ChoosableRoutes(xml);
    ASSERT_EQ(routes.size(), 150);
    EXPECT_EQ(routes[100].name, QStringLiteral("Route 100"));
    EXPECT_EQ(routes[149].name, QStringLiteral("Route 149"));
    EXPECT_EQ(RouteFolderOf(xml, routes[100]), QStringLiteral("folder100"));
    EXPECT_EQ(RouteFolderOf(xml, routes[149]), QStringLiteral("folder149"));
}

TEST(RouteChooser, RouteFolderWithoutDevStringBeforeItIsEmpty)
{
    // A "DevString" only after the display name, and one without the blank in its tag.
    const QString xml = QStringLiteral("<DevString>x</DevString>") + english("A")
                        + QStringLiteral("<DevString d:type=\"s\">later</DevString>");
    const QList<ChoosableRoute> routes = ChoosableRoutes(xml);
    ASSERT_EQ(routes.size(), 1);
    EXPECT_EQ(RouteFolderOf(xml, routes[0]), QString());
}

TEST(RouteDescriptionText, ReplacesTheFiveTokensExactlyAndAsTyped)
{
    ScriptedUi ui;
    struct Row {
        const char* what;
        QString page;
        QStringList texts;
        QString expected;
    } rows[] = {
        {"every token, twice for the title", "AAAAA|BBBBB|CCCCC|DDDDD|EEEEE|AAAAA",
         {"T", "S", "P1", "P2", "P3"}, "T|S|P1|P2|P3|T"},
        {"tokens in another case stay", "aaaaa AAAAa AAAAA", {"x", "", "", "", ""}, "aaaaa AAAAa x"},
        {"empty boxes remove their tokens", "<h1>AAAAA</h1><p>CCCCC</p>", {"", "", "", "", ""}, "<h1></h1><p></p>"},
        {"no HTML escaping; lines kept", "<p>CCCCC</p>", {"", "", "a < b & \"c\"\nnext", "", ""},
         "<p>a < b & \"c\"\nnext</p>"},
        {"a text holding a later token is replaced in turn", "AAAAA", {"BBBBB", "done", "", "", ""}, "done"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(FillDescription(row.page, row.texts), row.expected);
    }
}
