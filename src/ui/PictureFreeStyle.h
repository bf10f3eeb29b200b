#pragma once

#include <QProxyStyle>

// The desktop's style. Over Fusion, Qt's own, it draws in place the two pictures Fusion reads
// from files as the main window is built and first painted: the menu bar's overflow button and
// the group-box frame. Qt finds the format of a picture read by file name by loading every image
// plugin (and libjpeg) to ask each whether it reads it: about a millisecond of every start.
class PictureFreeStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    bool overFusion() const;
};
