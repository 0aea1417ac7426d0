// The text work of the route clone: which entry of "Routes.xml" is copied and what the copy
// says, against golden texts.

#include "routes/RouteClone.h"

#include "support/QtPrinters.h"
#include "support/SampleGame.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

using routes::RouteEntryFault;

namespace {

const QString kGuid = QStringLiteral("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
// Shorter and longer than the numbers they replace, so that each search must go on from the
// element written before, as it now stands.
const QString kHalf1 = QStringLiteral("7");
const QString kHalf2 = QStringLiteral("123456789012345678901");

const QString kHead = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n<Record>\r\n");
const QString kTail = QStringLiteral("</Record>\r\n</cRecordSet>\r\n");

// One route entry in the shape the game writes (shortened): eCount "e" elements in its UUID,
// or no "<UUID>" at all when eCount is negative.
QString route(const QString& folder, const QString& name, const QString& description,
              const QString& e1 = QStringLiteral("18446744073709551615"),
              const QString& e2 = QStringLiteral("40"), int eCount = 2)
{
    QString uuid;
    if (eCount >= 0) {
        uuid = QStringLiteral("<UUID>");
        if (eCount > 0)
            uuid += QStringLiteral("<e d:type=\"sUInt64\">") + e1 + QStringLiteral("</e>");
        if (eCount > 1)
            uuid += QStringLiteral("<e d:type=\"sUInt64\">") + e2 + QStringLiteral("</e>");
        uuid += QStringLiteral("</UUID>");
    }
    return QStringLiteral("<cRouteProperties d:id=\"7\">\r\n<ID><cGUID>") + uuid
           + QStringLiteral("\r\n<DevString d:type=\"cDeltaString\">") + folder
           + QStringLiteral("</DevString></cGUID></ID>\r\n<DisplayName><English d:type=\"cDeltaString\">") + name
           + QStringLiteral("</English><French d:type=\"cDeltaString\">") + name
           + QStringLiteral("</French><Other/></DisplayName>\r\n<Description><English d:type=\"cDeltaString\">")
           + description + QStringLiteral("</English><Other d:note=\"Other\"/></Description>\r\n</cRouteProperties>\r\n");
}

// The clone's entry: it ends with its end tag, and the source's start tag follows at once.
QString clone(const QString& folder, const QString& name, const QString& description, const QString& e1,
              const QString& e2)
{
    return route(folder, name, description, e1, e2).chopped(2);
}

QString routesXml(const QStringList& entries)
{
    return kHead + entries.join(QString()) + kTail;
}

} // namespace

TEST(RouteCloneText, TheCloneStandsBeforeItsSourceWithOnlyNameUuidAndFolderChanged)
{
    const QString valley = route(QStringLiteral("F-VALLEY"), QStringLiteral("Valley Line"), QStringLiteral("Hills"));
    const QString line = route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Flat"));
    struct Row {
        const char* what;
        QStringList entries;
        QString folder;
        QString oldName;
        QString newName;
        QString expected; // the whole new text
    };
    const Row rows[] = {
        {"found by its folder, not by the first text ending in the name",
         {valley, line},
         QStringLiteral("F-LINE"),
         QStringLiteral("Line"),
         QStringLiteral("Coast"),
         routesXml({valley, clone(kGuid, QStringLiteral("Coast"), QStringLiteral("Flat"), kHalf1, kHalf2), line})},
        {"the folder matched ignoring case",
         {line, valley},
         QStringLiteral("f-valley"),
         QStringLiteral("Valley Line"),
         QStringLiteral("Hill Line"),
         routesXml({line, clone(kGuid, QStringLiteral("Hill Line"), QStringLiteral("Hills"), kHalf1, kHalf2), valley})},
        {"the name in the description is replaced too, ignoring case",
         {route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Line and line, no Pipeline"))},
         QStringLiteral("F-LINE"),
         QStringLiteral("Line"),
         QStringLiteral("Coast"),
         routesXml({clone(kGuid, QStringLiteral("Coast"), QStringLiteral("Coast and Coast, no PipeCoast"), kHalf1, kHalf2),
                    route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Line and line, no Pipeline"))})},
        {"a name equal to a tag name leaves tags and attributes alone",
         {route(QStringLiteral("F-O"), QStringLiteral("Other"), QStringLiteral("Another"))},
         QStringLiteral("F-O"),
         QStringLiteral("Other"),
         QStringLiteral("Else"),
         routesXml({clone(kGuid, QStringLiteral("Else"), QStringLiteral("AnElse"), kHalf1, kHalf2),
                    route(QStringLiteral("F-O"), QStringLiteral("Other"), QStringLiteral("Another"))})},
        {"the new name is escaped, typed entities stay",
         {line},
         QStringLiteral("F-LINE"),
         QStringLiteral("Line"),
         QStringLiteral("Rock & <Roll> &amp; co"),
         routesXml({clone(kGuid, QStringLiteral("Rock &amp; &lt;Roll&gt; &amp; co"), QStringLiteral("Flat"), kHalf1, kHalf2),
                    line})},
        {"an escaped old name is found as the file holds it",
         {route(QStringLiteral("F-A"), QStringLiteral("A &amp; B"), QStringLiteral("The A &amp; B line"))},
         QStringLiteral("F-A"),
         QStringLiteral("A &amp; B"),
         QStringLiteral("C"),
         routesXml({clone(kGuid, QStringLiteral("C"), QStringLiteral("The C line"), kHalf1, kHalf2),
                    route(QStringLiteral("F-A"), QStringLiteral("A &amp; B"), QStringLiteral("The A &amp; B line"))})},
        {"an empty old name replaces nothing",
         {line},
         QStringLiteral("F-LINE"),
         QString(),
         QStringLiteral("Coast"),
         routesXml({clone(kGuid, QStringLiteral("Line"), QStringLiteral("Flat"), kHalf1, kHalf2), line})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QString text = QStringLiteral("untouched");
        EXPECT_EQ(routes::CloneRouteEntry(routesXml(row.entries), row.folder, row.oldName, row.newName, kGuid, kHalf1,
                                          kHalf2, text),
                  RouteEntryFault::None);
        EXPECT_EQ(text, row.expected);
    }
}

TEST(RouteCloneText, EntriesThatCannotBeClonedAreRefused)
{
    const QString line = route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Flat"));
    struct Row {
        const char* what;
        QStringList entries;
        QString folder;
        RouteEntryFault fault;
    };
    const Row rows[] = {
        {"no entry of that folder", {line}, QStringLiteral("F-NONE"), RouteEntryFault::NotFound},
        {"the folder only as part of another", {line}, QStringLiteral("F-LIN"), RouteEntryFault::NotFound},
        {"the folder only as a name",
         {route(QStringLiteral("F-X"), QStringLiteral("F-LINE"), QStringLiteral("F-LINE"))},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NotFound},
        {"a DevString outside any entry",
         {QStringLiteral("<DevString>F-LINE</DevString>\r\n")},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NotFound},
        {"an entry that is not closed",
         {line.left(line.indexOf(QStringLiteral("</cRouteProperties>")))},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NotFound},
        {"an entry without <UUID>",
         {route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Flat"), {}, {}, -1), line},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NoUuid},
        {"a UUID with one number",
         {route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Flat"), QStringLiteral("1"), {}, 1)},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NoUuid},
        {"a UUID without numbers",
         {route(QStringLiteral("F-LINE"), QStringLiteral("Line"), QStringLiteral("Flat"), {}, {}, 0)},
         QStringLiteral("F-LINE"),
         RouteEntryFault::NoUuid},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QString text = QStringLiteral("untouched");
        EXPECT_EQ(routes::CloneRouteEntry(routesXml(row.entries), row.folder, QStringLiteral("Line"),
                                          QStringLiteral("Coast"), kGuid, kHalf1, kHalf2, text),
                  row.fault);
        EXPECT_EQ(text, QStringLiteral("untouched"));
    }
}

TEST(RouteCloneText, TheSampleEntryChangesInItsNameUuidAndDevStringLinesOnly)
{
    QFile file(sampleGamePath() + QStringLiteral("/Content/Routes.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the sample game has not been built";
    const QString source = QString::fromLatin1(file.readAll());
    const qsizetype start = source.indexOf(QStringLiteral("<cRouteProperties d:id=\"200000017\">"));
    const qsizetype end = source.indexOf(QStringLiteral("</cRouteProperties>"), start) + 19;
    ASSERT_GT(start, 0);
    const QString entry = source.mid(start, end - start);

    QString text;
    ASSERT_EQ(routes::CloneRouteEntry(source, QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70"),
                                      QStringLiteral("Veltrane Valley Line"), QStringLiteral("Valley Copy"), kGuid,
                                      QStringLiteral("736345398425413"), QStringLiteral("16778290394638197378"), text),
              RouteEntryFault::None);
    // The clone, then the source's entry with the rest of the file, directly after it.
    const qsizetype cloneEnd = text.indexOf(QStringLiteral("</cRouteProperties>"), start) + 19;
    EXPECT_EQ(text.left(start), source.left(start));
    ASSERT_EQ(text.mid(cloneEnd), source.mid(start));

    const QStringList was = entry.split(QStringLiteral("\r\n"));
    const QStringList now = text.mid(start, cloneEnd - start).split(QStringLiteral("\r\n"));
    ASSERT_EQ(now.size(), was.size());
    QStringList changed;
    for (qsizetype i = 0; i < was.size(); ++i) {
        if (now[i] != was[i])
            changed << now[i].trimmed();
    }
    EXPECT_EQ(changed, (QStringList{
                           QStringLiteral("<e d:type=\"sUInt64\">736345398425413</e>"),
                           QStringLiteral("<e d:type=\"sUInt64\">16778290394638197378</e>"),
                           QStringLiteral("<DevString d:type=\"cDeltaString\">0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9</DevString>"),
                           QStringLiteral("<English d:type=\"cDeltaString\">Valley Copy</English>"),
                       }));
}

TEST(RouteCloneText, TheBatchLineCopiesTheWholeTree)
{
    EXPECT_EQ(routes::CloneBatchLine(QStringLiteral("C:\\Game\\Content\\Routes\\abc"),
                                     QStringLiteral("C:\\Game\\Content\\Routes\\NEW")),
              QStringLiteral("call xcopy \"C:\\Game\\Content\\Routes\\abc\\*.*\" \"C:\\Game\\Content\\Routes\\NEW\\*.*\" /s /y\r\n"));
}
