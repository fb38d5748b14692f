#pragma once

class QCheckBox;
class QLabel;
class QListWidget;
class QSlider;
class QString;

// The controls the transport commands act on: the list they play from, the seek bar, the length,
// the marquee and the two play-order switches. The shuffle switch is the one place shuffle is kept.
class TransportView {
public:
    virtual ~TransportView() = default;
    virtual QListWidget *lstPlay() const = 0;
    virtual QLabel *txtFN() const = 0;
    virtual QSlider *scrlTime() const = 0;
    virtual QLabel *lblDuration() const = 0;
    virtual QCheckBox *chkSuffle() const = 0;
    virtual QCheckBox *chkRepeat() const = 0;
    // The shuffle pictures: 0 off, 1 on.
    virtual QLabel *imgSuff(int index) const = 0;
    // The marquee's whole text.
    virtual void setTitle(const QString &text) = 0;
    // Out of the way of a video that fills the screen.
    virtual void minimiseWindow() = 0;
};
