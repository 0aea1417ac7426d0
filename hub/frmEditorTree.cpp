// The tree page: the tree, its node menu ("Nodes", also the tree's popup menu), and the
// attribute and text controls of the element picked. The edits themselves are
// hub/xml/TreeEditing's.

#include "hub/frmEditor.h"

#include "common/VbError.h"
#include "hub/TextPageWidget.h"
#include "hub/frmAddAttribute.h"
#include "hub/xml/TreeEditing.h"
#include "hub/xml/XmlTreeWidget.h"
#include "hub/xml/clsNodeAttributes.h"
#include "platform/Ui.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

void frmEditor::EnableAttributeControls(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{fraAttribs, fraChars, lblNames, lblValue, lblText, lstAttributes,
                                                      txtAttributeValue, txtCharacters, cmdAdd, cmdDel, cmdRename})
        w->setEnabled(enabled);
    if (!enabled) {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->clear();
        txtCharacters->clearText();
        txtAttributeValue->clear();
    }
}

QString frmEditor::caption() const
{
    return windowTitle();
}

void frmEditor::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void frmEditor::setSaveEnabled(bool enabled)
{
    mnuFileSave->setEnabled(enabled);
}

void frmEditor::setSaveAsEnabled(bool enabled)
{
    mnuFileSaveAs->setEnabled(enabled);
}

void frmEditor::connectTreePage()
{
    connect(trevwContents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (selectingByCode_ == 0 && current)
            trevwContents_NodeClick(trevwContents->keyOfItem(current));
    });
    // A click on the item that is current already (after a search selected it).
    connect(trevwContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        const QString key = trevwContents->keyOfItem(item);
        if (!TreeDocument.currentIsElement() || TreeDocument.CurrentNode()->NodeKey().compare(key, Qt::CaseInsensitive) != 0)
            trevwContents_NodeClick(key);
    });
    trevwContents->setLabelEditHandler(
        [this](const QString& key, const QString& text) { return trevwContents_AfterLabelEdit(key, text); });
    trevwContents->viewport()->installEventFilter(this);

    connect(lstAttributes, &QListWidget::itemSelectionChanged, this, [this] { lstAttributes_Click(); });
    connect(txtAttributeValue, &QLineEdit::textChanged, this, [this] { txtAttributeValue_Change(); });
    connect(txtCharacters, &QPlainTextEdit::textChanged, this, [this] { txtCharacters_Change(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { cmdRename_Click(); });

    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Text2, &QLineEdit::returnPressed, this, [this] { Text2_KeyDown(13); });
}

bool frmEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (trevwContents && watched == trevwContents->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        trevwContents_MouseUp(mouse->button(), mouse->position().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmEditor::selectTreeItem(const QString& key)
{
    ++selectingByCode_;
    trevwContents->selectItem(key);
    --selectingByCode_;
}

void frmEditor::showCharacters(const QString& text)
{
    const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
    txtCharacters->loadText(text);
}

void frmEditor::trevwContents_NodeClick(const QString& key)
{
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->clear();
        txtAttributeValue->clear();
    }
    EnableAttributeControls(true);
    // They wait for an attribute to be picked.
    cmdDel->setEnabled(false);
    cmdRename->setEnabled(false);
    txtAttributeValue->setEnabled(false);

    const clsNode* node = TreeDocument.FindNodeByKey(key);
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->addItems(treeedit::AttributeNames(*node));
    }
    showCharacters(node->NodeCharacters());

    SetNodePopupMenu();
    mnuEditCopy->setEnabled(true);
}

void frmEditor::trevwContents_MouseUp(Qt::MouseButton button, const QPoint& position)
{
    if (button != Qt::RightButton)
        return;
    if (SetNodePopupMenu())
        mnuNodePopUp->popup(trevwContents->viewport()->mapToGlobal(position));
}

