#include "audio/VolumeSetting.h"

#include <QRegularExpression>
#include <cmath>

int volumeFromSetting(const QString& text)
{
    static const QRegularExpression decimal(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString trimmed = text.trimmed();
    if (!decimal.match(trimmed).hasMatch())
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
