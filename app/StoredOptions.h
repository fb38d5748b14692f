#pragma once

#include <QString>

#include <optional>

class Program;
class SettingsStore;

// The ten options kept between runs, in section "Options".
namespace StoredOptions {

inline constexpr const char *Section = "Options";

// Conversions of stored text; nothing when the text does not convert, which ends the load.
// Booleans take "True"/"False" (any case) and numbers (0 is False); integers are 16-bit and round
// halves to even, as the stored values were always read.
std::optional<bool> toBoolean(const QString &text);
std::optional<int> toInteger16(const QString &text);
std::optional<float> toSingle(const QString &text);
std::optional<long> toLong(const QString &text);
QString fromBoolean(bool value);

// Restores the options into the windows, the engine and the shared state. Returns false at the first
// value that does not convert: the keys before it are applied, the rest are not.
bool GetValue(Program &program, SettingsStore &store);

// Writes the ten keys in their order; a key that cannot be written is skipped.
void Save(Program &program, SettingsStore &store);

} // namespace StoredOptions
