#pragma once
// One element of the tree page's document: its name, text, attributes, child elements,
// parent and key. A document is held as a document node (empty name, text and key) whose
// first child is the document element.
//
// A node holds its attribute list and its child list itself (a child list owns its
// nodes); the parent link is a plain back reference. A newly made node has empty texts and
// no lists (the getters answer null) until whoever made it gives it lists; setting a list
// takes over what the given list holds.

#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class clsNode {
public:
    clsNode();
    ~clsNode();
    clsNode(const clsNode&) = delete;
    clsNode& operator=(const clsNode&) = delete;

    // A null list removes the node's list (and the nodes in it).
    void setChildNodes(std::unique_ptr<clsNodes> children);
    clsNodes* ChildNodes() { return m_hasChildren ? &m_children : nullptr; }
    const clsNodes* ChildNodes() const { return m_hasChildren ? &m_children : nullptr; }
    void setParentNode(clsNode* parent) { m_parent = parent; }
    clsNode* ParentNode() const { return m_parent; }
    void setNodeAttributes(std::unique_ptr<clsNodeAttributes> attributes);
    clsNodeAttributes* NodeAttributes() { return m_hasAttributes ? &m_attributes : nullptr; }
    const clsNodeAttributes* NodeAttributes() const { return m_hasAttributes ? &m_attributes : nullptr; }
    void setNodeCharacters(const QString& text) { m_characters = text; }
    const QString& NodeCharacters() const { return m_characters; }
    void setNodeName(const QString& name) { m_name = name; }
    const QString& NodeName() const { return m_name; }
    void setNodeKey(const QString& key);
    QString NodeKey() const;

    // Gives the node new empty attribute and child lists, as a new element has.
    void setEmptyLists();

    // The key's number when it is "nod" (any letter case) and a number (see NodeKeys.h),
    // else -1.
    qint64 keyNumber() const;
    // The key lower-cased when it has no number; empty otherwise.
    QString keyTextLower() const;
    // Whether the key, given folded as above, is this node's key (never for an empty key).
    bool hasFoldedKey(qint64 number, const QString& text) const
    {
        return number >= 0 ? keyNumber() == number : !text.isEmpty() && keyTextLower() == text;
    }

private:
    friend class clsNodes;

    QString m_name;
    QString m_characters;
    clsNodeAttributes m_attributes;
    clsNodes m_children;
    clsNode* m_parent = nullptr;
    // Keys are nearly always "nod" and a number, held as the number alone; any other key
    // is held as text.
    std::unique_ptr<QString> m_keyText;
    qint32 m_keyNumber = -1;
    bool m_hasAttributes = false;
    bool m_hasChildren = false;
    bool m_filed = false; // in a child list, filed under its key
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
