#pragma once
// The attributes of one element, in document order. Positions count from 1; an entry may
// also be filed under a key (the tree page files none), keys compared without regard to
// case. Errors as the run-time's Collection gives them: 457 for a key already filed, 5 for
// a key not filed, 9 for a position outside 1 to Count.
//
// The attributes are held in the list itself (a document has millions of them), so a
// pointer that Add or Item returns stays valid until the list is next changed.

#include "hub/xml/clsNodeAttribute.h"

#include <QHash>
#include <QString>

#include <iterator>
#include <memory>
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
    clsNodeAttribute* Item(qsizetype position);
    const clsNodeAttribute* Item(qsizetype position) const;
    clsNodeAttribute* Item(const QString& key);
    const clsNodeAttribute* Item(const QString& key) const;
    qsizetype Count() const { return qsizetype(m_items.size()); }
    // The entries behind the removed one move up one position.
    void Remove(qsizetype position);
    void Remove(const QString& key);

    // Room for this many entries (the reader knows how many an element has).
    void reserve(qsizetype count) { m_items.reserve(size_t(count)); }

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
        Attribute* operator*() const { return &*m_it; }
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
    using iterator = Iterator<clsNodeAttribute, std::vector<clsNodeAttribute>::iterator>;
    using const_iterator = Iterator<const clsNodeAttribute, std::vector<clsNodeAttribute>::const_iterator>;
    iterator begin() { return iterator(m_items.begin()); }
    iterator end() { return iterator(m_items.end()); }
    const_iterator begin() const { return const_iterator(m_items.cbegin()); }
    const_iterator end() const { return const_iterator(m_items.cend()); }

private:
    // Keys, made when the first keyed entry is added: the lower-cased key of each position
    // (null for none) and a hash of them, rebuilt after removals.
    struct Keys {
        std::vector<QString> byPosition;
        QHash<QString, qsizetype> index; // to the position counted from 0
        bool indexValid = true;
    };

    size_t checkedIndex(qsizetype position) const;
    qsizetype find(const QString& key) const; // position counted from 0, or -1

    std::vector<clsNodeAttribute> m_items;
    mutable std::unique_ptr<Keys> m_keys;
};
