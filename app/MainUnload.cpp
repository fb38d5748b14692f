#include "app/MainUnload.h"

#include "app/LastListBackup.h"
#include "app/Program.h"
#include "app/StoredOptions.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

namespace MainUnload {

void saveSession(Program &program)
{
    frmMain &window = program.mainWindow();

    // A read-only folder or a full disk leaves the previous lastlist.lst as it was; the user's data folder
    // may not exist yet. A run that never read the list keeps the user's list first, and writes nothing
    // over a list it could not keep.
    const QString lastList = program.lastListWritePath();
    QDir().mkpath(QFileInfo(lastList).path());
    if (program.lastListRead() || LastListBackup::keep(lastList))
        Playlist::save(*window.lstPlay(), lastList);

    StoredOptions::Save(program, program.settings());
}

void Form_Unload(Program &program)
{
    saveSession(program);

    program.transport().cmdStop_Click();

    program.about().unload();

    if (frmPlayer *player = program.existingVideoWindow()) {
        // Closed, not destroyed: a handler still running below us may hold the engine.
        player->setAttribute(Qt::WA_DeleteOnClose, false);
        player->close();
    }
}

} // namespace MainUnload
