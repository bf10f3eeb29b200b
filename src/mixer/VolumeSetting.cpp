#include "mixer/VolumeSetting.h"

#include <cmath>

namespace {

// A plain decimal number: an optional sign, digits with at most one point (at least one digit),
// and an optional exponent. Written out rather than as a regular expression: the expression
// engine would cost the program's start-up half a megabyte for this one check.
bool isPlainDecimal(const QString& text)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

}  // namespace

int volumeFromSetting(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!isPlainDecimal(trimmed))
        return kDefaultVolume;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return kDefaultVolume;
    const double whole = std::nearbyint(value);  // the default rounding mode: halves to even
    if (whole < 0 || whole > 100)
        return kDefaultVolume;
    return static_cast<int>(whole);
}
