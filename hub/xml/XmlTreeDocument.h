#pragma once
// The tree page's document: the node tree of one XML file, the state the main window keeps
// for it, and the operations on it: reading a file into the tree and the tree view,
// writing it back, the deep copy behind Copy and Paste, the lookup of a node by its key,
// the modified state and the reset that starts a new document.
//
// The document talks to its window only through XmlTreeView (the tree view) and
// XmlTreeHost (caption, save items, attribute controls); either may be absent.
//
// Nodes are owned by the tree (see clsNode.h). CurrentNode() is never null: when no
// element is current it is an empty node owned by the document ("a new empty node").
// Reading a file and resetting replace the whole tree, and then CurrentNode() becomes a
// new empty node as well; a command that removes the current element from its list calls
// clearCurrentNode() itself, as the page does after a deletion.

#include "hub/xml/clsNode.h"
#include "hub/xml/clsXMLParse.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class XmlTreeView;
class XmlTreeHost;

class XmlTreeDocument {
public:
    explicit XmlTreeDocument(XmlTreeView* view = nullptr, XmlTreeHost* host = nullptr);
    ~XmlTreeDocument();
    XmlTreeDocument(const XmlTreeDocument&) = delete;
    XmlTreeDocument& operator=(const XmlTreeDocument&) = delete;

    void setView(XmlTreeView* view) { m_view = view; }
    void setHost(XmlTreeHost* host) { m_host = host; }
    XmlTreeView* view() const { return m_view; }

    // State.
    bool TreeModified = false;    // changes not yet written
    QString TreeFileName;         // the file read from and written to (as the program names files)
    bool TreeHasFile = false;     // read from or written to TreeFileName
    qint64 NodeKeyCounter = 0;    // the number of the last key given out ("nod" and this number)
    bool UpdatingControls = false; // the page fills its own controls; their changes are no edits

    // The content handler of the last read; its RootNode is the document node. Made when
    // there is none.
    clsXMLParse& TreeParser();
    clsNode* RootNode() { return TreeParser().RootNode(); }
    // The document element (the document node's first child), or null in an empty document.
    clsNode* DocumentElement();

    clsNode* CurrentNode() const { return m_current; }
    void setCurrentNode(clsNode* node) { m_current = node ? node : m_none.get(); }
    // CurrentNode becomes a new empty node (no name, no lists).
    void clearCurrentNode();
    // Whether CurrentNode is an element of the document (not the empty node).
    bool currentIsElement() const { return m_current != m_none.get(); }

    // The copy made by Copy (null before the first one). The document owns it.
    clsNode* ClipboardNode() const { return m_clipboard.get(); }
    void setClipboardNode(std::unique_ptr<clsNode> node) { m_clipboard = std::move(node); }

    // Reads TreeFileName into a new node tree and fills the tree view: one item per element,
    // keyed by the element's key, the top-level item expanded; NodeKeyCounter = the number
    // of elements; TreeHasFile = True and both save items enabled. When the file cannot be
    // read or is not well-formed XML, the user is told why (with the line) and the page
    // holds an empty document: no items, a document node without children,
    // NodeKeyCounter 0, TreeFileName empty, no file. Returns whether the file was read.
    bool LoadXmlTree();
    // Adds items for all descendants of node below the item itemKey, in document order,
    // each keyed by its own node's key. (It leaves NodeKeyCounter alone: after a read the
    // counter is set from the reader, so the items of a pasted copy can be added too.)
    void AddTreeChildren(const QString& itemKey, const clsNode& node);
    // Adds one item for the node below the item itemKey, with the node's key and name.
    void AddTreeNode(const QString& itemKey, const clsNode& node);

    // Makes the node with that key (compared without regard to case) current; a key no
    // element has makes a new empty node current. Returns CurrentNode().
    clsNode* FindNodeByKey(const QString& key);
    // The element with that key (compared without regard to case), or null; CurrentNode
    // stays as it is.
    clsNode* NodeByKey(const QString& key);

    // Removes every element: no items, a document node without children, NodeKeyCounter 0,
    // CurrentNode a new empty node. The file name and the modified state stay.
    void ClearDocument();

    // Fills destination with a deep copy of source whose keys are new: NodeKeyCounter grows
    // by one for the copy and for each node below it, in document order. Source is not
    // changed. The copy's children are filed under their keys.
    void CopyNodeTree(const clsNode& source, clsNode& destination, clsNode* parent);

    // Writes the document to TreeFileName through a save file, so that a failed save leaves
    // the file as it was. On failure shows "Unable to save the file: " and the reason
    // (title "Save Failed") and leaves TreeModified as it was. Returns whether it saved.
    bool SaveXmlTree();

    // Sets TreeModified, the caption's trailing "*" and the save items.
    void SetModified(bool modified);

    // The question asked before a modified document is dropped ("Modified File", Yes, No and
    // Cancel). Yes runs save. True when the document may go: it was not modified, the answer
    // was No, or it was Yes and save succeeded. False on Cancel or a failed save.
    bool OfferToSave(const std::function<bool()>& save);

    // Offers to save a modified document (to TreeFileName), then starts an empty document
    // named path. False when the user cancels, or answers Yes and the save fails: the
    // document is then kept as it was.
    bool PromptSaveAndReset(const QString& path);

    // Starts an empty document named "undefined.xml" in the program folder; both save items
    // disabled. False when the question was cancelled (nothing changed then).
    bool NewXmlDocument();

private:
    void resetTree();
    clsNode* findByWalk(qint64 number, const QString& text);

    XmlTreeView* m_view = nullptr;
    XmlTreeHost* m_host = nullptr;
    std::unique_ptr<clsXMLParse> m_parser;
    std::unique_ptr<clsNode> m_none; // the empty node that stands for "no element"
    clsNode* m_current = nullptr;
    std::unique_ptr<clsNode> m_clipboard;

    // Key lookups: a walk of the tree, or an index once lookups repeat on an unchanged tree
    // (the search visits every item). "nod" keys are indexed by their number.
    void buildKeyIndex();
    void dropKeyIndex();
    std::vector<clsNode*> m_byNumber;
    QHash<QString, clsNode*> m_byText;
    bool m_indexValid = false;
    quint64 m_indexStamp = 0;
    const clsNode* m_indexRoot = nullptr;
    quint64 m_lastLookupStamp = ~quint64(0);
};
