#pragma once

#include "engine/MediaEngine.h"

#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

// An engine for the decision logic: it "plays" any path instantly, except those declared unplayable,
// and keeps the engine's contract (position reads the duration after the end, Stop rewinds, etc.).
// Time only moves when a test says so.
class FakeMediaEngine : public MediaEngine {
public:
    explicit FakeMediaEngine(QWidget *engineArea = nullptr) : m_area(engineArea) {}

    // Every open, in order, for tests that check what was played.
    QStringList opened;
    // Paths whose open fails.
    QSet<QString> unplayable;
    // Every Play() call, whether or not there was anything to play.
    int plays = 0;
    // Like an engine that has no balance control: every balance reads back as the centre.
    bool refusesBalance = false;
    // Duration given to every playable file.
    double durationOfEachFile = 3.0;
    // A path whose length reads 0 until half a second has played.
    QString lengthLate;

    enum class State { Empty, Playing, Paused, Stopped };
    State state() const { return m_state; }

    // Moves the clock of the playing file; past the end the file is at its end.
    void advance(double seconds);
    // Jumps to the end of the file, as if it had played to the end: the queued file follows (and
    // counts as opened), or the end is reported.
    void finish();

    QString FileName() const override { return m_fileName; }
    void setFileName(const QString &path) override;
    double CurrentPosition() const override;
    void setCurrentPosition(double seconds) override;
    double Duration() const override { return m_fileName == lengthLate && m_position < 0.5 ? 0 : m_duration; }
    bool EndOfStream() const override { return m_atEnd; }
    void Play() override;
    void Pause() override;
    void Stop() override;
    int DisplaySize() const override { return m_displaySize; }
    void setDisplaySize(int mode) override;
    long Volume() const override { return m_volume; }
    void setVolume(long v) override { m_volume = v; }
    long Balance() const override { return m_balance; }
    void setBalance(long b) override { m_balance = refusesBalance ? 0 : b; }
    bool Mute() const override { return m_mute; }
    void setMute(bool on) override { m_mute = on; }
    long ErrorCode() const override { return m_errorCode; }
    QString ErrorDescription() const override { return m_errorDescription; }
    void setFullScreenControls(bool on) override { m_fullScreenControls = on; }
    bool FullScreenControls() const override { return m_fullScreenControls; }
    QSize NativeVideoSize() const override { return m_videoSize; }
    Status PlayStatus() const override
    {
        return m_state == State::Playing  ? Status::Playing
               : m_state == State::Paused ? Status::Paused
                                          : Status::Stopped;
    }
    Tags FileTags() const override { return {}; }
    bool setNextFileName(const QString &path) override;
    QString NextFileName() const override { return m_next; }
    void setEventHandler(std::function<void(Event)> handler) override { m_events = std::move(handler); }
    void setFullScreenLeftHandler(std::function<void()> handler) override
    {
        fullScreenLeft = std::move(handler);
    }
    // What the host asked to hear when the user leaves full screen; a test calls it to play the user.
    std::function<void()> fullScreenLeft;
    void setBarCommandHandler(std::function<void(BarCommand)> handler) override
    {
        m_bar = std::move(handler);
    }
    // A press on the full-screen bar: to the host's handler, or, like the real engine without one, here.
    void pressBar(BarCommand command)
    {
        m_bar                         ? m_bar(command)
        : command == BarCommand::Stop ? Stop()
        : m_state == State::Playing   ? Pause()
                                      : Play();
    }

    QSize videoSizeOfEachFile = QSize(320, 240);

private:
    QString m_fileName;
    QString m_next;
    std::function<void(Event)> m_events;
    double m_duration = 0;
    double m_position = 0;
    bool m_atEnd = false;
    State m_state = State::Empty;
    int m_displaySize = 0;
    long m_volume = 0;
    long m_balance = 0;
    bool m_mute = false;
    long m_errorCode = 0;
    QString m_errorDescription;
    bool m_fullScreenControls = false;
    QSize m_videoSize;
    QPointer<QWidget> m_area;
    std::function<void(BarCommand)> m_bar;
};
