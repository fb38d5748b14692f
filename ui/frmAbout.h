#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

// The about box: a small borderless blue window with the product's heading, logo, version, a short
// presentation and the credits. It is moved by its headings. Layout only; opening and closing it
// are the about commands' business.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    frmAbout();

    // Shows the box centred on the screen and gives it its rounded shape.
    void Form_Load();

    // 0 the shadow, 1 the white heading above it.
    QLabel *Label4(int index) const { return m_Label4.at(static_cast<std::size_t>(index)); }
    QLabel *Label1() const { return m_Label1; }
    QLabel *Label2() const { return m_Label2; }
    QLabel *Label3() const { return m_Label3; }
    QLabel *imgIcon() const { return m_imgIcon; }
    QPushButton *cmdOk() const { return m_cmdOk; }

    static constexpr int CornerEllipse = 15;

private:
    std::array<QLabel *, 2> m_Label4 = {};
    QFrame *m_QweltoFrm1 = nullptr;
    QFrame *m_Shape1 = nullptr;
    QLabel *m_imgIcon = nullptr;
    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QLabel *m_Label3 = nullptr;
    QPushButton *m_cmdOk = nullptr;
};
