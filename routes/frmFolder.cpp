#include "routes/frmFolder.h"

#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "common/WindowPartsWidgets.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "routes/DeveloperFolders.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

void frmFolder::showModalWindow(QWidget* parent)
{
    QPointer<frmFolder> window = new frmFolder(parent);
    ui().showModal(window);
    delete window.data();
}

frmFolder::frmFolder(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmFolder"));
    resize(420, 420);

    Drive1 = windowparts::makeNamed<DriveListWidget>(this, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(this, "Dir1");
    Text1 = windowparts::makeNamed<QLineEdit>(this, "Text1");
    Text1->setReadOnly(true);
    Label1 = new QLabel(QStringLiteral("Enter Folder Name for Add-ON"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text2 = windowparts::makeNamed<QLineEdit>(this, "Text2");
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Confirm"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(Text1);
    layout->addWidget(Label1);
    layout->addWidget(Text2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    platform::openOnScreen(this);

    Form_Load();
}

frmFolder::~frmFolder() = default;

void frmFolder::Form_Load()
{
    const SharedState& s = shared();
    setWindowTitle(routes::folderPickerCaption(s.BlueprintPending, s.BlueprintMode));
    Label1->setVisible(!s.BlueprintPending);
    Text2->setVisible(!s.BlueprintPending);
    // The drive of the game, the folder list at its "Source".
    try {
        if (s.GamePath.isEmpty()) {
            // No game folder to start on: the list shows drive c: for the user to move on from.
            Drive1->setCurrentIndex(std::max(0, Drive1->findText(QStringLiteral("c:"))));
            Drive1->showIn(*Dir1);
            throw VbError(68);
        }
        Drive1->showGameFolder(*Dir1, s.GamePath, QStringLiteral("Source"));
        if (!FolderExists(s.GamePath + QStringLiteral("\\Source")))
            throw VbError(76);
        Text1->setText(Dir1->path());
    } catch (const VbError& e) {
        // Nothing is chosen until the user picks a folder.
        showHandlerError(ErrorSpelling::QuotedHandler, e, QStringLiteral("frmFolder"));
    }
}

void frmFolder::Drive1_Change()
{
    runGuarded(ErrorSpelling::QuotedHandler, QStringLiteral("frmFolder"), [this] {
        Drive1->showIn(*Dir1);
        Text1->setText(Dir1->path());
    });
}

void frmFolder::Dir1_Change()
{
    Text1->setText(Dir1->path());
}

void frmFolder::Command1_Click()
{
    SharedState& s = shared();
    if (s.BlueprintPending) {
        s.BlueprintFolder = Text1->text();
        close();
        return;
    }
    const QString folder = Text1->text();
    const QString name = Text2->text();
    if (folder.isEmpty()) {
        close(); // no folder chosen: nothing to make
        return;
    }
    if (!name.isEmpty() && !routes::IsNewFolderName(name)) {
        exclaim(routes::badAddOnNameMessage(name));
        return;
    }
    QString failed;
    try {
        if (!routes::makeAddOnFolders(folder, name, failed))
            exclaim(routes::folderNotMadeMessage(failed));
    } catch (const VbError& e) {
        // A path that cannot name a folder: the window stays for another one, as for a bad name.
        showHandlerError(ErrorSpelling::QuotedHandler, e, QStringLiteral("frmFolder"));
        return;
    }
    close();
}
