#include "packaging/frmNewZip.h"

#include "ZipTestSupport.h"
#include "common/SharedState.h"
#include "packaging/ZipSplit.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTableWidget>

#include <functional>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace ziptest;

namespace {

// The package the window compresses while it loads; entries in the archive's order.
const QStringList kPackage{"Route1/Sub/Deep/d.xml", "Route1/Sub/b.xml", "Route1/a.xml",
                           "Route1/c.bin",          "Route1/e.txt",     "Route1/f.txt"};

class ZipWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        for (int i = 0; i < kPackage.size(); ++i)
            writeFile(tree.path(QStringLiteral("program/") + kPackage[i]), textBytes(1000 * (i + 1)));
    }
    void TearDown() override { resetShared(); }

    // Opens the window for the package folder (as a packager does, less the modal loop).
    std::unique_ptr<frmNewZip> load(const QString& packageFolder = QStringLiteral("Route1"))
    {
        shared().PackageFolder = packageFolder;
        return std::make_unique<frmNewZip>();
    }
    static QStringList names(const frmNewZip& w)
    {
        QStringList out;
        for (const QString& row : w.gridRows())
            out << row.section(QLatin1Char('\t'), 1, 1);
        return out;
    }
    static QStringList indices(const frmNewZip& w)
    {
        QStringList out;
        for (const QString& row : w.gridRows())
            out << row.section(QLatin1Char('\t'), 0, 0);
        return out;
    }
    static void selectRows(frmNewZip& w, std::initializer_list<int> rows)
    {
        w.VsFg1->clearSelection();
        for (int r : rows)
            w.VsFg1->selectionModel()->select(w.VsFg1->model()->index(r, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString program() const { return tree.programPath(); }

    TempTree tree;
};

QStringList shown(const QStringList& slashNames)
{
    QStringList out;
    for (QString n : slashNames)
        out << n.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return out;
}

} // namespace

TEST_F(ZipWindow, LoadingCompressesThePackageFolderAndListsIt)
{
    ScriptedUi ui;
    auto w = load();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DuRazo"));
    EXPECT_TRUE(QFileInfo(program() + "/Route1.zip").isFile());
    EXPECT_EQ(names(*w), shown(kPackage));
    EXPECT_EQ(indices(*w), (QStringList{"0", "1", "2", "3", "4", "5"}));
    const QStringList row = w->gridRows().value(0).split(QLatin1Char('\t'));
    ASSERT_EQ(row.size(), 5);
    EXPECT_EQ(row[3], QStringLiteral("1000"));
    EXPECT_LT(row[2].toInt(), 1000); // compressed: the archive was written before the listing
    EXPECT_TRUE(row[4].startsWith(QStringLiteral("     ")) && row[4].size() > 5);
    EXPECT_EQ(w->panelText(1), QStringLiteral("Processing:"));
    EXPECT_EQ(w->panelText(3), QString::number(1000 * (1 + 2 + 3 + 4 + 5 + 6)));
    EXPECT_EQ(w->panelText(4), QStringLiteral("6"));
    EXPECT_EQ(w->VsFg1->horizontalHeaderItem(1)->text(), QStringLiteral("File Name"));
    EXPECT_EQ(w->VsFg1->columnCount(), 5);
    EXPECT_EQ(ui.messages().size(), 0);
    // The archive never holds itself, also when made again from the same folder.
    w->mnuNew_Click();
    EXPECT_EQ(names(*w), shown(kPackage));
}

// Without a package folder nothing is created, and every command that needs an archive says so.
TEST_F(ZipWindow, NoPackageFolderNoArchiveAndTheNoArchiveMessages)
{
    for (const QString& folder : {QString(), QStringLiteral("Missing")}) {
        SCOPED_TRACE(folder.toStdString());
        ScriptedUi ui;
        ui.expectMsgBox(vb::vbOK);
        auto w = load(folder);
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("No package folder to zip: ") + program() + "\\" + folder);
        EXPECT_EQ(w->zip(), nullptr);
        EXPECT_EQ(treeOf(program()).filter(QStringLiteral(".zip")), QStringList());

        struct Row {
            void (frmNewZip::*handler)();
            const char* secondLine;
        };
        const Row rows[] = {
            {&frmNewZip::mnuAdd_Click, "            Add anything to it!"},
            {&frmNewZip::mnuAddFold_Click, "            Add anything to it!"},
            {&frmNewZip::mnuExt_Click, "            Extract anything from it!"},
            {&frmNewZip::mnuExtSel_Click, "            Extract anything from it!"},
            {&frmNewZip::mnuExtCur_Click, "            Extract anything from it!"},
            {&frmNewZip::mnuFind_Click, "            Find anything in it!"},
            {&frmNewZip::mnuFindFiles_Click, "            Find anything in it!"},
        };
        for (const Row& r : rows) {
            SCOPED_TRACE(r.secondLine);
            ui.expectMsgBox(vb::vbOK);
            ((*w).*r.handler)();
            EXPECT_EQ(ui.lastMessage().text,
                      QStringLiteral("You must Open an Archive before you can\n") + QString::fromUtf8(r.secondLine));
            EXPECT_EQ(ui.lastMessage().title, QStringLiteral("Error"));
            EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
        }
    }
}

