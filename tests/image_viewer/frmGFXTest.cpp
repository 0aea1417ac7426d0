// The image viewer window with a copy of the sample game and the test serializer: its file
// list, showing a texture, "Show Image", the image commands, printing, the full-screen view,
// failures, and the main window's two ways in.

#include "hub/frmGFX.h"

#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/SharedState.h"
#include "hub/frmEditor.h"
#include "hub/frmPicBrowser.h"
#include "support/SampleGame.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

QStringList listed(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class ImageViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        ASSERT_TRUE(installSerz(tree.systemPath()));
        shared().GamePath = tree.gamePath();
        textureFolder = tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\Textures");
        texture = textureFolder + QStringLiteral("\\VS_Oak01.TgPcDx");
    }

    void TearDown() override
    {
        frmGFX::setPrinterDialog(nullptr);
        if (frmGFX* v = frmGFX::existing())
            delete v;
        flushDeletes();
    }

    bool workFileExists() const { return tree.exists(QStringLiteral("program/temp.bmp")); }

    // A red 3 by 2 picture with a blue top-left pixel, as a PNG file.
    static bool writePicture(const QString& png)
    {
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(qRgb(255, 0, 0));
        picture.setPixel(0, 0, qRgb(0, 0, 255));
        return picture.save(png, "PNG");
    }

    // Prints from the viewer into a PDF file and returns what was written.
    QByteArray printToPdf(frmGFX* viewer)
    {
        const QString pdf = tree.path(QStringLiteral("print.pdf"));
        frmGFX::setPrinterDialog([pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        viewer->mnuFilePrint_Click();
        return tree.readFile(QStringLiteral("print.pdf"));
    }

    ScriptedUi ui;
    TempTree tree;
    QString textureFolder;
    QString texture;
};

} // namespace

