#include "hub/xml/XmlTreeItems.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
VbError elementNotFound()
{
    return VbError(35601, QStringLiteral("Element not found"));
}
} // namespace

void XmlTreeItems::clearItems()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_flags.clear();
    m_flags.shrink_to_fit();
    m_order.clear();
    m_order.shrink_to_fit();
    m_removed = false;
    m_implied = true;
    m_offset = 0;
    m_numbers.clear();
    m_numbers.shrink_to_fit();
    m_byNumber.clear();
    m_byNumber.shrink_to_fit();
    m_byText.clear();
    m_keyTexts.clear();
    m_firstTop = m_lastTop = npos;
    m_selected = m_edited = m_lastAdded = npos;
}

void XmlTreeItems::reserveItems(qsizetype count)
{
    if (count <= 0 || count >= std::numeric_limits<int>::max())
        return;
    m_items.reserve(size_t(count));
    m_flags.reserve(size_t(count));
    if (!m_implied) {
        m_numbers.reserve(size_t(count));
        m_byNumber.reserve(size_t(count) + 1);
    }
}

int XmlTreeItems::indexOf(const QString& key) const
{
    const qint64 number = xmltree::keyNumber(key);
    if (m_implied) {
        // Nothing is filed by text while the numbers are implied.
        const qint64 index = number - m_offset;
        if (number < 0 || index < 0 || index >= qint64(m_items.size()) || m_items[size_t(index)].parent == kGone)
            return npos;
        return int(index);
    }
    if (number >= 0 && size_t(number) < m_byNumber.size() && m_byNumber[size_t(number)] != npos)
        return m_byNumber[size_t(number)];
    if (m_byText.isEmpty())
        return npos;
    return m_byText.value(key.toLower(), npos);
}

QString XmlTreeItems::keyOf(int index) const
{
    const auto text = m_keyTexts.constFind(index);
    if (text != m_keyTexts.constEnd())
        return *text;
    return xmltree::keyText(numberOf(index));
}

int XmlTreeItems::requireIndex(const QString& key) const
{
    const int index = indexOf(key);
    if (index == npos)
        throw elementNotFound();
    return index;
}

int XmlTreeItems::childCountOf(int index) const
{
    int count = 0;
    for (int child = firstChildOf(index); child != npos; child = nextSiblingOf(child))
        ++count;
    return count;
}

void XmlTreeItems::storeNumbers()
{
    if (!m_implied)
        return;
    const size_t count = m_items.size();
    m_numbers.reserve(m_items.capacity());
    // The filed numbers end with the last item's when any is filed.
    if (count > 0 && size_t(m_offset) + count - 1 < 2 * (count - 1) + 65536) {
        m_byNumber.reserve(std::max(m_items.capacity(), size_t(m_offset) + count));
        m_byNumber.assign(size_t(m_offset) + count, npos);
    }
    m_numbers.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const qint64 number = m_offset + qint64(i);
        const bool live = m_items[i].parent != kGone;
        // Added one by one, the item would have been filed by its number only while the
        // number stayed near the item count.
        if (size_t(number) < 2 * i + 65536) {
            if (size_t(number) >= m_byNumber.size())
                m_byNumber.resize(std::max(size_t(number) + 1, m_byNumber.size() + m_byNumber.size() / 2), npos);
            m_numbers[i] = qint32(number);
            if (live)
                m_byNumber[size_t(number)] = int(i);
        } else {
            m_numbers[i] = -1;
            if (live) {
                auto text = m_keyTexts.find(int(i));
                if (text == m_keyTexts.end())
                    text = m_keyTexts.insert(int(i), xmltree::keyText(number));
                m_byText.insert(text->toLower(), int(i));
            }
        }
    }
    m_implied = false;
}

void XmlTreeItems::addItem(const QString& parentKey, const QString& key, const QString& text)
{
    addSharedItem(parentKey, key, xmltree::SharedText(text));
}

