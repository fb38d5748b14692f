#include "playlist/ListFile.h"

#include "playlist/UserFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

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

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

qsizetype lineEnd(QByteArrayView bytes, qsizetype from)
{
    while (from < bytes.size() && !isLineEnd(bytes[from]))
        ++from;
    return from;
}

QByteArrayView withoutByteOrderMark(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    return view.startsWith("\xEF\xBB\xBF") ? view.sliced(3) : view;
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
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

QString decodeText(const QByteArray &bytes)
{
    const QByteArrayView view = withoutByteOrderMark(bytes);
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
    // Every separator is ASCII, which no byte of a UTF-8 sequence is: the fields are found in the
    // bytes, and each is decoded on its own.
    const QByteArrayView text = withoutByteOrderMark(bytes);
    const qsizetype n = text.size();
    QStringList entries;
    qsizetype i = 0;
    bool fieldExpected = false; // a comma promises a field, even an empty one before a line end
    while (i < n) {
        // Blanks before a field are not part of it.
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        if (isLineEnd(text[i]) && !fieldExpected) {
            // An empty line holds no entry; CR LF counts as one line end.
            ++i;
            continue;
        }
        QString field;
        if (text[i] == '"') {
            const qsizetype start = i + 1;
            qsizetype end = start;
            while (end < n && text[end] != '"' && !isLineEnd(text[end]))
                ++end;
            field = decodeEntry(text.sliced(start, end - start));
            i = end < n && text[end] == '"' ? end + 1 : end;
            // Whatever follows the closing quote on the line, up to a separator, is dropped.
            while (i < n && text[i] != ',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != ',' && !isLineEnd(text[i]))
                ++i;
            field = decodeEntry(text.sliced(start, i - start)).trimmed();
        }
        entries.append(field);
        fieldExpected = i < n && text[i] == ',';
        if (i < n)
            ++i;
    }
    if (fieldExpected)
        entries.append(QString());
    return entries;
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
