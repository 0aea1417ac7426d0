#pragma once
// The tree page's search: finds elements by name, finds text in elements and replaces it.
// The searches visit the tree view's items by position, 1 to the item count (the order in
// which the items were added), show each hit by selecting the item and setting it bold, and
// the one-at-a-time searches ask whether the hit is the one wanted. The window provides the
// focus, the selection, the text box and the question through TreeSearchHost.

#include <QString>

class XmlTreeDocument;
class XmlTreeView;

namespace treesearch {

// A search runs only over trees of at most this many items.
inline constexpr qsizetype MaxItems = 65500;

// The position (from 1) of the first occurrence of find in text, letter case ignored; 0 when
// there is none. An empty find is found at position 1 of every text.
qsizetype FirstMatch(const QString& text, const QString& find);

// Whether the occurrence at position p of a text n characters long stands as a whole word:
// the characters around it (at p - 1 and p + n; only p + n when p is 1) are no word
// characters (IsWordChars).
bool StandsAlone(const QString& text, qsizetype p, qsizetype n);

// Whether text is a hit: find occurs in it and, with wholeWord, its first occurrence stands
// alone (a later one that would does not count).
bool IsHit(const QString& text, const QString& find, bool wholeWord);

// Every occurrence of find, letter case ignored, replaced by replacement, from the first
// character on; an empty find changes nothing.
QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);

// The messages of the search.
QString TooLongMessage();
QString NotFoundMessage();
QString EmptyReplaceMessage();

} // namespace treesearch

// What the searches need of the window.
class TreeSearchHost {
public:
    virtual ~TreeSearchHost() = default;
    // The tree view gets the input focus.
    virtual void focusTree() = 0;
    // The item becomes the selected one, as the program selects it (no item click);
    // reveal scrolls the tree to it.
    virtual void selectItem(const QString& key, bool reveal) = 0;
    // As a click on the item: its element becomes current and the frames show it.
    virtual void nodeClick(const QString& key) = 0;
    // The text box shows a text; that is no edit.
    virtual void showCharacters(const QString& text) = 0;
    // The text box's text as it would be saved.
    virtual QString characters() const = 0;
    // The text box gets a new text as an edit: it goes into the current element, and the
    // document is modified.
    virtual void replaceCharacters(const QString& text) = 0;
    // Shows the question "Is this the item you wished to find?" modally; its answer is the
    // shared FindContinue (True: stop, False: continue).
    virtual void askFindContinue() = 0;
};

class TreeSearch {
public:
    TreeSearch(XmlTreeDocument& document, XmlTreeView& view, TreeSearchHost& host);

    // "Find": element names, one hit at a time.
    void Find(const QString& text, bool wholeWord);
    // "Find All": every element whose name matches, without questions.
    void FindAll(const QString& text, bool wholeWord);
    // "Find in Text": element texts, one hit at a time.
    void FindInText(const QString& text, bool wholeWord);
    // "Replace": every occurrence of find in the text box, for the current element.
    void Replace(const QString& find, const QString& replacement);
    // "Replace All": every occurrence in the texts of all elements that match.
    void ReplaceAll(const QString& find, const QString& replacement, bool wholeWord);

private:
    enum class Walk { Names, NamesAll, Texts, ReplaceTexts };
    void walk(Walk kind, const QString& text, bool wholeWord, const QString& replacement = QString());
    bool itemsWithinLimit() const;

    XmlTreeDocument& m_document;
    XmlTreeView& m_view;
    TreeSearchHost& m_host;
};
