// The windowless tree view items: a document's load adds keys whose numbers follow the item
// order, and the items keep no number of their own until a key breaks that order. Every
// row runs add, remove and lookup steps and checks each state against a plain list of
// items: lookups in any letter case, the keys by position, each parent's children and the
// error numbers, before and after the first key out of order.
#include "common/VbError.h"
#include "hub/xml/XmlTreeItems.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <functional>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator keeps the heap; it answers for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

struct Step {
    enum Kind { Number, Key, Remove } kind;
    qint64 parentNumber = -1; // Number: -1 for a top-level item
    qint32 number = 0;
    QString parentKey; // Key: empty for a top-level item
    QString key; // Key and Remove
    int error = 0; // the VbError number the step raises, 0 for none
};

Step num(qint64 parent, qint32 number, int error = 0)
{
    return Step{Step::Number, parent, number, {}, {}, error};
}
Step key(const QString& parent, const QString& key, int error = 0)
{
    return Step{Step::Key, -1, 0, parent, key, error};
}
Step drop(const QString& key, int error = 0)
{
    return Step{Step::Remove, -1, 0, {}, key, error};
}

// The items as a plain list in the order they were added.
struct Model {
    struct Entry {
        QString key;
        int parent; // into entries, -1 for top level
        bool live = true;
    };
    std::vector<Entry> entries;

    int find(const QString& k) const
    {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].live && entries[i].key.compare(k, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }
    void add(const QString& parent, const QString& k) { entries.push_back({k, parent.isEmpty() ? -1 : find(parent)}); }
    void remove(int at)
    {
        entries[size_t(at)].live = false;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].live && entries[i].parent == at)
                remove(int(i));
        }
    }
    std::vector<int> children(int parent) const
    {
        std::vector<int> out;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].live && entries[i].parent == parent)
                out.push_back(int(i));
        }
        return out;
    }
};

int apply(XmlTreeItems& items, Model& model, const Step& step)
{
    try {
        switch (step.kind) {
        case Step::Number:
            items.addNumberedItem(step.parentNumber, step.number, xmltree::SharedText(QStringLiteral("t")));
            model.add(step.parentNumber < 0 ? QString() : QStringLiteral("nod%1").arg(step.parentNumber),
                      QStringLiteral("nod%1").arg(step.number));
            break;
        case Step::Key:
            items.addItem(step.parentKey, step.key, step.key);
            model.add(step.parentKey, step.key);
            break;
        case Step::Remove: {
            const int at = model.find(step.key);
            items.removeItem(step.key);
            model.remove(at);
            break;
        }
        }
    } catch (const VbError& e) {
        return e.number;
    }
    return 0;
}

QStringList keysOf(const XmlTreeItems& items, int first)
{
    QStringList out;
    for (int at = first; at != XmlTreeItems::npos; at = items.nextSiblingOf(at))
        out << items.keyOf(at);
    return out;
}

QStringList keysOf(const Model& model, const std::vector<int>& at)
{
    QStringList out;
    for (int i : at)
        out << model.entries[size_t(i)].key;
    return out;
}

void expectSame(const XmlTreeItems& items, const Model& model)
{
    QStringList expected;
    for (const Model::Entry& e : model.entries) {
        if (e.live)
            expected << e.key;
    }
    ASSERT_EQ(items.itemCount(), expected.size());
    for (qsizetype pos = 1; pos <= items.itemCount(); ++pos)
        EXPECT_EQ(items.itemKeyAt(pos), expected[pos - 1]) << "position " << pos;
    EXPECT_EQ(vbErrorNumber([&] { items.itemKeyAt(0); }), 35600);
    EXPECT_EQ(vbErrorNumber([&] { items.itemKeyAt(items.itemCount() + 1); }), 35600);

    EXPECT_EQ(keysOf(items, items.firstTopLevel()), keysOf(model, model.children(-1)));
    for (size_t i = 0; i < model.entries.size(); ++i) {
        const Model::Entry& e = model.entries[i];
        for (const QString& k : {e.key, e.key.toUpper(), e.key.toLower()}) {
            if (!e.live) {
                // A key added again later is found as that item.
                if (model.find(k) < 0) {
                    EXPECT_FALSE(items.hasItem(k)) << k.toStdString();
                    EXPECT_EQ(vbErrorNumber([&] { items.itemText(k); }), 35601) << k.toStdString();
                }
                continue;
            }
            const int index = items.indexOf(k);
            ASSERT_NE(index, XmlTreeItems::npos) << k.toStdString();
            EXPECT_EQ(items.keyOf(index), e.key);
            EXPECT_EQ(items.parentOf(index) == XmlTreeItems::npos ? QString() : items.keyOf(items.parentOf(index)),
                      e.parent < 0 ? QString() : model.entries[size_t(e.parent)].key);
        }
        if (e.live) {
            const int index = items.indexOf(e.key);
            EXPECT_EQ(keysOf(items, items.firstChildOf(index)), keysOf(model, model.children(int(i))))
                << "children of " << e.key.toStdString();
            EXPECT_EQ(items.childCountOf(index), int(model.children(int(i)).size()));
        }
    }
}

struct Row {
    const char* name;
    std::vector<Step> steps;
    QStringList keys; // in order at the end
};

