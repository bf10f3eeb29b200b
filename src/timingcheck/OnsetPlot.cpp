#include "timingcheck/OnsetPlot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kTopMs = 1000;

// 0 at the middle, ±kTopMs at the edges; 0.1 ms and below sit near the middle.
double level(double ms)
{
    const double scaled = std::log10(1 + std::fabs(ms) * 10) / std::log10(1 + kTopMs * 10);
    return std::copysign(std::min(scaled, 1.0), ms);
}

}  // namespace

OnsetPlot::OnsetPlot(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(420, 220);
    setObjectName(QStringLiteral("onsetPlot"));
}

void OnsetPlot::setErrors(std::vector<double> errorsMs)
{
    errors_ = std::move(errorsMs);
    update();
}

void OnsetPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    draw(painter, QRectF(rect()));
}

void OnsetPlot::draw(QPainter& painter, const QRectF& area) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(painter.font());
    const double left = area.left() + metrics.horizontalAdvance(QStringLiteral("-100 ms ")) ;
    const QRectF plot(left, area.top() + metrics.height() / 2, area.right() - left - 4,
                      area.height() - metrics.height() * 2);
    const auto y = [&](double ms) { return plot.center().y() - level(ms) * plot.height() / 2; };
    // The bands: within 1 ms is on time, within 10 ms a buffer's worth.
    painter.fillRect(QRectF(plot.left(), y(10), plot.width(), y(-10) - y(10)), QColor(255, 244, 214));
    painter.fillRect(QRectF(plot.left(), y(1), plot.width(), y(-1) - y(1)), QColor(220, 242, 220));
    for (double ms : {-100.0, -10.0, -1.0, 0.0, 1.0, 10.0, 100.0}) {
        painter.setPen(QPen(ms == 0 ? Qt::black : Qt::gray, 0, ms == 0 ? Qt::SolidLine : Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y(ms)), QPointF(plot.right(), y(ms)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), y(ms) - metrics.height() / 2, left - area.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 ms").arg(ms));
    }
    // Marks as large on paper as on a screen of 96 dots per inch: a dot about 1.9 mm wide.
    const double unit = std::max(1.0, painter.device()->logicalDpiX() / 96.0);
    const int count = int(errors_.size());
    const auto x = [&](int i) { return plot.left() + plot.width() * (i + 0.5) / std::max(count, 1); };
    for (int i = 0; i < count; ++i) {
        if (i == 0 || (i + 1) % 5 == 0)
            painter.drawText(QRectF(x(i) - 20, plot.bottom(), 40, metrics.height() * 1.5), Qt::AlignCenter, QString::number(i + 1));
        if (std::isinf(errors_[i]))
            continue;
        if (std::isnan(errors_[i])) {
            const double arm = 4 * unit;
            painter.setPen(QPen(Qt::red, 2 * unit));
            painter.drawLine(QPointF(x(i) - arm, y(0) - arm), QPointF(x(i) + arm, y(0) + arm));
            painter.drawLine(QPointF(x(i) - arm, y(0) + arm), QPointF(x(i) + arm, y(0) - arm));
            painter.setPen(Qt::black);
            continue;
        }
        painter.setBrush(std::fabs(errors_[i]) < 1 ? QColor(30, 120, 30) : QColor(200, 40, 40));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(x(i), y(errors_[i])), 3.5 * unit, 3.5 * unit);
        painter.setPen(Qt::black);
    }
    painter.restore();
}