bool frmEditor::SetNodePopupMenu()
{
    if (!TreeDocument.currentIsElement()) {
        if (TreeDocument.DocumentElement()) {
            // No element is current: nothing for the node commands to act on.
            mnuNodePopUpNew->setEnabled(false);
            mnuNodePopupRename->setEnabled(false);
            mnuNodePopUpDelete->setEnabled(false);
            return false;
        }
        // An empty document: the one useful command starts its document element.
        mnuNodePopUpNew->setText(QStringLiteral("&New Primary Node"));
        mnuNodePopUpNew->setEnabled(true);
        mnuNodePopupRename->setEnabled(false);
        mnuNodePopUpDelete->setEnabled(false);
        return true;
    }
    mnuNodePopUpNew->setText(QStringLiteral("&New Child Node"));
    mnuNodePopUpNew->setEnabled(true);
    mnuNodePopupRename->setEnabled(true);
    mnuNodePopUpDelete->setEnabled(true);
    return true;
}

void frmEditor::mnuNodePopUp_Click()
{
    SetNodePopupMenu();
}

void frmEditor::mnuNodePopUpNew_Click()
{
    if (isBusy() || !SetNodePopupMenu())
        return;
    try {
        const QString caption = mnuNodePopUpNew->text();
        QString key;
        ++selectingByCode_;
        if (caption.compare(QLatin1String("&New Primary Node"), Qt::CaseInsensitive) == 0)
            key = treeedit::NewPrimaryNode(TreeDocument);
        else if (caption.compare(QLatin1String("&New Child Node"), Qt::CaseInsensitive) == 0)
            key = treeedit::NewChildNode(TreeDocument, *TreeDocument.CurrentNode());
        --selectingByCode_;
        if (key.isEmpty())
            return;
        // The frames show the new element, and the name typed next names it.
        trevwContents_NodeClick(key);
        ++selectingByCode_;
        trevwContents->editItemLabel(key);
        --selectingByCode_;
        TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuNodePopUpNew_Click", e.number);
    }
}

void frmEditor::mnuNodePopupRename_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement())
        return;
    // The label of the current element's own item.
    ++selectingByCode_;
    trevwContents->editItemLabel(TreeDocument.CurrentNode()->NodeKey());
    --selectingByCode_;
}

bool frmEditor::trevwContents_AfterLabelEdit(const QString& key, const QString& newText)
{
    const treeedit::Refusal refused = treeedit::CheckNodeName(newText);
    if (refused) {
        ui().msgBox(refused.text, refused.style, refused.title);
        SetNodePopupMenu();
        return false;
    }
    // The element of the edited item, found by its key.
    clsNode* node = TreeDocument.NodeByKey(key);
    if (!node) {
        SetNodePopupMenu();
        return false;
    }
    node->setNodeName(newText);
    TreeDocument.SetModified(true);
    SetNodePopupMenu();
    return true;
}

void frmEditor::mnuNodePopUpDelete_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement())
        return;
    clsNode* node = TreeDocument.CurrentNode();
    try {
        if (node != TreeDocument.DocumentElement()) {
            if (node->ChildNodes() && node->ChildNodes()->Count() > 0) {
                const int answer = ui().msgBox(QStringLiteral("Delete this node and all child nodes?"),
                                               vb::vbYesNo + vb::vbQuestion, QStringLiteral("Confirm Child Bearing Node"));
                if (answer != vb::vbYes)
                    return;
            }
            ++selectingByCode_;
            const bool deleted = treeedit::DeleteChildElement(TreeDocument, *node);
            --selectingByCode_;
            if (!deleted)
                return;
        } else {
            const int answer = ui().msgBox(QStringLiteral("Deleting this node will remove all entries. Are you \r\n"
                                                          "sure you want to do this?"),
                                           vb::vbYesNo + vb::vbQuestion, QStringLiteral("Confirm Primary node deletion."));
            if (answer != vb::vbYes)
                return;
            ++selectingByCode_;
            TreeDocument.ClearDocument();
            --selectingByCode_;
        }
        EnableAttributeControls(false);
        TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuNodePopUpDelete_Click", e.number);
    }
}

void frmEditor::mnuEditCopy_Click()
{
    if (!TreeDocument.currentIsElement())
        return;
    treeedit::CopyToClipboard(TreeDocument, *TreeDocument.CurrentNode());
    mnuEditPaste->setEnabled(true);
}

