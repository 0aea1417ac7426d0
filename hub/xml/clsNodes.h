#pragma once
// The child elements of one element, in document order, each filed under its NodeKey
// (a node with an empty key is reachable by position only). Positions count from 1, keys
// are compared without regard to case. Errors as the run-time's Collection gives them:
// 457 for a key already filed, 5 for a key not filed, 9 for a position outside 1 to
// Count. The list owns its nodes.
//
// A node is filed under the key it has: when the key of a node in a list changes, the
// list finds it under the new key. Short lists are searched entry by entry; a long one
// (a parent of a hundred thousand elements) keeps an index of its keys.
//
// The entries are one flat block of node pointers that the list points to (an empty list
// holds no block).

#include <QHash>
#include <QString>

#include <iterator>
#include <memory>
#include <vector>

class clsNode;
class clsNodeAttributes;
class clsXMLParse;

class clsNodes {
public:
    clsNodes();
    ~clsNodes();
    // Moving hands the entries over and leaves the source empty.
    clsNodes(clsNodes&& other) noexcept;
    clsNodes& operator=(clsNodes&& other) noexcept;
    clsNodes(const clsNodes&) = delete;
    clsNodes& operator=(const clsNodes&) = delete;

    // Makes a new node from the six fields, appends it and files it under the key. The
    // node takes over what the two lists hold (a null list leaves it without that list)
    // and refers to the parent. The caller goes on with the node returned.
    clsNode* Add(const QString& name, const QString& characters,
                 std::unique_ptr<clsNodeAttributes> attributes, std::unique_ptr<clsNodes> children,
                 clsNode* parent, const QString& key);
    // The same for a new element: empty attribute and child lists.
    clsNode* AddElement(const QString& name, const QString& characters, clsNode* parent, const QString& key);
    // Appends a node made elsewhere (a copy made by CopyNodeTree), filed under its key.
    clsNode* AddNode(std::unique_ptr<clsNode> node);

    clsNode* Item(qsizetype position) const;
    clsNode* Item(const QString& key) const;
    qsizetype Count() const { return m_block ? qsizetype(m_block->count) : 0; }
    // Removes the entry and destroys the node with everything below it; later entries
    // move up one position.
    void Remove(qsizetype position);
    void Remove(const QString& key);

    // Enumeration from the first entry to the last.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = clsNode*;
        using difference_type = std::ptrdiff_t;
        using pointer = clsNode* const*;
        using reference = clsNode*;
        const_iterator() = default;
        explicit const_iterator(clsNode* const* it) : m_it(it) {}
        clsNode* operator*() const { return *m_it; }
        const_iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_it;
            return before;
        }
        bool operator==(const const_iterator& other) const { return m_it == other.m_it; }

    private:
        clsNode* const* m_it = nullptr;
    };
    const_iterator begin() const { return const_iterator(entries()); }
    const_iterator end() const { return const_iterator(entries() + Count()); }

private:
    friend class clsNode;
    friend class clsXMLParse;

    struct Index;
    // The block: its header, then `capacity` places of which the first `count` hold the
    // nodes the list owns.
    struct Block {
        quint32 count;
        quint32 capacity;
        Index* index;
    };

    clsNode** entries() const
    {
        return m_block ? reinterpret_cast<clsNode**>(reinterpret_cast<char*>(m_block) + sizeof(Block)) : nullptr;
    }
    void resize(size_t capacity);
    // Appends a node whose key no entry has.
    void append(std::unique_ptr<clsNode> node);
    // Takes over the nodes of an empty list's worth, whose keys differ from each other (the
    // reader's numbered elements), in one block of their size; `nodes` is left empty.
    void adopt(std::vector<std::unique_ptr<clsNode>>& nodes);
    void release();
    clsNode* find(const QString& key) const;
    clsNode* findFolded(qint64 number, const QString& text) const;
    void index(clsNode* node) const;
    void unindex(const clsNode* node) const;
    void removeAt(size_t i);

    Block* m_block = nullptr;
};

#include "hub/xml/clsNode.h"
