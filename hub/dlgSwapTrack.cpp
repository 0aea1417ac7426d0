#include "hub/dlgSwapTrack.h"

#include "common/AssetPath.h"
#include "common/SharedState.h"
#include "hub/TextPageWidget.h"
#include "hub/dlgSearch.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "common/WindowPartsWidgets.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
platform::OneWindow<dlgSwapTrack> openWindow;

QLineEdit* box(QWidget* parent, const char* name)
{
    auto* b = new QLineEdit(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

dlgSwapTrack* dlgSwapTrack::showDialog(TextPageWidget* page, QWidget* parent)
{
    return &openWindow.show([&] { return new dlgSwapTrack(page, parent); });
}

dlgSwapTrack* dlgSwapTrack::existing()
{
    return openWindow.loaded();
}

dlgSwapTrack::dlgSwapTrack(TextPageWidget* page, QWidget* parent) : QDialog(parent), page_(page)
{
    setObjectName(QStringLiteral("dlgSwapTrack"));
    setWindowTitle(QStringLiteral("Substitute a Track Section"));
    setModal(false);

    Label1 = new QLabel(
        QStringLiteral("Use this option to swap out existing Track types. You must have Tracks.bin open in the editor."),
        this);
    Label1->setWordWrap(true);
    Text6 = box(this, "Text6");
    Command3 = windowparts::makeQuietButton(this, QStringLiteral("Command3"), QStringLiteral("Find"));
    Command4 = windowparts::makeQuietButton(this, QStringLiteral("Command4"), QStringLiteral("Find Next"));

    auto* original = new QGroupBox(QStringLiteral("Original Track"), this);
    Text5 = box(original, "Text5");
    Command2 = windowparts::makeQuietButton(original, QStringLiteral("Command2"), QStringLiteral("...."));
    Text1 = box(original, "Text1");
    Text2 = box(original, "Text2");
    Text3 = box(original, "Text3");
    auto* originalPick = new QHBoxLayout;
    originalPick->addWidget(Text5);
    originalPick->addWidget(Command2);
    auto* originalForm = new QFormLayout(original);
    originalForm->addRow(originalPick);
    originalForm->addRow(QStringLiteral("Provider"), Text1);
    originalForm->addRow(QStringLiteral("Product"), Text2);
    originalForm->addRow(QStringLiteral("Path of Original Track"), Text3);

    auto* substitute = new QGroupBox(QStringLiteral("Substitute With this Track"), this);
    Text4 = box(substitute, "Text4");
    Command1 = windowparts::makeQuietButton(substitute, QStringLiteral("Command1"), QStringLiteral("...."));
    auto* substitutePick = new QHBoxLayout;
    substitutePick->addWidget(Text4);
    substitutePick->addWidget(Command1);
    auto* substituteRows = new QVBoxLayout(substitute);
    substituteRows->addLayout(substitutePick);
    for (std::size_t i = 0; i < Label5.size(); ++i) {
        Label5[i] = new QLabel(substitute);
        Label5[i]->setObjectName(QStringLiteral("Label5_%1").arg(i));
        substituteRows->addWidget(Label5[i]);
    }

    OKButton = windowparts::makeQuietButton(this, QStringLiteral("OKButton"), QStringLiteral("Replace All"));
    // What swapping the two tracks is to do is not settled: the button is there, but off.
    OKButton->setEnabled(false);
    OKButton->setToolTip(QStringLiteral("Replacing the track is not available."));
    Command5 = windowparts::makeQuietButton(this, QStringLiteral("Command5"), QStringLiteral("&Exit"));

    auto* lookFor = new QHBoxLayout;
    lookFor->addWidget(new QLabel(QStringLiteral("Look For:-"), this));
    lookFor->addWidget(Text6, 1);
    lookFor->addWidget(Command3);
    lookFor->addWidget(Command4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(Command5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(lookFor);
    layout->addWidget(original);
    layout->addWidget(substitute);
    layout->addLayout(buttons);

    connect(Command2, &QPushButton::clicked, this, &dlgSwapTrack::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &dlgSwapTrack::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &dlgSwapTrack::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &dlgSwapTrack::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &dlgSwapTrack::Command5_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgSwapTrack::OKButton_Click);
    resize(520, 420);
    platform::openOnScreen(this);
    Form_Load();
}

dlgSwapTrack::~dlgSwapTrack() = default;

void dlgSwapTrack::Form_Load()
{
    unsetCursor();
}

bool dlgSwapTrack::pickTrack(QString& file, QString& provider, QString& product, QString& path)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select .bin file");
    request.filter = QStringLiteral(".bin Files (*.bin)|*.bin");
    request.filterIndex = 1;
    request.initDir = shared().GamePath + QStringLiteral("\\Assets");
    file = ui().openFile(request);
    if (file.isEmpty())
        return false;
    if (!SplitAssetPath(file, provider, product, path)) {
        exclaim(QStringLiteral("This file is not below a provider's product folder in Assets "
                               "(Assets\\Provider\\Product\\...):\r\n")
                    + file);
        return false;
    }
    return true;
}

void dlgSwapTrack::Command2_Click()
{
    QString file, provider, product, path;
    if (!pickTrack(file, provider, product, path))
        return;
    Text5->setText(file);
    Text1->setText(provider);
    Text2->setText(product);
    Text3->setText(path);
}

void dlgSwapTrack::Command1_Click()
{
    QString file, provider, product, path;
    if (!pickTrack(file, provider, product, path))
        return;
    Text4->setText(file);
    Label5[0]->setText(provider);
    Label5[1]->setText(product);
    Label5[2]->setText(path);
}

void dlgSwapTrack::Command3_Click()
{
    hub::FindOnPage(page_, Text6->text(), hub::FindFrom::TextStart);
}

void dlgSwapTrack::Command4_Click()
{
    hub::FindOnPage(page_, Text6->text(), hub::FindFrom::AfterCaret);
}

void dlgSwapTrack::Command5_Click()
{
    reject();
}

void dlgSwapTrack::OKButton_Click()
{
}

void dlgSwapTrack::reject()
{
    QDialog::reject();
    // Unloaded: the next use starts with empty boxes.
    deleteLater();
}
