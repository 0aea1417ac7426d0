#pragma once
// The attributes of one element, in document order. Positions count from 1; an entry may
// also be filed under a key (the tree page files none), keys compared without regard to
// case. Errors as the run-time's Collection gives them: 457 for a key already filed, 5 for
// a key not filed, 9 for a position outside 1 to Count.
//
// The attributes are held in one flat block that the list points to (a document has
// millions of them; an empty list holds no block), so a pointer that Add or Item returns
// stays valid until the list is next changed.

#include "hub/xml/clsNodeAttribute.h"

#include <QHash>
#include <QString>

#include <iterator>
#include <vector>

class clsNodeAttributes {
public:
    clsNodeAttributes();
    ~clsNodeAttributes();
    clsNodeAttributes(clsNodeAttributes&&) noexcept;
    clsNodeAttributes& operator=(clsNodeAttributes&&) noexcept;
    clsNodeAttributes(const clsNodeAttributes&) = delete;
    clsNodeAttributes& operator=(const clsNodeAttributes&) = delete;

    // Appends a new attribute; a non-empty key files it under that key too.
    clsNodeAttribute* Add(const QString& name, const QString& value, const QString& key = QString());
    // Appends a copy of an attribute, sharing its texts (no key).
    clsNodeAttribute* Add(const clsNodeAttribute& attribute);
    clsNodeAttribute* Item(qsizetype position);
    const clsNodeAttribute* Item(qsizetype position) const;
    clsNodeAttribute* Item(const QString& key);
    const clsNodeAttribute* Item(const QString& key) const;
    qsizetype Count() const { return m_block ? qsizetype(m_block->count) : 0; }
    // The entries behind the removed one move up one position.
    void Remove(qsizetype position);
    void Remove(const QString& key);

    // Room for this many entries (the reader knows how many an element has).
    void reserve(qsizetype count);

    // Enumeration from the first entry to the last.
    template <typename Attribute, typename It>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Attribute*;
        using difference_type = std::ptrdiff_t;
        using pointer = Attribute**;
        using reference = Attribute*;
        Iterator() = default;
        explicit Iterator(It it) : m_it(it) {}
        Attribute* operator*() const { return m_it; }
        Iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++m_it;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_it == other.m_it; }

    private:
        It m_it;
    };
    using iterator = Iterator<clsNodeAttribute, clsNodeAttribute*>;
    using const_iterator = Iterator<const clsNodeAttribute, const clsNodeAttribute*>;
    iterator begin() { return iterator(items()); }
    iterator end() { return iterator(items() + Count()); }
    const_iterator begin() const { return const_iterator(items()); }
    const_iterator end() const { return const_iterator(items() + Count()); }

private:
    // Keys, made when the first keyed entry is added: the lower-cased key of each position
    // (null for none) and a hash of them, rebuilt after removals.
    struct Keys {
        std::vector<QString> byPosition;
        QHash<QString, qsizetype> index; // to the position counted from 0
        bool indexValid = true;
    };

    // The block: its header, then `capacity` places of which the first `count` hold
    // attributes.
    struct Block {
        quint32 count;
        quint32 capacity;
        Keys* keys;
    };

    clsNodeAttribute* items() const
    {
        return m_block ? reinterpret_cast<clsNodeAttribute*>(reinterpret_cast<char*>(m_block) + sizeof(Block)) : nullptr;
    }
    void grow(size_t capacity);
    clsNodeAttribute* append(clsNodeAttribute&& attribute);
    void release();
    size_t checkedIndex(qsizetype position) const;
    qsizetype find(const QString& key) const; // position counted from 0, or -1

    Block* m_block = nullptr;
};