void XmlTreeItems::addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text)
{
    const int parent = parentKey.isEmpty() ? npos : requireIndex(parentKey);
    const qint64 number = xmltree::keyNumber(key);
    if (!keepsImplied(number) && indexOf(key) == npos)
        storeNumbers();
    if (indexOf(key) != npos)
        throw VbError(35602, QStringLiteral("Key is not unique in collection"));
    if (m_items.size() >= size_t(std::numeric_limits<int>::max()))
        throw VbError(7);

    const int index = int(m_items.size());
    Item item;
    item.text = text;
    item.parent = parent;

    if (m_implied) {
        if (!key.startsWith(QLatin1String("nod")))
            m_keyTexts.insert(index, key);
        append(std::move(item), number);
        return;
    }
    // Keys are filed by their number while the numbers stay near the item count (as the
    // reader and the page give them); others by their text.
    if (number >= 0 && size_t(number) < 2 * m_items.size() + 65536) {
        if (size_t(number) >= m_byNumber.size())
            m_byNumber.resize(std::max(size_t(number) + 1, m_byNumber.size() + m_byNumber.size() / 2), npos);
        m_byNumber[size_t(number)] = index;
        if (!key.startsWith(QLatin1String("nod")))
            m_keyTexts.insert(index, key);
        append(std::move(item), number);
    } else {
        m_byText.insert(key.toLower(), index);
        m_keyTexts.insert(index, key);
        append(std::move(item), -1);
    }
}

void XmlTreeItems::addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text)
{
    if (m_implied) {
        int parent = npos;
        if (parentNumber >= 0) {
            const qint64 at = parentNumber - m_offset;
            if (at < 0 || at >= qint64(m_items.size()) || m_items[size_t(at)].parent == kGone)
                throw elementNotFound();
            parent = int(at);
        }
        if (!keepsImplied(number)) {
            const qint64 at = qint64(number) - m_offset;
            if (number >= 0 && at >= 0 && at < qint64(m_items.size()) && m_items[size_t(at)].parent != kGone)
                throw VbError(35602, QStringLiteral("Key is not unique in collection"));
            storeNumbers();
        } else {
            if (m_items.size() >= size_t(std::numeric_limits<int>::max()))
                throw VbError(7);
            Item item;
            item.text = text;
            item.parent = parent;
            append(std::move(item), number);
            return;
        }
    }

    // Keys filed by text, numbers far beyond the item count and parents that are not
    // filed by number take the road by key texts, which also raises the errors.
    const size_t filed = m_byNumber.size();
    const bool parentFiled = parentNumber < 0
        || (size_t(parentNumber) < filed && m_byNumber[size_t(parentNumber)] != npos);
    if (!m_byText.isEmpty() || number < 0 || size_t(number) >= 2 * m_items.size() + 65536 || !parentFiled) {
        XmlTreeView::addNumberedItem(parentNumber, number, text);
        return;
    }
    if (size_t(number) < filed && m_byNumber[size_t(number)] != npos)
        throw VbError(35602, QStringLiteral("Key is not unique in collection"));
    if (m_items.size() >= size_t(std::numeric_limits<int>::max()))
        throw VbError(7);

    const int index = int(m_items.size());
    if (size_t(number) >= filed)
        m_byNumber.resize(std::max(size_t(number) + 1, filed + filed / 2), npos);
    m_byNumber[size_t(number)] = index;
    Item item;
    item.text = text;
    item.parent = parentNumber < 0 ? npos : m_byNumber[size_t(parentNumber)];
    append(std::move(item), number);
}

void XmlTreeItems::append(Item&& item, qint64 number)
{
    const int index = int(m_items.size());
    const int parent = item.parent;
    if (parent == npos) {
        if (m_lastTop != npos)
            m_items[size_t(m_lastTop)].next = index;
        else
            m_firstTop = index;
        m_lastTop = index;
    } else {
        int& last = m_items[size_t(parent)].lastChild;
        // The new last child leads back to the first one.
        item.next = last == npos ? index : m_items[size_t(last)].next;
        if (last != npos)
            m_items[size_t(last)].next = index;
        last = index;
    }
    if (m_items.empty() && m_implied)
        m_offset = number;
    m_items.push_back(std::move(item));
    m_flags.push_back(0);
    if (!m_implied)
        m_numbers.push_back(qint32(number));
    if (m_removed)
        m_order.push_back(index);
    m_lastAdded = index;
}

