#include "packaging/frmFolder4.h"

#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "common/WindowPartsWidgets.h"
#include "packaging/ReskinPackage.h"
#include "packaging/frmNewZip.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

void frmFolder4::showModalWindow(QWidget* parent)
{
    QPointer<frmFolder4> window = new frmFolder4(parent);
    ui().showModal(window);
    delete window.data();
}

frmFolder4::frmFolder4(QWidget* parent)
    : QWidget(parent, Qt::Window), package_(std::make_unique<packaging::ReskinPackage>())
{
    setObjectName(QStringLiteral("frmFolder4"));
    setWindowTitle(QStringLiteral("Select Folder containing your Assets"));
    resize(720, 480);

    Drive1 = windowparts::makeNamed<DriveListWidget>(this, "Drive1");
    Label1 = new QLabel(QStringLiteral("Folder to be Packaged"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Text1->setReadOnly(true);
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir1");
    Label2 = new QLabel(QStringLiteral("Reskinned from:-"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Text2->setReadOnly(true);
    Dir2 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir2");
    Command5 = windowparts::makeButton(this, QStringLiteral("Command5"), QStringLiteral("Process"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"));

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 1, 0);
    grid->addWidget(Dir1, 2, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Dir2, 2, 1);
    grid->setRowStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command5);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    auto* drives = new QHBoxLayout;
    drives->addWidget(Drive1);
    drives->addStretch(1);
    layout->addLayout(drives);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Dir2, &FolderTreeWidget::folderChosen, this, [this] { Dir2_Click(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    platform::openOnScreen(this);

    Form_Load();
}

frmFolder4::~frmFolder4() = default;

void frmFolder4::Form_Load()
{
    const SharedState& s = shared();
    // Both trees open on the drive that holds the game (drive c: without a game): at its
    // "Assets" for a package of assets, the first at its routes for a package of scenarios,
    // otherwise at the drive's folder.
    const QString game = s.GamePath;
    QString folder1;
    if (!game.isEmpty() && s.PackageScenariosMode)
        folder1 = QStringLiteral("Content\\Routes");
    else if (!game.isEmpty() && s.PackageAssetsMode)
        folder1 = QStringLiteral("Assets");
    const QString folder2 = !game.isEmpty() && s.PackageAssetsMode ? QStringLiteral("Assets") : QString();
    const auto open = [&](FolderTreeWidget& tree, const QString& folder) {
        if (folder.isEmpty()) {
            Drive1->setDriveOf(game.isEmpty() ? QStringLiteral("C:\\") : game);
            Drive1->showIn(tree);
        } else {
            Drive1->showGameFolder(tree, game, folder);
        }
    };
    try {
        open(*Dir1, folder1);
        open(*Dir2, folder2);
    } catch (const VbError&) {
        // The drive cannot be opened now: the trees hold the game folder (or the program's).
        const QString root = game.isEmpty() ? platform::programFolder() : game;
        Dir1->setRoot(root);
        Dir2->setRoot(root);
        if (!folder1.isEmpty())
            Dir1->setPath(game + QLatin1Char('\\') + folder1);
        if (!folder2.isEmpty())
            Dir2->setPath(game + QLatin1Char('\\') + folder2);
    }
    try {
        package_->load();
        if (!EnsureTempFiles())
            throw VbError(75);
        ui().doEvents();
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Form_Load"));
    }
}

void frmFolder4::Form_Unload()
{
    shared().PackageAssetsMode = false;
    shared().PackageScenariosMode = false;
}

void frmFolder4::Drive1_Change()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        Drive1->showIn(*Dir2);
        Text1->setText(Dir1->path());
        Text2->setText(Dir2->path());
    });
}

void frmFolder4::Dir1_Click()
{
    Text1->setText(Dir1->path());
    package_->setReskinFolder(Text1->text());
}

void frmFolder4::Dir2_Click()
{
    Text2->setText(Dir2->path());
}

void frmFolder4::Text2_Change() {}

void frmFolder4::Command5_Click()
{
    if (busy_)
        return;
    busy_ = true;
    Command5->setEnabled(false);
    Command2->setEnabled(false);
    Drive1->setEnabled(false);
    Dir1->setEnabled(false);
    Dir2->setEnabled(false);
    runGuarded(ErrorSpelling::Description, QStringLiteral("Command5_Click"), [this] {
        if (package_->Process(Text1->text(), Text2->text()))
            frmNewZip::openForPackage(shared().PackageFolder);
    });
    ui().doEvents();
    Command5->setEnabled(true);
    Command2->setEnabled(true);
    Drive1->setEnabled(true);
    Dir1->setEnabled(true);
    Dir2->setEnabled(true);
    busy_ = false;
}

void frmFolder4::Command2_Click()
{
    close();
}

void frmFolder4::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}
