#include "hub/frmGFX.h"

#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/PrinterDialogWidgets.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "common/WindowPartsWidgets.h"
#include "textures/ImageConvert.h"
#include "hub/Scanner.h"
#include "hub/dlgScanSource.h"
#include "hub/frmPicBrowser.h"
#include "platform/OneWindow.h"
#include "platform/Paths.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

platform::OneWindow<frmGFX> theViewer;

// A message ends in one full stop, also when the reason it quotes has one of its own.
QString sentence(const QString& text)
{
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

const QString kNoImage = QStringLiteral("There is no image yet: pick a file to show first.");
const QString kNoScanner = QStringLiteral("No scanner was found. Connect a scanner that SANE supports and try again.");

// The work file shown over the whole screen; a click or any key closes it.
class FullScreenView : public QWidget {
public:
    explicit FullScreenView(const QImage& image) : image_(image)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setFocusPolicy(Qt::StrongFocus);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::black);
        setPalette(p);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QSize fitted = image_.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.drawImage(target, image_);
    }
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }

private:
    QImage image_;
};

} // namespace

frmGFX* frmGFX::instance()
{
    return &theViewer.instance([] { return new frmGFX(); });
}

frmGFX* frmGFX::existing()
{
    return theViewer.loaded();
}

void frmGFX::showViewer()
{
    frmGFX* viewer = instance();
    viewer->show();
    viewer->raise();
}

void frmGFX::showImage(const QString& path)
{
    frmGFX* viewer = instance();
    viewer->Text3->setText(path); // converts only when the text changes
    if (platform::isUnloaded(viewer))
        return; // closed while the picture was converted
    viewer->show();
    viewer->raise();
}

void frmGFX::unloadViewer()
{
    if (frmGFX* viewer = existing())
        viewer->close();
}

void frmGFX::setPrinterDialog(PrinterDialog dialog)
{
    PrinterDialogOf<frmGFX>::set(std::move(dialog));
}

frmGFX::frmGFX()
{
    setObjectName(QStringLiteral("frmGFX"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("PicView"));

    auto* central = new QWidget(this);
    auto* left = new QVBoxLayout;
    Drive1 = new DriveListWidget(central);
    Text2 = new QLineEdit(central);
    Text2->setReadOnly(true);
    Dir1 = new FolderTreeWidget(central);
    Text1 = new QLineEdit(central);
    File1 = new QListWidget(central);
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    Text3 = new QLineEdit(central);
    Text3->setReadOnly(true);
    left->addWidget(Drive1);
    left->addWidget(Text2);
    left->addWidget(Dir1, 2);
    left->addWidget(Text1);
    left->addWidget(File1, 3);
    left->addWidget(Text3);

    auto* right = new QVBoxLayout;
    Label1 = new QLabel(QStringLiteral("Clickon image to display Full-Screen"), central);
    Picture1 = windowparts::makeNamed<QLabel>(central, "Picture1");
    Picture1->setToolTip(QStringLiteral("Click on the image to display full screen"));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->installEventFilter(this);
    auto* scroll = new QScrollArea(central);
    scroll->setWidget(Picture1);
    scroll->setWidgetResizable(true);
    right->addWidget(Label1);
    right->addWidget(scroll, 1);

    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left, 1);
    layout->addLayout(right, 2);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileOpen = file->addAction(QStringLiteral("&Open..."), this, [this] { mnuFileOpen_Click(); });
    file->addSeparator();
    mnuFilePrint = file->addAction(QStringLiteral("&Print..."), this, [this] { mnuFilePrint_Click(); });
    file->addSeparator();
    mnuFileExit = file->addAction(QStringLiteral("E&xit"), this, [this] { mnuFileExit_Click(); });
    QMenu* image = menuBar()->addMenu(QStringLiteral("Image"));
    grey = image->addAction(QStringLiteral("Greyscale"), this, [this] { grey_Click(); });
    flip = image->addAction(QStringLiteral("Flip"), this, [this] { flip_Click(); });
    rot = image->addAction(QStringLiteral("Rotate 90 degrees"), this, [this] { rot_Click(); });
    QMenu* twain = menuBar()->addMenu(QStringLiteral("Twain"));
    mnuseltwain = twain->addAction(QStringLiteral("Select Twain Source"), this, [this] { mnuseltwain_Click(); });
    mnutwaq = twain->addAction(QStringLiteral("Acquire Image"), this, [this] { mnutwaq_Click(); });
    QMenu* browser = menuBar()->addMenu(QStringLiteral("Browser"));
    mnuBr = browser->addAction(QStringLiteral("Open Browser"), this, [this] { mnuBr_Click(); });

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Change(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });

    resize(900, 600);
    Form_Load();
}

