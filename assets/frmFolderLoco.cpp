#include "assets/frmFolderLoco.h"

#include "assets/LocoFolder.h"
#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "common/WindowPartsWidgets.h"
#include "common/frmReport.h"
#include "platform/OneWindow.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

platform::OneWindow<frmFolderLoco> theWindow;

// Lists the files the rename walk left in the report window, beside this one.
void showRenameReport(const assets::SampleRenameResult& renamed)
{
    frmReport& report = frmReport::instance();
    report.setWindowTitle(assets::sampleRenameReportCaption());
    report.RTB1->hide();
    report.List1->show();
    report.List1->clear();
    report.List1->addItems(assets::sampleRenameReport(renamed));
    report.showReport(false);
}

} // namespace

frmFolderLoco& frmFolderLoco::showWindow(QWidget* parent)
{
    return theWindow.show([parent] { return platform::deletedOnClose(new frmFolderLoco(parent)); });
}

frmFolderLoco* frmFolderLoco::existing()
{
    return theWindow.loaded();
}

frmFolderLoco::frmFolderLoco(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmFolderLoco"));
    setWindowTitle(QStringLiteral("Select your Diesel, Electric or Steam Folder"));
    resize(620, 440);

    Drive1 = windowparts::makeNamed<DriveListWidget>(this, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir1");
    File1 = windowparts::makeNamed<QListWidget>(this, "File1");
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Label1 = new QLabel(QStringLiteral("Loco Name must be same as .IGS file"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Copy Files"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"));

    auto* folders = new QVBoxLayout;
    folders->addWidget(Drive1);
    folders->addWidget(Dir1, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(folders, 1);
    lists->addWidget(File1, 1);
    auto* name = new QHBoxLayout;
    name->addWidget(Label1);
    name->addWidget(Text2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(Text1);
    layout->addLayout(name);
    layout->addLayout(buttons);

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    platform::openOnScreen(this);

    Form_Load();
}

frmFolderLoco::~frmFolderLoco() = default;

void frmFolderLoco::Form_Load()
{
    const QString gamePath = shared().GamePath;
    // The list opens at the game's "Source" folder.
    try {
        Drive1->showGameFolder(*Dir1, gamePath, QStringLiteral("Source"));
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Form_Load"));
    }
    Dir1_Change();
}

void frmFolderLoco::Drive1_Change()
{
    // The folder list goes to the chosen drive; a drive that cannot be opened leaves both lists
    // where they were.
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_Change"), [this] {
        Drive1->showIn(*Dir1);
        Dir1_Change();
    });
}

void frmFolderLoco::Dir1_Change()
{
    const QString path = Dir1->path();
    Text1->setText(path);
    File1->clear();
    if (path.isEmpty())
        return;
    const QDir dir(platform::nativePath(path));
    File1->addItems(dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase));
}

void frmFolderLoco::showFolder(const QString& path)
{
    // The tree lists each folder once; the new folder shows after a fresh listing.
    Dir1->setRoot(Dir1->root(), Dir1->topLevelItemCount() > 0 ? Dir1->topLevelItem(0)->text(0) : QString());
    Dir1->setPath(path);
    Dir1_Change();
}

void frmFolderLoco::Command1_Click()
{
    if (busy_)
        return;
    busy_ = true;
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    assets::SampleRenameResult renamed;
    const QString name = Text2->text();
    const QString folder = assets::copyLocoFiles(Text1->text(), name, renamed);
    busy_ = false;
    // Closed meanwhile, the window is left as it is; the copy's own results still count.
    const bool closed = platform::isUnloaded(this);
    if (!closed) {
        Command1->setEnabled(true);
        Command2->setEnabled(true);
    }
    if (folder.isEmpty())
        return;
    LocoName = name;
    LocoFolder = folder;
    if (!closed) {
        showFolder(folder);
        ui().doEvents();
    }
    if (!renamed.empty())
        showRenameReport(renamed);
}

void frmFolderLoco::Command2_Click()
{
    if (!busy_)
        close();
}

void frmFolderLoco::closeEvent(QCloseEvent* event)
{
    if (busy_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}
