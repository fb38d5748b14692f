#pragma once

#include <QSize>
#include <QString>

#include <functional>

// The one media-playback engine of the program. The video window hosts it and every other part of
// the program reaches it through these operations only.
//
// Contract (what callers may rely on; the real engine and the test fake both keep it):
// - Every call is synchronous and made on the UI thread.
// - setFileName(path) opens the file and starts playing it from 0 without a Play() call. It returns
//   only once the file plays or has failed, after a bounded wait of a few seconds. Right after it
//   returns, Duration(), ErrorCode() and ErrorDescription() describe the new file.
//   setFileName("") empties the engine: FileName() is "" and Duration() is 0.
// - A file that cannot be played leaves FileName() set to the path, Duration() 0, ErrorCode()
//   nonzero and ErrorDescription() a readable reason (the first error reported, in the user's
//   language where the media framework has a translation). It never crashes or hangs.
// - Positions and durations are seconds relative to the start of the file.
// - After the end of a stream, CurrentPosition() reads at least Duration() until the next seek,
//   Stop() or open: the progress tick detects the end of an item that way. A file whose length is
//   not known yet reads Duration() 0 and ends at EndOfStream().
// - Stop() halts and keeps the file loaded (paused at 0, Duration() still known); Pause() keeps the
//   position; Play() starts or resumes at CurrentPosition().
// - Volume() is in hundredths of a decibel, -9640..0, a gain of 10^(v/2000). Balance() b, -9640..9640,
//   attenuates the opposite channel by |b|/100 dB (b > 0 lowers the left channel). Both read back
//   exactly as written, apply at once and survive opening another file.
// - DisplaySize(): 0 = native picture size, 3 = full screen, 4 = picture fitted to the engine area.
//   Setting 0 gives the engine area the loaded picture's own size (one picture pixel to one logical
//   pixel); with no picture loaded the area keeps its size. The host may size the area again later.
// - The next file: the host may say in advance which file follows the loaded one (setNextFileName).
//   The engine never chooses one itself. Should the loaded file then play to its end, the next one
//   starts where it ends, with no silence between them, and the engine reports Event::Advanced; from
//   then on FileName(), Duration(), the position and the tags are the new file's, which plays from
//   0, and nothing is queued any more. Any open (setFileName) forgets the queued file; Stop(), Pause(),
//   Play() and seeks keep it, and the loaded file stays loaded through them (a seek in the last
//   moments before the end goes to the loaded file, never to the next one).
//   Without a queued file, or when the queued one cannot follow after all, the end of the loaded file
//   is reported as Event::Ended, as soon as the engine reaches it.
class MediaEngine {
public:
    enum DisplayMode { DisplayNative = 0, DisplayFullScreen = 3, DisplayFit = 4 };

    MediaEngine() = default;
    MediaEngine(const MediaEngine &) = delete;
    MediaEngine &operator=(const MediaEngine &) = delete;
    virtual ~MediaEngine() = default;

    virtual QString FileName() const = 0;
    virtual void setFileName(const QString &path) = 0;

    virtual double CurrentPosition() const = 0;
    virtual void setCurrentPosition(double seconds) = 0;
    virtual double Duration() const = 0;
    // True once the loaded file has played to its end of stream, until the next seek, Stop() or
    // open. Duration() may read 0 for a while after the open (or for good) while the file plays:
    // only this says that such a file has ended.
    virtual bool EndOfStream() const = 0;

    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

    virtual int DisplaySize() const = 0;
    virtual void setDisplaySize(int mode) = 0;

    virtual long Volume() const = 0;
    virtual void setVolume(long hundredthsDb) = 0;
    virtual long Balance() const = 0;
    virtual void setBalance(long hundredthsDb) = 0;
    virtual bool Mute() const = 0;
    virtual void setMute(bool on) = 0;

    virtual long ErrorCode() const = 0;
    virtual QString ErrorDescription() const = 0;

    // Whether a small control bar is offered over the full-screen picture.
    virtual void setFullScreenControls(bool on) = 0;
    virtual bool FullScreenControls() const = 0;

    // Called after the user left full screen from the engine's own full-screen window (a key, a
    // double-click or its control bar); DisplaySize() has changed by then. An engine without such a
    // window never calls it.
    virtual void setFullScreenLeftHandler(std::function<void()> handler) = 0;

    // The play/pause and stop buttons on the engine's own full-screen bar. With a handler set they
    // only call it, and the host's transport does the rest: the pause state is then the host's one,
    // whichever control changed it. Without one the engine pauses, resumes and stops by itself.
    enum class BarCommand { PlayPause, Stop };
    virtual void setBarCommandHandler(std::function<void(BarCommand)> handler) = 0;

    // The loaded picture's size in pixels (pixel aspect applied); empty for audio or when empty.
    virtual QSize NativeVideoSize() const = 0;

    // What the desktop's media controls show. Stopped: empty, failed, or rewound by Stop() and not
    // played since; Paused: held by Pause(); Playing: otherwise, the end of a stream included until the
    // next open or command.
    enum class Status { Stopped, Paused, Playing };
    virtual Status PlayStatus() const = 0;

    // The loaded file's tags as far as the engine has read them while opening and playing (some
    // arrive only once the file plays); empty where the file has none.
    struct Tags {
        QString title;
        QString artist;
        QString album;
    };
    virtual Tags FileTags() const = 0;

    // Queues the file to follow the loaded one without a gap; "" queues nothing. Returns whether the
    // engine took it. It refuses what it cannot start without a gap (a file that is not there, an
    // empty engine, a picture where there was none or the other way round): the host then lets the
    // item end and opens the next file itself. Once the engine has begun to prepare the queued file
    // (shortly before the end) a different one is refused, and the one prepared follows.
    virtual bool setNextFileName(const QString &path) = 0;
    virtual QString NextFileName() const = 0;

    // What the engine did by itself, told on the UI thread from the event loop, never from inside a
    // call to the engine: Advanced, the queued file has taken over; Ended, the loaded file reached its
    // end (or broke while playing) with nothing to follow it, and EndOfStream() or ErrorCode() says so.
    enum class Event { Advanced, Ended };
    virtual void setEventHandler(std::function<void(Event)> handler) = 0;
};
