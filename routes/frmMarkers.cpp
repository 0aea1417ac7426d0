#include "routes/frmMarkers.h"

#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "routes/MarkerTool.h"
#include "common/WindowPartsWidgets.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

void frmMarkers::showModalWindow(QWidget* parent)
{
    QPointer<frmMarkers> window = new frmMarkers(parent);
    ui().showModal(window);
    if (window) {
        window->close();
        delete window.data();
    }
}

frmMarkers::frmMarkers(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmMarkers"));
    resize(620, 460);

    Drive1 = windowparts::makeNamed<DriveListWidget>(this, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir1");
    File1 = windowparts::makeNamed<QListWidget>(this, "File1");
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Text1->setReadOnly(true);
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Label1 = new QLabel(QStringLiteral("Save In:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text3 = windowparts::makeNamed<QLineEdit>(this, "Text3");
    Text3->setReadOnly(true);
    Command4 = windowparts::makeButton(this, QStringLiteral("Command4"), QStringLiteral("Proceed"));
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Select All"));
    Command3 = windowparts::makeButton(this, QStringLiteral("Command3"), QStringLiteral("Process"));
    Command5 = windowparts::makeButton(this, QStringLiteral("Command5"), QStringLiteral("Process DCSV"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"));

    auto* lists = new QHBoxLayout;
    auto* folders = new QVBoxLayout;
    folders->addWidget(Drive1);
    folders->addWidget(Dir1, 1);
    lists->addLayout(folders, 1);
    auto* files = new QVBoxLayout;
    files->addWidget(File1, 1);
    files->addWidget(Text2);
    lists->addLayout(files, 1);
    auto* boxes = new QGridLayout;
    boxes->addWidget(Text1, 0, 0, 1, 2);
    boxes->addWidget(Label1, 1, 0);
    boxes->addWidget(Text3, 1, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command4, Command1, Command3, Command5})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    platform::openOnScreen(this);

    Form_Load();
}

frmMarkers::~frmMarkers() = default;

void frmMarkers::PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{
    tags::markerConverter::PutDetail(text, pos, tag, value);
}

void frmMarkers::Form_Load()
{
    try {
        SaveFolderSet = false;
        const SharedState& s = shared();
        mode_ = s.MarkerToolMode;
        if (mode_ == 2) {
            setWindowTitle(QStringLiteral("Select Folder containing your DCSV files"));
            Command1->setEnabled(true);
            Command5->setEnabled(true);
            Command3->hide();
            Command4->hide();
            Label1->hide();
            Text3->hide();
            Text2->setText(QStringLiteral("*.dcsv"));
        } else {
            setWindowTitle(QStringLiteral("Select Folder containing your Markers"));
            Command1->setEnabled(false);
            Command3->setEnabled(false);
            Command5->hide();
            Text2->setText(QStringLiteral("*.*"));
        }
        // The drive of the game (drive c: without a game); the folder list starts at the
        // drive's folder unless the package mode asks for a folder of the game.
        QString packageFolder;
        if (s.PackageAssetsMode)
            packageFolder = QStringLiteral("Assets");
        else if (s.PackageScenariosMode)
            packageFolder = QStringLiteral("Content\\Routes");
        if (!s.GamePath.isEmpty() && !packageFolder.isEmpty()) {
            Drive1->showGameFolder(*Dir1, s.GamePath, packageFolder);
        } else {
            if (s.GamePath.isEmpty())
                Drive1->setCurrentIndex(std::max(0, Drive1->findText(QStringLiteral("c:"))));
            else
                Drive1->setDriveOf(s.GamePath);
            Drive1->showIn(*Dir1);
        }
        Text1->setText(Dir1->path());
        listFiles();
        if (mode_ == 1) {
            ui().msgBox(routes::saveFolderPrompt(), vb::vbOKOnly + vb::vbInformation, Ui::programTitle());
            ui().doEvents();
        }
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Form_Load"));
    }
}

void frmMarkers::Form_Unload()
{
    SharedState& s = shared();
    s.PackageAssetsMode = false;
    s.PackageScenariosMode = false;
}

void frmMarkers::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMarkers::listFiles()
{
    File1->clear();
    File1->addItems(matchingFileNames(Dir1->path(), Text2->text()));
}

void frmMarkers::Dir1_Click()
{
    const QString folder = Dir1->path();
    const qsizetype at = vb::InStr(1, folder, QStringLiteral("Rail Simulator"));
    const QString item = at == 0 ? QString() : vb::Mid(folder, at);
    if (!FolderExists(folder)) {
        exclaim(QStringLiteral("strasset = ") + folder + QStringLiteral("\r\n") + QStringLiteral("stritem = ") + item);
        return;
    }
    if (mode_ == 1 && !SaveFolderSet)
        Text3->setText(folder);
    else
        Text1->setText(folder);
    listFiles();
    ClickedFolder = folder;
    ClickedItem = item;
}

void frmMarkers::Drive1_Change()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        Text1->setText(Dir1->path());
        listFiles();
    });
}

void frmMarkers::Text2_Change()
{
    if (Text2->text().isEmpty()) {
        Text2->setText(QStringLiteral("*.*")); // comes back here with the pattern
        return;
    }
    listFiles();
}

void frmMarkers::Command4_Click()
{
    if (Text3->text().isEmpty()) {
        exclaim(routes::noSaveFolderMessage());
        return;
    }
    SaveFolderSet = true;
    Text2->setText(QStringLiteral("*.kml;*.gpx;*.wpt;*.mkr"));
    const QString temp = TempFilesFolder();
    if (!FolderExists(temp)) {
        QDir().mkpath(platform::nativePath(temp));
        platform::clearPathCache();
    }
    Command1->setEnabled(true);
    Command3->setEnabled(true);
    ui().msgBox(routes::selectMarkersPrompt(), vb::vbOKOnly + vb::vbInformation, Ui::programTitle());
}

void frmMarkers::Command1_Click()
{
    File1->selectAll();
}

QStringList frmMarkers::selectedFiles() const
{
    QStringList names;
    for (int row = 0; row < File1->count(); ++row) {
        if (File1->item(row)->isSelected())
            names.append(File1->item(row)->text());
    }
    return names;
}

void frmMarkers::run(const char* handler, const std::function<void()>& work)
{
    if (busy_)
        return;
    busy_ = true;
    const QList<QPushButton*> commands{Command4, Command1, Command3, Command5, Command2};
    QList<bool> enabled;
    for (QPushButton* b : commands) {
        enabled.append(b->isEnabled());
        b->setEnabled(false);
    }
    const PointerKeeper pointer;
    runGuarded(ErrorSpelling::Description, QLatin1String(handler), work);
    for (qsizetype i = 0; i < commands.size(); ++i)
        commands[i]->setEnabled(enabled[i]);
    busy_ = false;
}

void frmMarkers::Command3_Click()
{
    run("Command3_Click", [this] { routes::convertMarkerFiles(Text1->text(), selectedFiles(), Text3->text()); });
}

void frmMarkers::Command5_Click()
{
    run("Command5_Click",
        [this] { routes::improveDcsvFiles(shared().GamePath, Text1->text(), selectedFiles()); });
}

void frmMarkers::Command2_Click()
{
    close();
}