// Every input box of the window opens near the screen's top left corner, Find File's lower.
TEST_F(ZipWindow, InputBoxesOpenWhereTheWindowPutsThem)
{
    ScriptedUi ui;
    auto w = load();
    const struct {
        const char* what;
        std::function<void()> script;
        void (frmNewZip::*command)();
        QPoint at;
    } rows[] = {
        {"Find File", [&] { ui.expectInputBox(QString(), QStringLiteral("Filename: ")); }, &frmNewZip::mnuFind_Click,
         QPoint(3360, 2080)},
        {"Find Files(Pattern Match)", [&] { ui.expectInputBox(QString(), QStringLiteral("Pattern: ")); },
         &frmNewZip::mnuFindFiles_Click, QPoint(3360, 1080)},
        {"Extract", [&] { ui.expectFolder(QString()).expectInputBox(QString(), QStringLiteral("Save to: ")); },
         &frmNewZip::mnuExt_Click, QPoint(3360, 1080)},
        {"Extract Selected",
         [&] { ui.expectFolder(QString()).expectInputBox(QString(), QStringLiteral("Save Selected Files to: ")); },
         &frmNewZip::mnuExtSel_Click, QPoint(3360, 1080)},
        {"New Multi-Part Archive",
         [&] {
             ui.expectSaveFile(tree.path(QStringLiteral("parts.zip")))
                 .expectInputBox(QString(), QStringLiteral("Enter approx. section length in Mb"))
                 .expectMsgBox(vb::vbOK, QStringLiteral("section length"));
         },
         &frmNewZip::mnuMulti_Click, QPoint(3360, 1080)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ui.clearRecords();
        row.script();
        (w.get()->*row.command)();
        ui.verifyDone();
        bool asked = false;
        for (const ScriptedUi::Dialog& d : ui.dialogs()) {
            if (d.kind != ScriptedUi::Kind::InputBox)
                continue;
            asked = true;
            EXPECT_EQ(d.at, std::optional<QPoint>(row.at));
        }
        EXPECT_TRUE(asked);
    }
}

// Rows carry the entries' own indices, so Extract Selected writes exactly the chosen entries after
// either search has replaced the listing.
TEST_F(ZipWindow, ExtractSelectedAfterSearchesUsesTheEntriesOwnIndices)
{
    ScriptedUi ui;
    auto w = load();
    const QString dest = tree.path("dest");

    ui.expectInputBox(QStringLiteral("*.txt"), QStringLiteral("Pattern: "));
    w->mnuFindFiles_Click();
    EXPECT_EQ(indices(*w), (QStringList{"4", "5"}));
    selectRows(*w, {1});
    ui.expectFolder(dest).expectInputBox(dest, QStringLiteral("Save Selected Files to: "));
    w->mnuExtSel_Click();
    EXPECT_EQ(treeOf(dest), (QStringList{"Route1/", "Route1/f.txt"}));
    EXPECT_EQ(w->panelText(2), QStringLiteral("Extract Completed"));

    ui.expectInputBox(QStringLiteral("A.XML"), QStringLiteral("Filename: "));
    w->mnuFind_Click(); // Fullpath off: file names only
    EXPECT_EQ(indices(*w), (QStringList{"2"}));
    selectRows(*w, {0});
    ui.expectFolder(QString()).expectInputBox(dest);
    w->mnuExtSel_Click();
    EXPECT_EQ(ui.dialogs().last().defaultText, dest); // the last destination is offered again
    EXPECT_EQ(treeOf(dest), (QStringList{"Route1/", "Route1/a.xml", "Route1/f.txt"}));
    EXPECT_EQ(readFile(dest + "/Route1/a.xml"), textBytes(3000));

    ui.expectInputBox(QStringLiteral("nothing.txt"));
    ui.expectMsgBox(vb::vbOK);
    w->mnuFind_Click();
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("The file  nothing.txt\nwas not found."));
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
    EXPECT_EQ(w->gridRows(), QStringList());
}

