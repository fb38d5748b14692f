#pragma once

#include <QPoint>

#include <functional>

class QWidget;
struct SharedState;

// Keeps the main window's always-on-top state in line with the user's choice (OnTop), recording in
// TopMostApplied what was last given to the window.
class OnTopRule {
public:
    // Puts a window into (true) or out of (false) the topmost layer at a position in pixels, its size
    // unchanged. The real one sets the window's stays-on-top flag; tests record the calls.
    using SetTopMost = std::function<void(QWidget &window, bool topMost, QPoint position)>;

    OnTopRule(SharedState &state, SetTopMost setTopMost);

    // On every resize: applies the choice whatever was applied before; a minimised window is only
    // ever taken out of the layer.
    void applyUnconditional(QWidget &window);
    // On every progress tick: applies only a change.
    void applyChangeOnly(QWidget &window);

    static SetTopMost windowFlagSetter();

private:
    QPoint positionInPixels(const QWidget &window) const;

    SharedState &m_state;
    SetTopMost m_setTopMost;
};
