#include "app/MainLoad.h"

#include "app/Program.h"
#include "app/StoredOptions.h"
#include "core/LevelTable.h"
#include "playlist/Playlist.h"
#include "ui/WindowShape.h"
#include "ui/frmMain.h"

#include <QListWidget>
#include <QSlider>

#include <functional>
#include <initializer_list>

namespace MainLoad {

bool Form_Load(Program &program)
{
    frmMain &window = program.mainWindow();
    SharedState &state = program.sharedState();

    // Each step says whether it succeeded; the sequence stops at the first that did not.
    const std::initializer_list<std::function<bool()>> steps = {
        [&] {
            WindowShape::applyRounded(&window, frmMain::CornerEllipse);
            return true;
        },
        [&] {
            program.random().seedFromClock();
            return true;
        },
        // Reaching the engine creates the hidden video window, which reads the fit option as it stands
        // before the options are restored.
        [&] { return StoredOptions::GetValue(program, program.settings()); },
        [&] {
            InitLevelTable(window);
            return true;
        },
        [&] {
            state.CdDrives = program.FindCdDrive();
            return true;
        },
        [&] {
            program.videoWindow().hide();
            return true;
        },
        [&] {
            state.IsPaused = false;
            return true;
        },
        // The shuffle picture and the playlist panel follow the restored switches.
        [&] {
            program.transport().chkSuffle_Click();
            window.chkPlay_Click();
            return true;
        },
        [&] {
            window.scrlBal()->setValue(10);
            return true;
        },
        [&] {
            program.engine().setFileName(QString());
            return true;
        },
        // A missing lastlist.lst (first run) ends the load here, with the playlist empty.
        [&] {
            program.setLastListRead(Playlist::load(*window.lstPlay(), program.lastListReadPath()));
            return program.lastListRead();
        },
    };
    for (const auto &step : steps) {
        if (!step())
            return false;
    }
    return true;
}

} // namespace MainLoad
