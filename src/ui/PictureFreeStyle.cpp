#include "ui/PictureFreeStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyleOption>

#include <algorithm>

// Only Fusion reads these pictures from files; another desktop's style keeps its own look.
bool PictureFreeStyle::overFusion() const
{
    return baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

QIcon PictureFreeStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton || !overFusion())
        return QProxyStyle::standardIcon(icon, option, widget);
    // A double chevron along the bar, in the text colour.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(standardPalette().color(QPalette::WindowText), 1.5));
    for (const double x : {4.0, 8.5}) {
        QPainterPath chevron;
        chevron.moveTo(x, 4.5);
        chevron.lineTo(x + 3.5, 8);
        chevron.lineTo(x, 11.5);
        painter.drawPath(chevron);
    }
    return QIcon(pixmap);
}

void PictureFreeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const
{
    if (element != PE_FrameGroupBox || !overFusion()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A faintly shaded panel with a rounded outline below the title, as Fusion draws it from its
    // picture.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int titleHeight = box && !box->isCheckable() && box->title().isEmpty()
                                ? 0
                                : std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                           option->fontMetrics.height());
    constexpr int kMargin = 3;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(option->rect).adjusted(0.5, titleHeight + kMargin + 0.5, -0.5, -0.5);
    const QColor window = option->palette.window().color();
    painter->setPen(window.darker(125));
    painter->setBrush(window.darker(103));
    painter->drawRoundedRect(frame, 2, 2);
    painter->restore();
}
