#pragma once

#include <QString>

class MediaEngine;
class QLabel;

// Whole seconds as H:MM:SS, the hours unpadded; 0 or less gives 0:00:00.
QString FormatTime(long seconds);

// Writes the loaded item's length (whole seconds, fraction dropped) into the duration label.
void ShowDuration(const MediaEngine &engine, QLabel &lblDuration);
