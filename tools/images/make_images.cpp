// Draws the program's pictures into resources/ (run: make images): the two start/stop button
// images as GIF files (resources/gif/101.gif, 102.gif) and the icons and pictures as PNG files
// (resources/images/), each also at twice the size for 200 % scaling (name@2x.png), and the
// application icon at the desktop's sizes (resources/icons/).
#include "GifWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

// Draws in a w x h coordinate system onto an image `scale` times that size.
QImage render(int w, int h, int scale, const Drawing& draw)
{
    QImage img(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    draw(p);
    return img;
}

QFont boldSans(qreal pixels)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, int(pixels)));
    font.setBold(true);
    return font;
}

// Loudspeaker with sound waves, 32 x 32: the picture beside the volume slider.
void speaker(QPainter& p)
{
    QPainterPath body;
    body.moveTo(3, 12);
    body.lineTo(9, 12);
    body.lineTo(17, 5);
    body.lineTo(17, 27);
    body.lineTo(9, 20);
    body.lineTo(3, 20);
    body.closeSubpath();
    QLinearGradient fill(0, 5, 0, 27);
    fill.setColorAt(0, QColor(150, 150, 160));
    fill.setColorAt(1, QColor(60, 60, 70));
    p.setBrush(fill);
    p.setPen(QPen(QColor(30, 30, 35), 1.2));
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 60, 160), 2.0, Qt::SolidLine, Qt::RoundCap));
    for (int r : {5, 9, 13})
        p.drawArc(QRectF(17 - r, 16 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
}

// A small slate with 1+1 in white, framed in pale yellow, 31 x 24: the main window's icon.
void slate(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 225, 150));
    p.drawRoundedRect(QRectF(0.5, 0.5, 30, 23), 2, 2);
    p.setBrush(QColor(40, 60, 50));
    p.drawRect(QRectF(3, 3, 25, 18));
    p.setFont(boldSans(11));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 31, 24), Qt::AlignCenter, QStringLiteral("1+1"));
}

// A score sheet with a pencil, 32 x 32: the scoring window's icon.
void scoreSheet(QPainter& p)
{
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(QColor(255, 255, 245));
    p.drawRect(QRectF(5.5, 2.5, 19, 26));
    p.setPen(QPen(QColor(120, 140, 200), 1));
    for (int y = 8; y <= 24; y += 4)
        p.drawLine(QPointF(8, y + 0.5), QPointF(22, y + 0.5));
    p.setPen(QPen(QColor(200, 40, 40), 1.6));
    p.drawLine(QPointF(8, 12), QPointF(10, 14.5));
    p.drawLine(QPointF(10, 14.5), QPointF(14, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 190, 40));
    p.drawPolygon(QPolygonF({QPointF(26, 10), QPointF(29, 13), QPointF(17, 25), QPointF(14, 22)}));
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(QPolygonF({QPointF(14, 22), QPointF(17, 25), QPointF(13, 26)}));
}

// A blackboard in a wooden frame with 1 + 1 chalked on it, 48 x 36: the about window's picture.
void blackboard(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 100, 50));
    p.drawRoundedRect(QRectF(0.5, 0.5, 47, 35), 2, 2);
    p.setBrush(QColor(35, 70, 50));
    p.drawRect(QRectF(3, 3, 42, 30));
    p.setBrush(QColor(120, 80, 40));
    p.drawRect(QRectF(3, 31, 42, 2));
    p.setFont(boldSans(13));
    p.setPen(QColor(240, 240, 230));
    p.drawText(QRectF(3, 2, 42, 28), Qt::AlignCenter, QStringLiteral("1 + 1"));
}

// A pointing hand, 32 x 32, fingertip at (5, 0): the cursor over the about window's link.
void hand(QPainter& p)
{
    QPainterPath h;
    h.moveTo(3.5, 2.5);
    h.cubicTo(3.5, 0, 7.5, 0, 7.5, 2.5);
    h.lineTo(7.5, 11);
    h.cubicTo(8, 9, 11.5, 9, 11.5, 11.5);
    h.cubicTo(12, 10, 15.5, 10, 15.5, 12.5);
    h.cubicTo(16, 11, 19.5, 11, 19.5, 13.5);
    h.lineTo(19.5, 21);
    h.cubicTo(19.5, 25, 17, 27, 15, 27.5);
    h.lineTo(15, 30.5);
    h.lineTo(6, 30.5);
    h.lineTo(6, 27.5);
    h.cubicTo(3, 25, 0.5, 20, 0.5, 17);
    h.cubicTo(0.5, 14.5, 3.5, 14.5, 3.5, 16.5);
    h.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(h);
    p.drawLine(QPointF(7.5, 11), QPointF(7.5, 15));
    p.drawLine(QPointF(11.5, 11.5), QPointF(11.5, 15));
    p.drawLine(QPointF(15.5, 12.5), QPointF(15.5, 15.5));
}

// A shaded disc with a symbol, 20 x 22: the start/stop button images.
void disc(QPainter& p, QColor base, bool stop)
{
    const QRectF face(1, 1, 18, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40, 150));
    p.drawEllipse(face.translated(0, 2.2));  // the shadow along the lower edge
    QRadialGradient shade(QPointF(10, 5), 15, QPointF(9, 3.5));
    shade.setColorAt(0, base.lighter(185));
    shade.setColorAt(0.45, base);
    shade.setColorAt(1, base.darker(190));
    p.setBrush(shade);
    p.setPen(QPen(base.darker(240), 0.8));
    p.drawEllipse(face);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(15, 15, 15));
    if (stop)
        p.drawRect(QRectF(6.5, 6.5, 7, 7));
    else
        p.drawPolygon(QPolygonF({QPointF(7.5, 5.5), QPointF(14.5, 10), QPointF(7.5, 14.5)}));
}

// The application icon for the desktop: the slate, square, at one of the theme's sizes.
QImage appIcon(int size)
{
    return render(size, size, 1, [size](QPainter& p) {
        p.scale(size / 32.0, size / 32.0);
        p.translate(0.5, 4);
        slate(p);
    });
}

bool savePng(const QString& dir, const char* name, int w, int h, const Drawing& draw)
{
    const QString base = dir + QStringLiteral("/images/") + QLatin1String(name);
    return render(w, h, 1, draw).save(base + QStringLiteral(".png"))
           && render(w, h, 2, draw).save(base + QStringLiteral("@2x.png"));
}

bool saveGif(const QString& dir, int id, const Drawing& draw)
{
    QFile file(QStringLiteral("%1/gif/%2.gif").arg(dir).arg(id));
    const QImage image = render(20, 22, 1, draw);
    return file.open(QIODevice::WriteOnly)
           && file.write(writeGif64(image, qRgb(240, 240, 240), qRgb(248, 248, 244))) > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    bool ok = savePng(dir, "speaker", 32, 32, speaker);
    ok = savePng(dir, "ovrel", 31, 24, slate) && ok;
    ok = savePng(dir, "scoring", 32, 32, scoreSheet) && ok;
    ok = savePng(dir, "blackboard", 48, 36, blackboard) && ok;
    ok = savePng(dir, "hand", 32, 32, hand) && ok;
    for (int size : {32, 48, 64, 128, 256})
        ok = appIcon(size).save(QStringLiteral("%1/icons/ovrel-%2.png").arg(dir).arg(size)) && ok;
    ok = saveGif(dir, 101, [](QPainter& p) { disc(p, QColor(215, 30, 30), true); }) && ok;
    ok = saveGif(dir, 102, [](QPainter& p) { disc(p, QColor(40, 170, 50), false); }) && ok;
    return ok ? 0 : 1;
}
