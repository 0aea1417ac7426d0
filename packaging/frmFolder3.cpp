#include "packaging/frmFolder3.h"

#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "packaging/PackageCommon.h"
#include "packaging/ScenarioPackage.h"
#include "packaging/frmNewZip.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "common/WindowPartsWidgets.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>

#include <exception>

void frmFolder3::showModalWindow(QWidget* parent)
{
    QPointer<frmFolder3> window = new frmFolder3(parent);
    ui().showModal(window);
    delete window.data();
}

frmFolder3::frmFolder3(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmFolder3"));
    setWindowTitle(QStringLiteral("Select Folder containing your Assets"));

    Drive1 = windowparts::makeNamed<DriveListWidget>(this, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir1");
    File1 = windowparts::makeNamed<QListWidget>(this, "File1");
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Text1->setReadOnly(true);
    List1 = windowparts::makeNamed<QListWidget>(this, "List1");
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Text3 = windowparts::makeNamed<QLineEdit>(this, "Text3");
    Text3->setReadOnly(true);
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Add to Package"));
    Command4 = windowparts::makeButton(this, QStringLiteral("Command4"), QStringLiteral("Remove from Package"));
    Command3 = windowparts::makeButton(this, QStringLiteral("Command3"), QStringLiteral("Process"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"));

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    layout_ = packaging::Folder3Design();
    resize(windowparts::toPixels(packaging::Folder3DesignWidth), windowparts::toPixels(packaging::Folder3DesignHeight));
    Form_Load();
    platform::openOnScreen(this);
}

frmFolder3::~frmFolder3() = default;

void frmFolder3::Form_Load()
{
    const SharedState& s = shared();
    try {
        // The game's "Assets" on the drive that holds it, or drive c: without a game.
        try {
            Drive1->showGameFolder(*Dir1, s.GamePath, QStringLiteral("Assets"));
        } catch (const VbError&) {
            Dir1->setRoot(s.GamePath.isEmpty() ? platform::programFolder() : s.GamePath); // the drive cannot be opened now
            if (!s.GamePath.isEmpty())
                Dir1->setPath(s.GamePath + QStringLiteral("\\Assets"));
        }
        Text1->setText(Dir1->path());
        Text2->setText(QStringLiteral("*.*"));
        Text2_Change();
        if (!EnsureTempFiles())
            throw VbError(76);
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Form_Load"));
    }
}

void frmFolder3::Form_Resize()
{
    packaging::LayOutFolder3(width() * TwipsPerPixel, height() * TwipsPerPixel, layout_);
    windowparts::place(Drive1, layout_.Drive1);
    windowparts::place(Text2, layout_.Text2);
    windowparts::place(Dir1, layout_.Dir1);
    windowparts::place(File1, layout_.File1);
    windowparts::place(Text1, layout_.Text1);
    windowparts::place(List1, layout_.List1);
    windowparts::place(Text3, layout_.Text3);
    windowparts::place(Command1, layout_.Command1);
    windowparts::place(Command2, layout_.Command2);
    windowparts::place(Command3, layout_.Command3);
    windowparts::place(Command4, layout_.Command4);
    // Captions wider than the drawn buttons widen the row of buttons, keeping its gaps.
    const int gap = Command4->x() - Command1->geometry().right() - 1;
    if (windowparts::widenToWidestCaption({Command1, Command4, Command3, Command2}) > 0)
        windowparts::spreadInRow({Command1, Command4, Command3, Command2}, gap);
}

void frmFolder3::Form_Unload()
{
    SharedState& s = shared();
    s.PackageAssetsMode = false;
    s.PackageScenariosMode = false;
}

void frmFolder3::Drive1_Change()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        Text1->setText(Dir1->path());
    });
}

void frmFolder3::Dir1_Click()
{
    const QString folder = Dir1->path();
    Text1->setText(folder);
    File1->clear();
    File1->addItems(matchingFileNames(folder, Text2->text()));
    const packaging::PackagedFolder chosen = packaging::PackagedFolderOf(shared().GamePath, folder);
    CurrentFolder = chosen.folder;
    CurrentRelPath = chosen.relPath;
}