frmGFX::~frmGFX()
{
    if (fullScreen_)
        fullScreen_->close();
    if (browser_)
        browser_->close();
}

void frmGFX::Form_Load()
{
    const QString game = shared().GamePath;
    const QString assets = game + QStringLiteral("\\Assets");
    try {
        // The game's "Assets" on the drive that holds it; without a game, the program's drive.
        if (game.isEmpty()) {
            Drive1->setDriveOf(platform::programFolder());
            Drive1->showIn(*Dir1);
        } else {
            Drive1->showGameFolder(*Dir1, game, QStringLiteral("Assets"));
        }
    } catch (const VbError&) {
        // The drive cannot be opened now: the list starts at the game folder itself.
        Dir1->setRoot(game.isEmpty() ? platform::programFolder() : game);
        Dir1->setPath(assets);
    }
    Text2->setText(Dir1->path());
    Text1->setText(QStringLiteral("*.TgPcDx"));
    Text1_Change();
}

void frmGFX::Drive1_Change()
{
    runGuarded(ErrorSpelling::Number, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        Dir1_Change();
        if (!platform::isUnloaded(this)) // closed while the folder's events were processed
            Text2->setText(Dir1->path());
    });
}

void frmGFX::Dir1_Change()
{
    QString folder = Dir1->path();
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    Text2->setText(folder);
    Text1_Change();
    ui().doEvents();
}

void frmGFX::Text1_Change()
{
    QString pattern = Text1->text();
    if (pattern.isEmpty())
        pattern = QStringLiteral("*.*");
    File1->clear();
    File1->addItems(matchingFileNames(Dir1->path(), pattern));
}

void frmGFX::File1_Click()
{
    QListWidgetItem* item = File1->currentItem();
    if (!item)
        return;
    showFile(Dir1->path() + QLatin1Char('\\') + item->text(), true);
}

void frmGFX::Text3_Change()
{
    if (!Text3->text().isEmpty())
        showFile(Text3->text(), false);
}

void frmGFX::mnuFileOpen_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filter = QStringLiteral("All Files (*.TgPcDx)|*.TgPcDx");
    const QString chosen = ui().openFile(request);
    if (chosen.isEmpty())
        return;
    showFile(chosen, true);
}

void frmGFX::showFile(const QString& source, bool setCaption)
{
    textures::ImageRead r;
    {
        BusyPointer busy;
        r = textures::ConvertToWorkFile(source);
    }
    if (platform::isUnloaded(this))
        return; // closed while the picture was converted
    if (!r.ok) {
        Picture1->clear();
        exclaim(r.error);
        return;
    }
    loadPicture();
    if (setCaption)
        setWindowTitle(textures::ViewerCaption(r.record));
}

bool frmGFX::loadPicture()
{
    QImage image;
    if (!image.load(platform::nativePath(textures::ViewerWorkFile()), "BMP")) {
        Picture1->clear();
        return false;
    }
    Picture1->setPixmap(QPixmap::fromImage(image));
    return true;
}

// The image commands work on the work file the last image shown or scanned left, in this
// viewer or in one opened before it.
bool frmGFX::haveImage()
{
    if (QFileInfo::exists(platform::nativePath(textures::ViewerWorkFile())))
        return true;
    Picture1->clear();
    exclaim(kNoImage);
    return false;
}

bool frmGFX::workImage(QImage& image)
{
    if (!haveImage())
        return false;
    if (image.load(platform::nativePath(textures::ViewerWorkFile()), "BMP"))
        return true;
    Picture1->clear();
    exclaim(kNoImage);
    return false;
}

void frmGFX::imageCommand(int operation)
{
    if (!haveImage())
        return;
    if (!textures::ProcessWorkFile(textures::BitmapOperation(operation)) || !loadPicture()) {
        Picture1->clear();
        exclaim(QStringLiteral("The image ") + textures::ViewerWorkFile() + QStringLiteral(" could not be changed."));
    }
}

