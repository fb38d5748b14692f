#include "FakeMediaEngine.h"

#include "core/MediaKind.h"

#include <algorithm>
#include <utility>

void FakeMediaEngine::setFileName(const QString &path)
{
    m_fileName = path;
    m_next.clear();
    m_position = 0;
    m_atEnd = false;
    m_errorCode = 0;
    m_errorDescription.clear();
    m_videoSize = QSize();
    if (path.isEmpty()) {
        m_duration = 0;
        m_state = State::Empty;
        return;
    }
    opened.append(path);
    if (unplayable.contains(path)) {
        m_duration = 0;
        m_errorCode = 1;
        m_errorDescription = QStringLiteral("Ressource introuvable.");
        m_state = State::Stopped;
        return;
    }
    m_duration = durationOfEachFile;
    if (MediaKind::isVideoExtension(path))
        m_videoSize = videoSizeOfEachFile;
    m_state = State::Playing;
}

double FakeMediaEngine::CurrentPosition() const
{
    return m_atEnd ? m_duration : m_position;
}

void FakeMediaEngine::setCurrentPosition(double seconds)
{
    m_atEnd = false;
    m_position = std::clamp(seconds, 0.0, m_duration);
}

void FakeMediaEngine::advance(double seconds)
{
    if (m_state != State::Playing || m_atEnd)
        return;
    m_position += seconds;
    if (m_position >= m_duration)
        finish();
}

void FakeMediaEngine::finish()
{
    if (!m_next.isEmpty()) {
        const QString next = std::exchange(m_next, {});
        setFileName(next);
        if (m_events)
            m_events(Event::Advanced);
        return;
    }
    // Still playing for the desktop's controls until the next open or command.
    m_position = m_duration;
    m_atEnd = true;
    if (m_events)
        m_events(Event::Ended);
}

bool FakeMediaEngine::setNextFileName(const QString &path)
{
    // Nothing follows without a gap where a picture would start or stop.
    const bool takes = !path.isEmpty() && !m_fileName.isEmpty() && m_errorCode == 0 &&
                       !unplayable.contains(path) &&
                       MediaKind::isVideoExtension(path) == !m_videoSize.isEmpty();
    m_next = takes ? path : QString();
    return takes;
}

void FakeMediaEngine::Play()
{
    ++plays;
    if (!m_fileName.isEmpty() && m_errorCode == 0)
        m_state = State::Playing;
}

void FakeMediaEngine::Pause()
{
    if (m_state == State::Playing)
        m_state = State::Paused;
}

void FakeMediaEngine::Stop()
{
    if (m_fileName.isEmpty())
        return;
    m_state = State::Stopped;
    m_position = 0;
    m_atEnd = false;
}

void FakeMediaEngine::setDisplaySize(int mode)
{
    m_displaySize = mode;
    if (mode == DisplayNative && m_area && !m_videoSize.isEmpty())
        m_area->resize(m_videoSize);
}
