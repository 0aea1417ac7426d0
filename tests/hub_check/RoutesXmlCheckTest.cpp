// The Routes.xml check: the line rewriter, its messages, the command with its work copy and
// backups, and the cases where it must leave the file alone.
#include "common/SharedState.h"
#include "common/VbError.h"
#include "hub/RoutesXmlCheck.h"
#include "platform/TextCodec.h"

#include "support/RenameFaults.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

namespace {

const QString Cleaned = QStringLiteral(
    "The .xml file has been cleaned up, however if you received any messages regarding mis-matched tags "
    "the file will require manual editing to sort the errors.");
const QString NotRoutes = QStringLiteral("This does not appear to be a Routes.xml file?");

// A route list with every kind of line the check repairs, as bytes of the game's code page:
// mixed line ends (CR LF, LF, a lone CR, none at the end), indents, trailing blanks, lines
// with only one kind of bracket, accented letters to replace and others to keep.
const QByteArray MessyRoutes =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"          // 1
    "<Routes>\n"                                            // 2
    "    <Route Name=\"Glen M\xF3r\">Glen M\xD3r</Route>  \r\n" // 3
    "  Just a remark\n"                                     // 4
    "\t<Open attribute=\"x\"\r"                             // 5
    "  broken > tail text\r\n"                              // 6
    "  <Name>M\xDCNCHEN \xFC" "ber \xE9\x81\x9D</Name>\t\n" // 7
    "\n"                                                    // 8
    "</Routes>";                                            // 9

const QByteArray CleanRoutes =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<Routes>\r\n"
    "\t\t\t\t<Route Name=\"Glen Mor\">Glen Mor</Route>\r\n"
    "\r\n"
    "\r\n"
    "  broken >\r\n"
    "\t\t<Name>MuNCHEN uber \xE9\x81\x9D</Name>\r\n"
    "\r\n"
    "</Routes>\r\n";

// Files cannot grow beyond a size while it lasts, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*oldHandler_)(int);
};

QString mismatch(int line)
{
    return QStringLiteral("There are mis-matched '<' tags in Line  ") + QString::number(line);
}

class RoutesXmlCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        tree.makeDir("wine/drive_c/Games/Rail Sim/Content");
        shared().GamePath = QStringLiteral("C:\\Games\\Rail Sim");
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    // The route list as the program names it, and its place in the temporary tree.
    static QString gameFile(const QString& name = QStringLiteral("Routes.xml"))
    {
        return QStringLiteral("C:\\Games\\Rail Sim\\Content\\") + name;
    }
    static QString treeFile(const QString& name = QStringLiteral("Routes.xml"))
    {
        return QStringLiteral("wine/drive_c/Games/Rail Sim/Content/") + name;
    }
    QStringList contentFolder() const
    {
        return QDir(tree.path("wine/drive_c/Games/Rail Sim/Content")).entryList(QDir::Files, QDir::Name);
    }
    // Every message shown, in order.
    QStringList shownTexts() const
    {
        QStringList out;
        for (const auto& m : ui.messages())
            out << m.text;
        return out;
    }

    TempTree tree;
    ScriptedUi ui;
};

} // namespace

TEST(CleanTagLines, IndentsCutsReplacesAndReportsLineByLine)
{
    const TagBalanceResult r = CleanTagLines(NormaliseLineEnds(platform::decodeAnsi(MessyRoutes)));
    EXPECT_EQ(platform::encodeAnsi(r.text), CleanRoutes);
    EXPECT_EQ(r.unpairedLines, (QList<qint64>{5, 6}));
}

TEST(CleanTagLines, SplitsLikeALineReader)
{
    // CR and CR LF end a line; a lone LF stays inside it; nothing follows a final line end.
    TagBalanceResult r = CleanTagLines("  <a>\n  <b>  \r\n<c>\r\r\n");
    EXPECT_EQ(r.text, "\t\t<a>\n  <b>\r\n<c>\r\n\r\n");
    EXPECT_TRUE(r.unpairedLines.isEmpty());

    EXPECT_EQ(CleanTagLines("").text, "");
    EXPECT_EQ(CleanTagLines("\r\n").text, "\r\n");
    r = CleanTagLines("<a>");
    EXPECT_EQ(r.text, "<a>\r\n");

    // Whatever stands before the first "<" becomes tabs, not only blanks.
    EXPECT_EQ(CleanTagLines("ab<c> d").text, "\t\t<c>\r\n");
}

