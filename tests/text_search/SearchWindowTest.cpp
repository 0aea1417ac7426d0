// The text page's search window and the track swap window, opened from the hub's "Search
// and Replace" menu and working on its text page.

#include "hub_window/WindowTestSupport.h"

#include "hub/TextPageWidget.h"
#include "hub/dlgSearch.h"
#include "hub/dlgSwapTrack.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include <functional>
#include <vector>

// Qt's own route for a key press to the shortcuts of the active window (what its test
// library uses).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace {

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void pressKey(QWidget* target, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

class SearchTest : public WindowTest {
protected:
    void TearDown() override
    {
        dlgSearch::unloadDialog();
        delete dlgSwapTrack::existing();
        WindowTest::TearDown();
    }

    dlgSearch& openSearch(frmEditor& w)
    {
        w.mnuFind->trigger();
        EXPECT_NE(dlgSearch::existing(), nullptr);
        return *dlgSearch::existing();
    }
};

enum class Step { Find, FindNext, F3, Enter, Replace, ReplaceAll };

void run(dlgSearch& d, Step step)
{
    switch (step) {
    case Step::Find:
        d.Command4->click();
        break;
    case Step::FindNext:
        d.Command2->click();
        break;
    case Step::F3:
        d.mnuNext->trigger();
        break;
    case Step::Enter:
        d.Text2_KeyDown(13);
        break;
    case Step::Replace:
        d.Command5->click();
        break;
    case Step::ReplaceAll:
        d.Command6->click();
        break;
    }
}

} // namespace

TEST_F(SearchTest, SearchCommandsOnTheTextPage)
{
    using S = Step;
    struct Row {
        const char* name;
        const char* text; // as loaded, line ends included
        const char* find;
        const char* replace;
        bool wholeWord;
        std::vector<Step> steps;
        // After the last step: the text as saved, the selection, and the positions.
        const char* saved;
        qsizetype selStart, selLength, startPos, foundPos;
    };
    const Row rows[] = {
        {"a match at the first character", "track and track", "TRACK", "", false, {S::Find},
         "track and track", 0, 5, 0, 0},
        {"Find again finds the same match", "track and track", "track", "", false, {S::Find, S::Find},
         "track and track", 0, 5, 0, 0},
        {"Find Next moves on from the caret", "a track, Track\r\nand TRACK", "track", "", false,
         {S::Find, S::FindNext, S::FindNext}, "a track, Track\r\nand TRACK", 19, 5, 10, 19},
        {"past the last match the selection stays", "a track, Track\r\nand TRACK", "track", "", false,
         {S::Find, S::FindNext, S::FindNext, S::FindNext}, "a track, Track\r\nand TRACK", 19, 5, 20, -1},
        {"Find Next from the caret's next character", "aaa", "aa", "", false, {S::Find, S::FindNext},
         "aaa", 1, 2, 1, 1},
        {"F3 runs Find, not Find Next", "x track track", "track", "", false, {S::Find, S::FindNext, S::F3},
         "x track track", 2, 5, 0, 2},
        {"Enter in the find box runs Find", "x track track", "track", "", false, {S::Find, S::FindNext, S::Enter},
         "x track track", 2, 5, 0, 2},
        {"whole words only", "sidetrack track tracks", "track", "", true, {S::Find}, "sidetrack track tracks", 10, 5,
         0, 10},
        {"whole words only, nothing further", "sidetrack track tracks", "track", "", true, {S::Find, S::FindNext},
         "sidetrack track tracks", 10, 5, 11, -1},
        {"no match leaves the selection", "abc", "x", "", false, {S::Find}, "abc", 0, 0, 0, -1},
        {"a search text over several lines", "<a>\r\n  <B/>\n</a>\r<b/>", "<b/>\n</A>", "", false, {S::Find},
         "<a>\r\n  <B/>\n</a>\r<b/>", 6, 9, 0, 6},
        {"a search text over several lines, next", "<b/>\n</a>\r\n<b/>\r\n</a>", "<b/>\n</a>", "", false,
         {S::Find, S::FindNext}, "<b/>\n</a>\r\n<b/>\r\n</a>", 10, 9, 1, 10},
        {"Replace takes the first match at the start", "x = 1; X = 2; x = 3", "x", "yy", false, {S::Replace},
         "yy = 1; X = 2; x = 3", 2, 0, 0, 0},
        {"Replace again takes the next from the top", "x = 1; X = 2; x = 3", "x", "yy", false,
         {S::Replace, S::Replace, S::Replace, S::Replace}, "yy = 1; yy = 2; yy = 3", 18, 0, 0, -1},
        {"Replace ignores whole words only", "sidetrack track", "track", "T", true, {S::Replace}, "sideT track", 5,
         0, 0, 4},
        {"Replace All, empty replacement", "a-b-\r\nc-", "-", "", false, {S::ReplaceAll}, "ab\r\nc", 4, 0, 4, -1},
        {"Replace All, replacement holding the word", "ab AB\r\nab", "ab", "xabx", false, {S::ReplaceAll},
         "xabx xabx\r\nxabx", 14, 0, 14, -1},
        {"Replace All, matches side by side", "aaaaa", "aa", "b", false, {S::ReplaceAll}, "bba", 2, 0, 2, -1},
        {"Replace All ignores whole words only", "sidetrack track", "track", "T", true, {S::ReplaceAll},
         "sideT T", 7, 0, 7, -1},
        {"Replace All keeps every line end", "a1\r\nb\nc1\rd1\n", "1", "22", false, {S::ReplaceAll},
         "a22\r\nb\nc22\rd22\n", 13, 0, 13, -1},
        {"Replace All over lines", "<x/>\r\n<y/>\n<X/>\r\n<z/>", "<x/>\n", "", false, {S::ReplaceAll},
         "<y/>\n<z/>", 5, 0, 5, -1},
        {"Replace All, line breaks put in take the text's line end", "a,b\r\nc", ",", "\n", false,
         {S::ReplaceAll}, "a\r\nb\r\nc", 2, 0, 2, -1},
        {"Replace All, nothing to replace", "abc", "x", "y", false, {S::ReplaceAll}, "abc", 0, 0, 0, -1},
    };

    frmEditor w;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w.RichTextBox1->loadText(QString::fromUtf8(r.text));
        dlgSearch& d = openSearch(w);
        d.Text2->setPlainText(QString::fromUtf8(r.find));
        d.Text3->setPlainText(QString::fromUtf8(r.replace));
        d.Check1->setChecked(r.wholeWord);
        shared().SearchStartPos = 77;
        shared().SearchFoundPos = 77;
        for (Step step : r.steps)
            run(d, step);
        EXPECT_EQ(w.RichTextBox1->text(), QString::fromUtf8(r.saved));
        EXPECT_EQ(w.RichTextBox1->SelStart(), r.selStart);
        EXPECT_EQ(w.RichTextBox1->SelLength(), r.selLength);
        EXPECT_EQ(shared().SearchStartPos, r.startPos);
        EXPECT_EQ(shared().SearchFoundPos, r.foundPos);
    }
}

