#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>

// Which Qt platform plugin the program runs on, decided before QApplication exists: Qt aborts the
// process when the plugin it was told to use cannot be loaded or cannot reach its display, and picks
// Wayland over X whenever both are there, where the window can neither stay on top nor keep its place.
struct PlatformChoice {
    enum class Outcome {
        Run,           // go ahead, with platform set when it has to be forced
        NoDisplay,     // neither X nor Wayland to show a window on
        MissingPlugin, // the chosen platform's plugin is not installed
        NoAnswer       // the display named is not there, or refuses the player
    };
    Outcome outcome = Outcome::Run;
    // What QT_QPA_PLATFORM must be set to; empty leaves Qt's own choice.
    QByteArray platform;
    // The platform whose plugin is missing.
    QByteArray missing;
    // The variable naming the display that did not answer, and its value.
    QByteArray silentVariable;
    QByteArray silentDisplay;

    struct Inputs {
        QByteArray qpaPlatform;    // QT_QPA_PLATFORM
        QByteArray display;        // DISPLAY
        QByteArray waylandDisplay; // WAYLAND_DISPLAY
        QByteArray argvPlatform;   // the value of a -platform argument
        // Whether the plugin for one platform name is installed.
        std::function<bool(const QByteArray &name)> pluginInstalled;
        // Whether the display server a platform would use answers; asked last, as it costs a
        // connection. Without it every server counts as there.
        std::function<bool(const QByteArray &name)> serverAnswers;
    };

    static PlatformChoice decide(const Inputs &in);
    static PlatformChoice forThisProcess(int argc, char **argv);
    // Whether a platform plugin file for the name is in one of the folders.
    static bool pluginFileIn(const QByteArray &name, const QStringList &folders);
};
