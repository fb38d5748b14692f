#include "playback/Transport.h"

#include "core/MediaKind.h"
#include "core/RandomSource.h"
#include "core/SharedState.h"
#include "engine/MediaEngine.h"
#include "playback/TimeFormat.h"
#include "playback/TransportHost.h"
#include "playback/TransportView.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <cmath>
#include <limits>
#include <memory>

Transport::Transport(TransportHost &host, Clock clock) : m_host(host), m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [timer = std::make_shared<QElapsedTimer>()] {
            if (!timer->isValid())
                timer->start();
            return timer->elapsed();
        };
    }
}

bool Transport::ShuffleOn()
{
    return m_host.transportView().chkSuffle()->checkState() == Qt::Checked;
}

void Transport::cmdPlay_Click()
{
    m_gaveUp = false;
    MediaEngine &engine = m_host.engine();
    if (!engine.FileName().isEmpty())
        engine.Play();
    else
        cmdForward_Click();
    hideVideoForAudioKind();
    const int selected = m_host.transportView().lstPlay()->currentRow();
    m_host.sharedState().CurrentIndex = selected >= 0 ? selected : 0;
    ShowDuration(m_host.engine(), *m_host.transportView().lblDuration());
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

void Transport::pausePlayback()
{
    if (m_host.engine().PlayStatus() != MediaEngine::Status::Playing)
        return;
    cmdPause_Click();
    if (m_host.engine().PlayStatus() == MediaEngine::Status::Playing)
        cmdPause_Click();
}

void Transport::resumePlayback()
{
    const MediaEngine::Status status = m_host.engine().PlayStatus();
    if (status == MediaEngine::Status::Playing)
        return;
    if (status == MediaEngine::Status::Paused && m_host.sharedState().IsPaused)
        cmdPause_Click();
    else
        cmdPlay_Click();
}

void Transport::cmdStop_Click()
{
    cancelWalk();
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
    TransportView &window = m_host.transportView();
    const bool on = ShuffleOn();
    window.chkSuffle()->setIcon(window.imgSuff(on ? 1 : 0)->pixmap());
    queueNext();
}

void Transport::chkRepeat_Click()
{
    m_host.sharedState().RepeatOn = m_host.transportView().chkRepeat()->checkState() != Qt::Unchecked;
    queueNext();
}

void Transport::queueNext()
{
    MediaEngine &engine = m_host.engine();
    int index = -1;
    QString entry;
    if (!engine.FileName().isEmpty() && engine.ErrorCode() == 0) {
        index = nextIndex();
        if (index >= 0)
            entry = m_host.transportView().lstPlay()->item(index)->text();
    }
    // A break marker stops the run: the item ends first, and Next asks the user there.
    if (entry == QLatin1String("-"))
        entry.clear();
    m_queuedIndex = engine.setNextFileName(entry) ? index : -1;
}

void Transport::followAdvance()
{
    cancelWalk();
    m_gaveUp = false;
    QListWidget *lstPlay = m_host.transportView().lstPlay();
    const QString playing = m_host.engine().FileName();
    int index = m_queuedIndex;
    // The list may have changed in the last moments, after the engine had taken the entry.
    if (index < 0 || index >= lstPlay->count() || lstPlay->item(index)->text() != playing) {
        const QList<QListWidgetItem *> found = lstPlay->findItems(playing, Qt::MatchExactly);
        index = found.isEmpty() ? -1 : lstPlay->row(found.first());
    }
    // The entry was drawn for this start.
    if (ShuffleOn())
        m_pendingDraw.reset();
    m_queuedIndex = -1;
    presentStarted(index, false);
}

template <typename Step> void Transport::runChain(Step first)
{
    cancelWalk();
    m_gaveUp = false;
    m_tried.clear();
    m_distinctTried = 0;
    m_tries = 0;
    m_skipped = false;
    m_entryOwed = false;
    m_sliceStart = m_clock();
    const Outcome outcome = first();
    noteTried(outcome);
    walk(outcome);
}

void Transport::walk(Outcome outcome)
{
    while ((outcome == Outcome::Failed || outcome == Outcome::NextRequested) && !m_host.closing()) {
        m_skipped = true;
        const int count = m_host.transportView().lstPlay()->count();
        // Shuffle covers a list of n in about n log n draws; after 32 n + 64 draws an entry is still
        // missing less than once in a million walks, so only a generator that never reaches some
        // entry gets that far.
        if (m_distinctTried >= count || m_tries > 32L * count + 64) {
            // A whole pass started nothing: stop here rather than walk the list forever.
            cmdStop_Click();
            m_gaveUp = true;
            break;
        }
        if (m_clock() - m_sliceStart >= SliceMs) {
            showOwedEntry();
            m_walkPending = true;
            const unsigned id = m_walkId;
            QTimer::singleShot(0, &m_walkContext, [this, id] {
                if (!m_walkPending || id != m_walkId)
                    return;
                m_walkPending = false;
                m_sliceStart = m_clock();
                walk(Outcome::Failed);
            });
            return;
        }
        outcome = next();
        noteTried(outcome);
    }
    showOwedEntry();
    if (m_skipped)
        hideVideoForAudioKind();
}

void Transport::noteTried(Outcome outcome)
{
    if (outcome != Outcome::Failed && outcome != Outcome::NextRequested)
        return;
    ++m_tries;
    const int index = m_host.sharedState().CurrentIndex;
    if (index < 0)
        return;
    if (static_cast<std::size_t>(index) >= m_tried.size())
        m_tried.resize(static_cast<std::size_t>(index) + 1, false);
    if (!m_tried[static_cast<std::size_t>(index)]) {
        m_tried[static_cast<std::size_t>(index)] = true;
        ++m_distinctTried;
    }
}

void Transport::cancelWalk()
{
    m_walkPending = false;
    ++m_walkId;
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
    const int last = m_host.transportView().lstPlay()->count() - 1;
    if (last < 0)
        return Outcome::Nothing;
    const SharedState &state = m_host.sharedState();
    if (forward) {
        const int index = nextIndex();
        if (ShuffleOn())
            m_pendingDraw.reset();
        if (index >= 0)
            return selectAndStart(index);
        // The end of the list; this also leaves full-screen display.
        m_host.engine().setDisplaySize(MediaEngine::DisplayNative);
        return Outcome::Nothing;
    }
    if (ShuffleOn())
        return selectAndStart(ShuffleIndex(takeDraw(), last));
    if (state.CurrentIndex > 0)
        // The list may have been shortened since that entry started.
        return selectAndStart(std::min<int>(state.CurrentIndex - 1, last));
    if (state.RepeatOn)
        return selectAndStart(last);
    return Outcome::Nothing;
}

int Transport::nextIndex()
{
    const int last = m_host.transportView().lstPlay()->count() - 1;
    if (last < 0)
        return -1;
    const SharedState &state = m_host.sharedState();
    // Shuffle never reaches an end.
    if (ShuffleOn()) {
        if (!m_pendingDraw)
            m_pendingDraw = m_host.random().next();
        return ShuffleIndex(*m_pendingDraw, last);
    }
    if (state.CurrentIndex < last)
        return state.CurrentIndex + 1;
    return state.RepeatOn ? 0 : -1;
}

double Transport::takeDraw()
{
    const double r = m_pendingDraw ? *m_pendingDraw : m_host.random().next();
    m_pendingDraw.reset();
    return r;
}

Transport::Outcome Transport::selectAndStart(int index)
{
    // Selecting shows the entry above the list, as a click would. That costs more than the engine's
    // refusal of a missing file, so an entry is selected once it plays, or once a walk over entries
    // that do not stops at it (showOwedEntry).
    const int count = m_host.transportView().lstPlay()->count();
    return startEntry(index >= 0 && index < count ? index : -1, false);
}

Transport::Outcome Transport::startSelected()
{
    return startEntry(m_host.transportView().lstPlay()->currentRow(), true);
}

Transport::Outcome Transport::startEntry(int selected, bool isSelected)
{
    TransportView &window = m_host.transportView();
    QListWidget *lstPlay = window.lstPlay();
    const QString entry =
        selected >= 0 && selected < lstPlay->count() ? lstPlay->item(selected)->text() : QString();
    const auto select = [&] {
        if (!isSelected)
            lstPlay->setCurrentRow(selected);
        isSelected = true;
    };

    if (entry == QLatin1String("-")) {
        select();
        m_breakBoxOpen = true;
        const bool ok = m_host.askBreakForChangingCd();
        m_breakBoxOpen = false;
        if (m_host.closing())
            return Outcome::Nothing;
        if (ok) {
            m_host.sharedState().CurrentIndex = selected;
            return Outcome::NextRequested;
        }
        cmdStop_Click();
        return Outcome::Nothing;
    }

    MediaEngine &engine = m_host.engine();
    engine.setFileName(entry);
    engine.setCurrentPosition(0);
    if (engine.ErrorCode() != 0 && !isSelected) {
        if (MediaKind::of(engine.FileName()) != QLatin1String("MP3"))
            m_host.videoWindowWidget().show();
        m_host.sharedState().CurrentIndex = selected;
        // Skipped at once; what the window shows of it is owed until the walk stops here.
        m_entryOwed = true;
        return Outcome::Failed;
    }
    presentStarted(selected, isSelected);
    return engine.ErrorCode() != 0 ? Outcome::Failed : Outcome::Started;
}

// The window follows the entry that now plays (or failed to, when the user chose it).
void Transport::presentStarted(int selected, bool isSelected)
{
    MediaEngine &engine = m_host.engine();
    if (MediaKind::of(engine.FileName()) != QLatin1String("MP3"))
        m_host.videoWindowWidget().show();
    m_host.sharedState().CurrentIndex = selected;
    if (!isSelected)
        m_host.transportView().lstPlay()->setCurrentRow(selected);
    showEntry();
    if (engine.ErrorCode() != 0)
        return;
    hideVideoForAudioKind();
    queueNext();
}

void Transport::showEntry()
{
    m_entryOwed = false;
    TransportView &window = m_host.transportView();
    MediaEngine &engine = m_host.engine();
    setSeekRange(*window.scrlTime(), engine.Duration());
    if (engine.DisplaySize() == MediaEngine::DisplayFullScreen) {
        m_host.videoWindowWidget().showMinimized();
        if (!m_host.sharedState().OnTop)
            window.minimiseWindow();
    }
    ShowDuration(engine, *window.lblDuration());
    window.setTitle(QLatin1String(MarqueePrefix) + window.txtFN()->text() + QString(49, u' '));
}

void Transport::showOwedEntry()
{
    if (!m_entryOwed || m_host.closing())
        return;
    m_host.transportView().lstPlay()->setCurrentRow(m_host.sharedState().CurrentIndex);
    showEntry();
}

void Transport::setSeekRange(QSlider &scrlTime, double duration)
{
    // Narrowing the range moves the value, and the change handler would take the move for the
    // user's and seek the new file to where the old one was.
    const QSignalBlocker quiet(scrlTime);
    scrlTime.setValue(0);
    followDuration(scrlTime, duration);
}

void Transport::followDuration(QSlider &scrlTime, double duration)
{
    const QSignalBlocker quiet(scrlTime);
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