TEST_F(ZipWindow, OptionBoxesSliderAndMenuTitles)
{
    ScriptedUi ui;
    auto w = load();
    using S = Qt::CheckState;
    struct Step {
        const char* what;
        std::function<void(frmNewZip&)> act;
        S box0, box1, box2;
        bool fullPath, subDirs, relative;
    };
    const Step steps[] = {
        {"start", [](frmNewZip&) {}, S::Unchecked, S::Checked, S::Checked, false, true, true},
        {"Fullpath on", [](frmNewZip& f) { f.Check1[0]->setCheckState(Qt::Checked); }, S::Checked, S::Checked,
         S::Unchecked, true, true, false},
        {"relative on", [](frmNewZip& f) { f.Check1[2]->setCheckState(Qt::Checked); }, S::Unchecked, S::Checked,
         S::Checked, false, true, true},
        {"Extract Files title", [](frmNewZip& f) { f.mnuProcess_Click(); }, S::Unchecked, S::PartiallyChecked,
         S::PartiallyChecked, false, true, true},
        {"sub-folders off", [](frmNewZip& f) { f.Check1[1]->setCheckState(Qt::Unchecked); }, S::Unchecked,
         S::Unchecked, S::PartiallyChecked, false, false, true},
        {"Add Files title", [](frmNewZip& f) { f.mnuAddFiles_Click(); }, S::Unchecked, S::Checked, S::Checked, false,
         true, true},
        {"relative off", [](frmNewZip& f) { f.Check1[2]->setCheckState(Qt::Unchecked); }, S::Unchecked, S::Checked,
         S::Unchecked, false, true, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act(*w);
        EXPECT_EQ(w->Check1[0]->checkState(), s.box0);
        EXPECT_EQ(w->Check1[1]->checkState(), s.box1);
        EXPECT_EQ(w->Check1[2]->checkState(), s.box2);
        EXPECT_EQ(w->Fullpath, s.fullPath);
        EXPECT_EQ(w->IncludeSubDirs, s.subDirs);
        EXPECT_EQ(w->UseRelativePaths, s.relative);
    }
    EXPECT_EQ(w->Label2->text(), QStringLiteral("Compression Level  =   6"));
    w->Slider1->setValue(3);
    EXPECT_EQ(w->CompressionLevel, 3);
    EXPECT_EQ(w->Label2->text(), QStringLiteral("Compression Level = 3"));
    w->Text1->setText(QStringLiteral("*.xml"));
    EXPECT_EQ(w->WildcardPattern, QStringLiteral("*.xml"));
}

TEST_F(ZipWindow, ProcessRefusesAMissingPartSizeAndCreatesNothing)
{
    for (const char* size : {"", "abc", "0.4", "-5"}) {
        SCOPED_TRACE(size);
        ScriptedUi ui;
        auto w = load();
        const QStringList before = treeOf(tree.rootPath());
        w->Check2->setChecked(true);
        w->Text2->setText(QString::fromUtf8(size));
        ui.expectMsgBox(vb::vbOK);
        w->Command2_Click();
        EXPECT_EQ(ui.lastMessage().text,
                  QStringLiteral("You have selected 'Produce multiple Zips', but have not entered a\n"
                                 "                     file size. Please do so, then try again."));
        EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
        EXPECT_EQ(treeOf(tree.rootPath()), before);
    }
}

TEST_F(ZipWindow, ProcessNamesTheArchiveWithZipAndCompressesThePackage)
{
    struct Row {
        const char* chosen;
        const char* archive;
        bool multi;
    };
    const Row rows[] = {
        {"out/backup", "out/backup.zip", false},
        {"out/Backup.ZIP", "out/Backup.ZIP", false},
        {"out/parts", "out/parts.zip", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chosen);
        ScriptedUi ui;
        auto w = load();
        QDir().mkpath(tree.path("out"));
        w->Check2->setChecked(r.multi);
        w->Text2->setText(QStringLiteral("1"));
        ui.expectSaveFile(tree.path(r.chosen));
        w->Command2_Click();
        EXPECT_EQ(ui.dialogs().last().request.filter, r.multi ? QString() : QStringLiteral("Zip|*.zip"));
        // A single archive is shown as typed, a set by its last piece.
        EXPECT_EQ(w->Label4->text(), QStringLiteral("Zip File name:  ") + tree.path(r.multi ? r.archive : r.chosen));
        EXPECT_TRUE(QFileInfo(tree.path(r.archive)).isFile());
        EXPECT_EQ(w->zip()->isSplit(), r.multi);
        EXPECT_EQ(w->zip()->partSize(), r.multi ? 1000000 : 0);
        EXPECT_EQ(names(*w), shown(kPackage));
        EXPECT_EQ(ui.pointerHistory().last(), int(vb::vbDefault));
        // Another archive: the label keeps no name of this one.
        w->mnuNew_Click();
        EXPECT_EQ(w->Label4->text(), QStringLiteral("Zip File name: "));
        QFile::remove(tree.path(r.archive));
    }
}

// A set made in parts, by Process or by New Multi-Part Archive with files added, is a standard
// set whatever the chosen name: name.z01, name.z02 ... and name.zip, which Info-ZIP's zip joins
// and the window opens again.
TEST_F(ZipWindow, MultiPartSetsAreStandardWhateverTheChosenName)
{
    writeFile(tree.path(QStringLiteral("program/Route1/big.bin")), noiseBytes(2500000));
    struct Row {
        const char* chosen;
        bool process; // else New Multi-Part Archive, then Add Folder
        const char* base;
    };
    const Row rows[] = {
        {"out/pack", false, "out/pack"},
        {"out/twice.zip", false, "out/twice"},
        {"out/parts", true, "out/parts"},
    };
    const QString zipTool = QStandardPaths::findExecutable(QStringLiteral("zip"));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chosen);
        QDir(tree.path("out")).removeRecursively();
        QDir().mkpath(tree.path("out"));
        {
            ScriptedUi ui;
            auto w = load();
            ui.expectSaveFile(tree.path(r.chosen));
            if (r.process) {
                w->Check2->setChecked(true);
                w->Text2->setText(QStringLiteral("1"));
                w->Command2_Click();
            } else {
                ui.expectInputBox(QStringLiteral("1")).expectFolder(tree.path(QStringLiteral("program/Route1")));
                w->mnuMulti_Click();
                w->mnuAddFold_Click();
            }
            ui.verifyDone();
        }
        const QString base = QString::fromUtf8(r.base);
        EXPECT_EQ(treeOf(tree.path("out")),
                  (QStringList{QFileInfo(base).fileName() + ".z01", QFileInfo(base).fileName() + ".z02",
                               QFileInfo(base).fileName() + ".zip"}));
        if (!zipTool.isEmpty()) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(zipTool, {QStringLiteral("-s"), QStringLiteral("0"), tree.path(base + ".zip"), QStringLiteral("--out"),
                              tree.path(QStringLiteral("joined.zip"))});
            ASSERT_TRUE(p.waitForFinished(60000));
            EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
        }

        ScriptedUi ui;
        auto w = load();
        ui.expectOpenFile(tree.path(base + ".zip"));
        w->mnuOpen_Click();
        ui.verifyDone();
        EXPECT_TRUE(names(*w).contains(QStringLiteral("Route1\\big.bin"))) << names(*w).join(' ').toStdString();
        if (!zipTool.isEmpty()) {
            EXPECT_EQ(packaging::zipEntryCount(tree.path(QStringLiteral("joined.zip"))), names(*w).size());
            QFile::remove(tree.path(QStringLiteral("joined.zip")));
        }
    }
}