TEST_F(SearchTest, AnEmptyFindBoxDoesNothing)
{
    frmEditor w;
    w.RichTextBox1->loadText(QStringLiteral("abc abc"));
    w.RichTextBox1->setSelStart(4);
    dlgSearch& d = openSearch(w);
    d.Text3->setPlainText(QStringLiteral("x"));
    shared().SearchStartPos = 77;
    shared().SearchFoundPos = 77;
    for (Step step : {Step::Find, Step::FindNext, Step::F3, Step::Enter, Step::Replace, Step::ReplaceAll})
        run(d, step);
    EXPECT_EQ(w.RichTextBox1->text(), "abc abc");
    EXPECT_EQ(w.RichTextBox1->SelStart(), 4);
    EXPECT_EQ(shared().SearchStartPos, 77);
    EXPECT_EQ(shared().SearchFoundPos, 77);
}

TEST_F(SearchTest, ReplaceAllIsOneEditThatOneUndoTakesBack)
{
    frmEditor w;
    const QString text = QStringLiteral("a1\r\nb\nc1\rd1");
    w.RichTextBox1->loadText(text);
    dlgSearch& d = openSearch(w);
    d.Text2->setPlainText(QStringLiteral("1"));
    d.Text3->setPlainText(QStringLiteral("2"));
    d.Command6->click();
    EXPECT_EQ(w.RichTextBox1->text(), "a2\r\nb\nc2\rd2");
    w.RichTextBox1->undo();
    EXPECT_EQ(w.RichTextBox1->text(), text);
}

