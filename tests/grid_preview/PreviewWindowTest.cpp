// Presses on the asset grid end to end on a copy of the sample game: the texture preview of a
// left press on a Name cell, the fallback picture, the copy of a right press on a Path cell,
// and the emptied work folder of every press.

#include "assets_window/AssetsWindowFixture.h"

#include "common/TempFiles.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "textures/ImageConvert.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace {

const QString kTrees = QStringLiteral("VeltraneSamples\\Sample01\\Scenery\\Trees");
const QString kOakPath = QStringLiteral("Scenery\\Trees\\VS_Oak01.bin");
const QString kOakTexture = QStringLiteral("VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx");
const QString kSent = QStringLiteral("Data has been sent to clipboard.");

class GridPreviewTest : public AssetsWindowTest {
protected:
    void SetUp() override
    {
        AssetsWindowTest::SetUp();
        const QString drawn = QCoreApplication::applicationDirPath() + QStringLiteral("/NoPicture.jpg");
        ASSERT_TRUE(QFile::exists(drawn)) << "NoPicture.jpg has not been drawn";
        ASSERT_TRUE(QFile::copy(drawn, tree.path(QStringLiteral("program/NoPicture.jpg"))));
        ASSERT_TRUE(QImage(drawn).size() == QSize(256, 256));
    }

    // A press of the button on a cell (grid numbering), through the grid's viewport.
    static void press(FlexGridWidget* g, int row, int col, Qt::MouseButton button)
    {
        const QPointF at = QPointF(g->visualRect(g->model()->index(row - 1, col)).center());
        const QPointF global = g->viewport()->mapToGlobal(at);
        QMouseEvent down(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(g->viewport(), &up);
    }

    static int rowWithPath(const frmAssets* w, const QString& path)
    {
        for (int r = 2; r < w->VsFg1->Rows(); ++r) {
            if (w->VsFg1->TextMatrix(r, 2).trimmed() == path)
                return r;
        }
        return -1;
    }

    static QSize shown(const frmAssets* w) { return w->Picture1->pixmap().size(); }

    QString marker() const { return platform::nativePath(TempFilesPath(QStringLiteral("marker.txt"))); }
    void putMarker() const
    {
        QFile f(marker());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

TEST_F(GridPreviewTest, LeftPressOnANameShowsItsTextureAndAMissingTextureTheFallbackPicture)
{
    frmAssets* w = open();
    addToList(w, kTrees);
    const int oak = rowWithPath(w, kOakPath);
    ASSERT_GE(oak, 2);
    EXPECT_TRUE(w->Picture1->isVisibleTo(w));
    const QString work = platform::nativePath(textures::ViewerWorkFile());
    ASSERT_TRUE(QFile(work).open(QIODevice::WriteOnly)); // a stale work file
    putMarker();

    press(w->VsFg1, oak, 3, Qt::LeftButton);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Assets Listing DXT1 ( 16x 16x 32)"));
    EXPECT_EQ(shown(w), QSize(16, 16));
    EXPECT_EQ(QImage(work).size(), QSize(16, 16));
    EXPECT_FALSE(QFile::exists(marker()));
    EXPECT_EQ(w->VsFg1->Row(), oak);
    EXPECT_EQ(w->VsFg1->Col(), 2); // the row's Path cell is left current
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));
    EXPECT_TRUE(ui.messages().isEmpty());

    // Without its texture the row shows the fallback picture and the caption stays.
    ASSERT_TRUE(QFile::remove(tree.path(rel(kOakTexture))));
    press(w->VsFg1, oak, 3, Qt::LeftButton);
    EXPECT_EQ(shown(w), QSize(256, 256));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Assets Listing DXT1 ( 16x 16x 32)"));

    // A row naming no blueprint, and no fallback picture at all: the picture is cleared.
    ASSERT_TRUE(QFile::remove(tree.path(QStringLiteral("program/NoPicture.jpg"))));
    w->VsFg1->setTextMatrix(oak, 2, QStringLiteral("Scenery\\Trees\\Missing.bin"));
    press(w->VsFg1, oak, 3, Qt::LeftButton);
    EXPECT_TRUE(w->Picture1->pixmap().isNull());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Assets Listing DXT1 ( 16x 16x 32)"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

// The child-entry frame stands where the preview is: once it shows, the picture is hidden, also
// after later previews, so that none of it shows beside the frame's list.
TEST_F(GridPreviewTest, TheChildEntryFrameHidesThePicture)
{
    frmAssets* w = open();
    addToList(w, kTrees);
    const int oak = rowWithPath(w, kOakPath);
    ASSERT_GE(oak, 2);
    press(w->VsFg1, oak, 3, Qt::LeftButton);
    ASSERT_EQ(shown(w), QSize(16, 16));
    ASSERT_TRUE(w->Picture1->isVisibleTo(w));
    w->VsFg1->clearSelection();
    w->Command9_Click();
    EXPECT_TRUE(w->Frame2->isVisibleTo(w));
    EXPECT_FALSE(w->Picture1->isVisibleTo(w));
    press(w->VsFg1, oak, 3, Qt::LeftButton);
    EXPECT_EQ(shown(w), QSize(16, 16));
    EXPECT_TRUE(w->Frame2->isVisibleTo(w));
    EXPECT_FALSE(w->Picture1->isVisibleTo(w));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(GridPreviewTest, RightPressCopiesATrimmedPathOnlyAndOtherPressesOnlyEmptyTheWorkFolder)
{
    frmAssets* w = open();
    addToList(w, kTrees);
    const int oak = rowWithPath(w, kOakPath);
    ASSERT_GE(oak, 2);
    const QString title = w->windowTitle();
    w->VsFg1->setTextMatrix(oak, 2, QStringLiteral("  RailVehicles\\Loco.bin  "));

    ui.setClipboardText(QStringLiteral("before"));
    ui.expectMsgBox(vb::vbOK, kSent);
    putMarker();
    press(w->VsFg1, oak, 2, Qt::RightButton);
    EXPECT_EQ(ui.clipboardText(), QStringLiteral("RailVehicles\\Loco.bin"));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, kSent);
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbInformation));
    EXPECT_EQ(ui.lastMessage().buttons(), int(vb::vbOKOnly));
    EXPECT_FALSE(QFile::exists(marker()));

    // A right press on the Name, a middle press on the Name and a left press on the Product
    // each empty the work folder and do nothing else.
    const struct {
        int col;
        Qt::MouseButton button;
    } others[] = {{3, Qt::RightButton}, {3, Qt::MiddleButton}, {1, Qt::LeftButton}};
    for (const auto& o : others) {
        ui.setClipboardText(QStringLiteral("before"));
        putMarker();
        press(w->VsFg1, oak, o.col, o.button);
        EXPECT_FALSE(QFile::exists(marker())) << o.col;
        EXPECT_TRUE(QFileInfo(platform::nativePath(TempFilesFolder())).isDir()) << o.col;
        EXPECT_EQ(ui.clipboardText(), QStringLiteral("before")) << o.col;
        EXPECT_EQ(ui.messages().size(), 1) << o.col;
        EXPECT_TRUE(w->Picture1->pixmap().isNull()) << o.col;
        EXPECT_EQ(w->windowTitle(), title) << o.col;
    }
}

} // namespace