TEST(CleanTagLines, CountsAndIndentsBeyondSixteenBits)
{
    QString text;
    for (int i = 0; i < 40000; ++i)
        text += "<a>x</a>\r\n";
    text += QString(40000, QLatin1Char(' ')) + "<b>\r\n<open\r\n";
    const TagBalanceResult r = CleanTagLines(text);
    EXPECT_EQ(r.unpairedLines, (QList<qint64>{40002}));
    const QString expectedTail = QString(40000, QLatin1Char('\t')) + "<b>\r\n\r\n";
    EXPECT_TRUE(r.text.endsWith(expectedTail));
    EXPECT_EQ(r.text.size(), 40000 * 10 + expectedTail.size());
    EXPECT_EQ(MismatchedTagMessage(40002), "There are mis-matched '<' tags in Line  40002");
}

TEST(NormaliseLineEnds, MakesEveryLineEndCrLfButKeepsLoneCr)
{
    EXPECT_EQ(NormaliseLineEnds("a\nb\r\nc\rd\r\r\ne\n\n"), "a\r\nb\r\nc\rd\r\r\ne\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds("\n"), "\r\n");
    EXPECT_EQ(NormaliseLineEnds("no end"), "no end");
}

TEST(IsRoutesXmlName, ComparesTheNameBeforeItsLastDotWithoutCase)
{
    EXPECT_TRUE(IsRoutesXmlName("C:\\Games\\Content\\Routes.xml"));
    EXPECT_TRUE(IsRoutesXmlName("/home/me/game/routes.XML"));
    EXPECT_TRUE(IsRoutesXmlName("ROUTES.txt"));
    EXPECT_FALSE(IsRoutesXmlName(""));
    EXPECT_FALSE(IsRoutesXmlName("C:\\Content\\Routes"));
    EXPECT_FALSE(IsRoutesXmlName("C:\\Content\\MyRoutes.xml"));
    EXPECT_FALSE(IsRoutesXmlName("C:\\Content\\Routes.old.xml"));
    EXPECT_FALSE(IsRoutesXmlName("C:\\Routes.d\\Scenarios.xml"));
    EXPECT_FALSE(IsRoutesXmlName("/tmp/Routes.d/Other.xml"));
}

TEST_F(RoutesXmlCheck, CheckTagBalanceRewritesTheFileKeepingEveryOtherByte)
{
    // Every byte but the line ends, the brackets and the four accented letters, and a UTF-8
    // letter (as the tree page writes them), between two tags.
    QByteArray middle;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != '<' && b != '>' && b != 0xF3 && b != 0xFC && b != 0xD3 && b != 0xDC)
            middle.append(char(b));
    }
    middle += "\xC3\xB3\xC3\xBC";
    const QByteArray in = "  <a>" + middle + "</a>  \r\n  </b\r\n";
    const QString path = tree.writeFile("program/TempFiles/Scenario.xml", in);

    ui.expectMsgBox(vb::vbOK, mismatch(2));
    EXPECT_TRUE(CheckTagBalance(path));
    EXPECT_EQ(tree.readFile("program/TempFiles/Scenario.xml"), "\t\t<a>" + middle + "</a>\r\n\r\n");
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0].text, mismatch(2));
    EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.messages()[0].title, Ui::programTitle());
}

TEST_F(RoutesXmlCheck, CheckTagBalanceOfAMissingFileRaisesAndCreatesNothing)
{
    try {
        CheckTagBalance(gameFile("Nothing.xml"));
        ADD_FAILURE() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 53);
    }
    EXPECT_TRUE(contentFolder().isEmpty());
}

