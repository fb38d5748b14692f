#pragma once

class QLabel;
class QPushButton;
class QSlider;

// The volume and balance sliders with their captions, and the mute button. The button's caption is
// the one place mute is shown: "U" while the sound is on, "V" while it is muted.
class AudioView {
public:
    virtual ~AudioView() = default;
    virtual QSlider *scrlVol() const = 0;
    virtual QLabel *LabVol() const = 0;
    virtual QSlider *scrlBal() const = 0;
    virtual QLabel *LabBal() const = 0;
    virtual QPushButton *Check1() const = 0;
};
