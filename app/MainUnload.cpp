#include "app/MainUnload.h"

#include "app/Program.h"
#include "app/StoredOptions.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

namespace MainUnload {

void Form_Unload(Program &program)
{
    frmMain &window = program.mainWindow();

    // A full disk leaves the previous lastlist.lst as it was. The user's data folder may not exist yet.
    const QString lastList = program.lastListWritePath();
    QDir().mkpath(QFileInfo(lastList).path());
    Playlist::save(*window.lstPlay(), lastList);

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
