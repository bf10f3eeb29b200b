#include "scoring/ScoreComputation.h"

#include <cmath>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

double readRawScore(const QString& text)
{
    QString number;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    auto readDigits = [&] {
        int count = 0;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks(), ++count)
            number += text[i++];
        return count;
    };
    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += text[i++];
    int digits = readDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        number += text[i++];
        digits += readDigits();
    }
    if (digits == 0)
        return 0;
    // An exponent counts only when digits follow it.
    const QString mantissa = number;
    const int exponentAt = i;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        number += text[i++];
        skipBlanks();
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            number += text[i++];
        if (readDigits() == 0) {
            number = mantissa;
            i = exponentAt;
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}

CumulativeProbability normalDistribution(float z)
{
    constexpr double p = 0.2316419;
    constexpr double b1 = 0.31938153, b2 = -0.356563782, b3 = 1.781477937, b4 = -1.821255978,
                     b5 = 1.330274429;
    constexpr double sqrtTwoPi = 2.506628274631;

    const double zd = z;
    const float t = static_cast<float>(zd >= 0 ? 1 / (1 + p * zd) : 1 / (1 - p * zd));
    const double td = t;
    const float q = static_cast<float>(((((b5 * td + b4) * td + b3) * td + b2) * td + b1) * td);
    const double e = std::exp(-(zd * zd) * 0.5);
    const double r = double(q) * e / sqrtTwoPi;
    const float probability = static_cast<float>(zd >= 0 ? 1 - r : r);
    const float hundredths = static_cast<float>(double(probability) * 100);
    // nearbyint rounds in the default mode: to nearest, ties to even.
    return {probability, static_cast<float>(std::nearbyint(double(hundredths)))};
}

std::optional<TrialScore> scoreTrial(std::uint8_t trialCode, std::uint8_t ageGroup,
                                     const QString& rawText)
{
    const std::optional<NormPair> norms = lookupNorms(trialCode, ageGroup);
    if (!norms)
        return std::nullopt;
    const double raw = readRawScore(rawText);
    const float z = static_cast<float>((raw - double(norms->mean)) / double(norms->sd));
    return TrialScore{*norms, z, normalDistribution(z).percentile};
}

QString formatZScore(float zScore, const QLocale& locale)
{
    // z * 100 is exact in double precision, so the tie is decided on the float's exact value.
    const float rounded = static_cast<float>(std::nearbyint(double(zScore) * 100) / 100);
    if (rounded == 0)
        return QStringLiteral("0");
    QString text = QString::number(double(rounded), 'g', 7);
    if (text.contains(QLatin1Char('e')))  // only for magnitudes no raw score can reach
        text = QString::number(text.toDouble(), 'f', 0);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString formatPercentile(float percentile)
{
    return QString::number(static_cast<long long>(percentile));
}
