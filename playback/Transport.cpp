#include "playback/Transport.h"

#include "app/SharedState.h"
#include "playback/MediaEngine.h"
#include "playback/MediaKind.h"
#include "playback/RandomSource.h"
#include "playback/TimeFormat.h"
#include "playback/TransportHost.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include <cmath>
#include <limits>

Transport::Transport(TransportHost &host) : m_host(host) {}

void Transport::cmdPlay_Click()
{
    m_gaveUp = false;
    MediaEngine &engine = m_host.engine();
    if (!engine.FileName().isEmpty())
        engine.Play();
    else
        cmdForward_Click();
    hideVideoForAudioKind();
    const int selected = m_host.mainWindow().lstPlay()->currentRow();
    m_host.sharedState().CurrentIndex = static_cast<std::int16_t>(selected >= 0 ? selected : 0);
    ShowDuration(m_host.engine(), *m_host.mainWindow().lblDuration());
}

void Transport::cmdPause_Click()
{
    MediaEngine &engine = m_host.engine();
    if (engine.FileName().isEmpty())
        return;
    SharedState &state = m_host.sharedState();
    if (!state.IsPaused) {
        engine.Pause();
        state.IsPaused = true;
    } else {
        engine.Play();
        state.IsPaused = false;
    }
}

void Transport::cmdStop_Click()
{
    MediaEngine &engine = m_host.engine();
    if (engine.FileName().isEmpty())
        return;
    engine.Stop();
    engine.setCurrentPosition(0);
}

void Transport::cmdForward_Click()
{
    runChain([this] { return next(); });
}

void Transport::cmdBack_Click()
{
    runChain([this] { return previous(); });
}

void Transport::lstPlay_DblClick()
{
    runChain([this] { return startSelected(); });
}

void Transport::chkSuffle_Click()
{
    frmMain &window = m_host.mainWindow();
    const bool on = window.chkSuffle()->checkState() == Qt::Checked;
    m_host.sharedState().ShuffleOn = on;
    window.chkSuffle()->setIcon(window.imgSuff(on ? 1 : 0)->pixmap());
}

void Transport::chkRepeat_Click()
{
    m_host.sharedState().RepeatOn = m_host.mainWindow().chkRepeat()->checkState() != Qt::Unchecked;
}

template <typename Step> void Transport::runChain(Step first)
{
    m_gaveUp = false;
    Outcome outcome = first();
    const int count = m_host.mainWindow().lstPlay()->count();
    int walked = 0;
    bool skipped = false;
    while ((outcome == Outcome::Failed || outcome == Outcome::NextRequested) && !m_host.closing()) {
        skipped = true;
        if (++walked > count) {
            // A whole pass started nothing: stop here rather than walk the list forever.
            m_gaveUp = true;
            cmdStop_Click();
            break;
        }
        outcome = next();
    }
    if (skipped)
        hideVideoForAudioKind();
}

Transport::Outcome Transport::next()
{
    return step(true);
}

Transport::Outcome Transport::previous()
{
    return step(false);
}

Transport::Outcome Transport::step(bool forward)
{
    const int last = m_host.mainWindow().lstPlay()->count() - 1;
    if (last < 0)
        return Outcome::Nothing;
    const SharedState &state = m_host.sharedState();
    // Shuffle draws in both directions and never reaches an end.
    if (state.ShuffleOn)
        return selectAndStart(ShuffleIndex(m_host.random().next(), last));
    if (forward) {
        if (state.CurrentIndex < last)
            return selectAndStart(state.CurrentIndex + 1);
        if (state.RepeatOn)
            return selectAndStart(0);
        // The end of the list; this also leaves full-screen display.
        m_host.engine().setDisplaySize(MediaEngine::DisplayNative);
        return Outcome::Nothing;
    }
    if (state.CurrentIndex > 0)
        // The list may have been shortened since that entry started.
        return selectAndStart(std::min<int>(state.CurrentIndex - 1, last));
    if (state.RepeatOn)
        return selectAndStart(last);
    return Outcome::Nothing;
}

Transport::Outcome Transport::selectAndStart(int index)
{
    // Selecting shows the entry above the list, as a click would.
    m_host.mainWindow().lstPlay()->setCurrentRow(index);
    return startSelected();
}

Transport::Outcome Transport::startSelected()
{
    frmMain &window = m_host.mainWindow();
    QListWidget *lstPlay = window.lstPlay();
    const int selected = lstPlay->currentRow();
    const QString entry =
        selected >= 0 && selected < lstPlay->count() ? lstPlay->item(selected)->text() : QString();

    if (entry == QLatin1String("-")) {
        m_breakBoxOpen = true;
        const bool ok = m_host.askBreakForChangingCd();
        m_breakBoxOpen = false;
        if (m_host.closing())
            return Outcome::Nothing;
        if (ok) {
            m_host.sharedState().CurrentIndex = static_cast<std::int16_t>(selected);
            return Outcome::NextRequested;
        }
        cmdStop_Click();
        return Outcome::Nothing;
    }

    MediaEngine &engine = m_host.engine();
    engine.setFileName(entry);
    engine.setCurrentPosition(0);
    if (MediaKind::of(engine.FileName()) != QLatin1String("MP3"))
        m_host.videoWindowWidget().show();
    SharedState &state = m_host.sharedState();
    state.CurrentIndex = static_cast<std::int16_t>(selected);

    setSeekRange(*window.scrlTime(), engine.Duration());

    if (engine.DisplaySize() == MediaEngine::DisplayFullScreen) {
        m_host.videoWindowWidget().showMinimized();
        if (!state.OnTop)
            window.showMinimized();
    }
    ShowDuration(engine, *window.lblDuration());
    window.txtTitle()->setText(QLatin1String(MarqueePrefix) + window.txtFN()->text() + QString(49, u' '));

    if (engine.ErrorCode() != 0)
        return Outcome::Failed;
    hideVideoForAudioKind();
    return Outcome::Started;
}

void Transport::setSeekRange(QSlider &scrlTime, double duration)
{
    const double seconds = std::trunc(duration);
    if (seconds >= 0 && seconds <= std::numeric_limits<std::int16_t>::max())
        scrlTime.setRange(0, static_cast<int>(seconds));
}

void Transport::hideVideoForAudioKind()
{
    MediaEngine &engine = m_host.engine();
    if (MediaKind::isAudioKind(engine.FileName()))
        m_host.videoWindowWidget().hide();
}
