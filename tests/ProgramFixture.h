#pragma once

#include "FakeDialogs.h"
#include "FakeMediaEngine.h"
#include "FileBytes.h"
#include "MemorySettings.h"
#include "app/Program.h"
#include "playlist/Playlist.h"

#include <QList>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// Shuffle draws that a test decides; counts the reseeds.
struct SequenceRandom : RandomSource {
    QList<double> draws;
    int seeds = 0;
    void seedFromClock() override { ++seeds; }
    double next() override { return draws.isEmpty() ? 0.0 : draws.takeFirst(); }
};

// A program over a fake engine, its application folder a fresh temporary folder, with every platform
// decision (shuffle draws, the break box's answer, the balance pause, the topmost layer) in the test's hands.
struct ProgramFixture {
    struct TopMostCall {
        bool topMost;
        QPoint position;
    };

    QTemporaryDir appFolder;
    std::shared_ptr<SequenceRandom> random = std::make_shared<SequenceRandom>();
    std::function<bool()> breakAnswer = [] { return true; };
    int breakBoxes = 0;
    // The descriptions shown in "Error" boxes, in order.
    QStringList errorBoxes;
    QList<int> pauses;
    // A balance pause ends at once, or when the test calls heldPause if holdPauses is set.
    bool holdPauses = false;
    std::function<void()> heldPause;
    QList<TopMostCall> topMostCalls;
    int enginesMade = 0;
    FakeDialogs dialogs;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    std::unique_ptr<Program> program;

    ProgramFixture() { makeProgram(); }

    // The next run of the program, on the same folder and settings.
    void restart()
    {
        program.reset();
        makeProgram();
    }

    void makeProgram()
    {
        ProgramEnvironment env;
        env.appFolder = appFolder.path();
        env.makeEngine = [this](QWidget *area) {
            ++enginesMade;
            return std::make_unique<FakeMediaEngine>(area);
        };
        env.random = random;
        env.askBreak = [this] {
            ++breakBoxes;
            return breakAnswer();
        };
        env.showError = [this](const QString &description) { errorBoxes.append(description); };
        env.pause = [this](int ms, std::function<void()> done) {
            pauses.append(ms);
            heldPause = std::move(done);
            if (!holdPauses)
                heldPause();
        };
        env.setTopMost = [this](QWidget &, bool topMost, QPoint position) {
            topMostCalls.append({topMost, position});
        };
        env.dialogs = &dialogs;
        env.settings = settings;
        program = std::make_unique<Program>(std::move(env));
    }

    FakeMediaEngine &engine() { return static_cast<FakeMediaEngine &>(program->engine()); }

    // The loaded main window with its timer stopped: the test runs the ticks itself.
    frmMain &main()
    {
        frmMain &window = program->mainWindow();
        window.tmrAnimate()->stop();
        return window;
    }

    void tick() { program->tick().tmrAnimate_Timer(); }

    QStringList entries() { return Playlist::entries(*main().lstPlay()); }

    QString lastList() const { return appFolder.filePath(QStringLiteral("lastlist.lst")); }

    void writeLastList(const QByteArray &bytes) const { writeBytes(lastList(), bytes); }
    QByteArray readLastList() const { return readBytes(lastList()); }
};
