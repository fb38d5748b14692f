#include "playlist/ListFile.h"

#include "core/UserFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <optional>

namespace {

// The bytes 0x80..0x9F of Windows-1252; the rest of the code page is Latin-1. 0 marks the five
// unassigned bytes, which are kept as the C1 control of the same number.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        if (b >= 0x80 && b <= 0x9F && Cp1252High[b - 0x80] != 0)
            u = Cp1252High[b - 0x80];
        *out++ = QChar(u);
    }
    return text;
}

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return static_cast<unsigned char>(c);
}

bool isLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

qsizetype lineEnd(QByteArrayView bytes, qsizetype from)
{
    while (from < bytes.size() && !isLineEnd(unit(bytes[from])))
        ++from;
    return from;
}

QByteArrayView withoutByteOrderMark(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    return view.startsWith("\xEF\xBB\xBF") ? view.sliced(3) : view;
}

// The text of valid UTF-8, a byte-order mark in it kept as a character; nothing for other bytes.
std::optional<QString> fromUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// The fields of a list file, found in its text or in its bytes alike: every separator is ASCII, which
// no byte of a UTF-8 sequence is. entryOf turns a field's span into its entry.
template <typename View, typename EntryOf> QStringList fieldsOf(View text, EntryOf entryOf)
{
    const qsizetype n = text.size();
    QStringList entries;
    qsizetype i = 0;
    bool fieldExpected = false; // a comma promises a field, even an empty one before a line end
    while (i < n) {
        // Blanks before a field are not part of it.
        while (i < n && (unit(text[i]) == u' ' || unit(text[i]) == u'\t'))
            ++i;
        if (i >= n)
            break;
        if (isLineEnd(unit(text[i])) && !fieldExpected) {
            // An empty line holds no entry; CR LF counts as one line end.
            ++i;
            continue;
        }
        QString field;
        if (unit(text[i]) == u'"') {
            const qsizetype start = i + 1;
            qsizetype end = start;
            while (end < n && unit(text[end]) != u'"' && !isLineEnd(unit(text[end])))
                ++end;
            field = entryOf(text.sliced(start, end - start));
            i = end < n && unit(text[end]) == u'"' ? end + 1 : end;
            // Whatever follows the closing quote on the line, up to a separator, is dropped.
            while (i < n && unit(text[i]) != u',' && !isLineEnd(unit(text[i])))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && unit(text[i]) != u',' && !isLineEnd(unit(text[i])))
                ++i;
            field = entryOf(text.sliced(start, i - start)).trimmed();
        }
        entries.append(field);
        fieldExpected = i < n && unit(text[i]) == u',';
        if (i < n)
            ++i;
    }
    if (fieldExpected)
        entries.append(QString());
    return entries;
}

} // namespace

namespace ListFile {

QByteArray encode(const QStringList &entries)
{
    // The locale's own encoding, as other programs of this desktop expect of a text file.
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &entry : entries)
        size += entry.size() + 4;
    bytes.reserve(size);
    for (const QString &entry : entries) {
        bytes += '"';
        bytes += encoder.encode(entry);
        bytes += "\"\r\n";
    }
    return bytes;
}

QString decodeEntry(QByteArrayView bytes)
{
    // A byte-order mark inside the file is a character like any other; only the file's own first one
    // is dropped, by the callers.
    if (std::optional<QString> text = fromUtf8(bytes))
        return *std::move(text);
    return fromWindows1252(bytes);
}

QString decodeText(const QByteArray &bytes)
{
    const QByteArrayView view = withoutByteOrderMark(bytes);
    if (std::optional<QString> text = fromUtf8(view))
        return *std::move(text);
    // Line by line, so that the lines that are UTF-8 keep their characters.
    const qsizetype n = view.size();
    QString text;
    text.reserve(n);
    qsizetype start = 0;
    while (start < n) {
        const qsizetype end = lineEnd(view, start);
        text += decodeEntry(view.sliced(start, end - start));
        if (end < n)
            text += QLatin1Char(view[end]);
        start = end + 1;
    }
    return text;
}

QStringList decode(const QByteArray &bytes)
{
    const QByteArrayView view = withoutByteOrderMark(bytes);
    // Valid UTF-8 as a whole, as nearly every list is, decodes fastest in one piece.
    if (const std::optional<QString> text = fromUtf8(view))
        return fieldsOf(QStringView(*text), [](QStringView field) { return field.toString(); });
    return fieldsOf(view, [](QByteArrayView field) { return decodeEntry(field); });
}

bool write(const QString &path, const QStringList &entries)
{
    return UserFile::replace(path, encode(entries));
}

std::optional<QStringList> read(const QString &path)
{
    const std::optional<QByteArray> bytes = UserFile::read(path);
    if (!bytes)
        return std::nullopt;
    return decode(*bytes);
}

} // namespace ListFile
