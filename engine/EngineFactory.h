#pragma once

#include "engine/MediaEngine.h"

#include <functional>
#include <memory>

class QWidget;

// Makes the engine that the video window hosts; engineArea is the widget it draws pictures into.
// The program passes the GStreamer engine; tests pass a fake.
using EngineFactory = std::function<std::unique_ptr<MediaEngine>(QWidget *engineArea)>;
