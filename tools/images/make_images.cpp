// Draws the program's small pictures into resources/images/ (run: make images).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

// Loudspeaker with sound waves, 32 x 32: the picture beside the volume slider.
QImage speaker()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
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
    return img;
}

// A small slate with 1+1 in white, framed in pale yellow: the main window's icon.
QImage slate(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = h / 24.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 225, 150));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 2 * s, 2 * s);
    p.setBrush(QColor(40, 60, 50));
    p.drawRect(QRectF(3 * s, 3 * s, w - 6 * s, h - 6 * s));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(12 * s));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, QStringLiteral("1+1"));
    return img;
}

// A score sheet with a pencil, 32 x 32: the scoring window's icon.
QImage scoreSheet()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
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
    QPolygonF pencil({QPointF(26, 10), QPointF(29, 13), QPointF(17, 25), QPointF(14, 22)});
    p.drawPolygon(pencil);
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(QPolygonF({QPointF(14, 22), QPointF(17, 25), QPointF(13, 26)}));
    return img;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = speaker().save(dir + QStringLiteral("/speaker.png"));
    ok = slate(31, 24).save(dir + QStringLiteral("/ovrel.png")) && ok;
    ok = scoreSheet().save(dir + QStringLiteral("/scoring.png")) && ok;
    return ok ? 0 : 1;
}
