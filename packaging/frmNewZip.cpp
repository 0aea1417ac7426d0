#include "packaging/frmNewZip.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/Vb.h"
#include "common/WindowPartsWidgets.h"
#include "packaging/ZipSplit.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/Ui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

const QString kCaption = QStringLiteral("DuRazo");
const QString kZipFileName = QStringLiteral("Zip File name: ");
const QString kNoArchive = QStringLiteral("You must Open an Archive before you can");
const QString kNoArchiveAdd = QStringLiteral("            Add anything to it!");
const QString kNoArchiveExtract = QStringLiteral("            Extract anything from it!");
const QString kNoArchiveFind = QStringLiteral("            Find anything in it!");
// The input boxes open near the top left of the screen, Find File's a little lower.
const TwipsPlace kInputBoxPlace = QPoint(3360, 1080);
const TwipsPlace kFindFilePlace = QPoint(3360, 2080);

// The grid's format text: "|" separates the columns, a leading "<" aligns one left.
QString gridFormat()
{
    return QStringLiteral("<Index |<File Name") + vb::Space(103)
           + QStringLiteral("|<Compressed Size | <Uncompressed Size| Modification Date");
}

bool isPathSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// The text before the n-th separator counted from the end (1 the last); "" with ok false when
// the text holds fewer separators.
QString beforeSeparatorFromEnd(const QString& path, int n, bool* ok)
{
    int seen = 0;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isPathSeparator(path[i]) && ++seen == n) {
            *ok = true;
            return path.left(i);
        }
    }
    *ok = false;
    return QString();
}

QString shownName(const QString& stored)
{
    QString s = stored;
    s.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return s;
}

// The part size in bytes for a size text in megabytes: its numeric value rounded to a whole
// number (halves to the even one), times 1000000; 0 for anything unusable.
qint64 partSizeOf(const QString& megabytes)
{
    double mb = 0;
    try {
        mb = vb::Round(vb::Val(megabytes));
    } catch (const std::exception&) {
        return 0;
    }
    if (!(mb > 0))
        return 0;
    const double bytes = mb * 1000000.0;
    if (bytes >= 9.0e18)
        return 0;
    return qint64(bytes);
}

} // namespace

frmNewZip::frmNewZip(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmNewZip"));
    setWindowTitle(kCaption);
    buildControls();
    buildMenus();
    Form_Load();
    loading_ = false;
}

frmNewZip::~frmNewZip()
{
    Form_Unload();
}

void frmNewZip::openForPackage(const QString& packageFolder)
{
    shared().PackageFolder = packageFolder;
    auto* window = new frmNewZip;
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    QPointer<frmNewZip> guard(window);
    ui().showModal(window);
    delete guard.data();
}

