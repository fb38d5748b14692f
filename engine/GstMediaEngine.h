#pragma once

#include "engine/MediaEngine.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class QWidget;
class VideoOutput;
typedef struct _GstElement GstElement; // NOLINT(bugprone-reserved-identifier): GStreamer's own name
typedef struct _GstTagList GstTagList; // NOLINT(bugprone-reserved-identifier): GStreamer's own name
struct GstEngineCallbacks;

struct GstEngineOptions {
    // gst-launch description of the final audio sink. The engine puts its balance stage in front of
    // it, so "filesink location=..." records exactly the samples that would be heard.
    QString audioSink = QStringLiteral("autoaudiosink");
    // gst-launch description of the final video sink; empty picks, when there is an engine area to
    // draw into, ximagesink on X11 and waylandsink on Wayland, and fakevideosink everywhere else.
    QString videoSink;
    // General MIDI soundfont handed to the MIDI synthesiser.
    QString soundFont = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    // Longest wait for a file to start playing before the open counts as failed.
    int openTimeoutMs = 5000;
};

// MediaEngine on a GStreamer playbin. Streaming threads never touch Qt objects: the bus is read by
// a sync handler that only records end of stream and errors, then wakes the UI thread with a queued
// call, so an idle or playing engine costs no timer.
class GstMediaEngine : public QObject, public MediaEngine {
    Q_OBJECT
public:
    // engineArea (may be null for sound only) is owned and sized by the video window; the engine
    // draws inside it with a child window of its own.
    explicit GstMediaEngine(QWidget *engineArea, GstEngineOptions options = {});
    ~GstMediaEngine() override;

    QString FileName() const override;
    void setFileName(const QString &path) override;

    double CurrentPosition() const override;
    void setCurrentPosition(double seconds) override;
    double Duration() const override;
    bool EndOfStream() const override { return m_loaded && m_eos; }

    void Play() override;
    void Pause() override;
    void Stop() override;

    int DisplaySize() const override;
    void setDisplaySize(int mode) override;

    long Volume() const override;
    void setVolume(long hundredthsDb) override;
    long Balance() const override;
    void setBalance(long hundredthsDb) override;
    bool Mute() const override;
    void setMute(bool on) override;

    long ErrorCode() const override;
    QString ErrorDescription() const override;

    void setFullScreenControls(bool on) override;
    bool FullScreenControls() const override;

    QSize NativeVideoSize() const override;
    Status PlayStatus() const override;
    Tags FileTags() const override;
    void setFullScreenLeftHandler(std::function<void()> handler) override
    {
        m_fullScreenLeft = std::move(handler);
    }
    bool setNextFileName(const QString &path) override;
    QString NextFileName() const override;
    void setEventHandler(std::function<void(Event)> handler) override { m_events = std::move(handler); }
    void setBarCommandHandler(std::function<void(BarCommand)> handler) override
    {
        m_barCommand = std::move(handler);
    }

    // Fixed codes for failures that come with no GStreamer error of their own.
    static constexpr long ErrorNoMessage = 1000;
    static constexpr long ErrorTimeout = 1001;
    static constexpr long ErrorNoPipeline = 1002;
    static constexpr long ErrorNotAFile = 1003;

signals:
    void endOfStream();
    void errorOccurred(long code, const QString &description);

private:
    friend struct GstEngineCallbacks;

    bool changeState(int state, int timeoutMs);
    bool preroll();
    void unload();
    void failOpen(bool timedOut);
    void recordError(long code, const QString &description);
    void readStreamFacts();
    void recordTags(const GstTagList *tags);
    void attachWindow();
    void followVideoTarget();
    void updateFitCaps(const QSize &size);
    void applyVolume();
    void applyBalance();
    void wakeUiThread();
    void announceBusEvents();
    void onAreaLost();
    void setPlayingState(bool playing);
    void seekTo(qint64 target);
    void resumeAfterDecoderGap();

