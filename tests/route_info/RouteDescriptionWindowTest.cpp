// "Add Route Description" on a copy of the sample game: the selection dialog's answers, the
// folders it makes, the page the description editor writes and its failures.

#include "routes/dlgSelRoute.h"
#include "routes/frmDesc.h"

#include "common/SharedState.h"
#include "platform/TextCodec.h"
#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>
#include "support/ScopedEnv.h"
#include "support/GameFixture.h"

namespace {

const QString kValley = QStringLiteral("game/Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");

class RouteDescriptionWindow : public SampleGameFixture {
protected:
    RouteDescriptionWindow() : SampleGameFixture({.programData = true}) {}
    void SetUp() override
    {
        SampleGameFixture::SetUp();
        if (HasFatalFailure())
            return;
        templ = tree.readFile(QStringLiteral("program/Templates/Description.txt"));
        ASSERT_FALSE(templ.isEmpty());
    }
    void TearDown() override
    {
        delete frmDesc::existing();
        SampleGameFixture::TearDown();
    }

    // Answers the selection dialog by choosing a line (-1: none) and pressing OK.
    void expectChoice(int row)
    {
        ui.expectModal(
            [row](QWidget* w) {
                auto* d = qobject_cast<dlgSelRoute*>(w);
                ASSERT_NE(d, nullptr);
                ASSERT_EQ(d->List1->count(), 2);
                EXPECT_EQ(d->List1->item(0)->text(), QStringLiteral("Veltrane Valley Line"));
                EXPECT_EQ(d->List1->item(1)->text(), QStringLiteral("Eastfield Branch"));
                if (row >= 0)
                    d->List1->setCurrentRow(row);
                d->OKButton->click();
            },
            QStringLiteral("Select Route"));
    }

    void fill(const QStringList& texts)
    {
        frmDesc* w = frmDesc::existing();
        ASSERT_NE(w, nullptr);
        w->Text1->setText(texts[0]);
        w->Text2->setText(texts[1]);
        w->Text3->setPlainText(texts[2]);
        w->Text4->setPlainText(texts[3]);
        w->Text5->setPlainText(texts[4]);
    }

    QByteArray expectedPage(const QList<QByteArray>& texts) const
    {
        QByteArray page = templ;
        const char* tokens[] = {"AAAAA", "BBBBB", "CCCCC", "DDDDD", "EEEEE"};
        for (int i = 0; i < 5; ++i)
            page.replace(tokens[i], texts[i]);
        return page;
    }

    QByteArray templ;
};

const QString kSaved = QStringLiteral("Your Description file has been saved in the route's\r\nRouteInformation\\En folder.");

} // namespace

