#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

// Makes media files at test time in a directory the caller owns (a QTemporaryDir): tones and test
// pictures through ffmpeg, MIDI and the RIFF wrappers by hand, and files that cannot be played.
// Every maker returns the file's path, or an empty string with lastError() saying why.
class MediaMaker {
public:
    explicit MediaMaker(const QString &directory);

    static bool haveFfmpeg();

    // Every playable format a maker knows, by the key make() takes. "cdxa" is a video CD track in a
    // RIFF/CDXA wrapper (named .dat, like on the disc).
    static QStringList formats();
    // The picture size a player should show (pixel aspect applied, as the 4:3 or 16:9 shape of the
    // disc format says); empty for sound only.
    static QSize pictureSize(const QString &format);

    // A file of the given format, `seconds` long, named <baseName>.<extension>.
    QString make(const QString &format, double seconds, const QString &baseName = QString());
    // Sine tone through ffmpeg; the extension of fileName picks the codec (mp3, wav, wma, ogg).
    QString tone(const QString &fileName, double seconds, int channels = 2, int frequency = 440);

    // Files that must fail to open.
    QString emptyFile(const QString &fileName);
    QString randomBytes(const QString &fileName, int size = 64 * 1024);
    QString directory(const QString &fileName);
    // A named pipe nobody writes to: opening it for reading waits for a writer forever.
    QString namedPipe(const QString &fileName);
    QString missing(const QString &fileName) const;
    // An AVI whose only stream uses a video codec tag nobody decodes.
    QString unknownCodecAvi(const QString &fileName);
    // An MP4 cut in half, its index lost with the second half.
    QString truncatedMp4(const QString &fileName);

    // Any recipe of ffmpeg's, output to fileName in the directory.
    QString runFfmpeg(const QString &fileName, const QString &arguments);

    QString lastError() const { return m_error; }

private:
    QString path(const QString &fileName) const;
    QString writeFile(const QString &fileName, const QByteArray &bytes);
    // Test picture with a tone; the extension picks container and codecs.
    QString picture(const QString &fileName, double seconds);
    // The MPEG program stream `mpegFile` cut into 2352-byte Mode 2 sectors in a RIFF "CDXA" form.
    QString cdxa(const QString &fileName, const QString &mpegFile);

    QString m_directory;
    QString m_error;
};