TEST_F(ZipWindow, NewMultiPartArchiveTakesTheSectionLength)
{
    struct Row {
        const char* answer;
        qint64 partSize; // 0: refused
    };
    const Row rows[] = {{"10", 10000000}, {"2.5", 2000000}, {"3.5", 4000000}, {"", 0}, {"0.4", 0}, {"x", 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.answer);
        ScriptedUi ui;
        auto w = load();
        const QString chosen = tree.path("multi.zip");
        ui.expectSaveFile(chosen).expectInputBox(QString::fromUtf8(r.answer), QStringLiteral("Enter approx. section length in Mb"));
        if (r.partSize == 0)
            ui.expectMsgBox(vb::vbOK, QStringLiteral("Enter a section length of at least 1 Mb."));
        w->mnuMulti_Click();
        EXPECT_EQ(ui.dialogs().value(1).title, QStringLiteral("Multi-Part Zip"));
        EXPECT_EQ(ui.dialogs().value(1).defaultText, QStringLiteral("10"));
        EXPECT_EQ(QFileInfo::exists(chosen), r.partSize > 0);
        if (r.partSize > 0) {
            EXPECT_TRUE(w->zip()->isSplit());
            EXPECT_EQ(w->zip()->partSize(), r.partSize);
            EXPECT_EQ(w->zip()->path(), chosen);
        }
        EXPECT_EQ(names(*w), shown(kPackage)); // the listing is not refreshed
        w.reset();
        QFile::remove(chosen);
    }
}

