#pragma once

#include <QString>

inline constexpr int kDefaultVolume = 25;

// The slider position held in the stored "Volume" text. A whole number 0 to 100, blanks around it
// allowed, is used as it stands; a fractional number is rounded to the nearest whole number
// (halves to even) and used when that is 0 to 100. Anything else (empty, not a number, out of
// range, beyond 32 bits) gives the default 25, so a damaged store never stops the program.
int volumeFromSetting(const QString& text);
