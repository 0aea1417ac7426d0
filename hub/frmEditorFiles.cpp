// The two pages' Files menus: opening a game file, a texture or an XML file into the text
// page or the tree page, saving them back, printing, and leaving the program; with the text
// page's colouring. The conversions are hub/SingleFile's and hub/TreeFiles'.

#include "hub/frmEditor.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/PathLabelWidget.h"
#include "hub/TextPageWidget.h"
#include "hub/frmEditorShared.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>

using hub::editor::dialogRequest;

namespace {

const QString OpenRSFilter = QStringLiteral(
    "RS Files(*.bin;*.XSec;*.GeoPcDx;*.proxybin)|*.bin;*.XSec*;*.GeoPcDx;*.proxybin");
const QString OpenTexFilter = QStringLiteral("RS Files (*.TgPcDx)|*.TgPcDx");
const QString OpenXmlFilter = QStringLiteral("XML Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
const QString SaveXmlFilter = QStringLiteral("xml Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
const QString SaveAsFilter = QStringLiteral("KRS Files (*.*)|*.*");

// The print dialog of the program: the selection is offered when there is one, page
// numbers are not.
bool showPrintDialog(QPrinter& printer, bool hasSelection, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintSelection, hasSelection);
    dialog.setOptions(options);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The text page's files

bool frmEditor::chooseFileInWork(const QString& title, const QString& filter)
{
    // A file named on the command line is taken once without asking.
    SharedState& s = shared();
    if (s.SkipOpenDialog)
        return true;
    // A cancelled dialog keeps the file in work.
    const QString chosen = ui().openFile(dialogRequest(title, filter, s.GamePath));
    if (chosen.isEmpty())
        return false;
    s.CurrentFile = chosen;
    return true;
}

void frmEditor::showFileInWork()
{
    SharedState& s = shared();
    Text1->setText(s.CurrentFile);
    Label2->setText(s.CurrentFile);
    s.SkipOpenDialog = false;
    ui().doEvents();
}

void frmEditor::mnuOpenRS_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(WorkBase + QStringLiteral("xml")))
            return;
        TreeLoaded = false;

        // The page keeps its text, its file and its work copies until a file is chosen.
        if (!chooseFileInWork(QStringLiteral("Open RailSim file"), OpenRSFilter))
            return;
        RichTextBox1->clearText();
        Text1->clear();
        Label2->clear();
        PageSource = Source::Nothing;

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        QString xml;
        lastGameOpen_ = hub::TreeGameOrigin();
        const ConversionResult opened = OpenGameFile(s.CurrentFile, xml);
        if (!opened) {
            showError(opened.error);
            return;
        }
        lastGameOpen_ = hub::TreeGameOrigin{s.CurrentFile, WorkBase, s.CurrentFileExt};
        RichTextBox1->loadText(xml);
    } catch (const VbError& e) {
        showUnexpected("mnuOpenRS_Click", e.number);
    }
}

bool frmEditor::takeConvertedGameFile(const QString& gameFile, const QString& xml)
{
    if (isBusy())
        return false;
    SharedState& s = shared();
    const WorkFileNames names = SplitWorkFile(gameFile);
    const QString workBase = hub::TempFilesFolder() + QLatin1Char('\\') + names.WorkName;
    if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(workBase + QStringLiteral("xml")))
        return false;
    TreeLoaded = false;
    WorkName = names.WorkName;
    nameTreeWorkCopy(names.WorkName);
    WorkBase = workBase;
    s.CurrentFile = gameFile;
    s.CurrentFileExt = names.Extension;
    s.TempXmlPath = workBase + QStringLiteral("xml");
    PageSource = Source::GameFile;
    lastGameOpen_ = hub::TreeGameOrigin{gameFile, WorkBase, s.CurrentFileExt};
    showFileInWork();
    RichTextBox1->loadText(xml);
    // The tree page, when it is showing, shows the file its label names now.
    if (SSTab1->currentIndex() == hub::TreePage)
        SSTab1_Click();
    return true;
}

void frmEditor::mnuOpenTex_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open RS Texture files"), OpenTexFilter))
            return;

        BusyScope busy(this);
        BusyPointer pointer;
        // The page keeps its text until the texture is converted; when that fails, the
        // page and its path stay as they were.
        const QString previousPath = Text1->text();
        const QString previousLabel = Label2->text();
        showFileInWork();

        QString xml;
        const ConversionResult opened = OpenTexture(s.CurrentFile, xml);
        if (!opened) {
            Text1->setText(previousPath);
            Label2->setText(previousLabel);
            showError(opened.error);
            return;
        }
        RichTextBox1->loadText(xml);
        Command7->setVisible(true);
    } catch (const VbError& e) {
        showUnexpected("mnuOpenTex_Click", e.number);
    }
}

