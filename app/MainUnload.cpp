#include "app/MainUnload.h"

#include "app/Program.h"
#include "app/StoredOptions.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"

#include <QListWidget>

namespace MainUnload {

void Form_Unload(Program &program)
{
    frmMain &window = program.mainWindow();

    // A read-only folder or a full disk leaves the previous lastlist.lst as it was.
    Playlist::save(*window.lstPlay(), program.lastListPath());

    StoredOptions::Save(program, program.settings());

    program.transport().cmdStop_Click();

    program.about().unload();

    if (frmPlayer *player = program.existingVideoWindow()) {
        // Closed, not destroyed: a handler still running below us may hold the engine.
        player->setAttribute(Qt::WA_DeleteOnClose, false);
        player->close();
    }
}

} // namespace MainUnload