TEST_F(ZipWindow, AddFilesKeepsFoldersAndBlanksInNames)
{
    writeFile(tree.path("pick/A/B/f one.txt"), "f");
    writeFile(tree.path("pick/A/B/g.txt"), "g");
    writeFile(tree.path("pick/A/B/h.txt"), "h");
    struct Row {
        QStringList picked;
        QStringList added;
    };
    const Row rows[] = {
        {{"pick/A/B/f one.txt", "pick/A/B/g.txt"}, {"A\\B\\f one.txt", "A\\B\\g.txt"}},
        {{"pick/A/B/h.txt"}, {"B\\h.txt"}},
        {{"pick/A/B/f one.txt"}, {"B\\f one.txt"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.picked.join(",").toStdString());
        ScriptedUi ui;
        auto w = load();
        QStringList picked;
        for (const QString& p : r.picked)
            picked << tree.path(p);
        ui.expectOpenFiles(picked);
        w->mnuAdd_Click();
        EXPECT_EQ(ui.dialogs().last().request.title, QStringLiteral("Choose File(s) to Add"));
        EXPECT_EQ(ui.dialogs().last().request.fileName, QStringLiteral("*.*"));
        EXPECT_EQ(names(*w), shown(kPackage) + r.added);
        EXPECT_TRUE(w->PB1->isHidden());
    }
}

TEST_F(ZipWindow, AddFileFailureNamesTheFileAndKeepsWhatWasAdded)
{
    writeFile(tree.path("pick/A/B/good.txt"), "g");
    ScriptedUi ui;
    auto w = load();
    const QString missing = tree.path("pick/A/B/missing.txt");
    ui.expectOpenFiles({tree.path("pick/A/B/good.txt"), missing});
    ui.expectMsgBox(vb::vbOK);
    w->mnuAdd_Click();
    EXPECT_EQ(ui.lastMessage().text, missing + QStringLiteral(": No such file"));
    EXPECT_EQ(ui.lastMessage().title, QStringLiteral("An Error Occurred"));
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbCritical));
    EXPECT_EQ(names(*w), (shown(kPackage) + QStringList{"A\\B\\good.txt"}));

    ui.expectOpenFiles({});
    w->mnuAdd_Click(); // cancelled: nothing happens
    EXPECT_EQ(names(*w).size(), kPackage.size() + 1);
}

