#include "MediaMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtEndian>

#include <sys/stat.h>

#include <cmath>

namespace {

QByteArray riffChunk(const char *id, const QByteArray &payload)
{
    QByteArray size(4, '\0');
    qToLittleEndian(static_cast<quint32>(payload.size()), size.data());
    return QByteArray(id, 4) + size + payload + QByteArray(payload.size() % 2, '\0');
}

QByteArray riffForm(const char *form, const QByteArray &chunks)
{
    return riffChunk("RIFF", QByteArray(form, 4) + chunks);
}

// Format-0 standard MIDI file of quarter notes, about two a second, the tempo set so that they last
// exactly `seconds`.
QByteArray midiBytes(double seconds)
{
    constexpr int ticksPerQuarter = 96;
    const int notes = std::max(1, static_cast<int>(std::lround(seconds * 2.0)));
    // The tempo (microseconds a quarter note, three bytes), then a piano on channel 0.
    QByteArray tempo(4, '\0');
    qToBigEndian(static_cast<quint32>(std::lround(seconds * 1e6 / notes)), tempo.data());
    QByteArray track = QByteArray::fromHex("00ff5103") + tempo.mid(1) + QByteArray::fromHex("00c000");
    static const char scale[] = {60, 62, 64, 65, 67, 69, 71, 72};
    for (int i = 0; i < notes; ++i) {
        // Note on at once, note off a quarter later (96 fits one byte of variable-length delta).
        const char key = scale[i % 8];
        track.append(QByteArray::fromHex("0090") + key + QByteArray::fromHex("6460") + '\x80' + key + '\0');
    }
    track.append(QByteArray::fromHex("00ff2f00"));
    QByteArray out = QByteArray::fromHex("4d546864000000060000000100") + char(ticksPerQuarter) + "MTrk";
    QByteArray length(4, '\0');
    qToBigEndian(static_cast<quint32>(track.size()), length.data());
    return out + length + track;
}

} // namespace

MediaMaker::MediaMaker(const QString &directory) : m_directory(directory) {}

bool MediaMaker::haveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

QStringList MediaMaker::formats()
{
    return QStringLiteral("mp3 wav mid rmi wma ogg avi mpg mpeg wmv asf vob dat cdxa")
        .split(QLatin1Char(' '));
}

QSize MediaMaker::pictureSize(const QString &format)
{
    // DVD PAL is 720x576 with 16:15 pixels; VCD PAL is 352x288 with 12:11 pixels (4:3 pictures).
    if (format == QLatin1String("vob"))
        return {768, 576};
    if (format == QLatin1String("dat") || format == QLatin1String("cdxa"))
        return {384, 288};
    const bool plain = QStringLiteral("avi mpg mpeg wmv asf").split(QLatin1Char(' ')).contains(format);
    return plain ? QSize(320, 240) : QSize();
}

QString MediaMaker::make(const QString &format, double seconds, const QString &baseName)
{
    const QString base =
        (baseName.isEmpty() ? QStringLiteral("sample-") + format : baseName) + QLatin1Char('.');
    if (format == QLatin1String("mid"))
        return writeFile(base + format, midiBytes(seconds));
    if (format == QLatin1String("rmi"))
        return writeFile(base + format, riffForm("RMID", riffChunk("data", midiBytes(seconds))));
    if (format == QLatin1String("cdxa")) {
        const QString track = picture(base + QStringLiteral("plain.dat"), seconds);
        return track.isEmpty() ? QString() : cdxa(base + QStringLiteral("dat"), track);
    }
    if (!pictureSize(format).isEmpty())
        return picture(base + format, seconds);
    return tone(base + format, seconds);
}

QString MediaMaker::path(const QString &fileName) const
{
    return QDir(m_directory).filePath(fileName);
}

QString MediaMaker::runFfmpeg(const QString &fileName, const QString &arguments)
{
    const QString outFile = path(fileName);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringLiteral("-hide_banner -nostdin -loglevel error -y ")
                                                   .append(arguments)
                                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                               << outFile);
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
    static const QHash<QString, QString> codecs = {{QStringLiteral("mp3"), QStringLiteral("libmp3lame")},
                                                   {QStringLiteral("wav"), QStringLiteral("pcm_s16le")},
                                                   {QStringLiteral("wma"), QStringLiteral("wmav2")},
                                                   {QStringLiteral("ogg"), QStringLiteral("libvorbis")}};
    const QString codec = codecs.value(QFileInfo(fileName).suffix().toLower());
    if (codec.isEmpty()) {
        m_error = QStringLiteral("no tone recipe for %1").arg(fileName);
        return {};
    }
    return runFfmpeg(fileName, QStringLiteral("-f lavfi -i sine=frequency=%1:sample_rate=44100:duration=%2 "
                                              "-ac %3 -c:a %4")
                                   .arg(frequency)
                                   .arg(seconds, 0, 'f', 3)
                                   .arg(channels)
                                   .arg(codec));
}

