// "Clone Route" of the route list window, on a copy of the sample game, with the batch file run
// by veltrane-cmd.

#include "routes/frmDelRoute.h"

#include "RouteGame.h"
#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "platform/TextCodec.h"
#include "support/WidgetRows.h"

#include <QDirIterator>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QUuid>

#include <array>
#include <functional>
#include <memory>

namespace {

// Every folder and file below root, by relative path, with the files' bytes.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            out.insert(rel + QLatin1Char('/'), QByteArray());
        } else {
            QFile f(path);
            out.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
    }
    return out;
}

QStringList selectedRows(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            out << list->item(i)->text();
    }
    return out;
}

// The folders below "Content/Routes" that are not the sample's two routes.
QStringList newRouteFolders(const QString& routes)
{
    QStringList out = QDir(routes).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    out.removeAll(kValleyRoute);
    out.removeAll(kBranchRoute);
    return out;
}

// The UUID numbers of a GUID text, as NewGuid makes them.
void halvesOf(const QString& guid, QString& half1, QString& half2)
{
    const QUuid id = QUuid::fromString(QLatin1Char('{') + guid + QLatin1Char('}'));
    std::array<quint8, 16> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[i] = quint8(id.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[4 + i] = quint8(id.data2 >> (8 * i));
        bytes[6 + i] = quint8(id.data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = id.data4[i];
    half1.clear();
    half2.clear();
    EXPECT_EQ(NewGuidFromBytes(bytes, half1, half2), guid);
}

const QString kSuccess = QStringLiteral("Your Route has been Duplicated as requested.");
const QString kPrompt = QStringLiteral("Type name for new route");
const QString kSameName = QStringLiteral("You have not selected a new name for your cloned route?");

} // namespace

class RouteCloneWindow : public RouteGameTest {
protected:
    void SetUp() override
    {
        RouteGameTest::SetUp();
        useSampleGame();
    }
    QString routesRel() const { return QStringLiteral("game/Content/Routes.xml"); }
    QString routesFolder() const { return tree.path(QStringLiteral("game/Content/Routes")); }
    QString gameRoutes() const { return tree.gamePath() + QStringLiteral("\\Content\\Routes\\"); }
};

TEST_F(RouteCloneWindow, ClonesTheValleyLineIntoANewGuidFolderAndListsIt)
{
    auto w = std::make_unique<frmDelRoute>();
    EXPECT_FALSE(w->Command9->isHidden());
    EXPECT_EQ(w->Command9->text(), QStringLiteral("Clone Route"));
    const QByteArray before = tree.readFile(routesRel());
    tree.writeFile(QStringLiteral("program/TempFiles/left over.txt"), "old work");

    w->Command9_Click(); // no route picked: nothing is asked or copied
    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    w->List1->item(0)->setSelected(true);
    // While the clone runs, the window's commands are off and a second press does nothing.
    bool commandsWereOff = false;
    QTimer::singleShot(0, w.get(), [&] {
        commandsWereOff = !w->Command9->isEnabled() && !w->OKButton->isEnabled() && !w->List1->isEnabled();
        w->Command9_Click();
        w->Command1_Click();
    });
    ui.expectInputBox(QStringLiteral("Valley Copy"), kPrompt);
    ui.expectMsgBox(vb::vbOK, kSuccess);
    w->Command9_Click();
    EXPECT_TRUE(commandsWereOff);
    EXPECT_TRUE(w->Command9->isEnabled());

    const ScriptedUi::Dialog question = ui.dialogs().first();
    EXPECT_EQ(question.kind, ScriptedUi::Kind::InputBox);
    EXPECT_EQ(question.title, QStringLiteral("Name of New Route"));
    EXPECT_EQ(question.defaultText, QStringLiteral("Veltrane Valley Line"));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbInformation);
    EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));

    // A new folder named by an upper-case GUID, holding the source's tree byte for byte.
    const QStringList made = newRouteFolders(routesFolder());
    ASSERT_EQ(made.size(), 1);
    const QString guid = made.first();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(guid)
                    .hasMatch())
        << guid.toStdString();
    const QMap<QString, QByteArray> source = snapshot(tree.path(routeRel(kValleyRoute)));
    EXPECT_GT(source.size(), 10);
    EXPECT_EQ(snapshot(tree.path(routeRel(guid))), source);

    // The copy was the batch file's, with its exact line; the work folder was emptied first.
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/do_clone.bat")),
              platform::encodeAnsi(QStringLiteral("call xcopy \"") + gameRoutes() + kValleyRoute + QStringLiteral("\\*.*\" \"")
                                   + gameRoutes() + guid + QStringLiteral("\\*.*\" /s /y\r\n")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/left over.txt")));

    // "Routes.xml": the clone's entry directly before the source's, the old file as ".bak".
    QString half1;
    QString half2;
    halvesOf(guid, half1, half2);
    const QString old = QString::fromLatin1(before);
    const qsizetype start = old.indexOf(QStringLiteral("<cRouteProperties d:id=\"200000017\">"));
    const qsizetype end = old.indexOf(QStringLiteral("</cRouteProperties>"), start) + 19;
    QString clone = old.mid(start, end - start);
    clone.replace(QStringLiteral(">Veltrane Valley Line<"), QStringLiteral(">Valley Copy<"));
    clone.replace(QStringLiteral(">5372368077182676538<"), QLatin1Char('>') + half1 + QLatin1Char('<'));
    clone.replace(QStringLiteral(">8101797940477759647<"), QLatin1Char('>') + half2 + QLatin1Char('<'));
    clone.replace(QLatin1Char('>') + kValleyRoute + QStringLiteral("</DevString>"),
                  QLatin1Char('>') + guid + QStringLiteral("</DevString>"));
    const QByteArray expected = (old.left(start) + clone + old.mid(start)).toLatin1();
    EXPECT_EQ(tree.readFile(routesRel()), expected);
    EXPECT_EQ(tree.readFile(routesRel() + QStringLiteral(".bak")), before);

    // The window knows the clone: a later route deletion writes back a list that holds it.
    EXPECT_EQ(listRows(w->List1), (QStringList{QStringLiteral("Valley Copy\t") + guid,
                                           QStringLiteral("Veltrane Valley Line\t") + kValleyRoute,
                                           QStringLiteral("Eastfield Branch\t") + kBranchRoute}));
    EXPECT_EQ(listRows(w->List2), (QStringList{guid, kValleyRoute, kBranchRoute}));
    EXPECT_EQ(selectedRows(w->List1), (QStringList{QStringLiteral("Veltrane Valley Line\t") + kValleyRoute}));
    EXPECT_EQ(shared().RouteFolders.values(), (QList<QString>{guid, kValleyRoute, kBranchRoute}));
    EXPECT_EQ(shared().RouteNames.values(), (QList<QString>{"Valley Copy", "Veltrane Valley Line", "Eastfield Branch"}));
    EXPECT_EQ(w->RoutesXmlText.toLatin1(), expected);
}

