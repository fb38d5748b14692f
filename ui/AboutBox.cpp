#include "ui/AboutBox.h"

#include "core/SharedState.h"
#include "ui/WindowDrag.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>

AboutBox::~AboutBox()
{
    delete m_box;
}

void AboutBox::cmdAbt_Click()
{
    if (m_state.OnTop) {
        m_state.OnTop = false;
        m_state.OnTopSuspended = true;
    }
    if (!m_box) {
        m_box = new frmAbout;
        m_box->setAttribute(Qt::WA_DeleteOnClose);
        auto *drag = new WindowDrag(m_box);
        drag->addHandle(m_box->Label4(0));
        drag->addHandle(m_box->Label4(1));
        connect(m_box->cmdOk(), &QPushButton::clicked, this, &AboutBox::cmdOk_Click);
        // Escape closes the box as OK does.
        connect(new QShortcut(QKeySequence::Cancel, m_box), &QShortcut::activated, this,
                &AboutBox::cmdOk_Click);
        m_box->Form_Load();
        return;
    }
    m_box->show();
    m_box->raise();
    m_box->activateWindow();
}

void AboutBox::cmdOk_Click()
{
    if (m_state.OnTopSuspended) {
        m_state.OnTop = true;
        m_state.OnTopSuspended = false;
    }
    if (m_box)
        m_box->close();
}

void AboutBox::unload()
{
    if (m_box)
        m_box->close();
}

frmAbout *AboutBox::existing() const
{
    return m_box;
}
