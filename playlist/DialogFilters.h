#pragma once

// The filters the playlist commands give the file dialog, "description|patterns|...".

// Media files, for opening and adding a file. The first description names *.wma but not *.asf,
// while its patterns hold both: that is how users have always seen it.
inline constexpr const char *MediaFilter =
    "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
    "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video (*.avi) "
    "|*.avi|"
    "Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*";

// List files, for saving and loading a playlist.
inline constexpr const char *ListFilter = "List (*.lst) |*.lst| All files (*.*) |*.*";
