#include "core/SettingsText.h"

#include <QList>
#include <QStringView>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The letter of each C escape the file uses, and the character it stands for.
constexpr std::array<std::pair<char, char>, 8> Escapes = {
    {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'0', '\0'}}};

QList<QStringView> linesOf(const QString &text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(QStringView(text).sliced(start, end - start).trimmed());
        start = end + 1;
    }
    return lines;
}

// The digit's value, or -1 for a character that is no hexadecimal digit.
int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Quotes keep blanks and separators; a backslash escapes the next character, as in C.
QString unescaped(QStringView value)
{
    QString text;
    bool quoted = false;
    qsizetype kept = 0; // what a comment's blanks may not take back
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'"') {
            quoted = !quoted;
            kept = text.size();
            continue;
        }
        if (c == u';' && !quoted) {
            // A comment to the end of the line, and the blanks before it.
            while (text.size() > kept && text.back().isSpace())
                text.chop(1);
            break;
        }
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            if (quoted)
                kept = text.size();
            continue;
        }
        kept = text.size() + 1;
        const QChar escaped = value[++i];
        if (escaped == u'x') {
            char16_t code = 0;
            while (i + 1 < value.size() && hexValue(value[i + 1]) >= 0)
                code = char16_t(code * 16 + hexValue(value[++i]));
            text += QChar(code);
            continue;
        }
        const auto named = std::find_if(Escapes.cbegin(), Escapes.cend(),
                                        [&](const auto &e) { return escaped == QLatin1Char(e.first); });
        text += named == Escapes.cend() ? escaped : QChar(named->second);
    }
    // Qt marks its own typed values with "@": a text of ours that began with one has it doubled.
    if (text.startsWith(QLatin1String("@@")))
        text.remove(0, 1);
    return text;
}

QByteArray escaped(const QString &value)
{
    QString text;
    bool quote = value.startsWith(u' ') || value.endsWith(u' ');
    // After a \x escape a hexadecimal digit would be read as part of it.
    bool afterHex = false;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == ';' || u == ',' || u == '=')
            quote = true;
        if (afterHex && hexValue(c) >= 0) {
            text += QStringLiteral("\\x") + QString::number(u, 16);
            continue;
        }
        afterHex = false;
        const auto named = std::find_if(Escapes.cbegin(), Escapes.cend(),
                                        [&](const auto &e) { return u == char16_t(e.second); });
        if (named != Escapes.cend()) {
            text += u'\\';
            text += QLatin1Char(named->first);
            // Read back, "\0" would take the digits after it as its own.
            afterHex = u == 0;
        } else if (u == '"' || u == '\\') {
            text += u'\\';
            text += c;
        } else if (u <= 0x1F) {
            text += QStringLiteral("\\x") + QString::number(u, 16);
            afterHex = true;
        } else {
            text += c;
        }
    }
    if (value.startsWith(u'@'))
        text.prepend(u'@');
    return (quote ? u'"' + text + u'"' : text).toUtf8();
}

} // namespace

namespace SettingsText {

Sections decode(const QByteArray &bytes)
{
    Sections sections;
    QString section;
    const QString text = QString::fromUtf8(bytes);
    for (const QStringView line : linesOf(text)) {
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = line.sliced(1, (close < 0 ? line.size() : close) - 1).trimmed().toString();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QStringView key = equals < 0 ? QStringView() : line.first(equals).trimmed();
        if (!key.isEmpty())
            sections[section].insert(key.toString(), unescaped(line.sliced(equals + 1).trimmed()));
    }
    return sections;
}

QByteArray encode(const Sections &sections)
{
    QByteArray text;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (section->isEmpty())
            continue;
        if (!text.isEmpty())
            text += '\n';
        text += '[' + section.key().toUtf8() + "]\n";
        for (auto value = section->cbegin(); value != section->cend(); ++value)
            text += value.key().toUtf8() + '=' + escaped(value.value()) + '\n';
    }
    return text;
}

} // namespace SettingsText
