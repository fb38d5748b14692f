#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QListWidget;

// The main window: layout only. What its controls do lives with each subsystem and is wired by the
// program object.
class frmMain : public QWidget {
    Q_OBJECT
public:
    frmMain();

    QWidget *picPlayList() const { return m_picPlayList; }
    QListWidget *lstPlay() const { return m_lstPlay; }
    QLabel *txtFN() const { return m_txtFN; }
    QLabel *Label2() const { return m_label2; }
    // The fit-to-window option; its check mark is the live option.
    QAction *mnuFit() const { return m_mnuFit; }

    // Runs the shutdown sequence once when the window closes, by whatever means. Closing is never refused.
    void setUnloadHandler(std::function<void()> handler) { m_unload = std::move(handler); }

    // The menu's "&Quitter" and the close glyph: both close the window, which is the shutdown.
    void mnuExit_Click() { close(); }
    void Closed_Click() { close(); }

    // Corner ellipse of the rounded window shape, in pixels.
    static constexpr int CornerEllipse = 15;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Activate();

    QWidget *m_picPlayList;
    QLabel *m_label2;
    QLabel *m_txtFN;
    QListWidget *m_lstPlay;
    QAction *m_mnuFit;
    std::function<void()> m_unload;
    bool m_unloaded = false;
};
