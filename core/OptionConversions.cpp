#include "core/OptionConversions.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace StoredOptions {

namespace {

// The number in the user's own format first, then in the C format the program writes.
std::optional<double> toNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> roundedWithin(const QString &text, double low, double high)
{
    const std::optional<double> number = toNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number); // halves to even
    if (rounded < low || rounded > high)
        return std::nullopt;
    return rounded;
}

} // namespace

std::optional<bool> toBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = toNumber(trimmed);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

std::optional<int> toInteger16(const QString &text)
{
    const std::optional<double> value = roundedWithin(text, std::numeric_limits<std::int16_t>::min(),
                                                      std::numeric_limits<std::int16_t>::max());
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

std::optional<float> toSingle(const QString &text)
{
    // A number rounds to the nearest single; only one that would round past the largest single
    // overflows. The largest single's own 9-digit text ("3.40282347e+38") lies just above it, in the
    // half step that still rounds down.
    constexpr double largest = std::numeric_limits<float>::max();
    const double overflow = largest + std::ldexp(1.0, std::numeric_limits<float>::max_exponent -
                                                          std::numeric_limits<float>::digits - 1);
    const std::optional<double> value = toNumber(text);
    if (!value || std::abs(*value) >= overflow)
        return std::nullopt;
    return static_cast<float>(std::clamp(*value, -largest, largest));
}

std::optional<long> toLong(const QString &text)
{
    const std::optional<double> value = roundedWithin(text, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max());
    return value ? std::optional<long>(static_cast<long>(*value)) : std::nullopt;
}

QString fromBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace StoredOptions
