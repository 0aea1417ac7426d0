#include "hub/dlgScanSource.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

dlgScanSource::dlgScanSource(const QList<hub::ScanSource>& sources, const QString& current, QWidget* parent)
    : QDialog(parent), sources_(sources)
{
    setObjectName(QStringLiteral("dlgScanSource"));
    setWindowTitle(QStringLiteral("Select Twain Source"));

    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    int selected = 0;
    for (int i = 0; i < sources_.size(); ++i) {
        List1->addItem(sources_[i].label());
        if (sources_[i].name == current)
            selected = i;
    }
    if (!sources_.isEmpty())
        List1->setCurrentRow(selected);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { OKButton_Click(); });
    resize(420, 240);
}

void dlgScanSource::OKButton_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= sources_.size())
        return;
    chosen_ = sources_[row].name;
    accept();
}