    // The next file (GstNextFile.cpp). playbin asks for it on a streaming thread when the loaded
    // file is about to finish, and switches to it when the loaded one has played out.
    static void onAboutToFinish(GstElement *playbin, void *data);
    static bool holdNextFile(void *data);
    QByteArray uriToFollow(const QString &path) const;
    bool followsWithoutGap(const QString &path) const;
    void warmUp(const QString &path, const QByteArray &uri);
    bool nextFileStarted();
    bool nextFileBroke();
    bool nextFileInPipeline() const { return m_nextHeld || nextFileTaken(); }
    bool nextFileTaken() const { return m_nextTaken || m_nextStarted || m_nextBroke; }
    void forgetNextFile();
    void watchWhereNextStarts(GstElement *sinkBin);
    void awaitAdvance();
    void completeAdvance();
    void watchForTheEnd();
    void reopenAt(qint64 target);

    GstEngineOptions m_options;
    QByteArray m_soundFont;
    GstElement *m_playbin = nullptr;
    GstElement *m_volumeElement = nullptr;
    GstElement *m_panorama = nullptr;
    GstElement *m_fitCaps = nullptr;
    GstElement *m_overlay = nullptr;
    std::unique_ptr<VideoOutput> m_video;
    quintptr m_attachedWindow = 0;
    QSize m_fitSize;

    QString m_fileName;
    bool m_loaded = false;
    // Set once a file reached the pipeline, until the pipeline is torn down again.
    bool m_pipelineUsed = false;
    bool m_opening = false;
    bool m_playing = false;
    // Rewound by Stop() and not played since.
    bool m_stopped = false;
    mutable double m_duration = 0.0;
    qint64 m_origin = 0;
    // The last seek's target, until the pipeline reports a position of its own again.
    qint64 m_seekTarget = 0;
    mutable bool m_seekPending = false;
    QSize m_nativeSize;
    // The decoded frames' own size, before their pixel aspect.
    QSize m_frameSize;
    QSize m_framePar{1, 1};
    // The sink is waylandsink: the compositor scales, the pipeline only sets the shape.
    bool m_compositorScales = false;
    long m_volume = 0;
    long m_balance = 0;
    bool m_mute = false;
    int m_displayMode = DisplayNative;
    int m_modeBeforeFullScreen = DisplayNative;
    bool m_fullScreenControls = false;
    std::function<void()> m_fullScreenLeft;
    std::function<void(Event)> m_events;
    // Set while the loaded file is opened again in place: it waits paused rather than playing.
    bool m_openPaused = false;
    std::function<void(BarCommand)> m_barCommand;

    // Written by streaming threads through the bus sync handler.
    std::atomic<bool> m_eos{false};
    std::atomic<bool> m_fileLive{false};
    std::atomic<bool> m_wakePending{false};
    std::atomic<bool> m_eosToAnnounce{false};
    std::atomic<bool> m_errorToAnnounce{false};
    std::atomic<bool> m_clockLost{false};
    std::atomic<bool> m_decoderRanDry{false};
    mutable std::mutex m_errorMutex;
    std::condition_variable m_errorArrived;
    long m_errorCode = 0;
    QString m_errorText;
    // Filled from the tag messages the streaming threads post, first value of each kind kept.
    mutable std::mutex m_tagMutex;
    Tags m_tags;
    Tags m_nextTags;

    // The queued file: its path, and the URI playbin is given (empty when the engine refused it).
    // Once about-to-finish has handed the URI to playbin the file is taken: it starts when the loaded
    // one has played out, or it broke while playbin prepared it.
    mutable std::mutex m_nextMutex;
    QString m_nextPath;
    QByteArray m_nextUri;
    // Held once a stream of the loaded file ended with the queued file counted on to follow.
    std::atomic<bool> m_nextHeld{false};
    std::atomic<bool> m_nextTaken{false};
    std::atomic<bool> m_nextStarted{false};
    // The running time the next file's first block is due at, once a sink has it (else all ones,
    // GStreamer's "no time").
    std::atomic<bool> m_nextStartPending{false};
    std::atomic<quint64> m_nextStartsAt{~quint64(0)};
    std::atomic<bool> m_nextBroke{false};
    // playbin reports the switch as the new file reaches the sinks, which still hold the end of the
    // loaded one: the switch is heard when that has played out, and the engine follows then.
    QTimer m_advanceDue;
    // After the queued file broke, playbin holds the end of the loaded one back for good: the end is
    // taken from the clock instead.
    QTimer m_endWatch;
    // Opens a file that will not follow without a gap once aside, beforehand.
    std::atomic<bool> m_warming{false};
    std::jthread m_warmUp;
};