TEST_F(ImageViewer, ListsTexturesOfAssetsInAnyCaseAndEverythingForAnEmptyPattern)
{
    const QByteArray bytes = tree.readFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx"));
    tree.writeFile(QStringLiteral("game/Assets/Upper.TGPCDX"), bytes);
    tree.writeFile(QStringLiteral("game/Assets/lower.tgpcdx"), bytes);
    tree.writeFile(QStringLiteral("game/Assets/notes.txt"), "x");

    frmGFX::showViewer();
    frmGFX* v = frmGFX::existing();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView"));
    EXPECT_EQ(v->Text1->text(), QStringLiteral("*.TgPcDx"));
    EXPECT_TRUE(v->Text3->text().isEmpty());
    EXPECT_TRUE(v->Text2->text().endsWith(QStringLiteral("Assets")));
    EXPECT_EQ(listed(v->File1), (QStringList{QStringLiteral("lower.tgpcdx"), QStringLiteral("Upper.TGPCDX")}));
    EXPECT_EQ(v->Picture1->toolTip(), QStringLiteral("Click on the image to display full screen"));
    EXPECT_EQ(v->Label1->text(), QStringLiteral("Clickon image to display Full-Screen"));

    v->Text1->setText(QString());
    EXPECT_EQ(listed(v->File1),
              (QStringList{QStringLiteral("lower.tgpcdx"), QStringLiteral("notes.txt"), QStringLiteral("Upper.TGPCDX")}));

    // A second opening shows the same window.
    frmGFX::showViewer();
    EXPECT_EQ(frmGFX::existing(), v);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ImageViewer, ClickShowsTheTextureAndShowImageConvertsOnce)
{
    frmGFX* v = frmGFX::instance();
    v->Dir1->setPath(textureFolder);
    v->Dir1_Change();
    EXPECT_TRUE(v->Text2->text().endsWith(QStringLiteral("Textures\\")));
    ASSERT_EQ(listed(v->File1), QStringList{QStringLiteral("VS_Oak01.TgPcDx")});
    v->File1->setCurrentRow(0);
    v->File1_Click();
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView - DXT1 ( 16x 16x 32)"));
    EXPECT_EQ(v->Picture1->pixmap().size(), QSize(16, 16));
    ASSERT_TRUE(workFileExists());

    // "Show Image" converts when Text3 changes, and leaves the caption.
    v->setWindowTitle(QStringLiteral("PicView"));
    QFile::remove(tree.path(QStringLiteral("program/temp.bmp")));
    frmGFX::showImage(texture);
    EXPECT_EQ(v->Text3->text(), texture);
    EXPECT_TRUE(workFileExists());
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView"));
    QFile::remove(tree.path(QStringLiteral("program/temp.bmp")));
    frmGFX::showImage(texture);
    EXPECT_FALSE(workFileExists()); // the same texture again: no second conversion
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ImageViewer, ImageCommandsChangeWhatIsShownAndPrinted)
{
    const QString png = tree.path(QStringLiteral("game/Pic.png"));
    ASSERT_TRUE(writePicture(png));

    frmGFX* v = frmGFX::instance();
    ui.expectOpenFile(png);
    v->mnuFileOpen_Click();
    EXPECT_EQ(ui.lastDialog().request.title, QStringLiteral("Open"));
    EXPECT_EQ(ui.lastDialog().request.filter, QStringLiteral("All Files (*.TgPcDx)|*.TgPcDx"));
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView - PNG ( 3x 2x 32)"));

    v->rot_Click();
    EXPECT_EQ(v->Picture1->pixmap().size(), QSize(2, 3));
    EXPECT_EQ(v->Picture1->pixmap().toImage().pixel(1, 0), qRgb(0, 0, 255));
    v->flip_Click();
    EXPECT_EQ(v->Picture1->pixmap().toImage().pixel(1, 2), qRgb(0, 0, 255));
    v->grey_Click();
    const int g = qGray(0, 0, 255);
    EXPECT_EQ(v->Picture1->pixmap().toImage().pixel(1, 2), qRgb(g, g, g));

    // Printing uses the changed work file: a 2x3 picture fitted to the page is taller than wide.
    const QByteArray printed = printToPdf(v);
    EXPECT_TRUE(printed.startsWith("%PDF"));
    // A cancelled dialog prints nothing.
    const QString pdf = tree.path(QStringLiteral("print.pdf"));
    QFile::remove(pdf);
    frmGFX::setPrinterDialog([](QPrinter&, QWidget*) { return false; });
    v->mnuFilePrint_Click();
    EXPECT_FALSE(QFile::exists(pdf));

    // Full screen opens on a click of the picture and closes on a key.
    v->Picture1_Click();
    QPointer<QWidget> full = v->fullScreenWindow();
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->isVisible());
    EXPECT_TRUE(full->windowState() & Qt::WindowFullScreen);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(full, &key);
    flushDeletes();
    EXPECT_FALSE(full);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ImageViewer, FailuresAndCommandsBeforeAnyImageGiveAMessageAndAnEmptyPicture)
{
    frmGFX* v = frmGFX::instance();
    using Command = void (frmGFX::*)();
    for (Command c : {&frmGFX::grey_Click, &frmGFX::flip_Click, &frmGFX::rot_Click, &frmGFX::mnuFilePrint_Click,
                      &frmGFX::Picture1_Click}) {
        ui.expectMsgBox(vb::vbOK, QStringLiteral("There is no image yet"));
        (v->*c)();
        EXPECT_TRUE(v->Picture1->pixmap().isNull());
    }
    EXPECT_FALSE(v->fullScreenWindow());

    // A texture shown, then one the serializer refuses: the picture empties, the message names it.
    frmGFX::showImage(texture);
    ASSERT_FALSE(v->Picture1->pixmap().isNull());
    const QString copy = tree.gamePath() + QStringLiteral("\\Assets\\Copy.TgPcDx");
    ASSERT_TRUE(QFile::copy(tree.path(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx")),
                            tree.path(QStringLiteral("game/Assets/Copy.TgPcDx"))));
    ScopedEnv fail("SERZ_FAIL", "PicView.bin");
    ui.expectMsgBox(vb::vbOK, copy);
    frmGFX::showImage(copy);
    EXPECT_TRUE(v->Picture1->pixmap().isNull());
    EXPECT_FALSE(workFileExists());
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("There is no image yet"));
    v->grey_Click();
}

