#pragma once

#include "core/OptionConversions.h"
#include "core/OptionKeys.h"

#include <QString>

class Program;
class SettingsStore;

// The ten options kept between runs, in section "Options".
namespace StoredOptions {

inline constexpr const char *Section = OptionKeys::Section;

// Restores the options into the windows, the engine and the shared state. Returns false at the first
// value that does not convert: the keys before it are applied, the rest are not.
bool GetValue(Program &program, SettingsStore &store);

// Writes the ten keys in their order, together (SettingsStore::writeAll).
void Save(Program &program, SettingsStore &store);

} // namespace StoredOptions
