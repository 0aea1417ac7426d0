// "Substitute Scenery Item" of the route list window, with its dialog, on a copy of the
// sample game and the test serializer.

#include "RouteToolsFixture.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kBirchId = QStringLiteral("Scenery\\Trees\\VS_Birch01.xml");
const QString kOakId = QStringLiteral("Scenery\\Trees\\VS_Oak01.xml");

void pressEnter(QWidget* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &press);
}

} // namespace

class SubstituteWindow : public RouteToolsTest {
protected:
    static constexpr int kBranchRow = 1;
    QString branchRel(const QString& rel) const { return routeRel(kBranchRoute) + QLatin1Char('/') + rel; }
    QString tileRel() const { return branchRel(QStringLiteral("Scenery/+000000+000000.bin")); }
    QString tileGameRel() const
    {
        return QStringLiteral("Content/Routes/") + kBranchRoute + QStringLiteral("/Scenery/+000000+000000.bin");
    }
    // A blueprint path of the sample's product, as the picker gives it.
    QString assetFile(const QString& rel) const
    {
        return tree.gamePath() + QStringLiteral("/Assets/VeltraneSamples/Sample01/") + rel;
    }

    // Scripts one showing of the dialog: the item kind (-1 none), the old blueprint typed into
    // the top box and split by Enter, the substitute picked (none when empty), then OK.
    void expectDialog(int kind, const QString& oldBlueprint, const QString& newBlueprint)
    {
        ui.expectModal(
            [=](QWidget* window) {
                auto* d = qobject_cast<dlgMissShape*>(window);
                ASSERT_NE(d, nullptr);
                if (kind >= 0)
                    d->Option1[kind]->click();
                if (!oldBlueprint.isEmpty()) {
                    d->Text5->setText(oldBlueprint);
                    pressEnter(d->Text5);
                }
                if (!newBlueprint.isEmpty())
                    d->Command1->click();
                d->OKButton->click();
            },
            QStringLiteral("Substitute for a missing Asset."));
        if (!newBlueprint.isEmpty())
            ui.expectOpenFile(newBlueprint);
    }

    void pickBranch() { w->List1->item(kBranchRow)->setSelected(true); }
};

TEST_F(SubstituteWindow, BirchBecomesOakInTheBranchSceneryWithABackup)
{
    const QMap<QString, QByteArray> before = snapshot();
    pickBranch();
    expectDialog(0, tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\VS_Birch01.bin"),
                 assetFile(QStringLiteral("Scenery/Trees/VS_Oak01.bin")));
    w->Command7_Click();

    dlgMissShape* d = dlgMissShape::existing();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isHidden());
    EXPECT_EQ(d->Text1->text(), QStringLiteral("VeltraneSamples"));
    EXPECT_EQ(d->Text2->text(), QStringLiteral("Sample01"));
    EXPECT_EQ(d->Text3->text(), kBirchId);
    EXPECT_EQ(d->Label5[0]->text(), QStringLiteral("VeltraneSamples"));
    EXPECT_EQ(d->Label5[1]->text(), QStringLiteral("Sample01"));
    EXPECT_EQ(d->Label5[2]->text(), kOakId);
    EXPECT_EQ(shared().SubstituteFolder, QStringLiteral("\\Scenery"));
    EXPECT_EQ(d->Frame1->title(), QStringLiteral("This Asset is :-"));
    EXPECT_EQ(d->Option1[1]->text(), QStringLiteral("Loft Item"));
    EXPECT_EQ(d->Label3->text(), QStringLiteral("Path of missing Asset"));
    EXPECT_EQ(d->Label4->text(), QStringLiteral("Substitute With this Asset"));
    EXPECT_TRUE(d->Label8->text().endsWith(QStringLiteral("Provider, Product and Path manually .")));
    const FileDialogRequest picker = ui.dialogs().at(1).request;
    EXPECT_EQ(picker.title, QStringLiteral("Select .bin file"));
    EXPECT_EQ(picker.filter, QStringLiteral(".bin Files (*.bin)|*.bin"));
    EXPECT_EQ(picker.initDir, tree.gamePath() + QStringLiteral("\\Assets"));

    QByteArray expected = sampleSource(tileGameRel());
    ASSERT_TRUE(expected.contains(kBirchId.toUtf8()));
    expected.replace(kBirchId.toUtf8(), kOakId.toUtf8());
    EXPECT_EQ(decodeBinary(tileRel()), expected);
    EXPECT_EQ(tree.readFile(tileRel() + QStringLiteral(".bak")), before.value(tileGameRel()));
    EXPECT_EQ(changedFiles(before, snapshot()), (QStringList{tileGameRel(), tileGameRel() + QStringLiteral(".bak")}));

    EXPECT_FALSE(w->File1->isHidden());
    EXPECT_EQ(listRows(w->File1), QStringList{QStringLiteral("+000000+000000.bin")});
    EXPECT_EQ(w->File1->currentRow(), 0);
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));
    EXPECT_TRUE(w->Command7->isEnabled());

    // The dialog keeps its fields: the next use finds no Birch left and changes nothing.
    const QMap<QString, QByteArray> after = snapshot();
    ui.expectModal([](QWidget* window) { qobject_cast<dlgMissShape*>(window)->OKButton->click(); });
    w->Command7_Click();
    EXPECT_EQ(changedFiles(after, snapshot()), QStringList());
}