QString MediaMaker::picture(const QString &fileName, double seconds)
{
    static const QHash<QString, QString> recipes = {
        {QStringLiteral("avi"), QStringLiteral("-c:v mpeg4 -c:a libmp3lame")},
        {QStringLiteral("mpg"), QStringLiteral("-c:v mpeg1video -c:a mp2 -f mpeg")},
        {QStringLiteral("mpeg"), QStringLiteral("-c:v mpeg2video -c:a mp2 -f vob")},
        {QStringLiteral("wmv"), QStringLiteral("-c:v wmv2 -c:a wmav2 -f asf")},
        {QStringLiteral("asf"), QStringLiteral("-c:v msmpeg4 -c:a wmav2 -f asf")},
        {QStringLiteral("vob"), QStringLiteral("-target pal-dvd -f dvd")},
        {QStringLiteral("dat"), QStringLiteral("-target pal-vcd -f vcd")}};
    const QString recipe = recipes.value(QFileInfo(fileName).suffix().toLower());
    if (recipe.isEmpty()) {
        m_error = QStringLiteral("no picture recipe for %1").arg(fileName);
        return {};
    }
    return runFfmpeg(fileName, QStringLiteral("-f lavfi -i testsrc=size=320x240:rate=25:duration=%1 -f lavfi "
                                              "-i sine=frequency=440:sample_rate=44100:duration=%1 -ac 2 %2")
                                   .arg(QString::number(seconds, 'f', 3), recipe));
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
    const auto bcd = [](int v) { return static_cast<char>(((v / 10) << 4) | (v % 10)); };
    QByteArray data;
    for (qsizetype at = 0; at < stream.size(); at += userData) {
        // Sync pattern, the sector address (minute, second, frame in BCD, from 00:02:00 as on a
        // disc), mode 2, then the subheader (form 2 real-time data) twice.
        const int address = static_cast<int>(at / userData) + 150;
        data.append('\0' + QByteArray(10, '\xff') + '\0');
        data.append(bcd(address / 75 / 60)).append(bcd(address / 75 % 60)).append(bcd(address % 75));
        data.append(QByteArray::fromHex("020101620001016200"));
        const QByteArray payload = stream.mid(at, userData);
        // Zero padding to a full sector, and no error detection code.
        data.append(payload).append(QByteArray(userData - payload.size() + 4, '\0'));
    }
    // The CDXA "fmt " chunk: owner and group ids, attributes, "XA", file number, reserved.
    const QByteArray fmt = QByteArray::fromHex("00000000155558410100000000000000");
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

QString MediaMaker::namedPipe(const QString &fileName)
{
    if (::mkfifo(QFile::encodeName(path(fileName)).constData(), 0666) != 0) {
        m_error = QStringLiteral("cannot make named pipe %1").arg(path(fileName));
        return {};
    }
    return path(fileName);
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

QString MediaMaker::unknownCodecAvi(const QString &fileName)
{
    return runFfmpeg(fileName,
                     QStringLiteral("-f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v rawvideo "
                                    "-pix_fmt yuv420p -tag:v QWZ9 -f avi"));
}

QString MediaMaker::truncatedMp4(const QString &fileName)
{
    // ffmpeg writes the index last: the first half holds pictures and sound, and nothing says where.
    const QString whole = runFfmpeg(
        QStringLiteral("whole-") + fileName,
        QStringLiteral("-f lavfi -i testsrc=size=320x240:rate=25:duration=3 -f lavfi -i sine=duration=3 "
                       "-c:v mpeg4 -c:a aac -f mp4"));
    QFile file(whole);
    if (!whole.isEmpty() && file.resize(file.size() / 2) && file.rename(path(fileName)))
        return file.fileName();
    m_error += QStringLiteral(" (cannot cut %1 short)").arg(whole);
    return {};
}
