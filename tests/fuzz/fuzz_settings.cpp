// Any text as a stored option: the conversions never misbehave, stay within their types, agree with
// one another, and read back what the program writes.
#include "Require.h"
#include "core/OptionConversions.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

void checkText(const QString &text)
{
    using namespace StoredOptions;
    const std::optional<bool> boolean = toBoolean(text);
    const std::optional<int> int16 = toInteger16(text);
    const std::optional<float> single = toSingle(text);
    const std::optional<long> int32 = toLong(text);

    if (int16)
        require(*int16 >= -32768 && *int16 <= 32767);
    if (int32)
        require(*int32 >= std::numeric_limits<std::int32_t>::min() &&
                *int32 <= std::numeric_limits<std::int32_t>::max());
    if (single)
        require(std::isfinite(*single));

    // One number read three ways: a 16-bit value is also the 32-bit one, and any number is a boolean,
    // true unless it is zero.
    if (int16)
        require(int32 && *int32 == *int16);
    if (int32) {
        require(single && boolean);
        if (*int32 != 0)
            require(*boolean);
    }
    if (single) {
        require(boolean.has_value());
        if (*single != 0.0f)
            require(*boolean);
    }

    // Blanks around a stored value, as a hand-edited file may have, change nothing.
    const QString padded = QLatin1String(" \t") + text + QLatin1String("  ");
    require(toBoolean(padded) == boolean);
    require(toInteger16(padded) == int16);
    require(toSingle(padded) == single);
    require(toLong(padded) == int32);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The user's own number format is read first: French, with its decimal comma, is the one this
    // program's users have and the one that differs from the C format it falls back to.
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace StoredOptions;
    // The bytes as the UTF-8 a settings file holds, and as raw UTF-16, which reaches lone surrogates.
    checkText(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (size >= 2) {
        QString utf16(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
        std::memcpy(utf16.data(), data, size / 2 * 2);
        checkText(utf16);
    }

    require(toBoolean(fromBoolean(true)) == true);
    require(toBoolean(fromBoolean(false)) == false);

    // What the program writes comes back: the volume as a plain integer, the window position as a
    // number of 9 significant digits in the user's format.
    if (size >= 4) {
        std::int32_t n = 0;
        std::memcpy(&n, data, sizeof n);
        require(toLong(QString::number(n)) == n);
        const auto n16 = static_cast<std::int16_t>(n);
        require(toInteger16(QString::number(n16)) == n16);
        float f = 0;
        std::memcpy(&f, data, sizeof f);
        if (std::isfinite(f)) {
            QLocale locale = QLocale::system();
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
            require(toSingle(locale.toString(double(f), 'g', 9)) == f);
        }
    }
    return 0;
}
