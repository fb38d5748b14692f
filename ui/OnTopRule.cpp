#include "ui/OnTopRule.h"

#include "core/SharedState.h"
#include "ui/PlatformLimits.h"
#include "ui/Twips.h"

#include <QWidget>
#include <QWindow>

#include <cmath>

OnTopRule::OnTopRule(SharedState &state, SetTopMost setTopMost)
    : m_state(state), m_setTopMost(std::move(setTopMost))
{
}

QPoint OnTopRule::positionInPixels(const QWidget &window) const
{
    // The position goes through twips and back, rounded to whole pixels.
    const double leftTwips = Twips::fromPixelsX(window.x(), &window);
    const double topTwips = Twips::fromPixelsY(window.y(), &window);
    return {static_cast<int>(std::lround(leftTwips / Twips::perPixelX(&window))),
            static_cast<int>(std::lround(topTwips / Twips::perPixelY(&window)))};
}

void OnTopRule::applyUnconditional(QWidget &window)
{
    if (!window.isMinimized() && m_state.OnTop) {
        m_setTopMost(window, true, positionInPixels(window));
        m_state.TopMostApplied = true;
    } else if (!m_state.OnTop) {
        m_setTopMost(window, false, positionInPixels(window));
        m_state.TopMostApplied = false;
    }
}

void OnTopRule::applyChangeOnly(QWidget &window)
{
    if (!window.isMinimized() && m_state.OnTop && !m_state.TopMostApplied) {
        m_setTopMost(window, true, positionInPixels(window));
        m_state.TopMostApplied = true;
    } else if (!m_state.OnTop && m_state.TopMostApplied) {
        m_setTopMost(window, false, positionInPixels(window));
        m_state.TopMostApplied = false;
    }
}

OnTopRule::SetTopMost OnTopRule::windowFlagSetter()
{
    return [](QWidget &window, bool topMost, QPoint position) {
        if (!PlatformLimits::canKeepOnTop())
            return;
        // Changing the flag on the native window keeps it mapped; QWidget::setWindowFlag would hide it.
        if (QWindow *handle = window.windowHandle()) {
            handle->setFlag(Qt::WindowStaysOnTopHint, topMost);
            if (topMost && handle->isVisible())
                handle->raise();
        } else {
            window.setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
        }
        if (!window.isMinimized() && window.pos() != position)
            window.move(position);
    };
}