TEST_F(RoutesXmlCheck, CleansTheFileKeepingTheOriginalAsBackup)
{
    tree.writeFile(treeFile(), MessyRoutes);
    ui.expectOpenFile(gameFile())
        .expectMsgBox(vb::vbOK, mismatch(5))
        .expectMsgBox(vb::vbOK, mismatch(6))
        .expectMsgBox(vb::vbOK, Cleaned);
    CheckRoutesXmlFile();

    const auto request = ui.dialogs().first().request;
    EXPECT_EQ(request.title, "Select .xml file");
    EXPECT_EQ(request.filter, "XML Files (*.xml)|*.xml");
    EXPECT_EQ(request.initDir, "C:\\Games\\Rail Sim");

    EXPECT_EQ(shownTexts(), (QStringList{mismatch(5), mismatch(6), Cleaned}));
    for (const auto& m : ui.messages()) {
        EXPECT_EQ(m.style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(m.title, Ui::programTitle());
    }
    EXPECT_EQ(tree.readFile(treeFile()), CleanRoutes);
    EXPECT_EQ(tree.readFile(treeFile("Routes.xml.bak")), MessyRoutes);
    EXPECT_EQ(tree.readFile("program/TempFiles/Routes.xml"), MessyRoutes);
    EXPECT_EQ(contentFolder(), (QStringList{"Routes.xml", "Routes.xml.bak"}));
}

TEST_F(RoutesXmlCheck, ASecondRunKeepsTheFirstBackupAndNumbersTheNext)
{
    tree.writeFile(treeFile("routes.XML"), MessyRoutes);
    // A native path, as the file dialog gives it.
    const QString picked = tree.path(treeFile("routes.XML"));
    ui.expectOpenFile(picked).expectMsgBox(vb::vbOK, mismatch(5)).expectMsgBox(vb::vbOK, mismatch(6)).expectMsgBox(vb::vbOK, Cleaned);
    CheckRoutesXmlFile();
    ui.verifyDone();
    ui.clearRecords();

    // The cleaned file still has its line with ">" alone.
    ui.expectOpenFile(picked).expectMsgBox(vb::vbOK, mismatch(6)).expectMsgBox(vb::vbOK, Cleaned);
    CheckRoutesXmlFile();
    EXPECT_EQ(shownTexts(), (QStringList{mismatch(6), Cleaned}));
    EXPECT_EQ(tree.readFile(treeFile("routes.XML")), CleanRoutes);
    EXPECT_EQ(tree.readFile(treeFile("routes.XML.bak")), MessyRoutes);
    EXPECT_EQ(tree.readFile(treeFile("routes.XML.bak1")), CleanRoutes);
    // The work copy is named from the chosen file's own spelling.
    EXPECT_EQ(tree.readFile("program/TempFiles/routes.xml"), CleanRoutes);
}

TEST_F(RoutesXmlCheck, TakesTheLastFreeBackupNumberAndRefusesWhenNoneIsLeft)
{
    tree.writeFile(treeFile(), MessyRoutes);
    tree.writeFile(treeFile("Routes.xml.bak"), "old");
    for (int n = 1; n <= 49; ++n)
        tree.writeFile(treeFile("Routes.xml.bak" + QString::number(n)), "old");

    ui.expectOpenFile(gameFile()).expectMsgBox(vb::vbOK, mismatch(5)).expectMsgBox(vb::vbOK, mismatch(6)).expectMsgBox(vb::vbOK, Cleaned);
    CheckRoutesXmlFile();
    EXPECT_EQ(tree.readFile(treeFile("Routes.xml.bak50")), MessyRoutes);
    EXPECT_EQ(tree.readFile(treeFile()), CleanRoutes);
    ui.verifyDone();
    ui.clearRecords();

    // All 51 names are taken now: nothing is moved, written or reported as cleaned.
    const QStringList before = contentFolder();
    ui.expectOpenFile(gameFile()).expectMsgBox(vb::vbOK, "backup");
    CheckRoutesXmlFile();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0].text, "All 51 backup names of C:\\Games\\Rail Sim\\Content\\Routes.xml are in use; "
                                     "delete some of its old backups. The file has not been changed.");
    EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(tree.readFile(treeFile()), CleanRoutes);
    EXPECT_EQ(tree.readFile(treeFile("Routes.xml.bak50")), MessyRoutes);
    EXPECT_EQ(contentFolder(), before);
}