TEST_F(SearchTest, EnterAndF3ReachTheSearchFromTheKeyboard)
{
    frmEditor w;
    w.RichTextBox1->loadText(QStringLiteral("a b\nb"));
    dlgSearch& d = openSearch(w);
    d.Text2->setPlainText(QStringLiteral("b"));
    d.Text2->moveCursor(QTextCursor::End);

    // Enter runs Find with the text as it was, and the box still gets its line break.
    pressKey(d.Text2, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(shared().SearchFoundPos, 2);
    EXPECT_EQ(d.Text2->toPlainText(), "b\n");
    // Now the search text runs over a line end.
    pressKey(d.Text2, Qt::Key_Enter, QStringLiteral("\r"));
    EXPECT_EQ(shared().SearchFoundPos, 2);
    EXPECT_EQ(w.RichTextBox1->SelLength(), 2);
    d.Text2->setPlainText(QStringLiteral("B"));

    // F3, anywhere in the window, runs Find.
    w.RichTextBox1->setSelStart(4);
    shared().SearchFoundPos = 77;
    d.activateWindow();
    QApplication::setActiveWindow(&d);
    d.Text3->setFocus();
    ASSERT_TRUE(qt_sendShortcutOverrideEvent(d.Text3, 0, Qt::Key_F3, Qt::NoModifier));
    EXPECT_EQ(shared().SearchFoundPos, 2);
    EXPECT_EQ(w.RichTextBox1->SelStart(), 2);
}

TEST_F(SearchTest, TheWindowIsNotModalKeepsItsTextsAndIsUnloadedByCloseAndShutDown)
{
    prepareGame();
    auto w = startWindow();
    EXPECT_TRUE(shown(w->mnuSearch));
    dlgSearch& d = openSearch(*w);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.windowTitle(), "Search");
    d.Text2->setPlainText(QStringLiteral("find"));
    d.Text3->setPlainText(QStringLiteral("put"));
    EXPECT_EQ(&openSearch(*w), &d);
    EXPECT_EQ(d.Text2->toPlainText(), "find");

    d.Command1->click(); // "Clear All"
    EXPECT_EQ(d.Text2->toPlainText(), "");
    EXPECT_EQ(d.Text3->toPlainText(), "");

    d.OKButton->click(); // "Close"
    runDeferredDeletes();
    EXPECT_EQ(dlgSearch::existing(), nullptr);

    QPointer<dlgSearch> again = &openSearch(*w);
    EXPECT_EQ(again->Text2->toPlainText(), "");
    w->Form_Unload();
    EXPECT_TRUE(again.isNull());
}

// ---------------------------------------------------------------------------------------
// The track swap window.

TEST_F(SearchTest, SwapTrackPickersFillTheirRow)
{
    struct Row {
        const char* name;
        const char* chosen; // "" cancels
        bool refused;       // a message, the row as it was
        const char* provider;
        const char* product;
        const char* path;
    };
    const Row rows[] = {
        {"a Windows path", "C:\\Games\\RS\\Assets\\P\\Q\\Track\\a.bin", false, "P", "Q", "Track\\a.xml"},
        {"an upper-case extension stays", "C:\\Games\\RS\\Assets\\P\\Q\\Track\\a.BIN", false, "P", "Q",
         "Track\\a.BIN"},
        {"a native path", "/home/u/game/Assets/Kuju/RailSimulator/RailNetwork/Track/t1.bin", false, "Kuju",
         "RailSimulator", "RailNetwork\\Track\\t1.xml"},
        {"cancelled", "", false, nullptr, nullptr, nullptr},
        {"outside Assets", "/home/u/game/Content/P/Q/a.bin", true, nullptr, nullptr, nullptr},
        {"assets in another case", "C:\\RS\\assets\\P\\Q\\a.bin", true, nullptr, nullptr, nullptr},
        {"no product folder", "C:\\RS\\Assets\\P\\a.bin", true, nullptr, nullptr, nullptr},
    };

    frmEditor w;
    shared().GamePath = QStringLiteral("C:\\Games\\RS");
    w.mnuSwap->trigger();
    dlgSwapTrack* d = dlgSwapTrack::existing();
    ASSERT_NE(d, nullptr);

    struct Side {
        std::function<void()> pick;
        QLineEdit* file;
        std::function<QStringList()> parts;
    };
    const Side sides[] = {
        {[d] { d->Command2->click(); }, d->Text5,
         [d] { return QStringList{d->Text1->text(), d->Text2->text(), d->Text3->text()}; }},
        {[d] { d->Command1->click(); }, d->Text4,
         [d] { return QStringList{d->Label5[0]->text(), d->Label5[1]->text(), d->Label5[2]->text()}; }},
    };
    const QString before = QStringLiteral("C:\\Games\\RS\\Assets\\Old\\Set\\Track\\old.bin");
    for (const Side& side : sides) {
        for (const Row& r : rows) {
            SCOPED_TRACE(r.name);
            // A row filled by an earlier choice.
            ui.expectOpenFile(before);
            side.pick();
            ui.clearRecords();

            ui.expectOpenFile(QString::fromUtf8(r.chosen));
            if (r.refused)
                ui.expectMsgBox(vb::vbOK, QString::fromUtf8(r.chosen));
            side.pick();
            ui.verifyDone();
            ASSERT_FALSE(ui.dialogs().isEmpty());
            const FileDialogRequest request = ui.dialogs().first().request;
            EXPECT_EQ(request.title, "Select .bin file");
            EXPECT_EQ(request.filter, ".bin Files (*.bin)|*.bin");
            EXPECT_EQ(request.initDir, "C:\\Games\\RS\\Assets");
            if (r.provider) {
                EXPECT_EQ(side.file->text(), QString::fromUtf8(r.chosen));
                EXPECT_EQ(side.parts(), (QStringList{r.provider, r.product, r.path}));
            } else {
                EXPECT_EQ(side.file->text(), before);
                EXPECT_EQ(side.parts(), (QStringList{"Old", "Set", "Track\\old.xml"}));
            }
            if (r.refused) {
                EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
            }
        }
    }
}

