#pragma once

#include <QFont>

// The windows are laid out for Arial; fontconfig maps it to Liberation Sans, whose metrics match.
inline QFont arialFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
