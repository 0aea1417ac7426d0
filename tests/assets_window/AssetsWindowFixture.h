#pragma once
// The asset list window on a copy of the sample game, with the test serializer installed
// and the scripted user interface; helpers that make game files in the serializer's binary
// form, read them back, and pick grid rows.

#include "assets/frmAssets.h"
#include "common/FlexGridWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/Serializer.h"
#include "common/SharedState.h"

#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <gtest/gtest.h>

class AssetsWindowTest : public SampleGameFixture {
protected:
    AssetsWindowTest() : SampleGameFixture({.serz = true}) {}
    void TearDown() override
    {
        if (frmAssets* w = frmAssets::loaded()) {
            w->close();
            delete w;
        }
        SampleGameFixture::TearDown();
    }

    // The loaded window, loading it first.
    frmAssets* open() { return frmAssets::showWindow(); }

    // The game folder's path of a file below "Assets", in the game's own form.
    QString asset(const QString& belowAssets) const
    {
        return tree.gamePath() + QStringLiteral("\\Assets\\") + belowAssets;
    }
    static QString rel(const QString& belowAssets)
    {
        QString r = QStringLiteral("game/Assets/") + belowAssets;
        return r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    }

    // Writes a game file in the serializer's binary form made from xml.
    void writeBinary(const QString& relPath, const QByteArray& xml)
    {
        const QString source = tree.writeFile(QStringLiteral("fixture/source.xml"), xml);
        QDir().mkpath(QFileInfo(tree.path(relPath)).absolutePath());
        const ConversionResult made = RunSerz(source, serz::ToBin, tree.path(relPath), tree.programPath());
        ASSERT_TRUE(made.ok) << made.error.toStdString();
    }

    // The XML bytes of a game file in the serializer's binary form ("" when it cannot be read).
    QByteArray decodeBinary(const QString& relPath)
    {
        const QString out = tree.path(QStringLiteral("fixture/decoded.xml"));
        QDir().mkpath(QFileInfo(out).absolutePath());
        QFile::remove(out);
        if (!RunSerz(tree.path(relPath), serz::ToXml, out, tree.programPath()).ok)
            return QByteArray();
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A scenery blueprint's XML; an empty flag leaves the ValidInScenarios element out.
    static QByteArray scenery(const QByteArray& name, const QByteArray& flag)
    {
        QByteArray x = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
                       "\t\t<cSceneryBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">"
                       + name + "</Name>\r\n\t\t\t<Category d:type=\"cDeltaString\">eBuildings</Category>\r\n";
        if (!flag.isEmpty())
            x += "\t\t\t<ValidInScenarios d:type=\"cDeltaString\">" + flag + "</ValidInScenarios>\r\n";
        x += "\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n\t\t\t\t\t<English d:type=\"cDeltaString\">"
             + name
             + "</English>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n"
               "\t\t</cSceneryBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
        return x;
    }

    // Lists a folder below "Assets" with the pattern box's text.
    void addToList(frmAssets* w, const QString& belowAssets, const QString& pattern = QStringLiteral("*.bin"))
    {
        w->Dir1->setPath(asset(belowAssets));
        w->Text1->setText(pattern);
        w->Command1_Click();
    }

    static QStringList gridRow(const frmAssets* w, int row)
    {
        QStringList cells;
        for (int c = 0; c < w->VsFg1->Cols(); ++c)
            cells << w->VsFg1->TextMatrix(row, c);
        return cells;
    }
    // The rows from 2 on, each as its tab-joined cells.
    static QStringList listedRows(const frmAssets* w)
    {
        QStringList rows;
        for (int r = 2; r < w->VsFg1->Rows(); ++r)
            rows << gridRow(w, r).join(QLatin1Char('\t'));
        return rows;
    }
    // The grid row whose Name cell is name; -1 when none.
    static int rowNamed(const frmAssets* w, const QString& name)
    {
        for (int r = 2; r < w->VsFg1->Rows(); ++r) {
            if (w->VsFg1->TextMatrix(r, 3) == name)
                return r;
        }
        return -1;
    }
    // Selects exactly these grid rows.
    static void selectRows(frmAssets* w, const QList<int>& rows)
    {
        w->VsFg1->clearSelection();
        for (int r : rows) {
            w->VsFg1->selectionModel()->select(w->VsFg1->model()->index(r - 1, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // Selects exactly the grid rows of these display names (each must be listed).
    static void selectNamed(frmAssets* w, const QStringList& names)
    {
        QList<int> rows;
        for (const QString& name : names) {
            rows << rowNamed(w, name);
            EXPECT_GE(rows.last(), 2) << name.toStdString();
        }
        selectRows(w, rows);
    }
    // Opens the window on the blueprints of a folder below Assets and selects these names.
    frmAssets* openOn(const QString& belowAssets, const QStringList& names)
    {
        frmAssets* w = open();
        addToList(w, belowAssets);
        selectNamed(w, names);
        return w;
    }
};