TEST_F(SubstituteWindow, NoKindChosenProcessesTheRouteFolderItself)
{
    QByteArray loose = sampleSource(tileGameRel());
    writeBinary(branchRel(QStringLiteral("Loose.bin")), loose);
    const QMap<QString, QByteArray> before = snapshot();
    pickBranch();
    ui.expectModal([](QWidget* window) {
        auto* d = qobject_cast<dlgMissShape*>(window);
        d->Text1->setText(QStringLiteral("veltranesamples"));
        d->Text2->setText(QStringLiteral("Sample01"));
        d->Text3->setText(kBirchId);
        d->Command1->click();
        d->OKButton->click();
    });
    ui.expectOpenFile(assetFile(QStringLiteral("Scenery/Trees/VS_Oak01.bin")));
    w->Command7_Click();

    EXPECT_EQ(shared().SubstituteFolder, QString());
    EXPECT_EQ(listRows(w->File1), (QStringList{QStringLiteral("Loose.bin"), QStringLiteral("Scenarios.bin")}));
    const QString looseGameRel = QStringLiteral("Content/Routes/") + kBranchRoute + QStringLiteral("/Loose.bin");
    EXPECT_EQ(changedFiles(before, snapshot()), (QStringList{looseGameRel, looseGameRel + QStringLiteral(".bak")}));
    loose.replace(kBirchId.toUtf8(), kOakId.toUtf8());
    EXPECT_EQ(decodeBinary(branchRel(QStringLiteral("Loose.bin"))), loose);
}

TEST_F(SubstituteWindow, EmptyNewValuesAskFirstAndBlankTheReferencesOnYes)
{
    const QMap<QString, QByteArray> before = snapshot();
    tree.writeFile(QStringLiteral("program/TempFiles/keep.txt"), "kept");
    pickBranch();
    const QString question = QStringLiteral("As you have not included a new Provider, Product or Path, then is it\r\n"
                                            "correct that you wish the items to be removed from your route?");
    expectDialog(0, assetFile(QStringLiteral("Scenery/Trees/VS_Birch01.bin")), QString());
    ui.expectMsgBox(vb::vbNo, question);
    w->Command7_Click();
    EXPECT_EQ(ui.lastMessage().text, question);
    EXPECT_EQ(ui.lastMessage().buttons(), vb::vbYesNo);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(changedFiles(before, snapshot()), QStringList());
    EXPECT_TRUE(tree.exists(QStringLiteral("program/TempFiles/keep.txt"))); // No ends before anything is done

    // The dialog kept its fields; Yes blanks the reference's provider, product and path.
    ui.expectModal([](QWidget* window) { qobject_cast<dlgMissShape*>(window)->OKButton->click(); });
    ui.expectMsgBox(vb::vbYes, question);
    w->Command7_Click();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/keep.txt"))); // the work folder is emptied first

    QByteArray expected = sampleSource(tileGameRel());
    const qsizetype path = expected.indexOf(kBirchId.toUtf8());
    const qsizetype product = expected.lastIndexOf("Sample01</Product>", path);
    const qsizetype provider = expected.lastIndexOf("VeltraneSamples</Provider>", path);
    expected.remove(path, kBirchId.size());
    expected.remove(product, 8);
    expected.remove(provider, 15);
    EXPECT_EQ(decodeBinary(tileRel()), expected);
}

