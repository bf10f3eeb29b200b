#pragma once

#include <QRect>
#include <cmath>

// Window layouts are drawn in twips: 1440 to the inch, 15 to a pixel at 96 dots per inch.
inline int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