TEST_F(ZipWindow, AddFolderCancelledOrWithAPattern)
{
    writeFile(tree.path("extra/Stock/x.txt"), "x");
    writeFile(tree.path("extra/Stock/y.bin"), "y");
    writeFile(tree.path("extra/Stock/In/z.txt"), "z");
    ScriptedUi ui;
    auto w = load();
    ui.expectFolder(QString());
    w->mnuAddFold_Click();
    EXPECT_EQ(names(*w), shown(kPackage));
    EXPECT_EQ(ui.mousePointer(), int(vb::vbDefault));
    EXPECT_EQ(ui.dialogs().last().title, QStringLiteral("Select folder to add"));

    w->Text1->setText(QStringLiteral("*.txt"));
    ui.expectFolder(tree.path("extra/Stock"));
    w->mnuAddFold_Click();
    EXPECT_EQ(names(*w), (shown(kPackage) + QStringList{"Stock\\In\\z.txt", "Stock\\x.txt"}));
    EXPECT_EQ(ui.mousePointer(), int(vb::vbDefault));
}

// A file whose name is no text (copied from Windows without conversion) cannot be read: Add
// Folder names it and says no success, and the files it could take are in the archive.
TEST_F(ZipWindow, AddFolderNamesTheFileItLeftOut)
{
    writeFile(tree.path("extra/Stock/x.txt"), "x");
    const QByteArray raw = QFile::encodeName(tree.path("extra/Stock")) + "/caf\xE9.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ScriptedUi ui;
    auto w = load();
    ui.expectFolder(tree.path("extra/Stock"));
    ui.expectMsgBox(vb::vbOK);
    w->mnuAddFold_Click();
    EXPECT_EQ(ui.lastMessage().text, tree.path("extra/Stock") + QStringLiteral(": these were not added:\n")
                                         + tree.path("extra/Stock/caf\\xE9.txt")
                                         + QStringLiteral(": its name is not text in this system's encoding"));
    EXPECT_EQ(ui.lastMessage().title, QStringLiteral("An Error Occurred"));
    EXPECT_EQ(names(*w), (shown(kPackage) + QStringList{"Stock\\x.txt"}));
}

TEST_F(ZipWindow, ExtractionsProgressAndCompletion)
{
    ScriptedUi ui;
    auto w = load();
    QList<int> progress;
    QObject::connect(w->PB1, &QProgressBar::valueChanged, [&](int v) { progress << v; });

    // Before any archive was chosen in the archive dialogs, extracting to its folder does nothing.
    w->mnuExtCur_Click();
    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_FALSE(w->PB1->isHidden());

    const QString dest = tree.path("all");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        progress.clear();
        w->PB1->setValue(0);
        progress.clear();
        ui.expectFolder(dest).expectInputBox(dest, QStringLiteral("Save to: "));
        w->mnuExt_Click();
        EXPECT_EQ(ui.dialogs().last().title, QStringLiteral("Confirm Save Path"));
        EXPECT_EQ(progress, (QList<int>{17, 33, 50, 67, 83, 100}));
        EXPECT_EQ(w->panelText(2), QStringLiteral("Extract Completed"));
    }
    QStringList expected{"Route1/", "Route1/Sub/", "Route1/Sub/Deep/"};
    expected += kPackage;
    expected.sort();
    EXPECT_EQ(treeOf(dest), expected);

    // An empty answer to the path box ends the command.
    ui.expectFolder(QString()).expectInputBox(QString());
    w->mnuExt_Click();
}

