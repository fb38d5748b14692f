#include "app/ExitSave.h"

#include <QCoreApplication>
#include <QString>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace ExitSave {

namespace {

enum State { Idle, Armed, Saving };

std::function<void()> g_save;
std::atomic<int> g_state = Idle;
pid_t g_process = 0;
pthread_t g_thread;
QtMessageHandler g_previousHandler = nullptr;

// A thread that is ending the process asks the UI thread to save and waits for it. A UI thread that
// has not begun within a moment and sleeps is blocked, often on that very thread (the engine waits on
// the video sink's thread, which is the one that saw the display go): it touches nothing meanwhile, so
// the save runs from the waiting thread. One that runs is given longer.
constexpr int UiThreadAnswerMs = 500;
constexpr int UiThreadWaitMs = 10000;

void save()
{
    int armed = Armed;
    if (!g_state.compare_exchange_strong(armed, Saving))
        return;
    try {
        g_save();
    } catch (...) {
        // Nothing more can be done on the way out.
    }
    g_state = Idle;
}

void saveOnTheWayOut()
{
    // The list is the UI thread's, and a forked child's exit is not the player's.
    if (::getpid() == g_process && pthread_equal(::pthread_self(), g_thread))
        save();
}

// The state letter of /proc/self/task/<id>/stat, after the parenthesised name.
bool uiThreadAsleep()
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", static_cast<int>(g_process));
    char stat[512] = {};
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd >= 0 ? ::read(fd, stat, sizeof stat - 1) : -1;
    if (fd >= 0)
        ::close(fd);
    const char *name = n > 0 ? std::strrchr(stat, ')') : nullptr;
    return name && (name[1] == ' ') && (name[2] == 'S' || name[2] == 'D');
}

// What Qt says just before it ends the process for a display that has gone: exit() on X, from the UI
// thread or from any thread whose X connection saw it first (the video sink's, say); _exit() on
// Wayland, which runs no handler.
bool displayLost(const QString &message)
{
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection"));
}

void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_previousHandler(type, context, message);
    if (type != QtWarningMsg || !displayLost(message))
        return;
    if (pthread_equal(::pthread_self(), g_thread)) {
        saveOnTheWayOut();
        return;
    }
    if (g_state == Armed)
        QMetaObject::invokeMethod(qApp, &saveOnTheWayOut, Qt::QueuedConnection);
    for (int waited = 0; g_state != Idle && waited < UiThreadWaitMs; waited += 10) {
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
        if (waited >= UiThreadAnswerMs && g_state == Armed && uiThreadAsleep())
            save();
    }
}

} // namespace

void arm(std::function<void()> save)
{
    // Registered at the first arming, once the statics the save relies on (Qt's settings cache, its
    // codecs) exist: exit() runs its handlers and destroys the statics in the reverse order of their
    // making, so this runs while they are still there.
    static const bool registered = [] {
        g_previousHandler = qInstallMessageHandler(onMessage);
        return std::atexit(saveOnTheWayOut) == 0;
    }();
    if (!registered)
        return;
    g_save = std::move(save);
    g_process = ::getpid();
    g_thread = ::pthread_self();
    g_state = Armed;
}

void disarm()
{
    // A save already under way on another thread is left to finish.
    int armed = Armed;
    g_state.compare_exchange_strong(armed, Idle);
}

} // namespace ExitSave
