#pragma once

#include <array>

// The ten options kept between runs, in the order they are saved, each with the value a run reads
// when the key is missing. The window's place has no fixed default: it is where the window is then.
namespace OptionKeys {

inline constexpr const char *Section = "Options";

enum Index { Vol, suff, timemode, mute, repeat, top, left, play, Ontop, FitToSize, Count };

struct Key {
    const char *name;
    // Null for the window's place.
    const char *fallback;
};

inline constexpr std::array<Key, Count> Keys = {{
    {"Vol", "0"},
    {"suff", "0"},
    {"timemode", "True"},
    {"mute", "False"},
    {"repeat", "False"},
    {"top", nullptr},
    {"left", nullptr},
    {"play", "1"},
    {"Ontop", "False"},
    {"FitToSize", "False"},
}};

} // namespace OptionKeys