void frmGFX::grey_Click()
{
    imageCommand(int(textures::BitmapOperation::Greyscale));
}

void frmGFX::flip_Click()
{
    imageCommand(int(textures::BitmapOperation::Flip));
}

void frmGFX::rot_Click()
{
    imageCommand(int(textures::BitmapOperation::Rotate));
}

void frmGFX::mnuFilePrint_Click()
{
    QImage image;
    if (!workImage(image))
        return;
    QPrinter printer;
    if (!PrinterDialogOf<frmGFX>::ask(printer, this))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        exclaim(QStringLiteral("The image could not be printed."));
        return;
    }
    const QRect page = painter.viewport();
    const QSize fitted = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), fitted), image);
    painter.end();
}

void frmGFX::Picture1_Click()
{
    QImage image;
    if (!workImage(image))
        return;
    if (fullScreen_)
        fullScreen_->close();
    fullScreen_ = new FullScreenView(image);
    fullScreen_->showFullScreen();
    fullScreen_->activateWindow();
    fullScreen_->setFocus();
}

// Our own browser, from the game folder; the game folder itself never changes.
void frmGFX::mnuBr_Click()
{
    if (platform::isUnloaded(browser_)) {
        const QString game = shared().GamePath;
        browser_ = new frmPicBrowser(game.isEmpty() ? platform::programFolder() : game,
                                     [this](const QString& path) { showFile(path, true); });
    }
    browser_->show();
    browser_->raise();
}

// While the scanner is searched or sends, the window's commands are off.
void frmGFX::setScanning(bool on)
{
    scanning_ = on;
    if (on)
        cancelScan_ = false;
    menuBar()->setEnabled(!on);
    centralWidget()->setEnabled(!on);
}

// The sources SANE finds; the one picked is kept for the rest of the run. The search can
// take seconds: it runs beside the window, which keeps painting with its commands off.
void frmGFX::mnuseltwain_Click()
{
    if (scanning_)
        return;
    setScanning(true);
    hub::ScanSourceList list;
    {
        BusyPointer busy;
        list = hub::ListScanSourcesKeepingEventsFlowing();
    }
    setScanning(false);
    if (closeAfterScan_) {
        close();
        return;
    }
    if (!list.error.isEmpty()) {
        exclaim(QStringLiteral("The scanners could not be listed: ") + list.error);
        return;
    }
    if (list.sources.isEmpty()) {
        exclaim(kNoScanner);
        return;
    }
    dlgScanSource dialog(list.sources, hub::ChosenScanSource(), this);
    ui().showModal(&dialog);
    if (!dialog.chosenName().isEmpty())
        hub::SetChosenScanSource(dialog.chosenName());
}

// Scans into the work file and shows it. The window's commands are off while the scanner
// sends, and window events are processed between its reads.
void frmGFX::mnutwaq_Click()
{
    if (scanning_)
        return;
    setScanning(true);
    hub::ScanOutcome r;
    {
        BusyPointer busy;
        r = hub::AcquireToWorkFile([this] {
            ui().doEvents();
            return !cancelScan_;
        });
    }
    setScanning(false);

    QString message;
    switch (r.status) {
    case hub::ScanOutcome::Done:
        if (!loadPicture())
            message = QStringLiteral("The scanned image ") + textures::ViewerWorkFile() + QStringLiteral(" could not be shown.");
        break;
    case hub::ScanOutcome::NoDevice:
        message = kNoScanner;
        break;
    case hub::ScanOutcome::Cancelled:
        message = QStringLiteral("The scan was cancelled: there is no image.");
        break;
    case hub::ScanOutcome::Failed:
        message = sentence(QStringLiteral("The image could not be acquired: ") + r.error);
        break;
    }
    if (!message.isEmpty()) {
        Picture1->clear();
        exclaim(message);
    }
    if (closeAfterScan_)
        close();
}

void frmGFX::mnuFileExit_Click()
{
    close();
}

void frmGFX::closeEvent(QCloseEvent* event)
{
    if (scanning_) {
        cancelScan_ = true;
        closeAfterScan_ = true;
        event->ignore();
        return;
    }
    if (fullScreen_)
        fullScreen_->close();
    if (browser_)
        browser_->close();
    QMainWindow::closeEvent(event);
}

bool frmGFX::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Picture1 && event->type() == QEvent::MouseButtonRelease) {
        Picture1_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
