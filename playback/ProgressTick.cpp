#include "playback/ProgressTick.h"

#include "core/RandomSource.h"
#include "core/SharedState.h"
#include "engine/MediaEngine.h"
#include "playback/TickView.h"
#include "playback/TimeFormat.h"
#include "playback/Transport.h"
#include "playback/TransportHost.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double Int16Max = std::numeric_limits<std::int16_t>::max();

} // namespace

ProgressTick::ProgressTick(TransportHost &host, Transport &transport, std::function<void()> keepOnTop)
    : m_host(host), m_transport(transport), m_keepOnTop(std::move(keepOnTop))
{
}

void ProgressTick::tmrAnimate_Timer()
{
    // A video window the user closed is made again here, with an empty engine.
    m_host.engine();
    TickView &window = m_host.tickView();
    SharedState &state = m_host.sharedState();

    window.captionFromTitle();
    m_keepOnTop();

    if (endOfItem() && m_host.closing())
        return;
    // The list, the modes or the current entry may have changed since the item started.
    m_transport.queueNext();

    MediaEngine &current = m_host.engine();
    // A length learnt after the open (a VBR MP3 without its header frame) reaches the label and the
    // seek bar as soon as it is known.
    const double duration = current.Duration();
    if (duration > 0 && current.ErrorCode() == 0 && std::trunc(duration) != window.scrlTime()->maximum()) {
        Transport::followDuration(*window.scrlTime(), duration);
        ShowDuration(current, *window.lblDuration());
    }
    const double position = std::trunc(current.CurrentPosition());
    m_seekFlag = QStringLiteral("False");
    if (position <= Int16Max)
        window.scrlTime()->setValue(position > 0 ? static_cast<int>(position) : 0);
    m_seekFlag = QStringLiteral("True");

    window.scrollTitle();

    double shown = 0;
    if (state.TimeMode)
        shown = position;
    else if (current.CurrentPosition() > 0)
        shown = std::trunc(current.Duration()) - position;
    // The count is 16-bit: beyond it the label shows 0:00:00.
    const long t = shown >= -Int16Max - 1 && shown <= Int16Max ? static_cast<long>(shown) : 0;
    window.lblTime()->setText(FormatTime(t));

    m_host.random().seedFromClock();
}

bool ProgressTick::endOfItem()
{
    // An empty engine counts as ended: that is what starts playback by itself after start-up. Not
    // while the break box waits for the user, nor while a walk over dead entries goes on, nor after
    // a pass over the list found nothing playable.
    if (!itemEnded(m_host.engine()) || m_transport.breakBoxOpen() || m_transport.walking() ||
        m_transport.gaveUp())
        return false;
    {
        // The bar shows the start at once; it is no seek of the user's.
        const QSignalBlocker quiet(m_host.tickView().scrlTime());
        m_host.tickView().scrlTime()->setValue(0);
    }
    // Stopped and rewound, the item stays loaded where Next starts nothing; where it starts another
    // entry, that would only hold the next sound back.
    if (!m_transport.nextMovesOn()) {
        m_transport.cmdStop_Click();
        m_host.engine().setCurrentPosition(0);
    }
    m_transport.cmdForward_Click();
    return true;
}

bool ProgressTick::itemEnded(const MediaEngine &engine)
{
    if (engine.FileName().isEmpty() || engine.ErrorCode() != 0 || engine.EndOfStream())
        return true;
    // A file whose length is not known yet plays on until its end of stream.
    const double duration = engine.Duration();
    return duration > 0 && engine.CurrentPosition() >= duration;
}

void ProgressTick::lblTime_Click()
{
    SharedState &state = m_host.sharedState();
    state.TimeMode = !state.TimeMode;
    m_host.tickView().lblpls()->setText(state.TimeMode ? QStringLiteral("+") : QStringLiteral("-"));
}

void ProgressTick::scrlTime_Change()
{
    if (m_seekFlag == QLatin1String("True"))
        m_host.engine().setCurrentPosition(m_host.tickView().scrlTime()->value());
}
