#pragma once

class QLabel;
class QSlider;

// What the 500 ms tick moves on the main window.
class TickView {
public:
    virtual ~TickView() = default;
    virtual QSlider *scrlTime() const = 0;
    virtual QLabel *lblDuration() const = 0;
    virtual QLabel *lblTime() const = 0;
    // The "+" or "-" beside the time.
    virtual QLabel *lblpls() const = 0;
    // One step of the marquee.
    virtual void scrollTitle() = 0;
    // A minimised window carries the marquee's text as its caption, in the task bar.
    virtual void captionFromTitle() = 0;
};