TEST_F(ImageViewer, MainWindowOpensItAndExitStartsAfresh)
{
    auto editor = std::make_unique<frmEditor>();
    QAction* launcher = nullptr;
    for (QAction* a : editor->mnuTools->actions())
        if (a->text() == QStringLiteral("TgPcDx Viewer"))
            launcher = a;
    ASSERT_NE(launcher, nullptr);
    launcher->trigger();
    frmGFX* v = frmGFX::existing();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_TRUE(v->Text3->text().isEmpty());

    // "Show Image" hands the file-name box's path to the viewer.
    editor->Text1->setText(texture);
    editor->Command7->click();
    EXPECT_EQ(frmGFX::existing(), v);
    EXPECT_EQ(v->Text3->text(), texture);
    EXPECT_TRUE(workFileExists());

    v->mnuFileExit_Click();
    flushDeletes();
    EXPECT_EQ(frmGFX::existing(), nullptr);
    launcher->trigger();
    ASSERT_NE(frmGFX::existing(), nullptr);
    EXPECT_TRUE(frmGFX::existing()->Text3->text().isEmpty());
    EXPECT_EQ(frmGFX::existing()->windowTitle(), QStringLiteral("PicView"));
    // The work file outlives the window.
    EXPECT_TRUE(workFileExists());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ImageViewer, ClosesWithItsBrowserAndFullScreenViewWhenTheMainWindowCloses)
{
    auto editor = std::make_unique<frmEditor>();
    editor->show();
    editor->Text1->setText(texture);
    editor->Command7->click();
    QPointer<frmGFX> v = frmGFX::existing();
    ASSERT_TRUE(v);
    v->mnuBr_Click();
    v->Picture1_Click();
    QPointer<QWidget> browser = v->browser();
    QPointer<QWidget> full = v->fullScreenWindow();
    ASSERT_TRUE(browser);
    ASSERT_TRUE(full);

    EXPECT_TRUE(editor->close());
    flushDeletes();
    EXPECT_FALSE(v);
    EXPECT_FALSE(browser);
    EXPECT_FALSE(full);
    EXPECT_EQ(frmGFX::existing(), nullptr);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ImageViewer, BrowserMakesThumbnailsOfPicturesAndOpensTexturesOnlyWhenAsked)
{
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(qRgb(0, 128, 0));
    ASSERT_TRUE(picture.save(tree.path(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/Leaf.png")), "PNG"));
    tree.writeFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/readme.txt"), "x");
    QImage small(8, 8, QImage::Format_ARGB32);
    small.fill(Qt::red);
    tree.makeDir(QStringLiteral("game/Assets/Many"));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(small.save(tree.path(QStringLiteral("game/Assets/Many/p%1.png").arg(i, 3, 10, QLatin1Char('0'))), "PNG"));
    const QString game = shared().GamePath;

    frmGFX* v = frmGFX::instance();
    v->mnuBr_Click();
    frmPicBrowser* b = v->browser();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Dir1->root(), game);
    b->show();
    b->Dir1->setPath(textureFolder);
    b->fillGrid();
    b->makeVisibleThumbnails();
    ASSERT_EQ(b->Grid->count(), 2);
    EXPECT_EQ(b->Grid->item(0)->text(), QStringLiteral("Leaf.png"));
    EXPECT_EQ(b->Grid->item(1)->text(), QStringLiteral("VS_Oak01.TgPcDx"));
    EXPECT_TRUE(frmPicBrowser::hasThumbnail(b->Grid->item(0)));
    EXPECT_FALSE(frmPicBrowser::hasThumbnail(b->Grid->item(1)));
    EXPECT_FALSE(workFileExists()); // nothing converted yet

    // A double-click shows the file as a click in the viewer's list does.
    emit b->Grid->itemDoubleClicked(b->Grid->item(1));
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView - DXT1 ( 16x 16x 32)"));
    EXPECT_TRUE(workFileExists());
    emit b->Grid->itemDoubleClicked(b->Grid->item(0));
    EXPECT_EQ(v->windowTitle(), QStringLiteral("PicView - PNG ( 40x 20x 32)"));
    EXPECT_EQ(shared().GamePath, game);

    // In a large folder only the cells in view get thumbnails.
    b->Dir1->setPath(game + QStringLiteral("\\Assets\\Many"));
    b->fillGrid();
    b->makeVisibleThumbnails();
    ASSERT_EQ(b->Grid->count(), 300);
    EXPECT_TRUE(frmPicBrowser::hasThumbnail(b->Grid->item(0)));
    EXPECT_FALSE(frmPicBrowser::hasThumbnail(b->Grid->item(299)));

    // A second opening raises the same browser.
    v->mnuBr_Click();
    EXPECT_EQ(v->browser(), b);
    EXPECT_TRUE(ui.messages().isEmpty());
}

// The image commands work on the work file the last image left, also in a viewer opened after
// the one that showed it; print and the full-screen view then use the changed file.
TEST_F(ImageViewer, ImageCommandsActOnTheLastImageInAViewerOpenedLater)
{
    const QString png = tree.path(QStringLiteral("game/Pic.png"));
    ASSERT_TRUE(writePicture(png));
    ui.expectOpenFile(png);
    frmGFX::instance()->mnuFileOpen_Click();
    frmGFX::existing()->mnuFileExit_Click();
    flushDeletes();
    ASSERT_EQ(frmGFX::existing(), nullptr);
    ASSERT_TRUE(workFileExists());

    frmGFX::showViewer();
    frmGFX* v = frmGFX::existing();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->Picture1->pixmap().isNull());
    v->rot_Click();
    EXPECT_EQ(v->Picture1->pixmap().size(), QSize(2, 3));
    EXPECT_EQ(v->Picture1->pixmap().toImage().pixel(1, 0), qRgb(0, 0, 255));

    // In yet another viewer, with nothing on screen: greyscale, print and full screen.
    v->mnuFileExit_Click();
    flushDeletes();
    v = frmGFX::instance();
    v->grey_Click();
    const int g = qGray(0, 0, 255);
    EXPECT_EQ(v->Picture1->pixmap().toImage().pixel(1, 0), qRgb(g, g, g));
    v->Picture1->clear();
    EXPECT_TRUE(printToPdf(v).startsWith("%PDF"));
    v->Picture1_Click();
    ASSERT_TRUE(v->fullScreenWindow());
    v->fullScreenWindow()->close();
    const QImage work(tree.path(QStringLiteral("program/temp.bmp")), "BMP");
    EXPECT_EQ(work.size(), QSize(2, 3));
    EXPECT_EQ(work.pixel(1, 0), qRgb(g, g, g));
    EXPECT_TRUE(ui.messages().isEmpty());
}

// The drive lists of the viewer and of its picture browser: they open on the game's drive (e:
// in the test prefix), a chosen drive roots the folder list at that drive and the files follow;
// a drive whose folder is gone gives the message and leaves the drive, folder and file lists.
TEST_F(ImageViewer, DriveListsGoToTheChosenDriveAndKeepTheirPlaceOnAFailure)
{
    tree.writeFile(QStringLiteral("wine/drive_c/OnC.TgPcDx"), "x");
    QImage small(4, 4, QImage::Format_ARGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(tree.path(QStringLiteral("wine/drive_c/OnC.png")), "PNG"));
    // Drive x: names a folder that is gone.
    ASSERT_EQ(::symlink(QFile::encodeName(tree.path(QStringLiteral("gone"))).constData(),
                        QFile::encodeName(tree.path(QStringLiteral("wine/dosdevices/x:"))).constData()),
              0);
    const QString game = tree.gamePath();
    const QString driveC = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();

    struct Lists {
        DriveListWidget* drives;
        FolderTreeWidget* folders;
        std::function<QStringList()> files;
        std::function<QString()> folderBox; // "" where the window has none
    };
    struct Row {
        const char* window;
        std::function<Lists()> open;
        QString startFolder;
        QStringList onC;
    } rows[] = {
        {"viewer",
         [] {
             frmGFX* v = frmGFX::instance();
             return Lists{v->Drive1, v->Dir1, [v] { return listed(v->File1); }, [v] { return v->Text2->text(); }};
         },
         game + QStringLiteral("\\Assets"), QStringList{QStringLiteral("OnC.TgPcDx")}},
        {"picture browser",
         [] {
             frmGFX* v = frmGFX::instance();
             v->mnuBr_Click();
             frmPicBrowser* b = v->browser();
             return Lists{b->Drive1, b->Dir1, [b] { return listed(b->Grid); }, [] { return QString(); }};
         },
         game, QStringList{QStringLiteral("OnC.png"), QStringLiteral("OnC.TgPcDx")}},
    };
    const auto choose = [](DriveListWidget* list, const QString& drive) {
        const int index = list->findText(drive);
        ASSERT_GE(index, 0) << drive.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.window);
        const Lists l = row.open();
        EXPECT_EQ(l.drives->drive(), QStringLiteral("e:"));
        EXPECT_EQ(l.folders->topLevelItem(0)->text(0), QStringLiteral("e:"));
        EXPECT_EQ(l.folders->path(), row.startFolder);

        choose(l.drives, QStringLiteral("c:"));
        EXPECT_EQ(l.drives->drive(), QStringLiteral("c:"));
        EXPECT_EQ(l.folders->root(), driveC);
        EXPECT_EQ(l.folders->path(), driveC);
        EXPECT_EQ(l.files(), row.onC);
        if (!l.folderBox().isEmpty())
            EXPECT_EQ(l.folderBox(), driveC);

        ui.expectMsgBox(vb::vbOK, QStringLiteral("Error 68 occurred in Drive1_change"));
        choose(l.drives, QStringLiteral("x:"));
        ui.verifyDone();
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("Error 68 occurred in Drive1_change"));
        EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
        EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
        EXPECT_EQ(l.drives->drive(), QStringLiteral("c:"));
        EXPECT_EQ(l.folders->root(), driveC);
        EXPECT_EQ(l.files(), row.onC);
        if (!l.folderBox().isEmpty())
            EXPECT_EQ(l.folderBox(), driveC);
        ui.clearRecords();
    }
}
