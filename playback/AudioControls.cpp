#include "playback/AudioControls.h"

#include "core/LevelTable.h"
#include "engine/MediaEngine.h"
#include "playback/AudioView.h"
#include "playback/TransportHost.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

AudioControls::AudioControls(TransportHost &host, Pause pause) : m_host(host), m_pause(std::move(pause)) {}

void AudioControls::scrlVol_Change()
{
    AudioView &window = m_host.audioView();
    const int p = window.scrlVol()->value();
    m_host.engine().setVolume(LevelTable.at(static_cast<std::size_t>(p)));
    window.LabVol()->setText(QStringLiteral("Volume : %1").arg(p));
}

void AudioControls::scrlBal_Change()
{
    // A change that comes while the last one settles waits for the end of the pause; only the
    // position the slider shows then is applied.
    if (m_settling) {
        m_balancePending = true;
        return;
    }
    applyBalance();
}

void AudioControls::applyBalance()
{
    AudioView &window = m_host.audioView();
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

    m_settling = true;
    m_balancePending = false;
    auto done = [this] {
        m_settling = false;
        if (m_balancePending)
            applyBalance();
    };
    if (m_pause)
        m_pause(BalancePauseMs, done);
    else
        QTimer::singleShot(BalancePauseMs, &m_timerContext, done);
}

void AudioControls::Check1_Click()
{
    AudioView &window = m_host.audioView();
    QPushButton *button = window.Check1();
    if (button->text() == QLatin1String("U")) {
        showMute(window, true);
        m_host.engine().setMute(true);
    } else if (button->text() == QLatin1String("V")) {
        showMute(window, false);
        m_host.engine().setMute(false);
    }
}

void AudioControls::giveLevelsTo(const AudioView &window, MediaEngine &engine)
{
    engine.setVolume(volumeShown(window));
    engine.setBalance(LevelTable.at(static_cast<std::size_t>(window.scrlBal()->value())));
    engine.setMute(muteShown(window));
}

long AudioControls::volumeShown(const AudioView &window)
{
    return LevelTable.at(static_cast<std::size_t>(window.scrlVol()->value()));
}

bool AudioControls::muteShown(const AudioView &window)
{
    return window.Check1()->text() == QLatin1String("V");
}

void AudioControls::showMute(AudioView &window, bool muted)
{
    window.Check1()->setText(muted ? QStringLiteral("V") : QStringLiteral("U"));
    // The button's value, as the saved options have it, is read from the caption, never kept apart.
    window.Check1()->setProperty("Value", muted ? 1 : 0);
}
