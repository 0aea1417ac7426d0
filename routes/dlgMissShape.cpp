#include "routes/dlgMissShape.h"

#include "common/AssetPath.h"
#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

platform::OneWindow<dlgMissShape> theDialog;

constexpr int kEnter = 13;

// A picked or typed blueprint path as provider, product and the path as the tile XML holds
// it; the path's "/" become "\".
struct SplitPath {
    QString provider, product, path;
};

SplitPath splitBlueprint(const QString& blueprint)
{
    SplitPath split;
    SplitAssetPath(blueprint, split.provider, split.product, split.path);
    return split;
}

} // namespace

dlgMissShape::dlgMissShape(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgMissShape"));
    setWindowTitle(QStringLiteral("Substitute for a missing Asset."));
    resize(620, 420);
    platform::openOnScreen(this);

    Frame1 = new QGroupBox(QStringLiteral("This Asset is :-"), this);
    const QStringList kinds{QStringLiteral("Scenery Item"), QStringLiteral("Loft Item"), QStringLiteral("Road Item")};
    auto* kindRow = new QHBoxLayout(Frame1);
    for (int k = 0; k < 3; ++k) {
        Option1[k] = new QRadioButton(kinds[k], Frame1);
        Option1[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
        kindRow->addWidget(Option1[k]);
        connect(Option1[k], &QRadioButton::clicked, this, [this, k] { Option1_Click(k); });
    }

    Label7 = new QLabel(QStringLiteral("Original Asset"), this);
    Text5 = windowparts::makeNamed<QLineEdit>(this, "Text5");
    Text5->installEventFilter(this);
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("...."));
    Label1 = new QLabel(QStringLiteral("Provider"), this);
    Label2 = new QLabel(QStringLiteral("Product"), this);
    Label3 = new QLabel(QStringLiteral("Path of missing Asset"), this);
    Text1 = new QLineEdit(this);
    Text2 = new QLineEdit(this);
    Text3 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3->setObjectName(QStringLiteral("Text3"));

    Label4 = new QLabel(QStringLiteral("Substitute With this Asset"), this);
    Text4 = windowparts::makeNamed<QLineEdit>(this, "Text4");
    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("...."));
    for (int k = 0; k < 3; ++k) {
        Label5[k] = new QLabel(this);
        Label5[k]->setObjectName(QStringLiteral("Label5_%1").arg(k));
        Label5[k]->setFrameShape(QFrame::StyledPanel);
        Label5[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    // The instructions, kept in one piece as the user reads them.
    // clang-format off
    Label8 = new QLabel(QStringLiteral("If the Asset in the route exists and you wish to change it, select it in the top box. However if the asset in the route is missing and you wish to substitute it, you must enter the details Provider, Product and Path manually ."), this);
    // clang-format on
    Label8->setWordWrap(true);
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    OKButton->setAutoDefault(false);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    // The asset in the route on top, its substitute below.
    auto* grid = new QGridLayout;
    grid->addWidget(Label7, 0, 0, 1, 3);
    grid->addWidget(Text5, 1, 0, 1, 2);
    grid->addWidget(Command2, 1, 2);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(Text1, 2, 1, 1, 2);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(Text2, 3, 1, 1, 2);
    grid->addWidget(Label3, 4, 0);
    grid->addWidget(Text3, 4, 1, 1, 2);
    grid->addWidget(Label4, 5, 0, 1, 3);
    grid->addWidget(Text4, 6, 0, 1, 2);
    grid->addWidget(Command1, 6, 2);
    for (int k = 0; k < 3; ++k)
        grid->addWidget(Label5[k], 7 + k, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label8, 1);
    bottom->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    connect(Command1, &QPushButton::clicked, this, &dlgMissShape::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &dlgMissShape::Command2_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgMissShape::OKButton_Click);
}

dlgMissShape::~dlgMissShape() = default;

dlgMissShape& dlgMissShape::instance()
{
    return theDialog.instance([] { return new dlgMissShape(); });
}

dlgMissShape* dlgMissShape::existing()
{
    return theDialog.loaded();
}

routes::SubstituteRequest dlgMissShape::request() const
{
    routes::SubstituteRequest r;
    r.oldProvider = Text1->text();
    r.oldProduct = Text2->text();
    r.oldPath = Text3->text();
    r.newProvider = Label5[0]->text();
    r.newProduct = Label5[1]->text();
    r.newPath = Label5[2]->text();
    return r;
}

QString dlgMissShape::pickBlueprint() const
{
    FileDialogRequest request;
    request.filter = QStringLiteral(".bin Files (*.bin)|*.bin");
    request.title = QStringLiteral("Select .bin file");
    request.initDir = shared().GamePath + QStringLiteral("\\Assets");
    return ui().openFile(request);
}

void dlgMissShape::Command1_Click()
{
    const QString chosen = pickBlueprint();
    if (chosen.isEmpty())
        return;
    Text4->setText(chosen);
    const SplitPath split = splitBlueprint(chosen);
    Label5[0]->setText(split.provider);
    Label5[1]->setText(split.product);
    Label5[2]->setText(split.path);
}

void dlgMissShape::Command2_Click()
{
    const QString chosen = pickBlueprint();
    if (chosen.isEmpty())
        return;
    Text5->setText(chosen);
    const SplitPath split = splitBlueprint(chosen);
    Text1->setText(split.provider);
    Text2->setText(split.product);
    Text3->setText(split.path);
}

void dlgMissShape::Text5_KeyDown(int keyCode)
{
    if (keyCode != kEnter)
        return;
    const SplitPath split = splitBlueprint(Text5->text());
    Text1->setText(split.provider);
    Text2->setText(split.product);
    Text3->setText(split.path);
}

void dlgMissShape::Option1_Click(int index)
{
    shared().SubstituteFolder = routes::SubstituteFolderFor(index);
    for (int k = 0; k < 3; ++k) {
        if (k != index)
            Option1[k]->setChecked(false);
    }
    Option1[index]->setChecked(true);
}

void dlgMissShape::OKButton_Click()
{
    for (int k = 0; k < 3; ++k) {
        if (Option1[k]->isChecked()) {
            shared().SubstituteFolder = routes::SubstituteFolderFor(k);
            break;
        }
    }
    confirmed_ = true;
    hide();
}

void dlgMissShape::reject()
{
    confirmed_ = false;
    hide();
}

void dlgMissShape::closeEvent(QCloseEvent* event)
{
    // The close box cancels; the dialog stays, hidden, with its fields.
    confirmed_ = false;
    event->ignore();
    hide();
}

bool dlgMissShape::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text5 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Text5_KeyDown(kEnter);
            return true; // Enter in the box is no press of a button
        }
    }
    return QDialog::eventFilter(watched, event);
}
