#pragma once

#include "engine/EngineFactory.h"

#include <QWidget>

#include <memory>

struct SharedState;

// What the video window reads of the rest of the program.
class VideoWindowHost {
public:
    virtual ~VideoWindowHost() = default;
    virtual SharedState &sharedState() = 0;
    // The selected index of lstPlay, -1 when nothing is selected.
    virtual int playlistSelectedIndex() const = 0;
    // The check mark of the fit-to-window menu item.
    virtual bool fitChecked() const = 0;
    // The usable part of the screen the video window first shows in the middle of; empty: the
    // window system places it.
    virtual QRect videoWindowArea() const { return {}; }
};

// The video window: a separate top-level window hosting the one engine. It keeps its caption on the
// loaded file, hides itself for anything that is not a video, and stretches the engine area over its
// inner area. Closing it destroys the engine with it.
class frmPlayer : public QWidget {
    Q_OBJECT
public:
    frmPlayer(VideoWindowHost &host, const EngineFactory &makeEngine);
    ~frmPlayer() override;

    MediaEngine &MediaPlayer1() { return *m_engine; }
    QWidget *engineArea() const { return m_engineArea; }

    // The engine area stays this much (in twips) narrower and lower than the inner area.
    static constexpr int EngineAreaMargin = 20;

    // Runs once, right after the window object is made (the program's first reference).
    void Form_Load();

    // Lays the engine area over the window again, as a resize does: a size command that leaves the
    // window's size as it was gets no resize, yet the engine area may have changed meanwhile.
    void applySize() { Form_Resize(); }

    // Every part of the program shows this window once it has loaded a file (the transport hides it
    // itself for an MP3), whether or not it is up already. So the rule that keeps the window to videos
    // and out of the way of full screen runs at every such request, and not only when Qt paints the
    // window: no paint comes while the picture's opaque native surface covers it all.
    void setVisible(bool visible) override;

    // Out of full screen the window shows again as it was, over the main window, whose zoom button
    // the user may have raised above it on the way in.
    void returnFromFullScreen();

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Initialize();
    void Form_GotFocus();
    void Form_Paint();
    bool keepsHidden() const;
    void Form_Resize();

    VideoWindowHost &m_host;
    QWidget *m_engineArea;
    std::unique_ptr<MediaEngine> m_engine;
    bool m_shownBefore = false;
};
