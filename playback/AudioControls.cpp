#include "playback/AudioControls.h"

#include "playback/LevelTable.h"
#include "playback/MediaEngine.h"
#include "playback/TransportHost.h"
#include "ui/frmMain.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

AudioControls::AudioControls(TransportHost &host, Pause pause) : m_host(host), m_pause(std::move(pause)) {}

void AudioControls::scrlVol_Change()
{
    frmMain &window = m_host.mainWindow();
    const int p = window.scrlVol()->value();
    m_host.engine().setVolume(LevelTable.at(static_cast<std::size_t>(p)));
    window.LabVol()->setText(QStringLiteral("Volume : %1").arg(p));
}

void AudioControls::scrlBal_Change()
{
    frmMain &window = m_host.mainWindow();
    const int p = window.scrlBal()->value();
    MediaEngine &engine = m_host.engine();
    engine.setBalance(LevelTable.at(static_cast<std::size_t>(p)));
    // The side comes from what the engine took, the percentage from the slider.
    const long b = engine.Balance();
    if (b > 0)
        window.LabBal()->setText(QStringLiteral("%1% Droit").arg((p - 10) * 10));
    else if (b < 0)
        window.LabBal()->setText(QStringLiteral("%1% Gauche").arg((10 - p) * 10));
    else
        window.LabBal()->setText(QStringLiteral("Centre"));
    QCoreApplication::processEvents();
    if (m_pause)
        m_pause(BalancePauseMs);
}

void AudioControls::Check1_Click()
{
    QPushButton *button = m_host.mainWindow().Check1();
    if (button->text() == QLatin1String("U")) {
        button->setText(QStringLiteral("V"));
        m_host.engine().setMute(true);
    } else if (button->text() == QLatin1String("V")) {
        button->setText(QStringLiteral("U"));
        m_host.engine().setMute(false);
    }
}