void frmEditor::mnuXML_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open .xml file"), OpenXmlFilter))
            return;
        // The file also replaces the tree page's document: unsaved edits there are offered
        // for saving first, and Cancel ends the command.
        if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(s.CurrentFile)) {
            s.SkipOpenDialog = false;
            return;
        }

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        // The copy may take the name of the last game file's work copy, which then no
        // longer holds that game file's XML.
        lastGameOpen_ = hub::TreeGameOrigin();
        QString xml, copy;
        const ConversionResult opened = OpenXmlFile(s.CurrentFile, xml, copy);
        if (!opened) {
            RichTextBox1->clearText();
            Text1->clear();
            Label2->clear();
            showError(opened.error);
            return;
        }
        RichTextBox1->loadText(xml);

        if (TreeHooks.LoadXmlFile) {
            TreeHooks.LoadXmlFile(copy);
            // The tree is named by the copy; what it holds belongs to the file.
            treeXmlFile_ = s.CurrentFile;
            treeXmlCopy_ = copy;
        }
        // The tree now holds this file; showing the tree page must not replace it with the
        // work copy of an earlier game file.
        TreeLoaded = true;
        ui().doEvents();
    } catch (const VbError& e) {
        showUnexpected("mnuXML_Click", e.number);
    }
}

void frmEditor::Command1_Click()
{
    if (isBusy())
        return;
    // The colouring is a view of the text: switching it either way leaves what is saved as it was.
    const QString caption = Command1->text();
    if (caption.compare(QStringLiteral("Highlight XML"), Qt::CaseInsensitive) == 0) {
        Command1->setText(QStringLiteral("Unhighlight XML"));
        RichTextBox1->setSelStart(0);
        RichTextBox1->setSelLength(RichTextBox1->shownText().size());
        colorhtml();
        RichTextBox1->setSelStart(1);
    } else if (caption.compare(QStringLiteral("Unhighlight XML"), Qt::CaseInsensitive) == 0) {
        Command1->setText(QStringLiteral("Highlight XML"));
        RichTextBox1->uncolourXml();
        QFont textFont = RichTextBox1->font();
        textFont.setPointSize(11);
        RichTextBox1->setFont(textFont);
    }
}

void frmEditor::colorhtml()
{
    if (RichTextBox1->SelLength() < 1) {
        ui().msgBox(QStringLiteral("No text selected"), vb::vbOKOnly, Ui::programTitle());
        return;
    }
    // The colours follow the text line by line, so the whole text is coloured (and stays
    // coloured while it is edited), whatever part of it is selected.
    RichTextBox1->colourXml(SyntaxColours);
}

void frmEditor::mnuSaveRS_Click()
{
    if (isBusy())
        return;
    try {
        BusyScope busy(this);
        BusyPointer pointer;
        const ConversionResult saved = SaveGameFile(RichTextBox1->text(), Text1->text());
        if (!saved) {
            setStatusPanelText(3, QStringLiteral("Not saved"));
            showError(saved.error);
        }
    } catch (const VbError& e) {
        setStatusPanelText(3, QStringLiteral("Not saved"));
        showUnexpected("mnuSaveRS_Click", e.number);
    }
}

void frmEditor::mnuSavexml_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Save .xml format files"), SaveXmlFilter,
                                                     hub::TempFilesFolder()));
    if (file.isEmpty())
        return;
    QString why;
    if (!hub::WriteAnsiFile(file, RichTextBox1->text(), &why))
        showError(why.isEmpty() ? QStringLiteral("The file ") + file + QStringLiteral(" could not be written.") : why);
    ui().doEvents();
}

void frmEditor::mnuSaveAs_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Save KRS format files"), SaveAsFilter,
                                                     hub::TempFilesFolder()));
    if (file.isEmpty())
        return;
    QString why;
    if (!hub::WriteAnsiFile(file, RichTextBox1->text(), &why))
        showError(why.isEmpty() ? QStringLiteral("The file ") + file + QStringLiteral(" could not be written.") : why);
}

void frmEditor::mnuPrint_Click()
{
    if (isBusy())
        return;
    // The tabs leave the page for good, whether the print goes ahead or not.
    const QString text = RichTextBox1->text();
    if (text.contains(QLatin1Char('\t'))) {
        QString untabbed = text;
        untabbed.remove(QLatin1Char('\t'));
        RichTextBox1->loadText(untabbed);
    }

    const bool hasSelection = RichTextBox1->textCursor().hasSelection();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    const bool accepted =
        printDialog_ ? printDialog_(printer, hasSelection) : showPrintDialog(printer, hasSelection, this);
    if (!accepted)
        return;
    if (!printer.isValid())
        return;
    RichTextBox1->print(&printer);
}

void frmEditor::mnuExit_Click()
{
    if (isBusy())
        return;
    // Asked before the page is emptied: Cancel, or a save that failed, leaves both pages.
    if (!offerTreeSaveBeforeExit("mnuExit_Click"))
        return;
    RichTextBox1->clearText();
    ui().doEvents();
    exitAnswered_ = true;
    close();
    exitAnswered_ = false; // the window stayed (a conversion started meanwhile)
}

