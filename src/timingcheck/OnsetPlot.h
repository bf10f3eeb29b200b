#pragma once

#include <QWidget>
#include <vector>

class QPainter;

// Each digit's onset error against the grid, in ms, one point a digit. The scale is logarithmic
// on either side of 0, with lines at ±1, ±10 and ±100 ms, so that a sample's error and a
// buffer's both read at a glance; a missing digit shows as a cross on the axis.
class OnsetPlot final : public QWidget {
    Q_OBJECT
public:
    explicit OnsetPlot(QWidget* parent = nullptr);

    // By digit; NaN where it is missing, infinite where it is not known yet (drawn as nothing).
    void setErrors(std::vector<double> errorsMs);
    // Draws the plot into `area` of any painter (the window, a report).
    void draw(QPainter& painter, const QRectF& area) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<double> errors_;
};
