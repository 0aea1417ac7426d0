#pragma once
// The tree page's editing commands on the document and its tree view: names checked before
// they reach the document, new elements, deletion, copy and paste. Each command changes
// the view and the document together, finding items and elements by their keys, so the
// two never differ. The window asks its questions and shows the frames; this does the work.

#include <QString>
#include <QStringList>

class XmlTreeDocument;
class clsNode;

namespace treeedit {

// A refusal of a name: the message box to show. Empty text means the name is accepted.
struct Refusal {
    QString text;
    int style = 0;
    QString title;
    explicit operator bool() const { return !text.isEmpty(); }
};

// Whether text is an XML name (letters, digits, ".", "-", "_", ":" and the other name
// characters of XML 1.0, not starting with a digit, ".", "-" or a combining mark).
bool IsXmlName(const QString& text);

// An element name typed into an item's label: refused when it holds a blank, is empty or is
// not an XML name.
Refusal CheckNodeName(const QString& name);

// The name of a new attribute (the attribute dialog's "OK"): refused when empty, when it
// holds a blank, when it is not an XML name, or when the element already has an attribute
// of that name (existing: the element's attribute names).
Refusal CheckNewAttributeName(const QString& name, const QStringList& existing);

// The new name of the attribute at position (1-based) of the element's attributes: refused
// when it holds a blank, is not an XML name, or another attribute has that name.
Refusal CheckAttributeRename(const QString& name, const QStringList& existing, qsizetype position);

// The element's attribute names in order (none for the empty node).
QStringList AttributeNames(const clsNode& element);

// "&New Primary Node" in an empty document: the element "PrimaryNode" with key "nod1" and
// its top-level item; NodeKeyCounter 1. Returns the key, or "" when the document already
// has a document element (nothing is changed then).
QString NewPrimaryNode(XmlTreeDocument& document);

// "&New Child Node": the element "ChildNode" with the next key, last child of parent, and
// its item last below parent's own item. Returns the new key.
QString NewChildNode(XmlTreeDocument& document, clsNode& parent);

// Removes an element that is not the document element from its parent's child list and its
// item (with everything below) from the view. CurrentNode becomes a new empty node. False,
// with nothing changed, for the document element or a node outside the document.
bool DeleteChildElement(XmlTreeDocument& document, clsNode& element);

// Copy: the clipboard becomes a copy of the element with new keys.
void CopyToClipboard(XmlTreeDocument& document, const clsNode& element);

// Paste: a fresh copy of the clipboard (new keys) becomes the last child of parent, and the
// view gets items for the whole pasted subtree below parent's item. Returns the copy's key,
// or "" when the clipboard is empty.
QString PasteClipboard(XmlTreeDocument& document, clsNode& parent);

} // namespace treeedit