TEST_F(RouteCloneWindow, TheNameQuestion)
{
    struct Row {
        const char* what;
        std::function<void(ScriptedUi&)> script;
        QString clonedAs; // "" when nothing may change
    };
    const Row table[] = {
        {"the same name, OK, then a new name",
         [](ScriptedUi& u) {
             u.expectInputBox(QStringLiteral("EASTFIELD branch"), kPrompt);
             u.expectMsgBox(vb::vbOK, kSameName);
             u.expectInputBox(QStringLiteral("Eastfield & Quarry"), kPrompt);
             u.expectMsgBox(vb::vbOK, kSuccess);
         },
         QStringLiteral("Eastfield &amp; Quarry")},
        {"the same name, then Cancel",
         [](ScriptedUi& u) {
             u.expectInputBox(QStringLiteral("Eastfield Branch"), kPrompt);
             u.expectMsgBox(vb::vbCancel, kSameName);
         },
         QString()},
        {"an empty answer", [](ScriptedUi& u) { u.expectInputBox(QString(), kPrompt); }, QString()},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        useSampleGame(); // the sample as it was
        for (const QString& folder : newRouteFolders(routesFolder()))
            QDir(routesFolder() + QLatin1Char('/') + folder).removeRecursively();
        QFile::remove(tree.path(routesRel() + QStringLiteral(".bak")));
        const QMap<QString, QByteArray> game = snapshot(tree.path(QStringLiteral("game/Content")));

        auto w = std::make_unique<frmDelRoute>();
        w->List1->item(1)->setSelected(true);
        ui.clearRecords();
        row.script(ui);
        w->Command9_Click();
        ui.verifyDone();
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

        if (row.clonedAs.isEmpty()) {
            EXPECT_EQ(snapshot(tree.path(QStringLiteral("game/Content"))), game);
            EXPECT_EQ(w->List1->count(), 2);
            continue;
        }
        EXPECT_EQ(ui.messages().first().style, vb::vbOKCancel + vb::vbExclamation);
        const QStringList made = newRouteFolders(routesFolder());
        ASSERT_EQ(made.size(), 1);
        EXPECT_EQ(listRows(w->List1).at(1), row.clonedAs + QLatin1Char('\t') + made.first());
        EXPECT_TRUE(tree.readFile(routesRel()).contains(">" + row.clonedAs.toLatin1() + "</English>"));
        EXPECT_EQ(selectedRows(w->List1), (QStringList{QStringLiteral("Eastfield Branch\t") + kBranchRoute}));
    }
}

