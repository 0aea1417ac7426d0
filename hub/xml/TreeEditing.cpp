#include "hub/xml/TreeEditing.h"

#include "hub/xml/NodeKeys.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeView.h"
#include "hub/xml/clsNode.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "platform/Ui.h"

#include <memory>

namespace treeedit {

namespace {

bool isNameStart(char32_t c)
{
    return c == U':' || c == U'_' || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')
        || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF)
        || (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D)
        || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF)
        || (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c)
{
    return isNameStart(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') || c == 0xB7
        || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

const QString NameRule = QStringLiteral(
    " A name starts with a letter, \"_\" or \":\" and holds only letters, digits, \".\", \"-\", \"_\" and \":\".");

Refusal refusal(const QString& text, int style, const QString& title)
{
    return Refusal{text, style, title};
}

// The position (1-based) of a name among names, 0 when absent; compared exactly, as XML
// compares names.
qsizetype positionOf(const QString& name, const QStringList& names)
{
    const qsizetype i = names.indexOf(name);
    return i < 0 ? 0 : i + 1;
}

} // namespace

bool IsXmlName(const QString& text)
{
    if (text.isEmpty())
        return false;
    bool first = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !text.at(i + 1).isLowSurrogate())
                return false;
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
        if (first ? !isNameStart(c) : !isNameChar(c))
            return false;
        first = false;
    }
    return true;
}

Refusal CheckNodeName(const QString& name)
{
    const int exclaim = vb::vbOKOnly + vb::vbExclamation;
    const QString title = QStringLiteral("Invalid character");
    if (name.contains(QLatin1Char(' ')))
        return refusal(QStringLiteral("Node names cannot have spaces!"), exclaim, title);
    if (name.isEmpty())
        return refusal(QStringLiteral("Node names cannot be empty!"), exclaim, title);
    if (!IsXmlName(name))
        return refusal(QStringLiteral("\"") + name + QStringLiteral("\" is not a valid node name.") + NameRule, exclaim,
                       title);
    return {};
}

Refusal CheckNewAttributeName(const QString& name, const QStringList& existing)
{
    if (name.isEmpty())
        return refusal(QStringLiteral("Please enter a name. The value box may be left blank,\r\n"
                                      "however, the name must be supplied."),
                       vb::vbOKOnly + vb::vbCritical, QStringLiteral("Name missing"));
    const int exclaim = vb::vbOKOnly + vb::vbExclamation;
    if (name.contains(QLatin1Char(' ')))
        return refusal(QStringLiteral("Attribute names are not allowed spaces in them."), exclaim,
                       QStringLiteral("Invalid Character"));
    if (!IsXmlName(name))
        return refusal(QStringLiteral("\"") + name + QStringLiteral("\" is not a valid attribute name.") + NameRule,
                       exclaim, QStringLiteral("Invalid Character"));
    if (positionOf(name, existing) > 0)
        return refusal(QStringLiteral("This node already has an attribute named \"") + name + QStringLiteral("\"."),
                       exclaim, QStringLiteral("Duplicate Attribute"));
    return {};
}

Refusal CheckAttributeRename(const QString& name, const QStringList& existing, qsizetype position)
{
    const int exclaim = vb::vbOKOnly + vb::vbExclamation;
    if (name.contains(QLatin1Char(' ')))
        return refusal(QStringLiteral("No spaces are allowed to be used in the attribute's name"), exclaim,
                       QStringLiteral("Invalid Character"));
    if (!IsXmlName(name))
        return refusal(QStringLiteral("\"") + name + QStringLiteral("\" is not a valid attribute name.") + NameRule,
                       exclaim, QStringLiteral("Invalid Character"));
    for (qsizetype i = 0; i < existing.size(); ++i) {
        if (i + 1 != position && existing.at(i) == name)
            return refusal(QStringLiteral("This node already has an attribute named \"") + name
                               + QStringLiteral("\"."),
                           exclaim, QStringLiteral("Duplicate Attribute"));
    }
    return {};
}

QStringList AttributeNames(const clsNode& element)
{
    QStringList names;
    if (const clsNodeAttributes* attributes = element.NodeAttributes()) {
        names.reserve(attributes->Count());
        for (const clsNodeAttribute* a : *attributes)
            names << a->AttribName();
    }
    return names;
}

QString NewPrimaryNode(XmlTreeDocument& document)
{
    clsNode* root = document.RootNode();
    if (!root)
        return QString();
    if (!root->ChildNodes())
        root->setEmptyLists();
    if (root->ChildNodes()->Count() > 0)
        return QString();
    const QString key = xmltree::keyText(1);
    const QString name = QStringLiteral("PrimaryNode");
    // The item first: when the view refuses it, the document is not changed either.
    if (XmlTreeView* view = document.view()) {
        view->addItem(QString(), key, name);
        view->selectItem(key);
    }
    document.NodeKeyCounter = 1;
    root->ChildNodes()->AddElement(name, QString(), root, key);
    return key;
}

QString NewChildNode(XmlTreeDocument& document, clsNode& parent)
{
    if (!parent.ChildNodes())
        parent.setEmptyLists();
    const qint64 number = document.NodeKeyCounter + 1;
    const QString key = xmltree::keyText(number);
    const QString name = QStringLiteral("ChildNode");
    if (XmlTreeView* view = document.view()) {
        view->addItem(parent.NodeKey(), key, name);
        view->selectItem(key);
    }
    document.NodeKeyCounter = number;
    parent.ChildNodes()->AddElement(name, QString(), &parent, key);
    return key;
}

bool DeleteChildElement(XmlTreeDocument& document, clsNode& element)
{
    clsNode* parent = element.ParentNode();
    if (!parent || parent == document.RootNode() || !parent->ChildNodes())
        return false;
    clsNodes* siblings = parent->ChildNodes();
    qsizetype position = 0;
    for (qsizetype i = 1; i <= siblings->Count(); ++i) {
        if (siblings->Item(i) == &element) {
            position = i;
            break;
        }
    }
    if (position == 0)
        return false;
    const QString key = element.NodeKey();
    if (XmlTreeView* view = document.view()) {
        if (view->hasItem(key))
            view->removeItem(key);
    }
    // Nothing may point at the element or below it once it is gone.
    document.clearCurrentNode();
    siblings->Remove(position);
    return true;
}

void CopyToClipboard(XmlTreeDocument& document, const clsNode& element)
{
    auto copy = std::make_unique<clsNode>();
    document.CopyNodeTree(element, *copy, nullptr);
    document.setClipboardNode(std::move(copy));
}

QString PasteClipboard(XmlTreeDocument& document, clsNode& parent)
{
    const clsNode* clipboard = document.ClipboardNode();
    if (!clipboard)
        return QString();
    if (!parent.ChildNodes())
        parent.setEmptyLists();
    auto copy = std::make_unique<clsNode>();
    document.CopyNodeTree(*clipboard, *copy, &parent);
    const QString key = copy->NodeKey();
    if (XmlTreeView* view = document.view()) {
        document.AddTreeNode(parent.NodeKey(), *copy);
        try {
            document.AddTreeChildren(key, *copy);
        } catch (...) {
            // The view takes the pasted items back, so that it still shows the document.
            view->removeItem(key);
            throw;
        }
    }
    parent.ChildNodes()->AddNode(std::move(copy));
    return key;
}

} // namespace treeedit