// The "Save to:" box is read as a Windows program reads a typed path: "\name" from the root of
// the game's drive, a relative name in the program folder (the current folder), a network share
// and a drive the Wine prefix does not have as a path not found (nothing is made in the prefix),
// and a name Windows does not allow as a bad file name.
TEST_F(ZipWindow, TypedSavePathsAreReadAsWindowsReadsThem)
{
    ScriptedUi ui;
    tree.makeDir("wine/drive_c/Games/Rail Simulator");
    shared().GamePath = QStringLiteral("C:\\Games\\Rail Simulator");
    auto w = load();
    const bool serverBefore = QFileInfo::exists("/server");
    QStringList extracted{"Route1/", "Route1/Sub/", "Route1/Sub/Deep/"};
    extracted += kPackage;
    extracted.sort();
    const struct {
        QString typed;
        QString landsIn; // "" nothing is made
        QString reason;  // of every entry not written
    } rows[] = {
        {"\\Package1", tree.path("wine/drive_c/Package1"), {}},
        {"\\games\\rail simulator\\Out", tree.path("wine/drive_c/Games/Rail Simulator/Out"), {}},
        {"79887", program() + "/79887", {}},
        {"79887\\..\\Other", program() + "/Other", {}},
        {"\\\\server\\share\\x", {}, "Path not found"},
        {"//server/share/x", {}, "Path not found"},
        {"q:\\x", {}, "Path not found"},
        {"Q:", {}, "Path not found"},
        {"*?<>|", {}, "Bad file name or number"},
        {"\\Games\\a\"b", {}, "Bad file name or number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        const QStringList before = treeOf(tree.rootPath());
        ui.expectFolder(QString()).expectInputBox(row.typed, QStringLiteral("Save to: "));
        if (!row.reason.isEmpty())
            ui.expectMsgBox(vb::vbOK);
        w->mnuExt_Click();
        if (row.reason.isEmpty()) {
            EXPECT_EQ(treeOf(row.landsIn), extracted);
            EXPECT_EQ(w->panelText(2), QStringLiteral("Extract Completed"));
            continue;
        }
        EXPECT_EQ(treeOf(tree.rootPath()), before);
        QStringList lines = ui.lastMessage().text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 1 + kPackage.size());
        EXPECT_EQ(lines.takeFirst(), QStringLiteral("These entries were not written to ") + row.typed + QLatin1Char(':'));
        for (const QString& line : lines)
            EXPECT_TRUE(line.endsWith(QStringLiteral(": ") + row.reason)) << line.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists("/server"), serverBefore);
}

