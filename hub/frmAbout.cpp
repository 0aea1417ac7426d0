#include "hub/frmAbout.h"

#include "common/ProgramVersion.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A small picture of a stretch of track, drawn rather than shipped as a file.
QPixmap trackPicture()
{
    const int size = 96;
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2f, 0x5d, 0x8a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, size - 4, size - 4);
    // Sleepers, then the two rails converging towards the horizon.
    p.setPen(QPen(QColor(0xc8, 0xa0, 0x6e), 5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const double y = 30 + i * 13.0;
        const double half = 10 + i * 6.0;
        p.drawLine(QPointF(size / 2.0 - half - 6, y), QPointF(size / 2.0 + half + 6, y));
    }
    p.setPen(QPen(QColor(0xe8, 0xe8, 0xe8), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(size / 2.0 - 6, 18), QPointF(size / 2.0 - 34, 86));
    p.drawLine(QPointF(size / 2.0 + 6, 18), QPointF(size / 2.0 + 34, 86));
    return pix;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About ") + Ui::programTitle());

    picIcon = new QLabel(this);
    picIcon->setPixmap(trackPicture());
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(Ui::programTitle(), this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblDescription = new QLabel(QStringLiteral("A Suite of Utilities  for  Rail Simulator"), this);
    lblVersion = new QLabel(QStringLiteral("Version ") + VersionText(), this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblDescription);
    texts->addWidget(lblVersion);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(380, 170)));
    platform::openOnScreen(this);
}

void frmAbout::cmdOK_Click()
{
    hide();
    if (QWidget* owner = parentWidget()) {
        owner->show();
        owner->raise();
    }
}
