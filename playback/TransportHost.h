#pragma once

class AudioView;
class MediaEngine;
class PlaylistView;
class QString;
class QWidget;
class RandomSource;
class TickView;
class TransportView;
struct SharedState;

// What the playback handlers reach of the rest of the program. Each reference creates its window on
// first use, as every part of the program expects: the engine after the user closed the video
// window is a fresh, empty one. Each handler sees the main window only through the view it needs.
class TransportHost {
public:
    virtual ~TransportHost() = default;
    virtual MediaEngine &engine() = 0;
    virtual TransportView &transportView() = 0;
    virtual TickView &tickView() = 0;
    virtual AudioView &audioView() = 0;
    virtual PlaylistView &playlistView() = 0;
    virtual QWidget &videoWindowWidget() = 0;
    virtual SharedState &sharedState() = 0;
    virtual RandomSource &random() = 0;
    // The modal "Break for changing CD" box; true when the user answers OK.
    virtual bool askBreakForChangingCd() = 0;
    // The modal "Error" box with the engine's description of a failure (OK only, no icon).
    virtual void showEngineError(const QString &description) = 0;
    // True once the main window has closed: a handler that waited in a modal box stops there.
    virtual bool closing() const = 0;
};
