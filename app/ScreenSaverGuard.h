#pragma once

#include <memory>

class MediaEngine;

// While a video plays the screen saver and the screen's blanking are held off, as other video
// players do; sound alone holds nothing. Pausing, stopping, an audio file and the end of the
// player give the screen back.
class ScreenSaverGuard {
public:
    // What holds the screen saver off (the desktop's own service, or the X server); hold() and
    // release() come in turns, release() last.
    class Holder {
    public:
        virtual ~Holder() = default;
        virtual void hold() = 0;
        virtual void release() = 0;
    };

    explicit ScreenSaverGuard(std::unique_ptr<Holder> holder);
    ~ScreenSaverGuard();
    ScreenSaverGuard(const ScreenSaverGuard &) = delete;
    ScreenSaverGuard &operator=(const ScreenSaverGuard &) = delete;

    // A picture that moves: a file with a picture, playing and not at its end.
    static bool keepsScreenAwake(const MediaEngine &engine);

    // Holds or gives back for what the engine does now; without an engine (its window closed)
    // nothing plays.
    void follow(const MediaEngine *engine);
    // The player ends.
    void release();

private:
    std::unique_ptr<Holder> m_holder;
    bool m_holding = false;
};
