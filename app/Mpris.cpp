#include "app/Mpris.h"

#include "app/Program.h"
#include "core/MediaKind.h"
#include "core/SharedState.h"
#include "engine/MediaEngine.h"
#include "playlist/FileUri.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"
#include "ui/frmPlayer.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QSlider>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double MicrosecondsPerSecond = 1e6;

qlonglong toMicroseconds(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * MicrosecondsPerSecond) : 0;
}

} // namespace

MprisRoot::MprisRoot(QObject *object, Program &program) : QDBusAbstractAdaptor(object), m_program(program) {}

QStringList MprisRoot::supportedMimeTypes() const
{
    // The types the desktop entry offers the player for, list files included.
    static const QStringList types = MediaKind::offeredMimeTypes();
    return types;
}

void MprisRoot::Raise()
{
    m_program.raiseMainWindow();
}

void MprisRoot::Quit()
{
    if (m_program.existingMainWindow() && !m_program.closing())
        m_program.frame().mnuExit_Click();
}

MprisPlayer::MprisPlayer(QObject *object, Program &program) : QDBusAbstractAdaptor(object), m_program(program)
{
}

const MediaEngine *MprisPlayer::loadedEngine() const
{
    frmPlayer *video = m_program.existingVideoWindow();
    if (!video)
        return nullptr;
    const MediaEngine &engine = video->MediaPlayer1();
    return engine.FileName().isEmpty() || engine.ErrorCode() != 0 ? nullptr : &engine;
}

QString MprisPlayer::playbackStatus() const
{
    const MediaEngine *engine = loadedEngine();
    switch (engine ? engine->PlayStatus() : MediaEngine::Status::Stopped) {
    case MediaEngine::Status::Playing:
        return QStringLiteral("Playing");
    case MediaEngine::Status::Paused:
        return QStringLiteral("Paused");
    case MediaEngine::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString MprisPlayer::loopStatus() const
{
    // Repeat starts the list again: the whole playlist loops, never a single track.
    const frmMain *window = m_program.existingMainWindow();
    return window && window->chkRepeat()->checkState() != Qt::Unchecked ? QStringLiteral("Playlist")
                                                                        : QStringLiteral("None");
}

void MprisPlayer::setLoopStatus(const QString &status)
{
    frmMain *window = m_program.existingMainWindow();
    if (!window || m_program.closing())
        return;
    // "Track" is taken as the nearest the player has. Setting the switch runs its click handler.
    const bool on = status == QLatin1String("Playlist") || status == QLatin1String("Track");
    if (on || status == QLatin1String("None"))
        window->chkRepeat()->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool MprisPlayer::shuffle() const
{
    const frmMain *window = m_program.existingMainWindow();
    return window && window->chkSuffle()->checkState() == Qt::Checked;
}

void MprisPlayer::setShuffle(bool on)
{
    frmMain *window = m_program.existingMainWindow();
    if (window && !m_program.closing())
        window->chkSuffle()->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QDBusObjectPath MprisPlayer::trackId() const
{
    if (!loadedEngine())
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    // The playlist row the file was started from: Next and Previous count from it too.
    const int row = std::max<int>(0, m_program.sharedState().CurrentIndex);
    return QDBusObjectPath(QStringLiteral("/org/qwelto/Player/Track/%1").arg(row));
}

QVariantMap MprisPlayer::metadata() const
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId()));
    const MediaEngine *engine = loadedEngine();
    if (!engine)
        return map;
    const QString file = engine->FileName();
    if (const qlonglong length = toMicroseconds(engine->Duration()); length > 0)
        map.insert(QStringLiteral("mpris:length"), length);
    map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
    const MediaEngine::Tags tags = engine->FileTags();
    map.insert(QStringLiteral("xesam:title"), tags.title.isEmpty() ? Playlist::fileNameOf(file) : tags.title);
    if (!tags.artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), tags.album);
    return map;
}

double MprisPlayer::volume() const
{
    const frmMain *window = m_program.existingMainWindow();
    if (!window)
        return 0.0;
    const QSlider *slider = window->scrlVol();
    return slider->maximum() > 0 ? static_cast<double>(slider->value()) / slider->maximum() : 0.0;
}