void frmNewZip::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    Frame2 = new QGroupBox(QStringLiteral("Route Compression Options"), central);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* f2 = new QGridLayout(Frame2);
    Label3 = new QLabel(QStringLiteral("Route Name: "), Frame2);
    Label3->setObjectName(QStringLiteral("Label3"));
    Check2 = new QCheckBox(QStringLiteral("Produce multiple Zip files?"), Frame2);
    Check2->setObjectName(QStringLiteral("Check2"));
    Text2 = windowparts::makeNamed<QLineEdit>(Frame2, "Text2");
    Label5 = new QLabel(QStringLiteral("Approx. size of each .zip in Mbytes."), Frame2);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label4 = new QLabel(kZipFileName, Frame2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Command2 = windowparts::makeButton(Frame2, QStringLiteral("Command2"), QStringLiteral("Process"));
    f2->addWidget(Label3, 0, 0, 1, 3);
    f2->addWidget(Check2, 1, 0);
    f2->addWidget(Text2, 1, 1);
    f2->addWidget(Label5, 1, 2);
    f2->addWidget(Label4, 2, 0, 1, 2);
    f2->addWidget(Command2, 2, 2);

    Frame1 = new QGroupBox(QStringLiteral("Options"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* f1 = new QGridLayout(Frame1);
    const QStringList boxes{QStringLiteral("Fullpath"), QStringLiteral("Include Sub-Directories"),
                            QStringLiteral("Use Relative Paths")};
    for (int i = 0; i < 3; ++i) {
        Check1[size_t(i)] = new QCheckBox(boxes[i], Frame1);
        Check1[size_t(i)]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        f1->addWidget(Check1[size_t(i)], i, 0);
    }
    Check1[1]->setChecked(true);
    Check1[2]->setChecked(true);
    Label1 = new QLabel(QStringLiteral("Wildcards"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = windowparts::makeNamed<QLineEdit>(Frame1, "Text1");
    Slider1 = new QSlider(Qt::Horizontal, Frame1);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(0, 9);
    Slider1->setValue(6);
    Slider1->setToolTip(QStringLiteral("Adjust zip compression 0=None 9=Highest (but slow)"));
    Label6[0] = new QLabel(QStringLiteral("Low"), Frame1);
    Label6[1] = new QLabel(QStringLiteral("High"), Frame1);
    Label2 = new QLabel(QStringLiteral("Compression Level  =   6"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    f1->addWidget(Label1, 0, 1);
    f1->addWidget(Text1, 0, 2, 1, 2);
    f1->addWidget(Label6[0], 1, 1);
    f1->addWidget(Slider1, 1, 2);
    f1->addWidget(Label6[1], 1, 3);
    f1->addWidget(Label2, 2, 1, 1, 3);

    Command1 = windowparts::makeButton(central, QStringLiteral("Command1"), QStringLiteral("Refresh"));
    Command3 = windowparts::makeButton(central, QStringLiteral("Command3"), QStringLiteral("&Exit"));

    auto* top = new QHBoxLayout;
    top->addWidget(Frame2, 1);
    top->addWidget(Frame1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    buttons->addStretch();
    top->addLayout(buttons);
    layout->addLayout(top);

    VsFg1 = windowparts::makeNamed<QTableWidget>(central, "VsFg1");
    VsFg1->setSelectionBehavior(QAbstractItemView::SelectRows);
    VsFg1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    VsFg1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VsFg1->verticalHeader()->setVisible(false);
    layout->addWidget(VsFg1, 1);

    PB1 = windowparts::makeNamed<QProgressBar>(central, "PB1");
    PB1->setRange(0, 100);
    PB1->setValue(0);
    layout->addWidget(PB1);
    setCentralWidget(central);

    for (int i = 0; i < 4; ++i) {
        SB1[size_t(i)] = new QLabel(this);
        statusBar()->addWidget(SB1[size_t(i)], i == 1 ? 1 : 0);
    }
    SB1[0]->setText(QStringLiteral("Processing:"));

    connect(Command1, &QPushButton::clicked, this, &frmNewZip::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmNewZip::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmNewZip::Command3_Click);
    for (int i = 0; i < 3; ++i)
        connect(Check1[size_t(i)], &QCheckBox::stateChanged, this, [this, i] { Check1_Click(i); });
    connect(Slider1, &QSlider::valueChanged, this, &frmNewZip::Slider1_Change);
    connect(Text1, &QLineEdit::textChanged, this, &frmNewZip::Text1_Change);
    resize(900, 600);
}

void frmNewZip::buildMenus()
{
    mnuFiles = menuBar()->addMenu(QStringLiteral("Archives"));
    mnuNew = mnuFiles->addAction(QStringLiteral("New Archive"), this, &frmNewZip::mnuNew_Click);
    mnuMulti = mnuFiles->addAction(QStringLiteral("New Multi-Part Archive"), this, &frmNewZip::mnuMulti_Click);
    mnuOpen = mnuFiles->addAction(QStringLiteral("Open Archive"), this, &frmNewZip::mnuOpen_Click);
    mnuClose = mnuFiles->addAction(QStringLiteral("Close Archive"), this, &frmNewZip::mnuClose_Click);
    mnuFiles->addSeparator();
    mnuExit = mnuFiles->addAction(QStringLiteral("Exit"), this, &frmNewZip::mnuExit_Click);

    mnuProcess = menuBar()->addMenu(QStringLiteral("Extract Files"));
    mnuExt = mnuProcess->addAction(QStringLiteral("Extract All"), this, &frmNewZip::mnuExt_Click);
    mnuExtSel = mnuProcess->addAction(QStringLiteral("Extract Selected"), this, &frmNewZip::mnuExtSel_Click);
    mnuExtCur = mnuProcess->addAction(QStringLiteral("Exract to Current Folder"), this, &frmNewZip::mnuExtCur_Click);
    connect(mnuProcess, &QMenu::aboutToShow, this, &frmNewZip::mnuProcess_Click);

    mnuAddFiles = menuBar()->addMenu(QStringLiteral("Add Files"));
    mnuAdd = mnuAddFiles->addAction(QStringLiteral("Add File(s)"), this, &frmNewZip::mnuAdd_Click);
    mnuAddFold = mnuAddFiles->addAction(QStringLiteral("Add Folder"), this, &frmNewZip::mnuAddFold_Click);
    connect(mnuAddFiles, &QMenu::aboutToShow, this, &frmNewZip::mnuAddFiles_Click);

    mnuSearch = menuBar()->addMenu(QStringLiteral("Search"));
    mnuFind = mnuSearch->addAction(QStringLiteral("Find File"), this, &frmNewZip::mnuFind_Click);
    mnuFindFiles = mnuSearch->addAction(QStringLiteral("Find Files(Pattern Match)"), this,
                                        &frmNewZip::mnuFindFiles_Click);
}

void frmNewZip::setCommandsEnabled(bool enabled)
{
    menuBar()->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Frame1, Frame2, VsFg1})
        w->setEnabled(enabled);
}

void frmNewZip::Form_Load()
{
    Fullpath = false;
    IncludeSubDirs = true;
    UseRelativePaths = true;
    WildcardPattern = Text1->text();
    CompressionLevel = Slider1->value();

    // The header from the format text.
    const QStringList fields = gridFormat().split(QLatin1Char('|'));
    VsFg1->setColumnCount(int(fields.size()));
    QStringList labels;
    for (qsizetype c = 0; c < fields.size(); ++c) {
        const QString& f = fields[c];
        QString label = f.trimmed();
        while (label.startsWith(QLatin1Char('<')) || label.startsWith(QLatin1Char('>'))
               || label.startsWith(QLatin1Char('^')))
            label = label.mid(1).trimmed();
        labels << label;
    }
    VsFg1->setHorizontalHeaderLabels(labels);
    // Each column as wide as its part of the format text, and never narrower than its header.
    for (qsizetype c = 0; c < fields.size(); ++c)
        VsFg1->setColumnWidth(int(c), std::max({60, VsFg1->fontMetrics().horizontalAdvance(fields[c]),
                                                VsFg1->horizontalHeader()->sectionSizeHint(int(c))}));
    for (qsizetype c = 0; c < fields.size(); ++c) {
        if (fields[c].startsWith(QLatin1Char('<')))
            VsFg1->horizontalHeaderItem(int(c))->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    mnuNew_Click();
    ui().doEvents();
}

void frmNewZip::Form_Unload()
{
    if (Zip && !Zip->isClosed())
        Zip->close();
}

void frmNewZip::closeEvent(QCloseEvent* event)
{
    if (busy_ > 0) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmNewZip::Command3_Click()
{
    if (busy_ > 0)
        return;
    close();
}

void frmNewZip::mnuExit_Click()
{
    Command3_Click();
}

void frmNewZip::readyZip()
{
    if (!Zip) {
        Zip = std::make_unique<packaging::ZipArchive>();
        Zip->onAdd = [this](const QString& name) { Zip_OnAdd(name); };
        Zip->onExtract = [this](const QString& name) { Zip_OnExtract(name); };
    } else {
        Zip->close();
    }
    Label4->setText(kZipFileName); // no archive name of an earlier Process stays
}

frmNewZip::CommandStart::CommandStart(frmNewZip* window, Needs needs)
{
    if (window->busy_ > 0)
        return;
    scope_.emplace(window);
    switch (needs) {
    case Needs::Nothing:
        go_ = true;
        break;
    case Needs::ArchiveToAdd:
        window->PB1->hide();
        go_ = !window->noArchive(kNoArchiveAdd);
        break;
    case Needs::ArchiveToExtract:
        window->ExtractCounter = 1;
        window->PB1->show();
        go_ = !window->noArchive(kNoArchiveExtract);
        break;
    case Needs::ArchiveToSearch:
        go_ = !window->noArchive(kNoArchiveFind);
        break;
    }
}

bool frmNewZip::noArchive(const QString& secondLine)
{
    if (Zip)
        return false;
    ui().msgBox(kNoArchive + QLatin1Char('\n') + secondLine, vb::vbOKOnly + vb::vbExclamation, QStringLiteral("Error"));
    return true;
}

QString frmNewZip::packageFolderPath() const
{
    return platform::programFolder() + QLatin1Char('\\') + shared().PackageFolder;
}

bool frmNewZip::checkPackageFolder()
{
    const QString folder = packageFolderPath();
    if (shared().PackageFolder.trimmed().isEmpty() || !FolderExists(folder)) {
        exclaim(QStringLiteral("No package folder to zip: ") + folder);
        return false;
    }
    return true;
}

void frmNewZip::cutGridToHeader()
{
    VsFg1->clearSelection();
    VsFg1->setRowCount(0);
}

QString frmNewZip::archiveRow(int index, const packaging::ZipEntry& entry)
{
    const QString date = entry.modified.isValid() ? QLocale::system().toString(entry.modified, QLocale::ShortFormat)
                                                  : QString();
    return QString::number(index) + QLatin1Char('\t') + shownName(entry.name) + QLatin1Char('\t')
           + QString::number(entry.compressedSize) + QLatin1Char('\t') + QString::number(entry.uncompressedSize)
           + QLatin1Char('\t') + QStringLiteral("     ") + date;
}

void frmNewZip::appendRow(const QString& rowText)
{
    const QStringList cells = rowText.split(QLatin1Char('\t'));
    const int row = VsFg1->rowCount();
    VsFg1->insertRow(row);
    // A cell wider than its column widens the column, so that names and dates are never cut.
    const int margin = 2 * (VsFg1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, VsFg1) + 1) + 2;
    for (int c = 0; c < VsFg1->columnCount(); ++c) {
        VsFg1->setItem(row, c, new QTableWidgetItem(cells.value(c)));
        const int need = VsFg1->fontMetrics().horizontalAdvance(cells.value(c)) + margin;
        if (VsFg1->columnWidth(c) < need)
            VsFg1->setColumnWidth(c, need);
    }
}

QStringList frmNewZip::gridRows() const
{
    QStringList rows;
    for (int r = 0; r < VsFg1->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < VsFg1->columnCount(); ++c)
            cells << (VsFg1->item(r, c) ? VsFg1->item(r, c)->text() : QString());
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows;
}

QString frmNewZip::panelText(int panel) const
{
    return panel >= 1 && panel <= 4 ? SB1[size_t(panel - 1)]->text() : QString();
}

void frmNewZip::FillFileGrid()
{
    cutGridToHeader();
    if (Zip) {
        const int count = Zip->entryCount();
        VsFg1->setUpdatesEnabled(false);
        for (int i = 0; i < count; ++i) {
            const packaging::ZipEntry e = Zip->entry(i);
            SB1[1]->setText(shownName(e.name));
            // A row carries the entry's own index, so that repeated names stay apart.
            appendRow(archiveRow(i, e));
        }
        VsFg1->setUpdatesEnabled(true);
        SB1[2]->setText(QString::number(Zip->total()));
        SB1[3]->setText(QString::number(Zip->fileCount()));
    }
    ui().setMousePointer(vb::vbDefault);
    ui().doEvents();
}

void frmNewZip::Command1_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    FillFileGrid();
}

bool frmNewZip::commitAdds()
{
    if (Zip->commit())
        return true;
    ui().msgBox(QStringLiteral("The archive ") + Zip->path() + QStringLiteral(" could not be created: ")
                    + Zip->lastError(),
                vb::vbOKOnly + vb::vbCritical, QStringLiteral("An Error Occurred"));
    return false;
}

void frmNewZip::reportAddFailure(const QString& file, const QString& reason)
{
    Zip->commit();
    ui().setMousePointer(vb::vbDefault);
    ui().msgBox(file + QStringLiteral(": ") + reason, vb::vbOKOnly + vb::vbCritical, QStringLiteral("An Error Occurred"));
}

void frmNewZip::finishAdding(bool added, const QString& what)
{
    if (added)
        commitAdds();
    else
        reportAddFailure(what, Zip->lastError());
}

void frmNewZip::mnuNew_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    if (!checkPackageFolder())
        return;
    readyZip();
    const QString archive = packageFolderPath() + QStringLiteral(".zip");
    if (!Zip->create(archive, false, 0)) {
        cutGridToHeader();
        ui().msgBox(QStringLiteral("The archive ") + archive + QStringLiteral(" could not be created: ") + Zip->lastError(),
                    vb::vbOKOnly + vb::vbCritical);
        return;
    }
    ui().doEvents();
    Zip->setBasePath(platform::programFolder() + QLatin1Char('\\'));
    finishAdding(Zip->addFolder(packageFolderPath(), true, false, -1), packageFolderPath());
    ui().doEvents();
    FillFileGrid();
}

void frmNewZip::mnuMulti_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    FileDialogRequest request;
    const QString name = ui().saveFile(request);
    if (name.isEmpty())
        return;
    LastDialogFile = name;
    const QString answer = ui().inputBox(QStringLiteral("Enter approx. section length in Mb"),
                                         QStringLiteral("Multi-Part Zip"), QStringLiteral("10"), kInputBoxPlace);
    const qint64 partSize = partSizeOf(answer);
    if (partSize <= 0) {
        exclaim(QStringLiteral("Enter a section length of at least 1 Mb."));
        return;
    }
    readyZip();
    // The set's last piece is always a ".zip", so that its parts are name.z01, name.z02 ...
    const QString archive = packaging::ZipArchiveName(name);
    if (!Zip->create(archive, true, partSize)) {
        cutGridToHeader();
        ui().msgBox(QStringLiteral("The archive ") + archive + QStringLiteral(" could not be created: ") + Zip->lastError(),
                    vb::vbOKOnly + vb::vbCritical);
    }
}

void frmNewZip::mnuOpen_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    FileDialogRequest request;
    const QString path = ui().openFile(request);
    if (path.isEmpty())
        return;
    LastDialogFile = path;
    readyZip();
    if (!Zip->open(path)) {
        ui().msgBox(QStringLiteral("The archive ") + path + QStringLiteral(" could not be opened: ") + Zip->lastError(),
                    vb::vbOKOnly + vb::vbCritical);
        cutGridToHeader();
        return;
    }
    setWindowTitle(QStringLiteral("Archive - ") + path);
    renameParts(path);
    FillFileGrid();
}

void frmNewZip::renameParts(const QString& archivePath)
{
    if (!packaging::HasPartBase(archivePath))
        return; // no base to name parts after
    bool renamed = false;
    for (int i = 1; i <= 99; ++i) {
        const QString part = packaging::SplitPartName(archivePath, i);
        if (!FileExists(part))
            break;
        const QString target = packaging::RenamedPartName(archivePath, i);
        const QString nativeTarget = platform::nativePath(target);
        if (platform::nameTaken(nativeTarget)) {
            exclaim(QStringLiteral("The part ") + target
                        + QStringLiteral(" already exists; the parts were not renamed further."));
            break;
        }
        if (!platform::renameFile(platform::nativePath(part), nativeTarget, platform::RenameMode::KeepExisting))
            break;
        renamed = true;
    }
    // The set's pieces now go by their new names: read them afresh.
    if (renamed && Zip->isSplit())
        Zip->open(archivePath);
}

void frmNewZip::mnuClose_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    if (Zip && !Zip->isClosed()) {
        Zip->close();
        cutGridToHeader();
    }
}

void frmNewZip::mnuAdd_Click()
{
    const CommandStart start(this, Needs::ArchiveToAdd);
    if (!start)
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Choose File(s) to Add");
    request.fileName = QStringLiteral("*.*");
    const QStringList files = ui().openFiles(request);
    if (files.isEmpty())
        return;
    for (const QString& file : files) {
        if (UseRelativePaths) {
            // One file keeps its folder; several keep two folder levels, as the dialog's two
            // forms of result always did.
            bool ok = false;
            const QString base = files.size() == 1 ? beforeSeparatorFromEnd(file, 2, &ok)
                                                   : beforeSeparatorFromEnd(file, 3, &ok);
            if (!ok) {
                reportAddFailure(file, QStringLiteral("its path has too few folders to keep"));
                FillFileGrid();
                return;
            }
            BasePath = base;
            Zip->setBasePath(BasePath);
        }
        if (!Zip->addFile(file, Fullpath, CompressionLevel)) {
            reportAddFailure(file, Zip->lastError());
            FillFileGrid();
            return;
        }
    }
    commitAdds();
    FillFileGrid();
}

void frmNewZip::mnuAddFold_Click()
{
    const CommandStart start(this, Needs::ArchiveToAdd);
    if (!start)
        return;
    const QString folder = BrowseForFolder(QStringLiteral("Select folder to add"));
    ui().setMousePointer(vb::vbHourglass);
    if (!folder.isEmpty()) {
        if (UseRelativePaths) {
            bool ok = false;
            const QString parent = beforeSeparatorFromEnd(folder, 1, &ok);
            Zip->setBasePath(ok ? parent : QString());
        }
        const bool added = WildcardPattern.isEmpty()
                               ? Zip->addFolder(folder, IncludeSubDirs, Fullpath, CompressionLevel)
                               : Zip->addFolder(folder, WildcardPattern, IncludeSubDirs, Fullpath, CompressionLevel);
        finishAdding(added, folder);
        FillFileGrid();
    }
    ui().setMousePointer(vb::vbDefault);
}

void frmNewZip::extractEntries(const QList<int>& indices, const QString& destination, bool whileCountLasts)
{
    ui().setMousePointer(vb::vbHourglass);
    QStringList notWritten;
    auto one = [&](int index) {
        if (!Zip->extract(index, destination)) {
            const packaging::ZipEntry e = Zip->entry(index);
            const QString name = e.valid ? shownName(e.name) : QStringLiteral("#") + QString::number(index);
            notWritten << name + QStringLiteral(": ") + Zip->lastError();
        }
    };
    if (whileCountLasts) {
        for (int index = 0; index < Zip->fileCount(); ++index)
            one(index);
    } else {
        for (int index : indices)
            one(index);
    }
    ui().setMousePointer(vb::vbDefault);
    if (notWritten.isEmpty()) {
        SB1[1]->setText(QStringLiteral("Extract Completed"));
    } else {
        exclaim(QStringLiteral("These entries were not written to ") + destination + QStringLiteral(":\n")
                    + notWritten.join(QLatin1Char('\n')));
    }
}

bool frmNewZip::confirmDestination(const QString& prompt)
{
    const QString chosen = BrowseForFolder(QStringLiteral("Select destination directory"));
    if (!chosen.isEmpty())
        DestinationFolder = chosen;
    const QString answer = ui().inputBox(prompt, QStringLiteral("Confirm Save Path"), DestinationFolder, kInputBoxPlace);
    if (answer.isEmpty())
        return false;
    DestinationFolder = answer;
    return true;
}

void frmNewZip::mnuExt_Click()
{
    const CommandStart start(this, Needs::ArchiveToExtract);
    if (!start)
        return;
    if (confirmDestination(QStringLiteral("Save to: ")))
        extractEntries({}, DestinationFolder, true);
}

void frmNewZip::mnuExtSel_Click()
{
    const CommandStart start(this, Needs::ArchiveToExtract);
    if (!start)
        return;
    if (!confirmDestination(QStringLiteral("Save Selected Files to: ")))
        return;
    QList<int> rows;
    for (const QModelIndex& index : VsFg1->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<int> indices;
    for (int row : rows) {
        bool ok = false;
        const int index = VsFg1->item(row, 0) ? VsFg1->item(row, 0)->text().toInt(&ok) : 0;
        if (ok)
            indices << index;
    }
    extractEntries(indices, DestinationFolder, false);
}

void frmNewZip::mnuExtCur_Click()
{
    const CommandStart start(this, Needs::ArchiveToExtract);
    if (!start)
        return;
    if (LastDialogFile.isEmpty())
        return;
    bool ok = false;
    const QString folder = beforeSeparatorFromEnd(LastDialogFile, 1, &ok);
    if (!ok)
        return;
    extractEntries({}, folder, true);
}

void frmNewZip::mnuFind_Click()
{
    const CommandStart start(this, Needs::ArchiveToSearch);
    if (!start)
        return;
    const QString name = ui().inputBox(QStringLiteral("Filename: "), QStringLiteral("Search For"), QString(), kFindFilePlace);
    if (name.isEmpty())
        return;
    const int index = Zip->find(name, !Fullpath);
    cutGridToHeader();
    if (index == -1) {
        exclaim(QStringLiteral("The file  ") + name + QLatin1Char('\n') + QStringLiteral("was not found."));
        return;
    }
    const packaging::ZipEntry e = Zip->entry(index);
    SB1[1]->setText(shownName(e.name));
    appendRow(archiveRow(index, e));
}

void frmNewZip::mnuFindFiles_Click()
{
    const CommandStart start(this, Needs::ArchiveToSearch);
    if (!start)
        return;
    const QString pattern = ui().inputBox(QStringLiteral("Pattern: "), QStringLiteral("Search For"), QString(), kInputBoxPlace);
    if (pattern.isEmpty())
        return;
    const QList<int> found = Zip->findPattern(pattern);
    cutGridToHeader();
    for (int index : found) {
        const packaging::ZipEntry e = Zip->entry(index);
        SB1[1]->setText(shownName(e.name));
        appendRow(archiveRow(index, e));
    }
}

void frmNewZip::Command2_Click()
{
    const CommandStart start(this, Needs::Nothing);
    if (!start)
        return;
    const bool multi = Check2->isChecked();
    const qint64 partSize = multi ? partSizeOf(Text2->text()) : 0;
    if (multi && partSize <= 0) {
        exclaim(QStringLiteral("You have selected 'Produce multiple Zips', but have not entered a") + QLatin1Char('\n')
                    + QStringLiteral("                     file size. Please do so, then try again."));
        return;
    }
    if (!checkPackageFolder())
        return;
    FileDialogRequest request;
    if (!multi)
        request.filter = QStringLiteral("Zip|*.zip");
    const QString name = ui().saveFile(request);
    if (name.isEmpty())
        return;
    LastDialogFile = name;
    const QString archive = packaging::ZipArchiveName(name);
    ui().setMousePointer(vb::vbHourglass);
    readyZip();
    // A single archive is shown by the name as typed, a set by the name of its last piece.
    Label4->setText(QStringLiteral("Zip File name:  ") + (multi ? archive : name));
    ui().doEvents();
    if (!Zip->create(archive, multi, partSize)) {
        cutGridToHeader();
        ui().setMousePointer(vb::vbDefault);
        ui().msgBox(QStringLiteral("The archive ") + archive + QStringLiteral(" could not be created: ") + Zip->lastError(),
                    vb::vbOKOnly + vb::vbCritical);
        return;
    }
    const QString folder = packageFolderPath();
    bool ok = false;
    BasePath = beforeSeparatorFromEnd(folder, 1, &ok);
    Zip->setBasePath(BasePath);
    finishAdding(Zip->addFolder(folder, IncludeSubDirs, Fullpath, CompressionLevel), folder);
    ui().doEvents();
    FillFileGrid();
    ui().setMousePointer(vb::vbDefault);
}

void frmNewZip::Check1_Click(int index)
{
    const Qt::CheckState state = Check1[size_t(index)]->checkState();
    switch (index) {
    case 0:
        if (state == Qt::Checked) {
            Fullpath = true;
            Check1[2]->setCheckState(Qt::Unchecked);
            BasePath.clear();
        } else if (state == Qt::Unchecked) {
            Fullpath = false;
        }
        break;
    case 1:
        IncludeSubDirs = state != Qt::Unchecked;
        break;
    case 2:
        if (state == Qt::Unchecked) {
            UseRelativePaths = false;
            BasePath.clear();
        } else if (state == Qt::Checked) {
            UseRelativePaths = true;
            Fullpath = false;
            Check1[0]->setCheckState(Qt::Unchecked);
        }
        break;
    default:
        break;
    }
}

void frmNewZip::mnuAddFiles_Click()
{
    Check1[1]->setCheckState(Qt::Checked);
    Check1[2]->setCheckState(Qt::Checked);
}

void frmNewZip::mnuProcess_Click()
{
    Check1[1]->setCheckState(Qt::PartiallyChecked);
    Check1[2]->setCheckState(Qt::PartiallyChecked);
}

void frmNewZip::Slider1_Change()
{
    CompressionLevel = Slider1->value();
    Label2->setText(QStringLiteral("Compression Level = ") + QString::number(CompressionLevel));
}

void frmNewZip::Text1_Change()
{
    WildcardPattern = Text1->text();
}

void frmNewZip::Zip_OnAdd(const QString& name)
{
    SB1[1]->setText(name);
}

void frmNewZip::Zip_OnExtract(const QString& name)
{
    SB1[1]->setText(name);
    const int count = Zip ? Zip->fileCount() : 0;
    if (count > 0) {
        const double p = double(ExtractCounter) * 100.0 / double(count);
        if (p <= 100.0)
            PB1->setValue(int(std::lround(p)));
    }
    ++ExtractCounter;
}
