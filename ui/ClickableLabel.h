#pragma once

#include <QLabel>

// A label that acts as a button: the time (elapsed or remaining), the minimise and close marks. It
// reports a left click, or Space or Enter while it has the keyboard focus, and keeps its presses
// from reaching the window, which would otherwise start moving.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr) : ClickableLabel(QString(), parent) {}
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