TEST_F(SubstituteWindow, ATileThatFailsOrHasNoFreeBackupStaysAsItWas)
{
    const QByteArray tileXml = sampleSource(tileGameRel());
    writeBinary(branchRel(QStringLiteral("Scenery/+000001+000000.bin")), tileXml);
    writeBinary(branchRel(QStringLiteral("Scenery/+000002+000000.bin")), tileXml);
    tree.writeFile(branchRel(QStringLiteral("Scenery/+000002+000000.bin.bak")), "old");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(branchRel(QStringLiteral("Scenery/+000002+000000.bin.bak%1").arg(n)), "old");
    const QMap<QString, QByteArray> before = snapshot();

    ScopedEnv fail("SERZ_FAIL", "+000001+000000.bin");
    pickBranch();
    expectDialog(0, assetFile(QStringLiteral("Scenery/Trees/VS_Birch01.bin")),
                 assetFile(QStringLiteral("Scenery/Trees/VS_Oak01.bin")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("could not be changed"));
    w->Command7_Click();

    // The others go on and change; the two stay byte for byte, with no new backup.
    EXPECT_EQ(changedFiles(before, snapshot()), (QStringList{tileGameRel(), tileGameRel() + QStringLiteral(".bak")}));
    const QString folder = tree.gamePath() + QStringLiteral("\\Content\\Routes\\") + kBranchRoute + QStringLiteral("\\Scenery\\");
    const ScriptedUi::Message message = ui.lastMessage();
    EXPECT_EQ(message.icon(), vb::vbExclamation);
    EXPECT_TRUE(message.text.contains(folder + QStringLiteral("+000001+000000.bin"))) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(folder + QStringLiteral("+000002+000000.bin"))) << message.text.toStdString();
    EXPECT_FALSE(message.text.contains(folder + QStringLiteral("+000000+000000.bin"))) << message.text.toStdString();
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(SubstituteWindow, CloseBoxEscapeAndCancelledPickersDoNothing)
{
    const QMap<QString, QByteArray> before = snapshot();
    tree.writeFile(QStringLiteral("program/TempFiles/keep.txt"), "kept");

    w->Command7_Click(); // no route picked: no dialog, nothing done
    EXPECT_EQ(dlgMissShape::existing(), nullptr);

    pickBranch();
    struct Row {
        const char* name;
        std::function<void(dlgMissShape*)> leave;
    };
    const QList<Row> leaves{{"close box", [](dlgMissShape* d) { d->close(); }},
                            {"Escape", [](dlgMissShape* d) { d->reject(); }}};
    for (const Row& row : leaves) {
        SCOPED_TRACE(row.name);
        ui.expectModal([&](QWidget* window) {
            auto* d = qobject_cast<dlgMissShape*>(window);
            d->Text5->setText(assetFile(QStringLiteral("Scenery/Trees/VS_Birch01.bin")));
            pressEnter(d->Text5);
            d->Text4->setText(QStringLiteral("kept"));
            d->Command1->click(); // the picker is cancelled: the substitute stays as it was
            d->Command2->click();
            EXPECT_EQ(d->Text4->text(), QStringLiteral("kept"));
            EXPECT_EQ(d->Label5[2]->text(), QString());
            EXPECT_EQ(d->Text3->text(), kBirchId);
            row.leave(d);
        });
        ui.expectOpenFile(QString());
        ui.expectOpenFile(QString());
        w->Command7_Click();
        ui.verifyDone(); // no question about empty new values
        EXPECT_TRUE(ui.messages().isEmpty());
        EXPECT_TRUE(tree.exists(QStringLiteral("program/TempFiles/keep.txt")));
        EXPECT_EQ(changedFiles(before, snapshot()), QStringList());
        ASSERT_NE(dlgMissShape::existing(), nullptr);
        EXPECT_TRUE(dlgMissShape::existing()->isHidden());
    }
}