// The cleaned file cannot be written (the disk is full): the original gets its name back, and
// when even that is refused the message says where it is kept.
TEST_F(RoutesXmlCheck, AFailedWriteGivesTheOriginalItsNameBack)
{
    // Lines ended by LF alone: the cleaned file, with CR LF, is longer than the original, and
    // the work copy of the original still fits below the limit.
    const QByteArray routes = "<Routes>\n<Route>Glen</Route>\n</Routes>\n";
    const QString notWritten = QStringLiteral("An error occurred while writing ") + gameFile();
    const struct {
        const char* what;
        bool putBackFails;
        QStringList shown;
        QString left;
    } rows[] = {
        {"put back", false, {notWritten}, QStringLiteral("Routes.xml")},
        {"not put back", true, {notWritten, QStringLiteral("The original file is kept as ") + gameFile() + ".bak"},
         QStringLiteral("Routes.xml.bak")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        tree.writeFile(treeFile(), routes);
        ui.expectOpenFile(gameFile());
        for (const QString& m : row.shown)
            ui.expectMsgBox(vb::vbOK, m);
        {
            const FileSizeLimit full(routes.size());
            const RenameFaults faults(row.putBackFails ? RenameFaults::failingFrom({QStringLiteral("Routes.xml.bak")})
                                                       : platform::RenameWatcher());
            CheckRoutesXmlFile();
        }
        EXPECT_EQ(shownTexts(), row.shown);
        EXPECT_EQ(contentFolder(), QStringList{row.left});
        EXPECT_EQ(tree.readFile(treeFile(row.left)), routes);
        ui.verifyDone();
        ui.clearRecords();
    }
}

TEST_F(RoutesXmlCheck, RefusesOtherNamesAndACancelledDialog)
{
    tree.writeFile(treeFile("MyRoutes.xml"), MessyRoutes);
    ui.expectOpenFile(gameFile("MyRoutes.xml")).expectMsgBox(vb::vbOK, NotRoutes);
    ui.expectOpenFile("").expectMsgBox(vb::vbOK, NotRoutes);
    CheckRoutesXmlFile();
    CheckRoutesXmlFile();

    EXPECT_EQ(shownTexts(), (QStringList{NotRoutes, NotRoutes}));
    EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.messages()[0].title, Ui::programTitle());
    EXPECT_EQ(tree.readFile(treeFile("MyRoutes.xml")), MessyRoutes);
    EXPECT_EQ(contentFolder(), QStringList{"MyRoutes.xml"});
    EXPECT_FALSE(tree.exists("program/TempFiles"));
}

TEST_F(RoutesXmlCheck, AnEmptyFileIsReportedAndLeftWithoutBackup)
{
    tree.writeFile(treeFile(), "");
    ui.expectOpenFile(gameFile()).expectMsgBox(vb::vbOK, "An error occurred while writing ");
    CheckRoutesXmlFile();
    EXPECT_EQ(shownTexts(), QStringList{"An error occurred while writing " + gameFile()});
    EXPECT_EQ(contentFolder(), QStringList{"Routes.xml"});
}

TEST_F(RoutesXmlCheck, AMissingFileIsReportedAndNothingIsCreated)
{
    ui.expectOpenFile(gameFile()).expectMsgBox(vb::vbOK);
    CheckRoutesXmlFile();
    EXPECT_EQ(shownTexts(), QStringList{"Error File not found occurred in mnuCheckXML_Click"});
    EXPECT_TRUE(contentFolder().isEmpty());
}

TEST_F(RoutesXmlCheck, PickingTheWorkCopyItselfKeepsIt)
{
    const QString work = tree.writeFile("program/TempFiles/Routes.xml", "  <a>\n");
    ui.expectOpenFile(work).expectMsgBox(vb::vbOK, Cleaned);
    CheckRoutesXmlFile();
    EXPECT_EQ(tree.readFile("program/TempFiles/Routes.xml"), "\t\t<a>\r\n");
    EXPECT_EQ(tree.readFile("program/TempFiles/Routes.xml.bak"), "  <a>\n");
}
