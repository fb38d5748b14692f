#include "playback/Transport.h"

#include "playback/MediaEngine.h"

#include <utility>

Transport::Transport(std::function<MediaEngine &()> engine) : m_engine(std::move(engine)) {}

void Transport::cmdStop_Click()
{
    MediaEngine &engine = m_engine();
    if (engine.FileName().isEmpty())
        return;
    engine.Stop();
    engine.setCurrentPosition(0);
}
