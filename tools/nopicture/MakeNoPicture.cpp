// Draws the asset preview's fallback picture, shown when an asset's texture cannot be found or
// read: a grey card with a crossed frame and the words "No Picture", saved as a JPEG image.
// Made at build time so that no image is kept in the source tree.
//
//   make_no_picture <NoPicture.jpg>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_no_picture <NoPicture.jpg>\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    constexpr int width = 256;
    constexpr int height = 256;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(208, 208, 208));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(QColor(128, 128, 128));
        pen.setWidth(4);
        painter.setPen(pen);
        const QRect frame(16, 16, width - 32, height - 32);
        painter.drawRect(frame);
        painter.drawLine(frame.topLeft(), frame.bottomRight());
        painter.drawLine(frame.topRight(), frame.bottomLeft());
        QFont font;
        font.setPixelSize(28);
        font.setBold(true);
        painter.setFont(font);
        const QRect band(frame.left() + 2, height / 2 - 24, frame.width() - 4, 48);
        painter.fillRect(band, QColor(208, 208, 208));
        painter.setPen(QColor(64, 64, 64));
        painter.drawText(band, Qt::AlignCenter, QStringLiteral("No Picture"));
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "JPG", 90)) {
        std::fprintf(stderr, "make_no_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
