#include "hub/xml/SharedText.h"

#include <memory>
#include <vector>

namespace xmltree {
namespace {

constexpr quint32 kChunkBits = 12;
constexpr quint32 kChunkSize = 1u << kChunkBits;

struct Entry {
    QString text;
    quint32 refs = 0; // 0: free
};

// Entries live in fixed chunks, so a reference to a text stays put while the table grows.
// Freed entries are handed out again before new ones.
struct Table {
    std::vector<std::unique_ptr<Entry[]>> chunks;
    std::vector<quint32> freed;
    quint32 next = 1; // entry 0 is the empty text
    qsizetype live = 0;

    Entry& at(quint32 id) { return chunks[id >> kChunkBits][id & (kChunkSize - 1)]; }
};

// Never destroyed: nodes held by objects that live until the program ends may give their
// texts back after static destruction has begun.
Table& table()
{
    static Table* const t = new Table;
    return *t;
}

const QString& emptyText()
{
    static const QString none;
    return none;
}

} // namespace

const QString& SharedText::str() const
{
    return m_id == 0 ? emptyText() : table().at(m_id).text;
}

qsizetype SharedText::liveEntries()
{
    return table().live;
}

quint32 SharedText::add(const QString& text)
{
    Table& t = table();
    quint32 id;
    if (!t.freed.empty()) {
        id = t.freed.back();
        t.freed.pop_back();
    } else {
        if (t.next == 0)
            qFatal("xml text table full");
        id = t.next++;
        if ((id >> kChunkBits) >= t.chunks.size())
            t.chunks.push_back(std::make_unique<Entry[]>(kChunkSize));
    }
    Entry& entry = t.at(id);
    entry.text = text;
    entry.refs = 1;
    ++t.live;
    return id;
}

void SharedText::retain(quint32 id)
{
    if (id != 0)
        ++table().at(id).refs;
}

void SharedText::release(quint32 id)
{
    if (id == 0)
        return;
    Table& t = table();
    Entry& entry = t.at(id);
    if (--entry.refs > 0)
        return;
    entry.text = QString();
    t.freed.push_back(id);
    --t.live;
}

} // namespace xmltree
