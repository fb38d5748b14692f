#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The start-up window: a picture and a progress bar that fills in about three seconds, then hands
// over to the main window.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash();

    // Shows and shapes the window and starts its timer.
    void Form_Load();
    // One tick of Timer1: advances the bar, or closes the splash and hands over.
    void Timer1_Timer();

    int barValue() const { return m_barValue; }
    QProgressBar *Bar() const { return m_bar; }
    QTimer *Timer1() const { return m_timer; }

    static constexpr int TickInterval = 200;
    static constexpr int Step = 8;

Q_SIGNALS:
    // Emitted once the splash has closed: the main window is to be shown now.
    void handOver();

private:
    QWidget *m_image;
    QLabel *m_label1;
    QProgressBar *m_bar;
    QTimer *m_timer;
    // The bar's own value may run past 100 on the last tick; the widget shows at most 100.
    int m_barValue = 0;
};