// nod1 > (nod2 > nod3, nod4 > nod5, nod6)
std::vector<Step> loaded(qint32 first = 1)
{
    const auto n = [first](qint32 i) { return first + i - 1; };
    return {num(-1, n(1)), num(n(1), n(2)), num(n(2), n(3)), num(n(1), n(4)), num(n(4), n(5)), num(n(1), n(6))};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Row> kRows = {
    {"errors while the numbers follow the order",
     loaded() + std::vector<Step>{num(1, 1, 35602), num(9, 7, 35601), num(-1, 3, 35602), key("", "NOD2", 35602),
                                  key("nod77", "nod7", 35601), drop("nod70", 35601), key("NOD6", "nod7")},
     {"nod1", "nod2", "nod3", "nod4", "nod5", "nod6", "nod7"}},
    {"another number, then the same errors",
     loaded() + std::vector<Step>{num(1, 40), num(40, 8), num(1, 1, 35602), num(9, 9, 35601), num(40, 7),
                                  key("", "Nod8", 35602), drop("nod70", 35601), num(8, 9)},
     {"nod1", "nod2", "nod3", "nod4", "nod5", "nod6", "nod40", "nod8", "nod7", "nod9"}},
    {"a text key, then numbers again",
     loaded() + std::vector<Step>{key("nod4", "Root"), num(4, 8), key("ROOT", "nod9"), key("", "root", 35602),
                                  num(8, 10), drop("rOOt"), num(8, 11), key("nod8", "Root")},
     {"nod1", "nod2", "nod3", "nod4", "nod5", "nod6", "nod8", "nod10", "nod11", "Root"}},
    {"a removal in the middle keeps the numbers that follow",
     loaded() + std::vector<Step>{drop("NOD2"), num(2, 7, 35601), num(4, 7), num(3, 8, 35601), num(-1, 8),
                                  key("nod8", "nod9")},
     {"nod1", "nod4", "nod5", "nod6", "nod7", "nod8", "nod9"}},
    {"a removed number added again",
     loaded() + std::vector<Step>{drop("nod4"), num(1, 4), num(4, 5), num(1, 7), num(6, 6, 35602), num(7, 8)},
     {"nod1", "nod2", "nod3", "nod6", "nod4", "nod5", "nod7", "nod8"}},
    {"the first, the last and the only child removed",
     loaded() + std::vector<Step>{drop("nod2"), num(1, 7), drop("nod7"), drop("nod5"), num(4, 8), num(1, 9),
                                  drop("nod4"), num(1, 10), num(6, 11)},
     {"nod1", "nod6", "nod9", "nod10", "nod11"}},
    {"numbers from another start", loaded(500) + std::vector<Step>{num(500, 506), num(1, 2, 35601), num(505, 4), num(4, 5)},
     {"nod500", "nod501", "nod502", "nod503", "nod504", "nod505", "nod506", "nod4", "nod5"}},
    {"a first number far beyond the count",
     loaded(900000) + std::vector<Step>{num(900003, 2), num(2, 900006), num(2, 3), num(900001, 900006, 35602)},
     {"nod900000", "nod900001", "nod900002", "nod900003", "nod900004", "nod900005", "nod2", "nod900006", "nod3"}},
    {"keys by text in number order",
     {key("", "nod1"), key("nod1", "NOD2"), key("nod2", "Nod3"), num(2, 4), key("nod2", "nod2", 35602), num(3, 3, 35602),
      drop("NOD3"), num(2, 3), key("", "Top")},
     {"nod1", "NOD2", "nod4", "nod3", "Top"}},
    {"a text key first", {key("", "Root"), num(-1, 1), num(1, 2), key("root", "nod3"), num(3, 3, 35602)},
     {"Root", "nod1", "nod2", "nod3"}},
};

} // namespace

TEST(XmlTreeItems, KeysFoundTheSameBeforeAndAfterTheyLeaveTheNumberOrder)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        XmlTreeItems items;
        Model model;
        items.reserveItems(16);
        for (size_t i = 0; i < row.steps.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(apply(items, model, row.steps[i]), row.steps[i].error);
            expectSame(items, model);
        }
        QStringList keys;
        for (qsizetype pos = 1; pos <= items.itemCount(); ++pos)
            keys << items.itemKeyAt(pos);
        EXPECT_EQ(keys, row.keys);
        // Selection, bold marks and the expanded state stay with their items.
        const QString last = row.keys.last();
        items.selectItem(last.toUpper());
        items.setItemBold(last.toLower(), true);
        items.expandItem(last);
        EXPECT_EQ(items.selectedKey(), last);
        EXPECT_TRUE(items.isItemBold(last));
        EXPECT_TRUE(items.expandedOf(items.indexOf(last)));
        EXPECT_FALSE(items.isItemBold(row.keys.first()));
        EXPECT_FALSE(items.expandedOf(items.indexOf(row.keys.first())));
        items.removeItem(last);
        EXPECT_EQ(items.selectedKey(), QString());
    }
}

namespace {

size_t heapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

} // namespace

TEST(XmlTreeItems, ADocumentsItemsTakeAtMostSeventeenBytesEach)
{
    // A document of a hundred thousand elements, ten under each parent.
    constexpr int kCount = 100000;
    const xmltree::SharedText name(QStringLiteral("Element"));
    const size_t before = heapBytes();
    {
        XmlTreeItems items;
        items.reserveItems(kCount);
        items.addNumberedItem(-1, 1, name);
        for (qint32 n = 2; n <= kCount; ++n)
            items.addNumberedItem(n / 10 + 1, n, name);
        const double perItem = double(heapBytes() - before) / kCount;
        EXPECT_LE(perItem, 17.1);
        EXPECT_EQ(items.itemKeyAt(kCount), QStringLiteral("nod%1").arg(kCount));
        EXPECT_EQ(items.keyOf(items.parentOf(items.indexOf(QStringLiteral("NOD5000")))), QStringLiteral("nod501"));
        EXPECT_EQ(items.childCountOf(items.indexOf(QStringLiteral("nod501"))), 10);
    }
}
