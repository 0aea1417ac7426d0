#include "hub/xml/TreeSearch.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeView.h"
#include "hub/xml/clsNode.h"
#include "platform/Ui.h"

#include <QElapsedTimer>

namespace treesearch {

namespace {

// The character at a position from 1; "" outside the text.
QString charAt(const QString& text, qsizetype position)
{
    return position >= 1 && position <= text.size() ? QString(text.at(position - 1)) : QString();
}

} // namespace

qsizetype FirstMatch(const QString& text, const QString& find)
{
    if (find.isEmpty())
        return 1;
    const qsizetype at = text.indexOf(find, 0, Qt::CaseInsensitive);
    return at < 0 ? 0 : at + 1;
}

bool StandsAlone(const QString& text, qsizetype p, qsizetype n)
{
    if (p > 1)
        return !IsWordChars(charAt(text, p + n)) && !IsWordChars(charAt(text, p - 1));
    return !IsWordChars(charAt(text, n + 1));
}

bool IsHit(const QString& text, const QString& find, bool wholeWord)
{
    const qsizetype p = FirstMatch(text, find);
    if (p == 0)
        return false;
    return !wholeWord || StandsAlone(text, p, find.size());
}

QString ReplaceAll(const QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    QString result = text;
    result.replace(find, replacement, Qt::CaseInsensitive);
    return result;
}

QString TooLongMessage()
{
    return QStringLiteral("Unfortunately, this file is too long for this Search to work.\r\n"
                          "Please open in the Veltrane editor and run Search there.");
}

QString NotFoundMessage()
{
    return QStringLiteral("Not found");
}

QString EmptyReplaceMessage()
{
    return QStringLiteral("You have not entered anything in the Replace box?");
}

} // namespace treesearch

using namespace treesearch;

TreeSearch::TreeSearch(XmlTreeDocument& document, XmlTreeView& view, TreeSearchHost& host)
    : m_document(document)
    , m_view(view)
    , m_host(host)
{
}

bool TreeSearch::itemsWithinLimit() const
{
    if (m_view.itemCount() <= MaxItems)
        return true;
    exclaim(TooLongMessage());
    return false;
}

void TreeSearch::Find(const QString& text, bool wholeWord)
{
    walk(Walk::Names, text, wholeWord);
}

void TreeSearch::FindAll(const QString& text, bool wholeWord)
{
    walk(Walk::NamesAll, text, wholeWord);
}

void TreeSearch::FindInText(const QString& text, bool wholeWord)
{
    walk(Walk::Texts, text, wholeWord);
}

void TreeSearch::ReplaceAll(const QString& find, const QString& replacement, bool wholeWord)
{
    walk(Walk::ReplaceTexts, find, wholeWord, replacement);
}

void TreeSearch::Replace(const QString& find, const QString& replacement)
{
    if (replacement.isEmpty()) {
        exclaim(EmptyReplaceMessage());
        return;
    }
    const QString box = m_host.characters();
    if (FirstMatch(box, find) == 0)
        return;
    const QString result = treesearch::ReplaceAll(box, find, replacement);
    // A text box that gets the text it holds reports no change.
    if (result != box)
        m_host.replaceCharacters(result);
}

void TreeSearch::walk(Walk kind, const QString& text, bool wholeWord, const QString& replacement)
{
    SharedState& s = shared();
    if (kind != Walk::NamesAll)
        s.FindContinue = false;
    s.SearchText = text;
    if (!itemsWithinLimit())
        return;

    const bool inTexts = kind == Walk::Texts || kind == Walk::ReplaceTexts;
    bool shown = false; // a hit was shown

    // Items are selected (and, in a text search, clicked) in turn. The window shows that and
    // processes its events every few hundredths of a second rather than after every one of
    // tens of thousands of items; until it does, an element is made current without
    // filling the frames, which no one can see or touch before the events run.
    QElapsedTimer sincePump;
    sincePump.start();
    QString shownKey; // the item whose element the frames show
    const auto catchUp = [&](const QString& key) {
        m_host.selectItem(key, true);
        if (inTexts && shownKey != key) {
            m_host.nodeClick(key);
            shownKey = key;
        }
        ui().doEvents();
        sincePump.restart();
    };
    const auto due = [&sincePump] { return sincePump.elapsed() >= 40; };

    // The items as they were when the search started; the user may change the tree while
    // window events are processed, so positions and keys are checked as the walk goes.
    const qsizetype count = m_view.itemCount();
    QString lastSelected;
    for (qsizetype position = 1; position <= count && position <= m_view.itemCount(); ++position) {
        const QString key = m_view.itemKeyAt(position);
        QString candidate;
        if (inTexts) {
            m_host.focusTree();
            m_host.selectItem(key, false);
            m_document.FindNodeByKey(key);
            lastSelected = key;
            candidate = m_document.CurrentNode()->NodeCharacters();
        } else {
            candidate = m_view.itemText(key);
        }
        if (!IsHit(candidate, s.SearchText, wholeWord)) {
            if (inTexts && due())
                catchUp(key);
            continue;
        }
        shown = true;

        if (kind == Walk::NamesAll) {
            m_host.focusTree();
            m_host.selectItem(key, false);
            m_view.setItemBold(key, true);
            lastSelected = key;
            if (due())
                catchUp(key);
            continue;
        }

        if (kind == Walk::ReplaceTexts) {
            m_view.setItemBold(key, true);
            if (replacement.isEmpty()) {
                m_host.focusTree();
                catchUp(key);
                m_host.showCharacters(candidate);
                ui().doEvents();
                exclaim(EmptyReplaceMessage());
                return;
            }
            s.FindContinue = true;
            const QString result = treesearch::ReplaceAll(candidate, s.SearchText, replacement);
            if (result != candidate) {
                // What the text box's change handler does with the new text.
                m_document.CurrentNode()->setNodeCharacters(result);
                m_document.SetModified(true);
                if (shownKey == key)
                    shownKey.clear();
            }
            if (due())
                catchUp(key);
            continue;
        }

        // "Find" and "Find in Text": the hit is shown and the user asked about it.
        m_host.focusTree();
        catchUp(key);
        m_view.setItemBold(key, true);
        if (inTexts)
            m_host.showCharacters(candidate);
        ui().doEvents();
        s.FindContinue = true;
        m_host.askFindContinue();
        if (s.FindContinue)
            return;
        if (m_view.hasItem(key))
            m_view.setItemBold(key, false);
        s.FindContinue = true;
    }
    // The walk ends on the last item it selected, shown as the window shows a selection.
    if (!lastSelected.isEmpty() && m_view.hasItem(lastSelected))
        catchUp(lastSelected);
    // Said once, after the walk, whenever no hit was shown.
    if (!shown)
        ui().msgBox(NotFoundMessage(), vb::vbOKOnly, Ui::programTitle());
}
