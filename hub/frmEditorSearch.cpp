// "Search and Replace" (the text page's search and the track swap, each a window of its
// own) and the tree page's search box, whose walk is hub/xml/TreeSearch's.

#include "hub/frmEditor.h"

#include "common/VbError.h"
#include "hub/dlgSearch.h"
#include "hub/dlgSwapTrack.h"
#include "hub/xml/TreeSearch.h"
#include "hub/xml/XmlTreeWidget.h"
#include "hub/TextPageWidget.h"
#include "platform/Ui.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScopedValueRollback>

// Search and Replace: both windows work on the text page beside the hub.

void frmEditor::mnuFind_Click()
{
    if (!isBusy())
        dlgSearch::showDialog(RichTextBox1, this);
}

void frmEditor::mnuSwap_Click()
{
    if (isBusy())
        return;
    ui().setMousePointer(vb::vbHourglass);
    dlgSwapTrack::showDialog(RichTextBox1, this);
    ui().setMousePointer(vb::vbDefault);
}

// ---------------------------------------------------------------------------------------
// The tree page's search

// The window as the searches see it.
class frmEditor::SearchHost : public TreeSearchHost {
public:
    explicit SearchHost(frmEditor* window) : w(window) {}

    void focusTree() override
    {
        ++w->selectingByCode_;
        w->trevwContents->setFocus();
        --w->selectingByCode_;
    }
    void selectItem(const QString& key, bool reveal) override
    {
        if (reveal) {
            w->selectTreeItem(key);
            return;
        }
        // Without scrolling the tree to it: the walk visits item after item.
        QTreeWidgetItem* item = w->trevwContents->itemForKey(key);
        if (!item)
            return;
        ++w->selectingByCode_;
        const bool autoScroll = w->trevwContents->hasAutoScroll();
        w->trevwContents->setAutoScroll(false);
        w->trevwContents->setCurrentItem(item);
        w->trevwContents->setAutoScroll(autoScroll);
        --w->selectingByCode_;
    }
    void nodeClick(const QString& key) override { w->trevwContents_NodeClick(key); }
    void showCharacters(const QString& text) override { w->showCharacters(text); }
    QString characters() const override { return w->txtCharacters->text(); }
    void replaceCharacters(const QString& text) override
    {
        if (!w->TreeDocument.currentIsElement())
            return;
        w->showCharacters(text);
        w->TreeDocument.CurrentNode()->setNodeCharacters(text);
        w->TreeDocument.SetModified(true);
    }
    void askFindContinue() override { w->showFindDialog(); }

private:
    frmEditor* w;
};

template <typename Search>
void frmEditor::runSearch(Search search)
{
    // A search processes window events between hits; a second one must not start then.
    if (isBusy() || searching_)
        return;
    const QScopedValueRollback<bool> running(searching_, true);
    SearchHost host(this);
    TreeSearch walker(TreeDocument, *trevwContents, host);
    try {
        search(walker);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("Search", e.number);
    }
}

void frmEditor::showFindDialog()
{
    if (!findDialog_)
        findDialog_ = new dlgFind(this);
    ui().showModal(findDialog_);
    // "OK" unloads the dialog; "Continue" only hides it for the next hit.
    if (findDialog_ && findDialog_->unloaded())
        delete findDialog_.data();
}

void frmEditor::Command2_Click()
{
    runSearch([this](TreeSearch& search) { search.Find(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command3_Click()
{
    runSearch([this](TreeSearch& search) { search.FindAll(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command4_Click()
{
    runSearch([this](TreeSearch& search) { search.FindInText(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command5_Click()
{
    runSearch([this](TreeSearch& search) { search.Replace(Text2->text(), Text3->text()); });
}

void frmEditor::Command6_Click()
{
    runSearch([this](TreeSearch& search) { search.ReplaceAll(Text2->text(), Text3->text(), Check1->isChecked()); });
}

void frmEditor::Text2_KeyDown(int keyCode)
{
    if (keyCode == 13)
        Command2_Click();
}