TEST_F(RouteCloneWindow, RefusalsAndFailuresLeaveTheGameAsItWas)
{
    struct Row {
        const char* what;
        int route;                                // the row picked
        std::function<void(TempTree&)> beforeOpen; // changes to the game before the window loads
        std::function<void(TempTree&)> afterOpen;  // and after it
        QString message;                          // part of the one message shown
    };
    const auto none = [](TempTree&) {};
    const QString routesXml = QStringLiteral("game/Content/Routes.xml");
    const Row table[] = {
        {"all 51 backup names taken", 0,
         [&](TempTree& t) {
             t.writeFile(routesXml + QStringLiteral(".bak"), "b");
             for (int n = 1; n <= 50; ++n)
                 t.writeFile(routesXml + QStringLiteral(".bak") + QString::number(n), "b");
         },
         none, QStringLiteral("All 51 backup names of ") + tree.gamePath() + QStringLiteral("\\Content\\Routes.xml are in use")},
        {"an entry without UUID numbers", 0,
         [&](TempTree& t) {
             QByteArray xml = t.readFile(routesXml);
             xml.replace("<e d:type=\"sUInt64\">5372368077182676538</e>", "");
             t.writeFile(routesXml, xml);
         },
         none, QStringLiteral(" has no UUID numbers or no DevString after them.")},
        {"an entry gone since the window loaded", 1, none,
         [&](TempTree& t) {
             QByteArray xml = t.readFile(routesXml);
             xml.replace(kBranchRoute.toLatin1(), "another-folder");
             t.writeFile(routesXml, xml);
         },
         QStringLiteral("The entry of the route folder ") + kBranchRoute + QStringLiteral(" was not found in ")},
        {"a folder name that names no folder of its own", 0,
         [&](TempTree& t) {
             QByteArray xml = t.readFile(routesXml);
             xml.replace(">" + kValleyRoute.toLatin1() + "</DevString>", ">..</DevString>");
             t.writeFile(routesXml, xml);
         },
         none, QStringLiteral("The route folder \"..\" does not name a folder of its own below Content\\Routes.")},
        {"a copy that fails: the route's folder is missing", 1,
         [&](TempTree& t) { QDir(t.path(routeRel(kBranchRoute))).removeRecursively(); }, none,
         QStringLiteral("The copy of ") + tree.gamePath() + QStringLiteral("\\Content\\Routes\\") + kBranchRoute
             + QStringLiteral(" failed (exit status ")},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        QDir(tree.path(QStringLiteral("game"))).removeRecursively();
        useSampleGame();
        row.beforeOpen(tree);
        auto w = std::make_unique<frmDelRoute>();
        row.afterOpen(tree);
        const QMap<QString, QByteArray> game = snapshot(tree.path(QStringLiteral("game")));
        w->List1->item(row.route)->setSelected(true);

        ui.clearRecords();
        ui.expectInputBox(QStringLiteral("Copy"), kPrompt);
        ui.expectMsgBox(vb::vbOK, row.message);
        w->Command9_Click();
        ui.verifyDone();
        EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
        EXPECT_TRUE(ui.lastMessage().text.endsWith(QStringLiteral("The route has not been cloned.")))
            << ui.lastMessage().text.toStdString();
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        // Nothing copied, nothing written: no new folder, "Routes.xml" byte-identical, no backup.
        EXPECT_EQ(snapshot(tree.path(QStringLiteral("game"))), game);
        EXPECT_EQ(w->List1->count(), 2);
        EXPECT_TRUE(w->Command9->isEnabled());
    }
}

TEST_F(RouteCloneWindow, AGameBelowAFolderTheCodePageLacksIsToldAndNothingIsCloned)
{
    // The copy's batch line cannot be written: the user learns why, before anything is made.
    const QString game = tree.moveGameInto(unwritableName());
    shared().GamePath = game;
    auto w = std::make_unique<frmDelRoute>();
    const QMap<QString, QByteArray> before = snapshot(game);
    w->List1->item(0)->setSelected(true);
    ui.expectInputBox(QStringLiteral("Copy"), kPrompt);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("cannot be written in the system's code page"));
    w->Command9_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.lastMessage().text,
              UnwritablePathMessage(game + QStringLiteral("\\Content\\Routes\\") + kValleyRoute) + QStringLiteral("\r\n")
                  + game + QStringLiteral("\\Content\\Routes.xml has not been changed.\r\nThe route has not been cloned."));
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(snapshot(game), before);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/do_clone.bat")));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}