TEST_F(RouteDescriptionWindow, NoChoiceCreatesNothing)
{
    struct Row {
        const char* what;
        std::function<void(dlgSelRoute*)> act;
    } rows[] = {
        {"Cancel", [](dlgSelRoute* d) { d->List1->setCurrentRow(0); d->CancelButton->click(); }},
        {"OK without a line", [](dlgSelRoute* d) { d->OKButton->click(); }},
        {"close box", [](dlgSelRoute* d) { d->List1->setCurrentRow(1); d->close(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        shared().SelectedRouteIndex = 1; // an earlier answer is not reused
        ui.expectModal([&row](QWidget* w) { row.act(qobject_cast<dlgSelRoute*>(w)); }, QStringLiteral("Select Route"));
        frmDesc::addRouteDescription();
        EXPECT_EQ(shared().SelectedRouteIndex, 9999);
        EXPECT_EQ(frmDesc::existing(), nullptr);
        EXPECT_FALSE(tree.exists(kValley + QStringLiteral("/RouteInformation")));
        EXPECT_TRUE(ui.messages().isEmpty());
    }
}

TEST_F(RouteDescriptionWindow, WritesThePageAndReplacesItTheNextTime)
{
    expectChoice(0);
    frmDesc::addRouteDescription();
    ASSERT_TRUE(tree.exists(kValley + QStringLiteral("/RouteInformation/En")));
    EXPECT_EQ(shared().RouteInfoFolder,
              tree.gamePath() + QStringLiteral("\\Content\\Routes\\5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70\\RouteInformation\\En"));
    ASSERT_NE(frmDesc::existing(), nullptr);
    EXPECT_EQ(frmDesc::existing()->windowTitle(), QStringLiteral("Description Editor"));
    fill({QStringLiteral("Valley <b>Line</b>"), QString(), QStringLiteral(u"Caf\u00e9 & more"), QString(),
          QStringLiteral("Last")});
    ui.expectMsgBox(vb::vbOK, kSaved);
    frmDesc::existing()->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmDesc::existing(), nullptr);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    const QString page = kValley + QStringLiteral("/RouteInformation/En/Description.html");
    EXPECT_EQ(tree.readFile(page), expectedPage({"Valley <b>Line</b>", "", "Caf\xe9 & more", "", "Last"}));

    // Again: the folders are there, the editor opens empty and the page is replaced.
    expectChoice(0);
    frmDesc::addRouteDescription();
    ASSERT_NE(frmDesc::existing(), nullptr);
    EXPECT_TRUE(frmDesc::existing()->Text1->text().isEmpty());
    EXPECT_TRUE(frmDesc::existing()->Text3->toPlainText().isEmpty());
    fill({QStringLiteral("Second"), QStringLiteral("Sub"), QString(), QStringLiteral("P2"), QString()});
    ui.expectMsgBox(vb::vbOK, kSaved);
    frmDesc::existing()->Command1->click();
    EXPECT_EQ(tree.readFile(page), expectedPage({"Second", "Sub", "", "P2", ""}));
    EXPECT_FALSE(tree.exists(page + QStringLiteral(".bak")));
}

TEST_F(RouteDescriptionWindow, MissingTemplateKeepsTheEditorOpen)
{
    ASSERT_TRUE(QFile::remove(tree.path(QStringLiteral("program/Templates/Description.txt"))));
    expectChoice(1);
    frmDesc::addRouteDescription();
    ASSERT_NE(frmDesc::existing(), nullptr);
    fill({QStringLiteral("T"), QString(), QString(), QString(), QString()});
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Description.txt is missing or empty."));
    frmDesc::existing()->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(frmDesc::existing(), nullptr);
    EXPECT_EQ(frmDesc::existing()->Text1->text(), QStringLiteral("T"));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Content/Routes/9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f/RouteInformation/En/Description.html")));
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(RouteDescriptionWindow, CancelEmptiesAndCloses)
{
    expectChoice(0);
    frmDesc::addRouteDescription();
    fill({QStringLiteral("T"), QString(), QString(), QString(), QString()});
    frmDesc::existing()->Command2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmDesc::existing(), nullptr);
    EXPECT_FALSE(tree.exists(kValley + QStringLiteral("/RouteInformation/En/Description.html")));
}

TEST_F(RouteDescriptionWindow, UnusableRouteFolderIsReported)
{
    for (const char* folder : {"..", "a\\b", ""}) {
        SCOPED_TRACE(folder);
        tree.writeFile(QStringLiteral("game/Content/Routes.xml"),
                       QByteArray("<r><cGUID><DevString d:type=\"cDeltaString\">") + folder
                           + "</DevString></cGUID><DisplayName><English>Odd</English></DisplayName></r>");
        ui.expectModal([](QWidget* w) {
            auto* d = qobject_cast<dlgSelRoute*>(w);
            d->List1->setCurrentRow(0);
            d->OKButton->click();
        });
        ui.expectMsgBox(vb::vbOK, QStringLiteral("\" in Routes.xml cannot be used."));
        frmDesc::addRouteDescription();
        EXPECT_EQ(frmDesc::existing(), nullptr);
        EXPECT_FALSE(tree.exists(QStringLiteral("game/Content/Routes/RouteInformation")));
    }
}
