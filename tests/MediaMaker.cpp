#include "MediaMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cmath>

namespace {

void appendBigEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

void appendLittleEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

QByteArray riffForm(const char *form, const QByteArray &chunks)
{
    QByteArray out("RIFF");
    appendLittleEndian(out, static_cast<quint32>(4 + chunks.size()), 4);
    out.append(form, 4);
    out.append(chunks);
    return out;
}

QByteArray riffChunk(const char *id, const QByteArray &payload)
{
    QByteArray out(id, 4);
    appendLittleEndian(out, static_cast<quint32>(payload.size()), 4);
    out.append(payload);
    if (payload.size() % 2)
        out.append('\0');
    return out;
}

QString secondsArg(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

} // namespace

MediaMaker::MediaMaker(const QString &directory) : m_directory(directory) {}

bool MediaMaker::haveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

QStringList MediaMaker::formats()
{
    return {QStringLiteral("mp3"),  QStringLiteral("wav"), QStringLiteral("mid"), QStringLiteral("rmi"),
            QStringLiteral("wma"),  QStringLiteral("ogg"), QStringLiteral("avi"), QStringLiteral("mpg"),
            QStringLiteral("mpeg"), QStringLiteral("wmv"), QStringLiteral("asf"), QStringLiteral("vob"),
            QStringLiteral("dat"),  QStringLiteral("cdxa")};
}

bool MediaMaker::isVideo(const QString &format)
{
    return !pictureSize(format).isEmpty();
}

QSize MediaMaker::pictureSize(const QString &format)
{
    // DVD PAL is 720x576 with 16:15 pixels; VCD PAL is 352x288 with 12:11 pixels (4:3 pictures).
    if (format == QLatin1String("vob"))
        return {768, 576};
    if (format == QLatin1String("dat") || format == QLatin1String("cdxa"))
        return {384, 288};
    static const QStringList plain = {QStringLiteral("avi"), QStringLiteral("mpg"), QStringLiteral("mpeg"),
                                      QStringLiteral("wmv"), QStringLiteral("asf")};
    return plain.contains(format) ? QSize(320, 240) : QSize();
}

QString MediaMaker::make(const QString &format, double seconds, const QString &baseName)
{
    const QString base = baseName.isEmpty() ? QStringLiteral("sample-") + format : baseName;
    if (format == QLatin1String("mid"))
        return midi(base + QStringLiteral(".mid"), seconds);
    if (format == QLatin1String("rmi"))
        return rmid(base + QStringLiteral(".rmi"), seconds);
    if (format == QLatin1String("cdxa")) {
        const QString track = picture(base + QStringLiteral("-plain.dat"), seconds);
        return track.isEmpty() ? QString() : cdxa(base + QStringLiteral(".dat"), track);
    }
    if (isVideo(format))
        return picture(base + QLatin1Char('.') + format, seconds);
    return tone(base + QLatin1Char('.') + format, seconds);
}

QString MediaMaker::path(const QString &fileName) const
{
    return QDir(m_directory).filePath(fileName);
}

QString MediaMaker::runFfmpeg(const QString &outFile, const QStringList &arguments)
{
    QProcess ffmpeg;
    QStringList all = {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"),
                       QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y")};
    all << arguments << outFile;
    ffmpeg.start(QStringLiteral("ffmpeg"), all);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0 || QFileInfo(outFile).size() == 0) {
        m_error = QStringLiteral("ffmpeg failed for %1: %2")
                      .arg(outFile, QString::fromLocal8Bit(ffmpeg.readAllStandardError()).trimmed());
        return {};
    }
    return outFile;
}

QString MediaMaker::writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return {};
    }
    return file.fileName();
}

