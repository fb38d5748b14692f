#pragma once

#include <QLabel>

// A label that reports a left click, for the labels and pictures the user clicks (the time, the
// minimise and close glyphs).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
