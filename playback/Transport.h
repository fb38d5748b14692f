#pragma once

#include <functional>

class MediaEngine;

// The transport commands of the main window.
class Transport {
public:
    // engine() reaches the video window's engine, creating the window when it is gone.
    explicit Transport(std::function<MediaEngine &()> engine);

    // Stops and rewinds; the file stays loaded, so a later Play starts it from the beginning.
    void cmdStop_Click();

private:
    std::function<MediaEngine &()> m_engine;
};