TEST_F(ZipWindow, OpenArchiveRenamesPartsAndListsFolderEntries)
{
    QDir().mkpath(tree.path("arc"));
    makeRawZip(tree.path("arc/pack.zip"), {{"Route1/", "", false, true}, {"Route1/a.txt", "alpha"}});
    struct Row {
        QStringList before;
        QStringList after;
        QString message;
    };
    const QString arc = tree.path("arc");
    const Row rows[] = {
        {{"pack.z01", "pack.z02", "pack.z04"}, {"pack.000", "pack.001", "pack.z04", "pack.zip"}, QString()},
        {{}, {"pack.zip"}, QString()},
        {{"pack.z01", "pack.z02", "pack.001"},
         {"pack.000", "pack.001", "pack.z02", "pack.zip"},
         QStringLiteral("The part ") + arc + QStringLiteral("/pack.001 already exists; the parts were not renamed further.")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.before.join(",").toStdString());
        for (const QString& f : treeOf(arc)) {
            if (f != QStringLiteral("pack.zip"))
                QFile::remove(arc + "/" + f);
        }
        for (const QString& f : r.before)
            writeFile(arc + "/" + f, f.toUtf8());
        ScriptedUi ui;
        auto w = load();
        ui.expectOpenFile(arc + "/pack.zip");
        if (!r.message.isEmpty())
            ui.expectMsgBox(vb::vbOK);
        w->mnuOpen_Click();
        EXPECT_EQ(treeOf(arc), r.after);
        if (!r.message.isEmpty()) {
            EXPECT_EQ(ui.lastMessage().text, r.message);
        }
        EXPECT_EQ(readFile(arc + "/pack.000"), r.before.isEmpty() ? QByteArray() : QByteArray("pack.z01"));
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Archive - ") + arc + "/pack.zip");
        EXPECT_EQ(names(*w), (QStringList{"Route1\\", "Route1\\a.txt"}));

        // Extracting to the archive's own folder, now that one was chosen.
        w->mnuExtCur_Click();
        EXPECT_EQ(readFile(arc + "/Route1/a.txt"), QByteArray("alpha"));
        QFile::remove(arc + "/Route1/a.txt");
        QDir(arc + "/Route1").removeRecursively();
    }
}

TEST_F(ZipWindow, ArchiveFailuresCarryTheRealReason)
{
    ScriptedUi ui;
    auto w = load();
    writeFile(tree.path("plain.zip"), "no archive here");
    ui.expectOpenFile(tree.path("plain.zip")).expectMsgBox(vb::vbOK);
    w->mnuOpen_Click();
    EXPECT_EQ(ui.lastMessage().text,
              QStringLiteral("The archive ") + tree.path("plain.zip") + QStringLiteral(" could not be opened: Not a zip archive"));
    EXPECT_EQ(w->gridRows(), QStringList());

    ui.expectSaveFile(tree.path("no/such/folder/x")).expectMsgBox(vb::vbOK);
    w->Command2_Click();
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("The archive ") + tree.path("no/such/folder/x.zip")
                                                 + QStringLiteral(" could not be created: ")))
        << ui.lastMessage().text.toStdString();
    EXPECT_EQ(ui.mousePointer(), int(vb::vbDefault));

    // Entries that would land outside the destination are named in one message.
    makeRawZip(tree.path("bad.zip"), {{"../evil.txt", "x"}, {"good.txt", "g"}, {"/abs.txt", "x"}});
    ui.expectOpenFile(tree.path("bad.zip"));
    w->mnuOpen_Click();
    const QString dest = tree.path("d/e");
    ui.expectFolder(dest).expectInputBox(dest).expectMsgBox(vb::vbOK);
    w->mnuExt_Click();
    const QStringList lines = ui.lastMessage().text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("..\\evil.txt: ")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("\\abs.txt: ")));
    EXPECT_NE(w->panelText(2), QStringLiteral("Extract Completed"));
    EXPECT_EQ(treeOf(tree.path("d")), (QStringList{QStringLiteral("e/"), QStringLiteral("e/good.txt")}));
}

// A packager's last step: the window opens modally on the package and leaves its archive behind.
TEST_F(ZipWindow, PackagersOpenItModallyForTheirPackage)
{
    ScriptedUi ui;
    QStringList listed;
    ui.expectModal(
        [&](QWidget* window) {
            auto* w = qobject_cast<frmNewZip*>(window);
            ASSERT_NE(w, nullptr);
            listed = names(*w);
            w->Command3_Click();
        },
        QStringLiteral("DuRazo"));
    frmNewZip::openForPackage(QStringLiteral("Route1"));
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Route1"));
    EXPECT_EQ(listed, shown(kPackage));
    EXPECT_TRUE(QFileInfo(program() + "/Route1.zip").isFile());
}
