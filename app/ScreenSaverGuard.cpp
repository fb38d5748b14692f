#include "app/ScreenSaverGuard.h"

#include "engine/MediaEngine.h"

ScreenSaverGuard::ScreenSaverGuard(std::unique_ptr<Holder> holder) : m_holder(std::move(holder)) {}

ScreenSaverGuard::~ScreenSaverGuard()
{
    release();
}

bool ScreenSaverGuard::keepsScreenAwake(const MediaEngine &engine)
{
    return engine.PlayStatus() == MediaEngine::Status::Playing && engine.ErrorCode() == 0 &&
           !engine.EndOfStream() && !engine.NativeVideoSize().isEmpty();
}

void ScreenSaverGuard::follow(const MediaEngine *engine)
{
    const bool wanted = engine && keepsScreenAwake(*engine);
    if (wanted == m_holding)
        return;
    m_holding = wanted;
    if (wanted)
        m_holder->hold();
    else
        m_holder->release();
}

void ScreenSaverGuard::release()
{
    follow(nullptr);
}
