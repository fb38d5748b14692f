#pragma once

#include <QObject>
#include <QPointer>

class WindowDrag;
class frmAbout;
struct SharedState;

// Opening and closing the about box. While it is open the main window's always-on-top choice is
// suspended, so that the box is not hidden behind the main window; OK gives it back.
class AboutBox : public QObject {
    Q_OBJECT
public:
    explicit AboutBox(SharedState &state) : m_state(state) {}
    ~AboutBox() override;

    // "?": suspends on-top if it was on, then shows the box (made on first use), without an owner.
    void cmdAbt_Click();
    // "&Ok": gives on-top back if it was suspended, then closes the box.
    void cmdOk_Click();

    frmAbout *existing() const;
    // Shutdown closes the box as it is, suspension included.
    void unload();

private:
    SharedState &m_state;
    QPointer<frmAbout> m_box;
};
