#include "core/LevelTable.h"

#include <QWidget>

void InitLevelTable(QWidget &mainWindow)
{
    mainWindow.show();
}
