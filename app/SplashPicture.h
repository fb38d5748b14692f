#pragma once

#include <QWidget>

// The splash picture, drawn in code at whatever size the window is laid out at.
class SplashPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
