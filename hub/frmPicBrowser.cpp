#include "hub/frmPicBrowser.h"

#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "textures/ImageConvert.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QImageReader>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int kThumb = 96;
constexpr int kMadeRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;

// The pictures the grid shows: what Qt's readers take, DDS images and game textures.
QString picturePatterns()
{
    QStringList patterns{QStringLiteral("*.dds"), QStringLiteral("*.TgPcDx")};
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    return patterns.join(QLatin1Char(';'));
}

QImage thumbnailOf(const QString& path)
{
    if (path.endsWith(QStringLiteral(".dds"), Qt::CaseInsensitive)) {
        const textures::ImageRead r = textures::ReadViewerImage(path);
        return r.ok ? r.image.scaled(kThumb, kThumb, Qt::KeepAspectRatio, Qt::SmoothTransformation) : QImage();
    }
    QImageReader reader(platform::nativePath(path));
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(size.scaled(kThumb, kThumb, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

frmPicBrowser::frmPicBrowser(const QString& start, std::function<void(const QString&)> open, QWidget* parent)
    : QWidget(parent, Qt::Window), open_(std::move(open))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Open Browser"));
    Drive1 = new DriveListWidget(this);
    Dir1 = new FolderTreeWidget(this);
    Grid = new QListWidget(this);
    Grid->setViewMode(QListView::IconMode);
    Grid->setIconSize(QSize(kThumb, kThumb));
    Grid->setGridSize(QSize(kThumb + 24, kThumb + 36));
    Grid->setResizeMode(QListView::Adjust);
    Grid->setMovement(QListView::Static);
    Grid->setUniformItemSizes(true);
    auto* folders = new QVBoxLayout;
    folders->addWidget(Drive1);
    folders->addWidget(Dir1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(folders, 1);
    layout->addWidget(Grid, 3);
    resize(900, 600);

    // The starting folder on the drive that holds it.
    try {
        Drive1->showGameFolder(*Dir1, start, QString());
    } catch (const VbError&) {
        Dir1->setRoot(start); // the drive cannot be opened now
        Dir1->setPath(start);
    }
    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { fillGrid(); });
    connect(Grid, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { openItem(item); });
    connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { makeVisibleThumbnails(); });
    fillGrid();
}

void frmPicBrowser::Drive1_Change()
{
    runGuarded(ErrorSpelling::Number, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        fillGrid();
    });
}

void frmPicBrowser::fillGrid()
{
    Grid->clear();
    const QString folder = Dir1->path();
    const QIcon plain = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString& name : matchingFileNames(folder, picturePatterns())) {
        auto* item = new QListWidgetItem(plain, name, Grid);
        item->setData(kPathRole, folder + QLatin1Char('\\') + name);
        item->setData(kMadeRole, false);
    }
    // After the layout has placed the cells.
    QTimer::singleShot(0, this, [this] { makeVisibleThumbnails(); });
}

void frmPicBrowser::makeVisibleThumbnails()
{
    const QRect view = Grid->viewport()->rect();
    for (int i = 0; i < Grid->count(); ++i) {
        QListWidgetItem* item = Grid->item(i);
        if (item->data(kMadeRole).toBool() || !Grid->visualItemRect(item).intersects(view))
            continue;
        const QString path = item->data(kPathRole).toString();
        if (path.endsWith(QStringLiteral(".TgPcDx"), Qt::CaseInsensitive))
            continue; // converted only when opened
        const QImage thumb = thumbnailOf(path);
        if (!thumb.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(thumb)));
        item->setData(kMadeRole, true);
    }
}

bool frmPicBrowser::hasThumbnail(const QListWidgetItem* item)
{
    return item->data(kMadeRole).toBool();
}

void frmPicBrowser::openItem(QListWidgetItem* item)
{
    if (item && open_)
        open_(item->data(kPathRole).toString());
}