QString MediaMaker::tone(const QString &fileName, double seconds, int channels, int frequency)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    QStringList codec;
    if (suffix == QLatin1String("mp3"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("libmp3lame")};
    else if (suffix == QLatin1String("wav"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
    else if (suffix == QLatin1String("wma"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("wmav2")};
    else if (suffix == QLatin1String("ogg"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("libvorbis")};
    else {
        m_error = QStringLiteral("no tone recipe for .%1").arg(suffix);
        return {};
    }
    QStringList args = {QStringLiteral("-f"),
                        QStringLiteral("lavfi"),
                        QStringLiteral("-i"),
                        QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2")
                            .arg(frequency)
                            .arg(secondsArg(seconds)),
                        QStringLiteral("-ac"),
                        QString::number(channels)};
    return runFfmpeg(path(fileName), args + codec);
}

QString MediaMaker::picture(const QString &fileName, double seconds)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    QStringList args = {
        QStringLiteral("-f"),
        QStringLiteral("lavfi"),
        QStringLiteral("-i"),
        QStringLiteral("testsrc=size=320x240:rate=25:duration=%1").arg(secondsArg(seconds)),
        QStringLiteral("-f"),
        QStringLiteral("lavfi"),
        QStringLiteral("-i"),
        QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(secondsArg(seconds)),
        QStringLiteral("-ac"),
        QStringLiteral("2")};
    if (suffix == QLatin1String("avi"))
        args << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-c:a")
             << QStringLiteral("libmp3lame");
    else if (suffix == QLatin1String("mpg"))
        args << QStringLiteral("-c:v") << QStringLiteral("mpeg1video") << QStringLiteral("-c:a")
             << QStringLiteral("mp2") << QStringLiteral("-f") << QStringLiteral("mpeg");
    else if (suffix == QLatin1String("mpeg"))
        args << QStringLiteral("-c:v") << QStringLiteral("mpeg2video") << QStringLiteral("-c:a")
             << QStringLiteral("mp2") << QStringLiteral("-f") << QStringLiteral("vob");
    else if (suffix == QLatin1String("wmv"))
        args << QStringLiteral("-c:v") << QStringLiteral("wmv2") << QStringLiteral("-c:a")
             << QStringLiteral("wmav2") << QStringLiteral("-f") << QStringLiteral("asf");
    else if (suffix == QLatin1String("asf"))
        args << QStringLiteral("-c:v") << QStringLiteral("msmpeg4") << QStringLiteral("-c:a")
             << QStringLiteral("wmav2") << QStringLiteral("-f") << QStringLiteral("asf");
    else if (suffix == QLatin1String("vob"))
        args << QStringLiteral("-target") << QStringLiteral("pal-dvd") << QStringLiteral("-f")
             << QStringLiteral("dvd");
    else if (suffix == QLatin1String("dat"))
        args << QStringLiteral("-target") << QStringLiteral("pal-vcd") << QStringLiteral("-f")
             << QStringLiteral("vcd");
    else {
        m_error = QStringLiteral("no picture recipe for .%1").arg(suffix);
        return {};
    }
    return runFfmpeg(path(fileName), args);
}

QByteArray MediaMaker::midiBytes(double seconds)
{
    constexpr int ticksPerQuarter = 96;
    const int notes = std::max(1, static_cast<int>(std::lround(seconds * 2.0)));

    QByteArray track;
    // Tempo 500000 us a quarter note (120 beats a minute), then a piano on channel 0.
    track.append(QByteArray::fromHex("00ff5103"
                                     "07a120"
                                     "00c000"));
    static const int scale[] = {60, 62, 64, 65, 67, 69, 71, 72};
    for (int i = 0; i < notes; ++i) {
        const char key = static_cast<char>(scale[i % 8]);
        track.append('\0');
        track.append('\x90');
        track.append(key);
        track.append('\x64');
        track.append(static_cast<char>(ticksPerQuarter)); // fits one byte of variable-length delta
        track.append('\x80');
        track.append(key);
        track.append('\0');
    }
    track.append(QByteArray::fromHex("00ff2f00"));

    QByteArray out("MThd");
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, 0, 2); // format 0
    appendBigEndian(out, 1, 2); // one track
    appendBigEndian(out, ticksPerQuarter, 2);
    out.append("MTrk");
    appendBigEndian(out, static_cast<quint32>(track.size()), 4);
    out.append(track);
    return out;
}

QString MediaMaker::midi(const QString &fileName, double seconds)
{
    return writeFile(fileName, midiBytes(seconds));
}

QString MediaMaker::rmid(const QString &fileName, double seconds)
{
    return writeFile(fileName, riffForm("RMID", riffChunk("data", midiBytes(seconds))));
}

QString MediaMaker::cdxa(const QString &fileName, const QString &mpegFile)
{
    QFile in(mpegFile);
    if (!in.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read %1").arg(mpegFile);
        return {};
    }
    const QByteArray stream = in.readAll();
    constexpr int userData = 2324;
    const int sectors = static_cast<int>((stream.size() + userData - 1) / userData);

    QByteArray data;
    data.reserve(static_cast<qsizetype>(sectors) * 2352);
    for (int i = 0; i < sectors; ++i) {
        // Sync pattern, then the sector address (minute, second, frame in BCD, from 00:02:00 as on a
        // disc) and mode 2.
        data.append('\0');
        data.append(QByteArray(10, '\xff'));
        data.append('\0');
        const int address = i + 150;
        const auto bcd = [](int v) { return static_cast<char>(((v / 10) << 4) | (v % 10)); };
        data.append(bcd(address / 75 / 60));
        data.append(bcd(address / 75 % 60));
        data.append(bcd(address % 75));
        data.append('\x02');
        // Subheader (file, channel, submode: form 2 real-time data, coding), written twice.
        const QByteArray subheader = QByteArray::fromHex("01016200");
        data.append(subheader);
        data.append(subheader);
        QByteArray payload = stream.mid(static_cast<qsizetype>(i) * userData, userData);
        payload.append(QByteArray(userData - payload.size(), '\0'));
        data.append(payload);
        data.append(QByteArray(4, '\0')); // no error detection code
    }
    // The CDXA "fmt " chunk: owner and group ids, attributes, "XA", file number, reserved.
    QByteArray fmt(16, '\0');
    fmt[4] = '\x15';
    fmt[5] = '\x55';
    fmt[6] = 'X';
    fmt[7] = 'A';
    fmt[8] = '\x01';
    return writeFile(fileName, riffForm("CDXA", riffChunk("fmt ", fmt) + riffChunk("data", data)));
}

QString MediaMaker::emptyFile(const QString &fileName)
{
    return writeFile(fileName, QByteArray());
}

QString MediaMaker::randomBytes(const QString &fileName, int size)
{
    // Fixed seed: the same bytes every run, so a run cannot pass or fail by luck.
    QRandomGenerator random(20240611u);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = static_cast<char>(random.bounded(256));
    return writeFile(fileName, bytes);
}

QString MediaMaker::directory(const QString &fileName)
{
    if (!QDir(m_directory).mkpath(fileName)) {
        m_error = QStringLiteral("cannot make directory %1").arg(path(fileName));
        return {};
    }
    return path(fileName);
}

QString MediaMaker::missing(const QString &fileName) const
{
    return path(fileName);
}

QString MediaMaker::textFile(const QString &fileName)
{
    return writeFile(
        fileName,
        QByteArrayLiteral("Ceci n'est pas un son.\nJuste du texte, ligne après ligne.\n").repeated(40));
}

QString MediaMaker::unknownCodecAvi(const QString &fileName)
{
    const QStringList args = {
        QStringLiteral("-f"),       QStringLiteral("lavfi"),
        QStringLiteral("-i"),       QStringLiteral("testsrc=size=64x48:rate=10:duration=1"),
        QStringLiteral("-c:v"),     QStringLiteral("rawvideo"),
        QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
        QStringLiteral("-tag:v"),   QStringLiteral("QWZ9"),
        QStringLiteral("-f"),       QStringLiteral("avi")};
    return runFfmpeg(path(fileName), args);
}
