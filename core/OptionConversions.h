#pragma once

#include <QString>

#include <optional>

// Conversions of the options' stored text, apart from the windows they are restored into.
namespace StoredOptions {

// Nothing when the text does not convert, which ends the load.
// Booleans take "True"/"False" (any case) and numbers (0 is False); integers are 16-bit and round
// halves to even, as the stored values were always read.
std::optional<bool> toBoolean(const QString &text);
std::optional<int> toInteger16(const QString &text);
std::optional<float> toSingle(const QString &text);
std::optional<long> toLong(const QString &text);
QString fromBoolean(bool value);

} // namespace StoredOptions