void frmEditor::mnuEditPaste_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement() || !TreeDocument.ClipboardNode())
        return;
    try {
        ++selectingByCode_;
        const QString key = treeedit::PasteClipboard(TreeDocument, *TreeDocument.CurrentNode());
        --selectingByCode_;
        if (!key.isEmpty())
            TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuEditPaste_Click", e.number);
    }
}

namespace {

// The list entry selected, counted from 0; -1 when none is.
int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

} // namespace

void frmEditor::lstAttributes_Click()
{
    const int row = selectedRow(lstAttributes);
    if (row < 0 || TreeDocument.UpdatingControls)
        return;
    const clsNodeAttributes* attributes = TreeDocument.CurrentNode()->NodeAttributes();
    if (!attributes || row >= attributes->Count())
        return;
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        txtAttributeValue->setText(attributes->Item(row + 1)->AttribValue());
    }
    cmdDel->setEnabled(true);
    cmdRename->setEnabled(true);
    txtAttributeValue->setEnabled(true);
}

void frmEditor::txtAttributeValue_Change()
{
    // Filling the box is no edit: only the user's typing reaches the document.
    if (TreeDocument.UpdatingControls || !TreeDocument.currentIsElement())
        return;
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes = TreeDocument.CurrentNode()->NodeAttributes();
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    attributes->Item(row + 1)->setAttribValue(txtAttributeValue->text());
    TreeDocument.SetModified(true);
}

void frmEditor::txtCharacters_Change()
{
    if (TreeDocument.UpdatingControls || !TreeDocument.currentIsElement())
        return;
    TreeDocument.CurrentNode()->setNodeCharacters(txtCharacters->text());
    TreeDocument.SetModified(true);
}

void frmEditor::cmdAdd_Click()
{
    if (!TreeDocument.currentIsElement())
        return;
    clsNode* node = TreeDocument.CurrentNode();
    frmAddAttribute dialog(this);
    dialog.setExistingNames(treeedit::AttributeNames(*node));
    ui().showModal(&dialog);
    if (dialog.Cancelled())
        return;
    if (!node->NodeAttributes())
        node->setNodeAttributes(std::make_unique<clsNodeAttributes>());
    node->NodeAttributes()->Add(dialog.txtName->text(), dialog.txtValue->text());
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->addItem(dialog.txtName->text());
    }
    TreeDocument.SetModified(true);
}

void frmEditor::cmdDel_Click()
{
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes =
        TreeDocument.currentIsElement() ? TreeDocument.CurrentNode()->NodeAttributes() : nullptr;
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    attributes->Remove(row + 1);
    {
        // No other entry becomes selected by the removal.
        const QSignalBlocker blocker(lstAttributes);
        delete lstAttributes->takeItem(row);
        lstAttributes->clearSelection();
        lstAttributes->setCurrentRow(-1);
    }
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        txtAttributeValue->clear();
    }
    cmdRename->setEnabled(false);
    cmdDel->setEnabled(false);
    txtAttributeValue->setEnabled(false);
    TreeDocument.SetModified(true);
}

void frmEditor::cmdRename_Click()
{
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes =
        TreeDocument.currentIsElement() ? TreeDocument.CurrentNode()->NodeAttributes() : nullptr;
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    const QString old = lstAttributes->item(row)->text();
    const QString answer = ui().inputBox(QStringLiteral("Please enter the new name for the attribute:"),
                                         QStringLiteral("Rename Attribute"), old);
    // A change of letter case alone changes nothing.
    if (answer.isEmpty() || answer.compare(old, Qt::CaseInsensitive) == 0)
        return;
    const treeedit::Refusal refused =
        treeedit::CheckAttributeRename(answer, treeedit::AttributeNames(*TreeDocument.CurrentNode()), row + 1);
    if (refused) {
        ui().msgBox(refused.text, refused.style, refused.title);
        return;
    }
    lstAttributes->item(row)->setText(answer);
    attributes->Item(row + 1)->setAttribName(answer);
    TreeDocument.SetModified(true);
}