TEST_F(SearchTest, SwapTrackFindsAndItsReplaceAllChangesNothing)
{
    frmEditor w;
    const QString text = QStringLiteral("Track a\r\ntrack b TRACK");
    w.RichTextBox1->loadText(text);
    w.mnuSwap->trigger();
    // The launcher's hourglass ends once the window is open.
    ASSERT_GE(ui.pointerHistory().size(), 2);
    EXPECT_EQ(ui.pointerHistory().at(ui.pointerHistory().size() - 2), vb::vbHourglass);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    dlgSwapTrack* d = dlgSwapTrack::existing();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->windowTitle(), "Substitute a Track Section");

    // Nothing to look for: nothing happens.
    w.RichTextBox1->setSelStart(3);
    shared().SearchStartPos = 77;
    shared().SearchFoundPos = 77;
    d->Command3->click();
    d->Command4->click();
    EXPECT_EQ(w.RichTextBox1->SelStart(), 3);
    EXPECT_EQ(shared().SearchFoundPos, 77);

    d->Text6->setText(QStringLiteral("track"));
    struct Row {
        QPushButton* button;
        qsizetype selStart, startPos, foundPos;
    };
    const Row rows[] = {
        {d->Command3, 0, 0, 0},   // Find: a match at the first character too
        {d->Command4, 8, 1, 8},   // Find Next
        {d->Command4, 16, 9, 16}, //
        {d->Command4, 16, 17, -1},
        {d->Command3, 0, 0, 0},
    };
    for (const Row& r : rows) {
        r.button->click();
        EXPECT_EQ(w.RichTextBox1->SelStart(), r.selStart);
        EXPECT_EQ(shared().SearchStartPos, r.startPos);
        EXPECT_EQ(shared().SearchFoundPos, r.foundPos);
    }
    EXPECT_EQ(w.RichTextBox1->SelLength(), 5);

    // "Replace All" is shown but not available, and does nothing.
    EXPECT_EQ(d->OKButton->text(), "Replace All");
    EXPECT_FALSE(d->OKButton->isEnabled());
    EXPECT_TRUE(d->OKButton->toolTip().contains(QStringLiteral("not available"))) << d->OKButton->toolTip().toStdString();
    d->Text1->setText(QStringLiteral("P"));
    d->OKButton_Click();
    EXPECT_EQ(w.RichTextBox1->text(), text);
    EXPECT_EQ(d->Text1->text(), "P");

    // "&Exit" unloads it.
    EXPECT_EQ(d->Command5->text(), "&Exit");
    d->Command5->click();
    runDeferredDeletes();
    EXPECT_EQ(dlgSwapTrack::existing(), nullptr);
}