void frmEditor::mnuFileExit_Click()
{
    if (isBusy())
        return;
    close(); // the closing asks about the tree page's edits
}

// ---------------------------------------------------------------------------------------
// The tree page's files

void frmEditor::mnuOpenXCT_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!s.SkipOpenDialog) {
            const QString chosen = ui().openFile(dialogRequest(QStringLiteral("Select file to load"), OpenXmlFilter));
            if (chosen.isEmpty())
                return;
            if (!TreeDocument.PromptSaveAndReset(chosen))
                return;
            s.CurrentFile = chosen;
        } else {
            // The file named on the command line goes into the empty document of start-up.
            s.SkipOpenDialog = false;
        }
        forgetTreeOrigin();

        BusyPointer pointer;
        TreeDocument.clearCurrentNode();
        EnableAttributeControls(false);
        TreeDocument.TreeFileName = s.CurrentFile;
        Text1->setText(s.CurrentFile);
        Label2->setText(s.CurrentFile);
        TreeDocument.LoadXmlTree();
        setSaveAsEnabled(true);
        // The tree holds this file now: showing the tree page must not replace it.
        TreeLoaded = true;

        // The text page shows the file too; it holds no game file's text, so its game-file
        // save refuses it.
        PageSource = Source::XmlFile;
        QString text;
        if (hub::ReadAnsiFile(s.CurrentFile, text))
            RichTextBox1->loadText(text);
        else
            RichTextBox1->clearText();
    } catch (const VbError&) {
        // The command ends without a message.
    }
}

void frmEditor::mnuSaveXCT_Click()
{
    if (isBusy())
        return;
    TreeDocument.SaveXmlTree();
}

void frmEditor::mnuFileSaveAs_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Select Filename to Save As..."), SaveXmlFilter));
    if (file.isEmpty())
        return;
    if (FileExists(file) || QFileInfo::exists(platform::nativePath(file))) {
        const int answer = ui().msgBox(QStringLiteral("A file by that name already exists. Do you wish\r\n"
                                                      "to overwrite the file?"),
                                       vb::vbYesNo + vb::vbQuestion, QStringLiteral("File Already Exists"));
        if (answer != vb::vbYes)
            return;
    }
    const QString previous = TreeDocument.TreeFileName;
    TreeDocument.TreeFileName = file;
    // A save that failed leaves the document named as it was.
    if (!TreeDocument.SaveXmlTree())
        TreeDocument.TreeFileName = previous;
}

void frmEditor::mnuFileOpen_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open RailSim file"), OpenRSFilter))
            return;
        // The question comes before anything is converted, so that a Yes can never write
        // the old document over the new file's work copy.
        const QString workXml = hub::TempFilesFolder() + QLatin1Char('\\')
            + SplitWorkFile(s.CurrentFile).WorkName + QStringLiteral("xml");
        if (!TreeDocument.PromptSaveAndReset(workXml))
            return;
        forgetTreeOrigin();

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        // The tree holds this file (or, when it fails, nothing): showing the tree page must
        // not load another work copy.
        TreeLoaded = true;
        lastGameOpen_ = hub::TreeGameOrigin();
        QString xml;
        const ConversionResult opened = OpenGameFile(s.CurrentFile, xml);
        ui().doEvents();
        if (!opened) {
            RichTextBox1->clearText();
            showError(opened.error);
            return;
        }
        lastGameOpen_ = hub::TreeGameOrigin{s.CurrentFile, WorkBase, s.CurrentFileExt};

        TreeDocument.clearCurrentNode();
        EnableAttributeControls(false);
        TreeDocument.TreeFileName = WorkBase + QStringLiteral("xml");
        if (TreeDocument.LoadXmlTree())
            treeOrigin_ = lastGameOpen_;
        setSaveAsEnabled(true);
        RichTextBox1->loadText(xml);
    } catch (const VbError&) {
        // The command ends without a message.
    }
}

void frmEditor::mnuFileSave_Click()
{
    if (isBusy())
        return;
    // Only a document converted from a game file goes back into one: anything else would
    // put a stale work copy, or another file's XML, in place of the game file.
    if (!treeOrigin_.isSet() || !TreeDocument.TreeHasFile) {
        showError(QStringLiteral("The document on the XML Editor page was not converted from a RailSim file, so there "
                                 "is no RailSim file to save it into. Use \"Save .xml/.cost/.tgt file\" or \"Save .xml "
                                 "As\" to save it."));
        return;
    }
    const hub::TreeGameOrigin origin = treeOrigin_;
    try {
        BusyScope busy(this);
        BusyPointer pointer;
        hub::SaveTreeIntoGameFile(TreeDocument, origin);
    } catch (const VbError& e) {
        showUnexpected("mnuFileSave_Click", e.number);
    }
}
