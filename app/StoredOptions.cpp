#include "app/StoredOptions.h"

#include "app/Program.h"
#include "core/LevelTable.h"
#include "core/OptionKeys.h"
#include "core/SettingsStore.h"
#include "playback/AudioControls.h"
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
    auto read = [&](OptionKeys::Index key, const QString &place = {}) {
        const OptionKeys::Key &entry = OptionKeys::Keys.at(key);
        return store.read(section, QLatin1String(entry.name),
                          entry.fallback ? QString::fromLatin1(entry.fallback) : place);
    };

    // A first run has no position stored, and the defaults read below are where the window is now:
    // the middle of the primary screen.
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        window.move(WindowPlacement::centred(primary->availableGeometry(), window.size()));
    const std::optional<float> top =
        toSingle(read(OptionKeys::top, numberText(Twips::fromPixelsY(window.y(), &window))));
    if (!top)
        return false;
    window.move(window.x(), Twips::toPixelsY(*top, &window));
    const std::optional<float> left =
        toSingle(read(OptionKeys::left, numberText(Twips::fromPixelsX(window.x(), &window))));
    if (!left)
        return false;
    window.move(Twips::toPixelsX(*left, &window), window.y());

    MediaEngine &engine = program.engine();

    const QString vol = read(OptionKeys::Vol);
    const std::optional<int> suff = toInteger16(read(OptionKeys::suff));
    if (!suff)
        return false;
    const std::optional<bool> timeMode = toBoolean(read(OptionKeys::timemode));
    if (!timeMode)
        return false;
    state.TimeMode = *timeMode;
    const std::optional<bool> mute = toBoolean(read(OptionKeys::mute));
    if (!mute)
        return false;
    const std::optional<bool> repeat = toBoolean(read(OptionKeys::repeat));
    if (!repeat)
        return false;
    state.RepeatOn = *repeat;
    const std::optional<int> play = toInteger16(read(OptionKeys::play));
    if (!play)
        return false;

    const std::optional<bool> onTop = toBoolean(read(OptionKeys::Ontop));
    if (!onTop)
        return false;
    window.mnuOnTop()->setChecked(*onTop);
    const std::optional<bool> fit = toBoolean(read(OptionKeys::FitToSize));
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
    namespace Option = OptionKeys;
    std::array<QString, Option::Count> shown;
    shown[Option::Vol] = QString::number(volume);
    shown[Option::suff] = QString::number(valueOf(window.chkSuffle()));
    shown[Option::timemode] = fromBoolean(state.TimeMode);
    shown[Option::mute] = fromBoolean(mute);
    shown[Option::repeat] = fromBoolean(valueOf(window.chkRepeat()) != 0);
    shown[Option::top] = numberText(Twips::fromPixelsY(window.y(), &window));
    shown[Option::left] = numberText(Twips::fromPixelsX(window.x(), &window));
    shown[Option::play] = QString::number(valueOf(window.chkPlay()));
    shown[Option::Ontop] = fromBoolean(window.mnuOnTop()->isChecked());
    shown[Option::FitToSize] = fromBoolean(window.mnuFit()->isChecked());
    SettingsStore::Values values;
    for (std::size_t key = 0; key < Option::Count; ++key) {
        // Where the window cannot learn its own place it reads 0, 0: the place it was given is kept.
        const bool position = key == Option::top || key == Option::left;
        if (!position || PlatformLimits::canPlaceWindows())
            values.append({QLatin1String(Option::Keys.at(key).name), shown.at(key)});
    }
    store.writeAll(section, values);
}

} // namespace StoredOptions
