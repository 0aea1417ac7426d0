// "Options" (the game's folder, the helper programs, the default page, clearing the page
// and the work folder, making the game's files writable) and "Help".

#include "hub/frmEditor.h"

#include "common/FileProcs.h"
#include "common/ProgramVersion.h"
#include "common/SharedState.h"
#include "hub/DeveloperSetup.h"
#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/PathLabelWidget.h"
#include "hub/TextPageWidget.h"
#include "hub/frmAbout.h"
#include "hub/frmEditorShared.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Ui.h"

#include <QFile>
#include <QLineEdit>
#include <QTabWidget>

using hub::editor::dialogRequest;

void frmEditor::mnuRSPath_Click()
{
    if (isBusy())
        return;
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your RailSim.exe File"),
                                                     QStringLiteral("RailSim Files (*.exe)|*.exe")));
    if (file.isEmpty())
        return;
    SharedState& s = shared();
    s.GamePath = hub::FolderOfPath(file);
    setWindowTitle(MainCaption(QStringLiteral("RS bin file editor and texture viewer"), s.GamePath));
    writeSettings();
    ui().doEvents();
}

// The three program pickers keep the path they had when the dialog is cancelled.
void frmEditor::mnuAcro_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Acrobat Reader"),
                                                     QStringLiteral("Acrobat Reader (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().AcrobatPath = file;
}

void frmEditor::mnuIRF_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Graphics Editor"),
                                                     QStringLiteral("Graphics Editor (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().TextureEditorPath = file;
}

void frmEditor::mnuViewer_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Graphics Viewer"),
                                                     QStringLiteral("Viewer (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().ViewerPath = file;
}

void frmEditor::mnuSelDefEdit_Click()
{
    const int answer = ui().msgBox(QStringLiteral("Do you wish to use the .XML editor as your Default Editor?"),
                                   vb::vbYesNo + vb::vbExclamation, Ui::programTitle());
    if (answer == vb::vbYes) {
        shared().XmlEditorDefault = true;
        SSTab1->setCurrentIndex(1);
    } else {
        shared().XmlEditorDefault = false;
        SSTab1->setCurrentIndex(0);
    }
}

void frmEditor::mnuURS_Click()
{
    shared().SessionEditor = 1;
    SSTab1->setCurrentIndex(0);
}

void frmEditor::mnuUXML_Click()
{
    shared().SessionEditor = 2;
    SSTab1->setCurrentIndex(1);
    ui().doEvents();
}

void frmEditor::mnuAbout_Click()
{
    ui().showModal(aboutWindow());
}

// ---------------------------------------------------------------------------------------
// Options: the page and the work folder

void frmEditor::mnuClear_Click()
{
    if (isBusy())
        return;
    // The page's XML work copy goes with the page, so that nothing of the file stays behind
    // to be loaded or saved by mistake.
    if (!WorkBase.isEmpty()) {
        const QString copy = WorkBase + QStringLiteral("xml");
        if (FileExists(copy) && !QFile::remove(platform::nativePath(copy)))
            showError(QStringLiteral("The work file ") + copy + QStringLiteral(" could not be deleted."));
        platform::clearPathCache();
    }
    RichTextBox1->clearText();
    Text1->clear();
    Label2->clear();
    // An empty page is no game file's text: saving it must not replace a game file.
    PageSource = Source::Nothing;
}

void frmEditor::mnuCTF_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    if (!hub::ResetTempFiles())
        showError(QStringLiteral("The work folder ") + hub::TempFilesFolder() + QStringLiteral(" could not be created."));
}

void frmEditor::mnuReadWrite_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::MakeAllFilesReadWrite();
}

// ---------------------------------------------------------------------------------------
// Help

void frmEditor::mnuContents_Click()
{
    const QString reader = shared().AcrobatPath;
    if (reader.isEmpty()) {
        exclaim(hub::HelpReaderMissingMessage());
        return;
    }
    QString error;
    if (platform::startDetached(hub::HelpCommandLine(reader), &error) == 0)
        showError(hub::HelpReaderFailedMessage(reader, error));
}
