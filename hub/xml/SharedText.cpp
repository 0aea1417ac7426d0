#include "hub/xml/SharedText.h"

#include <cstring>
#include <memory>
#include <vector>

namespace xmltree {
namespace {

constexpr quint32 kChunkBits = 12;
constexpr quint32 kChunkSize = 1u << kChunkBits;

// Texts of up to this many bytes are kept in shared blocks, longer ones in their own.
constexpr quint32 kSmallBytes = 64;
constexpr size_t kBlockBytes = 64 * 1024;

struct Entry {
    char* data = nullptr;
    quint32 size : 31 = 0; // characters
    quint32 wide : 1 = 0; // UTF-16 (else one byte a character)
    quint32 refs = 0; // 0: free

    quint32 bytes() const { return wide ? size * 2 : size; }
    // The room the text takes: an even number of bytes, so that every place is fit for UTF-16.
    quint32 room() const { return (bytes() + 1) & ~1u; }
};

// Entries live in fixed chunks, so the table can grow without moving them. Freed entries
// and freed places in the blocks are handed out again before new ones.
struct Table {
    std::vector<std::unique_ptr<Entry[]>> chunks;
    std::vector<quint32> freed;
    quint32 next = 1; // entry 0 is the empty text
    qsizetype live = 0;

    std::vector<std::unique_ptr<char[]>> blocks;
    char* blockFree = nullptr; // the unused end of the last block
    size_t blockLeft = 0;
    std::vector<char*> freedPlaces[kSmallBytes + 1]; // by room

    Entry& at(quint32 id) { return chunks[id >> kChunkBits][id & (kChunkSize - 1)]; }

    char* place(quint32 bytes)
    {
        if (bytes > kSmallBytes)
            return new char[bytes];
        std::vector<char*>& reuse = freedPlaces[bytes];
        if (!reuse.empty()) {
            char* p = reuse.back();
            reuse.pop_back();
            return p;
        }
        if (blockLeft < bytes) {
            blocks.push_back(std::make_unique<char[]>(kBlockBytes));
            blockFree = blocks.back().get();
            blockLeft = kBlockBytes;
        }
        char* p = blockFree;
        blockFree += bytes;
        blockLeft -= bytes;
        return p;
    }

    void givePlaceBack(char* p, quint32 bytes)
    {
        if (bytes > kSmallBytes)
            delete[] p;
        else
            freedPlaces[bytes].push_back(p);
    }
};

// Never destroyed: nodes held by objects that live until the program ends may give their
// texts back after static destruction has begun.
Table& table()
{
    static Table* const t = new Table;
    return *t;
}

bool fitsInBytes(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

QString SharedText::str() const
{
    if (m_id == 0)
        return QString();
    const Entry& entry = table().at(m_id);
    if (entry.wide)
        return QString(reinterpret_cast<const QChar*>(entry.data), qsizetype(entry.size));
    return QString::fromLatin1(entry.data, qsizetype(entry.size));
}

qsizetype SharedText::size() const
{
    return m_id == 0 ? 0 : qsizetype(table().at(m_id).size);
}

bool SharedText::equals(QStringView text) const
{
    if (m_id == 0)
        return text.isEmpty();
    const Entry& entry = table().at(m_id);
    if (qsizetype(entry.size) != text.size())
        return false;
    if (entry.wide)
        return std::memcmp(entry.data, text.utf16(), entry.bytes()) == 0;
    const auto* bytes = reinterpret_cast<const uchar*>(entry.data);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() != bytes[i])
            return false;
    }
    return true;
}

qsizetype SharedText::liveEntries()
{
    return table().live;
}

quint32 SharedText::add(QStringView text)
{
    Table& t = table();
    if (text.size() >= qsizetype(1u << 30))
        qFatal("xml text too long");
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
    entry.size = quint32(text.size());
    entry.wide = !fitsInBytes(text);
    entry.data = t.place(entry.room());
    if (entry.wide) {
        std::memcpy(entry.data, text.utf16(), entry.bytes());
    } else {
        for (qsizetype i = 0; i < text.size(); ++i)
            entry.data[i] = char(text[i].unicode());
    }
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
    t.givePlaceBack(entry.data, entry.room());
    entry = Entry();
    t.freed.push_back(id);
    --t.live;
}

} // namespace xmltree
