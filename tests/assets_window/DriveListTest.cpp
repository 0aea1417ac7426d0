// The drive lists of the asset list and of the new loco window: each opens at the game's drive
// (e: in the test tree), a chosen drive roots the folder list there and shows its path, and a
// drive that cannot be opened gives the window's message and leaves both lists as they were.

#include "AssetsWindowFixture.h"

#include "assets/frmFolderLoco.h"
#include "common/DriveListWidget.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <unistd.h>

#include <functional>

namespace {

struct DriveWindow {
    QWidget* window = nullptr;
    DriveListWidget* drives = nullptr;
    FolderTreeWidget* folders = nullptr;
    QLineEdit* pathBox = nullptr;
};

void choose(DriveListWidget* drives, const QString& drive)
{
    const int k = drives->findText(drive);
    ASSERT_GE(k, 0) << drive.toStdString();
    drives->setCurrentIndex(k);
    emit drives->activated(k);
}

} // namespace

TEST_F(AssetsWindowTest, DriveListsRootTheFolderListsAndRefuseADanglingDrive)
{
    ASSERT_EQ(::symlink(QFile::encodeName(tree.path(QStringLiteral("gone"))).constData(),
                        QFile::encodeName(tree.path(QStringLiteral("wine/dosdevices/d:"))).constData()),
              0);
    tree.makeDir(QStringLiteral("wine/drive_c/Games"));
    const QString driveC = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();
    const struct {
        const char* what;
        std::function<DriveWindow()> open;
        QString start;       // the folder list's folder after loading
        QString pathBox;     // what the path box shows of a folder
        QString message;     // the dangling drive's message
    } rows[] = {
        {"asset list",
         [this] {
             frmAssets* w = open();
             return DriveWindow{w, w->Drive1, w->Dir1, w->Text2};
         },
         tree.gamePath() + QStringLiteral("\\Assets"), QStringLiteral("\\"),
         QStringLiteral("Error Device unavailable occurred in Drive1_change")},
        {"new loco folder",
         [] {
             frmFolderLoco& w = frmFolderLoco::showWindow();
             return DriveWindow{&w, w.Drive1, w.Dir1, w.Text1};
         },
         tree.gamePath() + QStringLiteral("\\Source"), QString(),
         QStringLiteral("Error Device unavailable occurred in Drive1_Change")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const DriveWindow w = r.open();
        EXPECT_EQ(w.drives->drive(), QStringLiteral("e:"));
        EXPECT_EQ(w.folders->topLevelItem(0)->text(0), QStringLiteral("e:"));
        EXPECT_EQ(w.folders->path(), r.start);
        EXPECT_EQ(w.pathBox->text(), r.start + r.pathBox);

        choose(w.drives, QStringLiteral("c:"));
        EXPECT_EQ(w.folders->root(), driveC);
        EXPECT_EQ(w.folders->topLevelItem(0)->text(0), QStringLiteral("c:"));
        EXPECT_EQ(w.folders->path(), driveC);
        EXPECT_EQ(w.pathBox->text(), driveC + r.pathBox);

        w.folders->setPath(driveC + QStringLiteral("\\Games"));
        const QString shown = w.folders->path();
        const QString box = w.pathBox->text();
        ui.expectMsgBox(vb::vbOK, r.message);
        choose(w.drives, QStringLiteral("d:"));
        ui.verifyDone();
        EXPECT_EQ(ui.lastMessage().text, r.message);
        EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
        EXPECT_EQ(w.drives->drive(), QStringLiteral("c:"));
        EXPECT_EQ(w.folders->root(), driveC);
        EXPECT_EQ(w.folders->path(), shown);
        EXPECT_EQ(w.pathBox->text(), box);
        w.window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
