// The asset grid's mouse presses: every press empties the work folder; a right press on the
// Path column copies the cell's text; a left press on the Name column previews the row's
// texture in Picture1 (assets/GridPreview does the work).

#include "assets/frmAssets.h"

#include "assets/GridPreview.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "textures/ImageConvert.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace {

// Notes which button pressed the grid before the grid makes the clicked cell current and
// reports the press.
class PressButtonFilter : public QObject {
public:
    PressButtonFilter(QObject* parent, int& button) : QObject(parent), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            switch (static_cast<QMouseEvent*>(event)->button()) {
            case Qt::LeftButton: button_ = 1; break;
            case Qt::RightButton: button_ = 2; break;
            case Qt::MiddleButton: button_ = 4; break;
            default: button_ = 0; break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int& button_;
};

void showPicture(QLabel* picture, const QString& path)
{
    const QPixmap pixmap(platform::nativePath(path));
    if (pixmap.isNull())
        picture->clear();
    else
        picture->setPixmap(pixmap);
}

} // namespace

void frmAssets::wireGridPreview()
{
    VsFg1->viewport()->installEventFilter(new PressButtonFilter(VsFg1, gridPressButton_));
    connect(VsFg1, &FlexGridWidget::pressed, this, [this] { VsFg1_MouseDown(gridPressButton_); });
}

void frmAssets::VsFg1_MouseDown(int button)
{
    // run() holds back further presses and the commands until the preview is done, so the
    // work folder is never emptied under work in progress.
    run("VsFg1_MouseDown", [&] {
        ResetTempFiles();
        if (button == 2 && VsFg1->Col() == 2) {
            ui().setClipboardText(vb::Trim(VsFg1->Text()));
            ui().msgBox(QStringLiteral("Data has been sent to clipboard."), vb::vbOKOnly + vb::vbInformation);
        } else if (button == 1 && VsFg1->Col() == 3) {
            ui().setMousePointer(vb::vbHourglass);
            const int row = VsFg1->Row();
            assets::SelectedRow selected;
            selected.gridRow = row;
            selected.provider = VsFg1->TextMatrix(row, 0);
            selected.product = VsFg1->TextMatrix(row, 1);
            selected.path = VsFg1->TextMatrix(row, 2);
            // The row's Path cell is left current, so that a right press copies its path.
            VsFg1->setCol(2);
            const assets::PreviewOutcome outcome = assets::PreviewRow(selected, shared().GamePath);
            if (outcome.converted) {
                showPicture(Picture1, textures::ViewerWorkFile());
                setWindowTitle(outcome.caption);
            } else {
                showPicture(Picture1, assets::NoPicturePath());
                if (!outcome.refused.isEmpty())
                    exclaim(outcome.refused);
            }
        }
    });
}
