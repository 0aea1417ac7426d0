#pragma once
// One element of the tree page's document: its name, text, attributes, child elements,
// parent and key. A document is held as a document node (empty name, text and key) whose
// first child is the document element.
//
// A node holds its attribute list and its child list itself (a child list owns its
// nodes); the parent link is a plain back reference. A document holds a node per
// element, so a node is kept small: its texts are shared handles (SharedText.h), its
// lists a pointer each, and its key the number alone when it is "nod" and a number.
// A newly made node has empty texts and no lists (the getters answer null) until whoever
// made it gives it lists; setting a list takes over what the given list holds.

#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "hub/xml/SharedText.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class clsNode {
public:
    clsNode();
    ~clsNode();
    clsNode(const clsNode&) = delete;
    clsNode& operator=(const clsNode&) = delete;
    // Nodes made with new come from a pool of node-sized places (a document makes a
    // million of them).
    static void* operator new(size_t size);
    static void operator delete(void* place, size_t size) noexcept;

    // A null list removes the node's list (and the nodes in it).
    void setChildNodes(std::unique_ptr<clsNodes> children);
    clsNodes* ChildNodes() { return m_hasChildren ? &m_children : nullptr; }
    const clsNodes* ChildNodes() const { return m_hasChildren ? &m_children : nullptr; }
    void setParentNode(clsNode* parent) { m_parent = parent; }
    clsNode* ParentNode() const { return m_parent; }
    void setNodeAttributes(std::unique_ptr<clsNodeAttributes> attributes);
    clsNodeAttributes* NodeAttributes() { return m_hasAttributes ? &m_attributes : nullptr; }
    const clsNodeAttributes* NodeAttributes() const { return m_hasAttributes ? &m_attributes : nullptr; }
    void setNodeCharacters(const QString& text) { m_characters = xmltree::SharedText(text); }
    QString NodeCharacters() const { return m_characters.str(); }
    void setNodeName(const QString& name) { m_name = xmltree::SharedText(name); }
    QString NodeName() const { return m_name.str(); }
    void setNodeKey(const QString& key);
    QString NodeKey() const;

    // The texts as shared handles: a copy made from them shares the text.
    const xmltree::SharedText& nameText() const { return m_name; }
    const xmltree::SharedText& charactersText() const { return m_characters; }
    void setNodeName(const xmltree::SharedText& name) { m_name = name; }
    void setNodeCharacters(const xmltree::SharedText& text) { m_characters = text; }
    // The key "nod" and the number (0 to 2^31 - 1), without making its text.
    void setNodeKeyNumber(qint32 number);

    // Gives the node new empty attribute and child lists, as a new element has.
    void setEmptyLists();

    // The key's number when it is "nod" (any letter case) and a number (see NodeKeys.h),
    // else -1.
    qint64 keyNumber() const;
    // Whether the key is "nod" and keyNumber() written as NodeKeys.h's keyText() writes it.
    bool hasPlainKey() const { return !m_keyIsText && m_keyNumber >= 0; }
    // The key lower-cased when it has no number; empty otherwise.
    QString keyTextLower() const;
    // Whether the key, given folded as above, is this node's key (never for an empty key).
    bool hasFoldedKey(qint64 number, const QString& text) const
    {
        return number >= 0 ? keyNumber() == number : !text.isEmpty() && keyTextLower() == text;
    }

private:
    friend class clsNodes;
    friend class clsXMLParse;

    void keyChanged();

    clsNode* m_parent = nullptr;
    clsNodes m_children;
    clsNodeAttributes m_attributes;
    xmltree::SharedText m_name;
    xmltree::SharedText m_characters;
    // Keys are nearly always "nod" and a number, held as the number alone. Any other key
    // is held as text in a table beside the tree (m_keyIsText); m_keyNumber is then the
    // number the key stands for in lookups (see NodeKeys.h), or -1.
    qint32 m_keyNumber = -1;
    bool m_keyIsText : 1 = false;
    bool m_hasAttributes : 1 = false;
    bool m_hasChildren : 1 = false;
    bool m_filed : 1 = false; // in a child list, filed under its key
};

namespace xmltree {
// Numbers that change whenever the tree changes: treeStamp() when a child list gains or
// loses a node, a node gets other lists or a node in a list gets another key;
// keyStamp() only for the last. Indexes of keys rebuild themselves when their number has
// moved on. (The program has one thread.)
quint64 treeStamp();
quint64 keyStamp();
void touchTree();
void touchKeys();
} // namespace xmltree
