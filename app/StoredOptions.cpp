#include "app/StoredOptions.h"

#include "app/Program.h"
#include "app/SettingsStore.h"
#include "playback/AudioControls.h"
#include "playback/LevelTable.h"
#include "ui/PlatformLimits.h"
#include "ui/Twips.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

namespace StoredOptions {

namespace {

// Stored check-box values: 0 clear, 1 checked, 2 greyed.
std::optional<Qt::CheckState> checkStateOf(int value)
{
    switch (value) {
    case 0:
        return Qt::Unchecked;
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return std::nullopt;
    }
}

int valueOf(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

QString numberText(double value)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 9);
}

} // namespace

bool GetValue(Program &program, SettingsStore &store)
{
    frmMain &window = program.mainWindow();
    SharedState &state = program.sharedState();
    const QString section = QLatin1String(Section);
    auto read = [&](const char *key, const QString &fallback) {
        return store.read(section, QLatin1String(key), fallback);
    };

    // A first run has no position stored, and the defaults read below are where the window is now:
    // the middle of the primary screen.
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        window.move(WindowPlacement::centred(primary->availableGeometry(), window.size()));
    const std::optional<float> top =
        toSingle(read("top", numberText(Twips::fromPixelsY(window.y(), &window))));
    if (!top)
        return false;
    window.move(window.x(), Twips::toPixelsY(*top, &window));
    const std::optional<float> left =
        toSingle(read("left", numberText(Twips::fromPixelsX(window.x(), &window))));
    if (!left)
        return false;
    window.move(Twips::toPixelsX(*left, &window), window.y());

    MediaEngine &engine = program.engine();

    const QString vol = read("Vol", QStringLiteral("0"));
    const std::optional<int> suff = toInteger16(read("suff", QStringLiteral("0")));
    if (!suff)
        return false;
    const std::optional<bool> timeMode = toBoolean(read("timemode", QStringLiteral("True")));
    if (!timeMode)
        return false;
    state.TimeMode = *timeMode;
    const std::optional<bool> mute = toBoolean(read("mute", QStringLiteral("False")));
    if (!mute)
        return false;
    const std::optional<bool> repeat = toBoolean(read("repeat", QStringLiteral("False")));
    if (!repeat)
        return false;
    state.RepeatOn = *repeat;
    const std::optional<int> play = toInteger16(read("play", QStringLiteral("1")));
    if (!play)
        return false;

    const std::optional<bool> onTop = toBoolean(read("Ontop", QStringLiteral("False")));
    if (!onTop)
        return false;
    window.mnuOnTop()->setChecked(*onTop);
    const std::optional<bool> fit = toBoolean(read("FitToSize", QStringLiteral("False")));
    if (!fit)
        return false;
    state.FitToSize = *fit;
    window.mnuFit()->setChecked(state.FitToSize);

    state.OnTop = window.mnuOnTop()->isChecked();
    state.TopMostApplied = !state.OnTop;

    // A value the check box does not take ends the load here.
    const std::optional<Qt::CheckState> playState = checkStateOf(*play);
    if (!playState)
        return false;
    window.chkPlay()->setCheckState(*playState);

    const std::optional<long> volume = toLong(vol);
    if (!volume)
        return false;
    engine.setVolume(*volume);
    window.chkSuffle()->setCheckState(*suff == 0 ? Qt::Unchecked : Qt::Checked);
    engine.setMute(*mute);
    window.chkRepeat()->setCheckState(state.RepeatOn ? Qt::Checked : Qt::Unchecked);
    // The mute button follows the engine, its glyph too: a restored mute that still showed the
    // sound-on glyph made the first click seem to do nothing.
    AudioControls::showMute(window, engine.Mute());

    // A position saved on a screen that is gone (a monitor unplugged, a smaller one) would bring the
    // frameless window back where the user cannot take hold of it.
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    window.move(
        WindowPlacement::reachable(window.pos(), window.size(), window.Label3()->geometry(), screens));

    for (int i = 0; i <= 10; ++i) {
        if (LevelTable.at(static_cast<std::size_t>(i)) == engine.Volume())
            window.scrlVol()->setValue(i);
    }
    for (int i = 0; i <= 20; ++i) {
        if (LevelTable.at(static_cast<std::size_t>(i)) == engine.Balance())
            window.scrlBal()->setValue(i);
    }
    return true;
}

void Save(Program &program, SettingsStore &store)
{
    frmMain &window = program.mainWindow();
    const SharedState &state = program.sharedState();
    // With the video window closed, the levels a new engine would be given: no window is made just to
    // read them back, and none can be once the display has gone.
    frmPlayer *player = program.existingVideoWindow();
    const long volume = player ? player->MediaPlayer1().Volume() : AudioControls::volumeShown(window);
    const bool mute = player ? player->MediaPlayer1().Mute() : AudioControls::muteShown(window);
    const QString section = QLatin1String(Section);
    const std::pair<const char *, QString> keys[] = {
        {"Vol", QString::number(volume)},
        {"suff", QString::number(valueOf(window.chkSuffle()))},
        {"timemode", fromBoolean(state.TimeMode)},
        {"mute", fromBoolean(mute)},
        {"repeat", fromBoolean(valueOf(window.chkRepeat()) != 0)},
        {"top", numberText(Twips::fromPixelsY(window.y(), &window))},
        {"left", numberText(Twips::fromPixelsX(window.x(), &window))},
        {"play", QString::number(valueOf(window.chkPlay()))},
        {"Ontop", fromBoolean(window.mnuOnTop()->isChecked())},
        {"FitToSize", fromBoolean(window.mnuFit()->isChecked())},
    };
    SettingsStore::Values values;
    for (const auto &[key, value] : keys) {
        // Where the window cannot learn its own place it reads 0, 0: the place it was given is kept.
        const bool position = qstrcmp(key, "top") == 0 || qstrcmp(key, "left") == 0;
        if (!position || PlatformLimits::canPlaceWindows())
            values.append({QLatin1String(key), value});
    }
    store.writeAll(section, values);
}

} // namespace StoredOptions
