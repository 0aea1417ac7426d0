#pragma once
// The texts of the node tree: element names, element texts, attribute names and values.
// A game file repeats the same few hundred names and values a million times, so the tree
// holds each text once in a table and its nodes hold a four-byte handle to it. A handle
// counts as one reference; copying a handle shares the text, setting another text never
// changes what other handles see. (The program has one thread; so has the table.)
//
// The rest of a game file's texts are numbers, each met once: the table keeps them without
// a string object each, as bytes when every character fits in one (wider texts as UTF-16),
// and str() makes the text when it is asked for.

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <utility>

namespace xmltree {

class SharedText {
public:
    SharedText() = default;
    // A text of its own (none for an empty text).
    explicit SharedText(QStringView text) : m_id(text.isEmpty() ? 0 : add(text)) {}
    SharedText(const SharedText& other) : m_id(other.m_id) { retain(m_id); }
    SharedText(SharedText&& other) noexcept : m_id(std::exchange(other.m_id, 0)) {}
    SharedText& operator=(const SharedText& other)
    {
        retain(other.m_id);
        release(m_id);
        m_id = other.m_id;
        return *this;
    }
    SharedText& operator=(SharedText&& other) noexcept
    {
        std::swap(m_id, other.m_id);
        return *this;
    }
    ~SharedText() { release(m_id); }

    // The text.
    QString str() const;
    bool isEmpty() const { return m_id == 0; }
    qsizetype size() const;
    // Whether the text is this one, without making it.
    bool equals(QStringView text) const;
    // Whether the two hold the very same table entry (not merely equal texts).
    bool sameEntry(const SharedText& other) const { return m_id == other.m_id; }

    // Table entries in use (for measurements and tests).
    static qsizetype liveEntries();

private:
    static quint32 add(QStringView text);
    static void retain(quint32 id);
    static void release(quint32 id);

    quint32 m_id = 0; // 0: the empty text
};

} // namespace xmltree
