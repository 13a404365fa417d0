// Draws the busy spinner's eight frames into the folder given: "NN.png" at 28 pixels for the transfer
// dialog and "bigNN.png" at 60 pixels for the busy popup. Each frame turns the bright spoke one step
// further, with the spokes behind it fading, so that the frames played in order read as a rotation.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdio>

namespace {

constexpr int kFrames = 8;
constexpr int kSmallSize = 28;
constexpr int kBigSize = 60;

QImage DrawFrame(int size, int frame) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(size / 2.0, size / 2.0);
    const double outer = size * 0.46;
    const double inner = size * 0.22;
    const double width = size * 0.11;
    for (int spoke = 0; spoke < kFrames; ++spoke) {
        // How many steps this spoke trails the bright one: 0 is the head of the rotation.
        int behind = (frame - spoke + kFrames) % kFrames;
        QColor color(90, 170, 255, 255 - behind * 28);
        painter.save();
        painter.rotate(spoke * 360.0 / kFrames);
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer + width / 2));
        painter.restore();
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (int frame = 0; frame < kFrames; ++frame) {
        QString number = QString::asprintf("%02d.png", frame);
        if (!DrawFrame(kSmallSize, frame).save(dir.filePath(number)) ||
            !DrawFrame(kBigSize, frame).save(dir.filePath(QStringLiteral("big") + number))) {
            std::fprintf(stderr, "cannot write frame %d into %s\n", frame, argv[1]);
            return 1;
        }
    }
    return 0;
}