void frmFolder3::Text2_Change()
{
    if (Text2->text().isEmpty()) {
        Text2->setText(QStringLiteral("*.*")); // comes back here through textChanged
        return;
    }
    File1->clear();
    File1->addItems(matchingFileNames(Dir1->path(), Text2->text()));
}

void frmFolder3::Command1_Click()
{
    if (busy_ || CurrentRelPath.isEmpty())
        return; // no folder of the game chosen yet
    SharedState& s = shared();
    const QString folderName = CurrentFolder.mid(CurrentFolder.lastIndexOf(QLatin1Char('\\')) + 1);
    const QString name = !packageName_.isEmpty() ? packageName_
                         : !s.PackageFolder.isEmpty()
                             ? s.PackageFolder
                             : packaging::PackageName(folderName, QStringLiteral("Package"));
    const QString program = platform::programFolder();
    const QString target = program + QLatin1Char('\\') + name + QLatin1Char('\\') + CurrentRelPath;
    for (const QString& path : {CurrentFolder, target}) {
        if (!packaging::BatchSafePath(path)) {
            exclaim(packaging::unsafePathMessage(path));
            return;
        }
    }
    packageName_ = name;
    s.PackageFolder = name;
    copyLines_.append(packaging::FolderCopyLine(CurrentFolder, program, name, CurrentRelPath));
    List1->addItem(CurrentRelPath);
}

void frmFolder3::Command4_Click()
{
    if (busy_)
        return;
    for (int row = List1->count() - 1; row >= 0; --row) {
        if (List1->item(row)->isSelected()) {
            delete List1->takeItem(row);
            copyLines_.removeAt(row);
        }
    }
}

void frmFolder3::Command3_Click()
{
    if (busy_)
        return;
    if (List1->count() == 0) {
        exclaim(packaging::emptyPackageMessage());
        return;
    }
    SharedState& s = shared();
    const bool scenarioMode = s.PackageScenariosMode;
    QStringList rows;
    for (int k = 0; k < List1->count(); ++k)
        rows.append(List1->item(k)->text());
    const QString program = platform::programFolder();
    const QString name = packageName_;
    const QString packagePath = program + QLatin1Char('\\') + name;
    s.PackageFolder = name;

    busy_ = true;
    const auto done = [this] { busy_ = false; };
    try {
        if (scenarioMode) {
            const packaging::PropertiesResult properties = packaging::ExtractScenarioProperties(rows.first(), rows);
            if (!properties.ok) {
                exclaim(packaging::indexNotConvertedMessage(properties.indexPath, properties.error));
                done();
                return;
            }
            if (!properties.missing.isEmpty())
                exclaim(packaging::propertiesMissingMessage(properties.missing));
        }
        packaging::RunPackageBatch(copyLines_.join(QString()));
        packaging::CopyInstaller(packagePath);
        if (scenarioMode) {
            if (!packaging::CopyReplacing(TempFilesPath(QStringLiteral("Scenario.zzz"), QStringLiteral("Tempfiles")),
                                          packagePath + QStringLiteral("\\Scenario.zzz")))
                throw VbError(53);
            packaging::WritePackageFile(packagePath + QStringLiteral("\\Scenario.yyy"),
                                        packaging::ScenarioYyyText(packaging::RouteFolderOfEntry(rows.first()), rows));
        } else {
            // The provider and product of the folder clicked last, whatever the rows hold.
            packaging::WritePackageFile(packagePath + QStringLiteral("\\AssetSetup.ggg"),
                                        packaging::AssetSetupLine(CurrentFolder) + QStringLiteral("\r\n"));
        }
    } catch (const VbError& e) {
        done();
        showHandlerError(ErrorSpelling::Description, e, QStringLiteral("Command3_click"));
        return;
    } catch (const std::exception&) {
        done();
        showHandlerError(ErrorSpelling::Description, VbError(51), QStringLiteral("Command3_click"));
        return;
    }
    done();
    // The package is made even when the window was closed meanwhile: its question comes all the
    // same, and neither answer needs the window.
    if (ui().msgBox(packaging::packageSavedQuestion(QStringLiteral("Assets"), packagePath),
                    vb::vbYesNo + vb::vbInformation)
        == vb::vbYes) {
        s.PackageFolder = name;
        frmNewZip::openForPackage(name);
    }
}

void frmFolder3::Command2_Click()
{
    close();
}

void frmFolder3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmFolder3::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}