void MprisPlayer::setVolume(double volume)
{
    frmMain *window = m_program.existingMainWindow();
    if (!window || m_program.closing() || !std::isfinite(volume))
        return;
    // The slider's own steps; moving it runs its change handler, which sets the engine and the label.
    QSlider *slider = window->scrlVol();
    slider->setValue(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * slider->maximum())));
}

qlonglong MprisPlayer::position() const
{
    const MediaEngine *engine = loadedEngine();
    return engine ? toMicroseconds(std::min(engine->CurrentPosition(), engine->Duration())) : 0;
}

bool MprisPlayer::canGoNext() const
{
    const frmMain *window = m_program.existingMainWindow();
    if (!window)
        return false;
    const int count = window->lstPlay()->count();
    const SharedState &state = m_program.sharedState();
    return count > 0 && (shuffle() || state.RepeatOn || state.CurrentIndex < count - 1);
}

bool MprisPlayer::canGoPrevious() const
{
    const frmMain *window = m_program.existingMainWindow();
    if (!window)
        return false;
    const SharedState &state = m_program.sharedState();
    return window->lstPlay()->count() > 0 && (shuffle() || state.RepeatOn || state.CurrentIndex > 0);
}

bool MprisPlayer::canPlay() const
{
    const frmMain *window = m_program.existingMainWindow();
    return loadedEngine() || (window && window->lstPlay()->count() > 0);
}

bool MprisPlayer::canPause() const
{
    return loadedEngine() != nullptr;
}

bool MprisPlayer::canSeek() const
{
    const MediaEngine *engine = loadedEngine();
    return engine && engine->Duration() > 0;
}

QVariantMap MprisPlayer::announcedProperties() const
{
    return {{QStringLiteral("PlaybackStatus"), playbackStatus()},
            {QStringLiteral("LoopStatus"), loopStatus()},
            {QStringLiteral("Shuffle"), shuffle()},
            {QStringLiteral("Metadata"), metadata()},
            {QStringLiteral("Volume"), volume()},
            {QStringLiteral("CanGoNext"), canGoNext()},
            {QStringLiteral("CanGoPrevious"), canGoPrevious()},
            {QStringLiteral("CanPlay"), canPlay()},
            {QStringLiteral("CanPause"), canPause()},
            {QStringLiteral("CanSeek"), canSeek()}};
}

void MprisPlayer::Next()
{
    if (!m_program.closing())
        m_program.transport().cmdForward_Click();
}

void MprisPlayer::Previous()
{
    if (!m_program.closing())
        m_program.transport().cmdBack_Click();
}

void MprisPlayer::Pause()
{
    if (!m_program.closing() && playbackStatus() == QLatin1String("Playing"))
        m_program.transport().pausePlayback();
}

void MprisPlayer::Play()
{
    if (!m_program.closing() && playbackStatus() != QLatin1String("Playing"))
        m_program.transport().resumePlayback();
}

void MprisPlayer::PlayPause()
{
    if (playbackStatus() == QLatin1String("Playing"))
        Pause();
    else
        Play();
}

void MprisPlayer::Stop()
{
    if (!m_program.closing())
        m_program.transport().cmdStop_Click();
}

void MprisPlayer::seekTo(qlonglong microseconds)
{
    m_program.engine().setCurrentPosition(static_cast<double>(microseconds) / MicrosecondsPerSecond);
    Q_EMIT Seeked(position());
}

void MprisPlayer::Seek(qlonglong Offset)
{
    if (m_program.closing() || !canSeek())
        return;
    // Saturated: a desktop may ask for "to the end" with the largest offset there is.
    const qlonglong now = position();
    const qlonglong target = Offset > std::numeric_limits<qlonglong>::max() - now
                                 ? std::numeric_limits<qlonglong>::max()
                                 : std::max<qlonglong>(0, now + Offset);
    // Past the end is the next track, as the end of the file would be.
    if (target > toMicroseconds(loadedEngine()->Duration()))
        Next();
    else
        seekTo(target);
}

void MprisPlayer::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    if (m_program.closing() || !canSeek() || TrackId != trackId() || Position < 0 ||
        Position > toMicroseconds(loadedEngine()->Duration()))
        return;
    seekTo(Position);
}

void MprisPlayer::OpenUri(const QString &Uri)
{
    const QString path = FileUri::localPath(Uri, QDir::rootPath());
    if (!path.isEmpty())
        m_program.openFromOutside({path});
}
