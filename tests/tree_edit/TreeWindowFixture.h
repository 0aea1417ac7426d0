#pragma once
// A fixture for the tree page's window tests: its own program, game and Wine folders with
// the sample game, the scripted user interface, a started main window on the tree page, and
// checks that the tree view and the document agree.

#include "common/Serializer.h"
#include "common/SharedState.h"
#include "hub/Preferences.h"
#include "hub/frmEditor.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/XmlTreeWidget.h"
#include "hub/xml/clsNode.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "platform/Paths.h"

#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Input as the window system delivers it.
namespace input {

inline void mouseClick(QWidget* widget, Qt::MouseButton button, const QPoint& pos)
{
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

inline void keyClick(QWidget* widget, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

inline void keyClicks(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        keyClick(widget, c.toUpper().unicode(), QString(c));
}

} // namespace input

class TreeWindowTest : public UiFixture {
protected:
    static QString scenarioRel()
    {
        return QStringLiteral("Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70/Scenarios/"
                              "7f6e5d4c-3b2a-4190-8877-665544332211/Scenario.bin");
    }
    static QString otherScenarioRel()
    {
        return QStringLiteral("Content/Routes/9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f/Scenarios/"
                              "a1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071/Scenario.bin");
    }
    static QString tracksRel()
    {
        return QStringLiteral("Content/Routes/9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f/Networks/Tracks.bin");
    }

    // The sample game, settings that make the tree page the default editor, and a started
    // window showing the tree page.
    std::unique_ptr<frmEditor> startWindow(bool treeDefault = true)
    {
        EXPECT_TRUE(copySampleGame(tree.gamePath()));
        PreferencesRecord rec;
        rec.Width = 16800;
        rec.Height = 12600;
        rec.GamePath = tree.gamePath();
        rec.XmlEditorDefault = treeDefault;
        tree.writeFile(QStringLiteral("program/preferences.txt"), FormatPreferences(rec));
        auto w = std::make_unique<frmEditor>();
        w->Form_Load();
        return w;
    }

    QString game(const QString& rel) const { return tree.gamePath() + QLatin1Char('/') + rel; }

    static QByteArray bytesOf(const QString& path)
    {
        QFile f(platform::nativePath(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The XML of a binary game file, as the test serializer turns it back.
    static QByteArray xmlOf(const QString& binaryPath) { return xmlOfGameFile(binaryPath); }

    // Writes an XML file into the game folder and opens it with the tree page's XML open.
    QString openXml(frmEditor& w, const QString& name, const QByteArray& xml)
    {
        const QString path = tree.writeFile(QStringLiteral("game/") + name, xml);
        ui.expectOpenFile(path);
        w.mnuOpenXCT_Click();
        return path;
    }

    // Opens a game file with the tree page's game-file open.
    void openGame(frmEditor& w, const QString& path)
    {
        ui.expectOpenFile(path);
        w.mnuFileOpen_Click();
    }

    // Clicks the item of the element with that key, as the user would: the item becomes
    // the tree's current one.
    static void click(frmEditor& w, const QString& key)
    {
        QTreeWidgetItem* item = w.trevwContents->itemForKey(key);
        ASSERT_NE(item, nullptr) << key.toStdString();
        w.trevwContents->scrollToItem(item);
        if (w.trevwContents->currentItem() == item)
            w.trevwContents_NodeClick(key);
        else
            w.trevwContents->setCurrentItem(item);
    }

    // Types a name into the open label editor of the tree and presses Enter.
    static void typeLabel(frmEditor& w, const QString& text)
    {
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : w.trevwContents->viewport()->findChildren<QLineEdit*>()) {
            if (e->isVisible())
                editor = e;
        }
        ASSERT_NE(editor, nullptr) << "no label editor is open";
        editor->setText(text);
        input::keyClick(editor, Qt::Key_Return, QStringLiteral("\r"));
        // The view commits the edit when the events queued by the key are processed.
        QCoreApplication::processEvents();
    }

    static clsNode* element(frmEditor& w, const QString& key) { return w.TreeDocument.NodeByKey(key); }

    // The key of the first element without children, in document order.
    static QString firstLeafKey(frmEditor& w)
    {
        const clsNode* node = w.TreeDocument.DocumentElement();
        while (node && node->ChildNodes() && node->ChildNodes()->Count() > 0)
            node = node->ChildNodes()->Item(1);
        return node ? node->NodeKey() : QString();
    }

    static QStringList listEntries(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    // The tree view holds exactly one item per element: same key, the element's name as
    // text, under its parent's item, children in the document's order.
    static void expectViewMatchesDocument(frmEditor& w)
    {
        const XmlTreeItems& items = w.trevwContents->content();
        const clsNode* root = w.TreeDocument.RootNode();
        qsizetype elements = 0;
        const clsNode* document = root && root->ChildNodes() && root->ChildNodes()->Count() > 0
            ? root->ChildNodes()->Item(1)
            : nullptr;
        if (!document) {
            EXPECT_EQ(items.itemCount(), 0);
            return;
        }
        EXPECT_EQ(root->ChildNodes()->Count(), 1);
        const int top = items.firstTopLevel();
        ASSERT_NE(top, XmlTreeItems::npos);
        EXPECT_EQ(items.nextSiblingOf(top), XmlTreeItems::npos) << "one top-level item";
        std::vector<std::pair<const clsNode*, int>> stack{{document, top}};
        while (!stack.empty()) {
            const auto [node, item] = stack.back();
            stack.pop_back();
            ++elements;
            EXPECT_EQ(items.keyOf(item).toLower(), node->NodeKey().toLower());
            EXPECT_EQ(items.textOf(item), node->NodeName()) << node->NodeKey().toStdString();
            int child = items.firstChildOf(item);
            if (node->ChildNodes()) {
                for (const clsNode* c : *node->ChildNodes()) {
                    EXPECT_EQ(c->ParentNode(), node);
                    if (child == XmlTreeItems::npos) {
                        ADD_FAILURE() << "no item for " << c->NodeKey().toStdString();
                        break;
                    }
                    stack.emplace_back(c, child);
                    child = items.nextSiblingOf(child);
                }
            }
            EXPECT_EQ(child, XmlTreeItems::npos) << "an item without element below " << node->NodeKey().toStdString();
        }
        EXPECT_EQ(items.itemCount(), elements);
    }
};