void XmlTreeItems::unfile(int index)
{
    if (!m_implied) {
        const qint64 number = m_numbers[size_t(index)];
        if (number >= 0 && size_t(number) < m_byNumber.size() && m_byNumber[size_t(number)] == index)
            m_byNumber[size_t(number)] = npos;
        else
            m_byText.remove(keyOf(index).toLower());
    }
    m_keyTexts.remove(index);
}

void XmlTreeItems::collectSubtree(int index, std::vector<int>& out) const
{
    const size_t start = out.size();
    out.push_back(index);
    for (size_t i = start; i < out.size(); ++i) {
        for (int child = firstChildOf(out[i]); child != npos; child = nextSiblingOf(child))
            out.push_back(child);
    }
}

void XmlTreeItems::removeItem(const QString& key)
{
    const int index = requireIndex(key);
    Item& item = m_items[size_t(index)];

    // Unlinks the item from its parent's children.
    if (item.parent == npos) {
        int prev = npos;
        for (int at = m_firstTop; at != index; at = m_items[size_t(at)].next)
            prev = at;
        if (prev != npos)
            m_items[size_t(prev)].next = item.next;
        else
            m_firstTop = item.next;
        if (item.next == npos)
            m_lastTop = prev;
    } else {
        int& last = m_items[size_t(item.parent)].lastChild;
        if (item.next == index) {
            last = npos; // the only child
        } else {
            int prev = item.next;
            while (m_items[size_t(prev)].next != index)
                prev = m_items[size_t(prev)].next;
            m_items[size_t(prev)].next = item.next;
            if (last == index)
                last = prev;
        }
    }

    std::vector<int> gone;
    collectSubtree(index, gone);
    for (int i : gone) {
        unfile(i);
        Item& dead = m_items[size_t(i)];
        dead.parent = kGone;
        dead.text = xmltree::SharedText();
        if (i == m_selected)
            m_selected = npos;
        if (i == m_edited)
            m_edited = npos;
    }
    if (!m_removed) {
        m_order.resize(m_items.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        m_removed = true;
    }
    m_order.erase(std::remove_if(m_order.begin(), m_order.end(),
                                 [this](int i) { return m_items[size_t(i)].parent == kGone; }),
                  m_order.end());
}

QString XmlTreeItems::itemText(const QString& key) const
{
    return m_items[size_t(requireIndex(key))].text.str();
}

void XmlTreeItems::setItemText(const QString& key, const QString& text)
{
    m_items[size_t(requireIndex(key))].text = xmltree::SharedText(text);
}

void XmlTreeItems::expandItem(const QString& key)
{
    setFlag(requireIndex(key), kExpanded, true);
}

QString XmlTreeItems::itemKeyAt(qsizetype position) const
{
    if (position < 1 || position > itemCount())
        throw VbError(35600, QStringLiteral("Index out of bounds"));
    return keyOf(m_removed ? m_order[size_t(position - 1)] : int(position - 1));
}

void XmlTreeItems::selectItem(const QString& key)
{
    m_selected = requireIndex(key);
}

QString XmlTreeItems::selectedKey() const
{
    return m_selected == npos ? QString() : keyOf(m_selected);
}

void XmlTreeItems::setItemBold(const QString& key, bool bold)
{
    setFlag(requireIndex(key), kBold, bold);
}

bool XmlTreeItems::isItemBold(const QString& key) const
{
    return boldOf(requireIndex(key));
}

void XmlTreeItems::editItemLabel(const QString& key)
{
    m_edited = requireIndex(key);
}
