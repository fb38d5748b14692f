#include "engine/GstMediaEngine.h"

#include "disc/VideoCdDisc.h"
#include "engine/MidiSeek.h"
#include "engine/PipelineTasks.h"
#include "engine/StreamEndHold.h"
#include "engine/VideoCdSource.h"
#include "engine/VideoOutput.h"
#include "engine/XServerSync.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <sys/stat.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr const char *VolumeName = "qwelto-volume";
constexpr const char *BalanceName = "qwelto-balance";
constexpr const char *FitName = "qwelto-fit";
// GstPlayFlags is not in the public headers.
constexpr guint PlayFlagNativeVideo = 0x40;
constexpr long MinVolume = -9640;
constexpr long MaxBalance = 9640;
// Transitions other than the open itself only wait on elements that are already prerolled.
constexpr int ShortWaitMs = 2000;
// A failed open may post its error a little after the state change reports the failure.
constexpr auto TrailingErrorWait = std::chrono::milliseconds(1000);
// While a file opens, how often the wait looks at the pipeline's streaming threads, and how long
// all of them may stand still before the open is given up: one hands over to the next (typefinding
// to the demuxer, say) within a millisecond or two.
constexpr GstClockTime OpenPollSlice = 20 * GST_MSECOND;
constexpr auto StandingStillFor = std::chrono::milliseconds(100);

#ifdef __GLIBC__
// Every file is decoded on threads of its own, and glibc gives threads memory pools of their own as
// they contend, up to 16 here, each keeping its share of what was freed: over a long playlist the
// resident size crept up by 7 MB from the 100th to the 1,000th file. Two pools keep it level; the
// player allocates too little for the contention to show. Set before main(), while the process has
// one thread: the limit only binds pools made after it.
const bool g_memoryPoolsCapped = mallopt(M_ARENA_MAX, 2) == 1;
#endif

void initGstreamerOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        VideoCdSource::registerElement();
    });
}

// What the user reads when the media framework gave no reason of its own.
QString unreadable()
{
    return QStringLiteral("Le fichier ne peut pas être lu.");
}

double toSeconds(gint64 t)
{
    return static_cast<double>(t) / static_cast<double>(GST_SECOND);
}

gint64 toClockTime(double seconds)
{
    return static_cast<gint64>(std::llround(seconds * static_cast<double>(GST_SECOND)));
}

bool readsNormally(const QByteArray &localPath)
{
    QFile file(QFile::decodeName(localPath));
    char first = 0;
    return file.open(QIODevice::ReadOnly) && file.read(&first, 1) == 1;
}

bool isXcb()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool hasElement(const char *factory)
{
    GstElementFactory *found = gst_element_factory_find(factory);
    if (found)
        gst_object_unref(found);
    return found != nullptr;
}

bool hasProperty(GstElement *element, const char *name)
{
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

GstElement *makeSinkBin(const QString &description)
{
    GError *error = nullptr;
    GstElement *bin = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
    if (error) {
        qWarning("qwelto: cannot build sink \"%s\": %s", qPrintable(description), error->message);
        g_error_free(error);
    }
    return bin;
}

// After a seek into the last second or so of an MPEG program stream, the demuxer starts past the
// last picture it could decode from, and the video decoder gives up with "no valid frames decoded
// before end of stream". The file is fine and the sound plays on to the end once the pipeline is
// set going again, so this is not the file's error.
bool isDecoderRunningDry(GstMessage *message, const GError *error)
{
    return error && error->domain == GST_STREAM_ERROR && error->code == GST_STREAM_ERROR_DECODE &&
           GST_MESSAGE_SRC(message) && GST_IS_VIDEO_DECODER(GST_MESSAGE_SRC(message));
}

} // namespace

struct GstEngineCallbacks {
    static GstBusSyncReply onBusMessage(GstBus *, GstMessage *message, gpointer data)
    {
        auto *self = static_cast<GstMediaEngine *>(data);
        bool wake = false;
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            self->m_eos = true;
            self->m_eosToAnnounce = true;
            wake = true;
            break;
        case GST_MESSAGE_STREAM_START:
            wake = self->nextFileStarted();
            break;
        case GST_MESSAGE_ERROR: {
            // The queued file's failure: the loaded file plays on to its end.
            if (self->nextFileBroke()) {
                wake = true;
                break;
            }
            GError *error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            if (self->m_fileLive && isDecoderRunningDry(message, error)) {
                g_clear_error(&error);
                self->m_decoderRanDry = true;
                wake = true;
                break;
            }
            {
                // The first error is the cause; what follows (a second copy from filesrc, the
                // generic "state change failed") only repeats it less precisely.
                std::lock_guard lock(self->m_errorMutex);
                if (self->m_errorCode == 0) {
                    self->m_errorCode =
                        error && error->code != 0 ? error->code : GstMediaEngine::ErrorNoMessage;
                    self->m_errorText = error && error->message && *error->message
                                            ? QString::fromUtf8(error->message)
                                            : unreadable();
                }
            }
            g_clear_error(&error);
            self->m_errorArrived.notify_all();
            // A file that breaks while playing is over: the playlist must be able to move on.
            if (self->m_fileLive)
                self->m_eos = true;
            self->m_errorToAnnounce = true;
            wake = true;
            break;
        }
        case GST_MESSAGE_TAG: {
            // Read here, where every message passes anyway: the open waits for nothing more.
            GstTagList *tags = nullptr;
            gst_message_parse_tag(message, &tags);
            self->recordTags(tags);
            gst_tag_list_unref(tags);
            break;
        }
        case GST_MESSAGE_CLOCK_LOST:
            self->m_clockLost = true;
            wake = true;
            break;
        default:
            break;
        }
        if (wake)
            self->wakeUiThread();
        // Nothing else is ever read from the bus; keeping messages would only pile them up. A dropped
        // message is the handler's to release: each one holds its source element, and with it the
        // whole decoding chain of the file it came from (a soundfont for every MIDI file).
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    static void onElementSetup(GstElement *, GstElement *element, gpointer data)
    {
        auto *self = static_cast<GstMediaEngine *>(data);
        GstElementFactory *factory = gst_element_get_factory(element);
        if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") != 0)
            return;
        MidiSeek::startAtSeekTargets(element);
        if (!self->m_soundFont.isEmpty())
            g_object_set(element, "soundfont", self->m_soundFont.constData(), nullptr);
    }
};

GstMediaEngine::GstMediaEngine(QWidget *engineArea, GstEngineOptions options) : m_options(std::move(options))
{
    initGstreamerOnce();
    if (QFileInfo::exists(m_options.soundFont))
        m_soundFont = QFile::encodeName(m_options.soundFont);

    m_playbin = gst_element_factory_make("playbin", "qwelto-playbin");
    if (!m_playbin) {
        qWarning("qwelto: GStreamer has no playbin element; nothing can be played");
        return;
    }
    gst_object_ref_sink(m_playbin);

    // Balance lives inside the audio sink: as playbin's audio-filter a change is heard a second late.
    // Decoders hand over an MP3 frame (26 ms) at a time, and every buffer costs a clock wait and a
    // thread wake-up further down: gathered into 200 ms blocks, a playing MP3 costs a third of the CPU
    // (1.5 % of a core down to 0.45 % here), for at most 200 ms more before a balance change is heard.
    // Volume and mute have their own element here, set by the engine itself. playbin's own volume
    // goes to the sink when the sink has one: under pulsesink it became the sound server's volume for
    // that file's stream, and the next file's new stream played at full level and unmuted. Without
    // a volume in the sink (alsasink, the fallback without a sound card) playbin would add an element
    // of its own, which GStreamer 1.22 keeps alive after every file, a few kB each time.
    GstElement *audio =
        makeSinkBin(QStringLiteral("audiobuffersplit output-buffer-duration=1/5 ! "
                                   "audioconvert ! volume name=%1 ! audiopanorama name=%2 "
                                   "method=simple ! audioconvert ! %3")
                        .arg(QLatin1String(VolumeName), QLatin1String(BalanceName), m_options.audioSink));
    if (audio) {
        m_volumeElement = gst_bin_get_by_name(GST_BIN(audio), VolumeName);
        m_panorama = gst_bin_get_by_name(GST_BIN(audio), BalanceName);
        watchWhereNextStarts(audio);
        g_object_set(m_playbin, "audio-sink", audio, nullptr);
    }

    if (engineArea)
        m_video = std::make_unique<VideoOutput>(engineArea);
    void *waylandDisplay = m_video ? m_video->waylandDisplay() : nullptr;
    QString videoSink = m_options.videoSink;
    if (videoSink.isEmpty()) {
        // xvimagesink has no port under Xvfb, and ximagesink kills the process with BadWindow when
        // the window ids are fake (offscreen platform).
        if (engineArea && isXcb())
            videoSink = QStringLiteral("ximagesink");
        else if (waylandDisplay && hasElement("waylandsink"))
            videoSink = QStringLiteral("waylandsink");
        else
            videoSink = QStringLiteral("fakevideosink");
    }
    m_compositorScales = videoSink.startsWith(QLatin1String("waylandsink"));
    // On X the picture is scaled here to exactly the window it goes to (ximagesink itself only
    // centres), stretched when the window's shape differs. playbin's own converter would keep the
    // shape with black bars, so it is turned off (native-video) and its work is done here. On Wayland
    // the compositor scales the frames into the sink's rectangle, keeping their shape: the frames
    // keep their size and get the pixel aspect that gives them the rectangle's shape.
    const QString chain =
        QStringLiteral("videoconvert ! videoscale add-borders=false ! capsfilter name=%1 ! %2");
    GstElement *video = makeSinkBin(chain.arg(QLatin1String(FitName), videoSink));
    if (video) {
        m_fitCaps = gst_bin_get_by_name(GST_BIN(video), FitName);
        m_overlay = gst_bin_get_by_interface(GST_BIN(video), GST_TYPE_VIDEO_OVERLAY);
        if (m_overlay) {
            // Qt keeps the window's events; with both off ximagesink also runs no polling thread.
            if (hasProperty(m_overlay, "handle-events"))
                g_object_set(m_overlay, "handle-events", FALSE, nullptr);
            if (hasProperty(m_overlay, "handle-expose"))
                g_object_set(m_overlay, "handle-expose", FALSE, nullptr);
            if (hasProperty(m_overlay, "pixel-aspect-ratio"))
                g_object_set(m_overlay, "pixel-aspect-ratio", "1/1", nullptr);
            if (waylandDisplay && m_compositorScales) {
                // The sink must talk to the compositor on Qt's connection to be let into Qt's windows.
                GstContext *context = gst_context_new("GstWlDisplayHandleContextType", TRUE);
                gst_structure_set(gst_context_writable_structure(context), "display", G_TYPE_POINTER,
                                  waylandDisplay, nullptr);
                gst_element_set_context(m_overlay, context);
                gst_context_unref(context);
            }
        }
        watchWhereNextStarts(video);
        g_object_set(m_playbin, "video-sink", video, nullptr);
        guint flags = 0;
        g_object_get(m_playbin, "flags", &flags, nullptr);
        g_object_set(m_playbin, "flags", flags | PlayFlagNativeVideo, nullptr);
    }

    g_signal_connect(m_playbin, "element-setup", G_CALLBACK(&GstEngineCallbacks::onElementSetup), this);
    g_signal_connect(m_playbin, "about-to-finish", G_CALLBACK(&GstMediaEngine::onAboutToFinish), this);
    StreamEndHold::watch(m_playbin, &GstMediaEngine::holdNextFile, this);
    m_endWatch.setSingleShot(true);
    connect(&m_endWatch, &QTimer::timeout, this, [this] { watchForTheEnd(); });
    m_advanceDue.setSingleShot(true);
    connect(&m_advanceDue, &QTimer::timeout, this, [this] { completeAdvance(); });
    GstBus *bus = gst_element_get_bus(m_playbin);
    gst_bus_set_sync_handler(bus, &GstEngineCallbacks::onBusMessage, this, nullptr);
    gst_object_unref(bus);

    if (m_video) {
        connect(m_video.get(), &VideoOutput::targetChanged, this, [this] { followVideoTarget(); });
        connect(m_video.get(), &VideoOutput::exposeNeeded, this, [this] {
            if (m_overlay && m_attachedWindow)
                gst_video_overlay_expose(GST_VIDEO_OVERLAY(m_overlay));
        });
        connect(m_video.get(), &VideoOutput::areaLost, this, [this] { onAreaLost(); });
        connect(m_video.get(), &VideoOutput::leaveFullScreenRequested, this, [this] {
            setDisplaySize(m_modeBeforeFullScreen);
            if (m_fullScreenLeft)
                m_fullScreenLeft();
        });
        connect(m_video.get(), &VideoOutput::playPauseRequested, this, [this] {
            if (m_barCommand)
                m_barCommand(BarCommand::PlayPause);
            else
                m_playing ? Pause() : Play();
        });
        connect(m_video.get(), &VideoOutput::stopRequested, this, [this] {
            if (m_barCommand)
                m_barCommand(BarCommand::Stop);
            else
                Stop();
        });
        m_video->setMode(m_displayMode);
    }

    applyVolume();
    applyBalance();
}

GstMediaEngine::~GstMediaEngine()
{
    if (m_playbin) {
        gst_element_set_state(m_playbin, GST_STATE_NULL);
        GstBus *bus = gst_element_get_bus(m_playbin);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        g_signal_handlers_disconnect_by_data(m_playbin, this);
    }
    if (m_overlay)
        gst_object_unref(m_overlay);
    if (m_fitCaps)
        gst_object_unref(m_fitCaps);
    if (m_panorama)
        gst_object_unref(m_panorama);
    if (m_volumeElement)
        gst_object_unref(m_volumeElement);
    if (m_playbin)
        gst_object_unref(m_playbin);
    m_video.reset();
}

// ---- opening -------------------------------------------------------------------------------------

QString GstMediaEngine::FileName() const
{
    return m_fileName;
}

void GstMediaEngine::setFileName(const QString &path)
{
    unload();
    m_fileName = path;
    if (path.isEmpty())
        return;
    if (!m_playbin) {
        recordError(ErrorNoPipeline, QStringLiteral("GStreamer est incomplet : l'élément playbin manque."));
        return;
    }

    const QByteArray localPath = QFile::encodeName(path);
    // A named pipe, a socket or a terminal is opened for reading in this thread, and the first of
    // them waits there for a writer that never comes: the player would hang for good.
    struct stat info {};
    if (::stat(localPath.constData(), &info) != 0 && !VideoCdDisc::parseEntry(path)) {
        // A file that is not there (a disk or a share that is gone) fails at once: building and
        // tearing down a pipeline for it costs milliseconds, and a list of such files is walked
        // entry by entry. A Video CD track in a disc image is no file of its own.
        gchar *message = gst_error_get_message(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND);
        recordError(GST_RESOURCE_ERROR_NOT_FOUND, QString::fromUtf8(message));
        g_free(message);
        return;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISCHR(info.st_mode)) {
        recordError(ErrorNotAFile,
                    QStringLiteral("« %1 » n'est pas un fichier que l'on puisse lire.").arg(path));
        return;
    }

    GError *error = nullptr;
    // A track of a Video CD in the drive (or in a disc image) is read from the disc itself, also when
    // the disc is mounted and its track files give input/output errors; a file that reads normally,
    // a copied track among them, plays as a file.
    gchar *uri = nullptr;
    if (!readsNormally(localPath) && VideoCdDisc::parseEntry(path))
        uri = g_strdup(VideoCdSource::uriFor(path).toUtf8().constData());
    else
        uri = gst_filename_to_uri(localPath.constData(), &error);
    if (!uri) {
        recordError(error ? error->code : ErrorNoMessage, QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        return;
    }
    g_object_set(m_playbin, "uri", uri, nullptr);
    g_free(uri);
    m_pipelineUsed = true;

    m_opening = true;
    attachWindow();
    // Prerolled but not yet running, the position is the stream's own origin: MPEG program streams
    // start near 0.5 s.
    if (!preroll()) {
        m_opening = false;
        failOpen(gst_element_get_state(m_playbin, nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC);
        return;
    }
    readStreamFacts();
    if (m_video)
        m_video->setPictureSize(m_nativeSize);
    const bool playing = m_openPaused || changeState(GST_STATE_PLAYING, ShortWaitMs);
    m_opening = false;
    if (!playing || ErrorCode() != 0) {
        failOpen(!playing && ErrorCode() == 0);
        return;
    }
    m_loaded = true;
    m_fileLive = true;
    setPlayingState(!m_openPaused);
}

void GstMediaEngine::unload()
{
    // Only a file that reached the pipeline left anything to tear down or give back.
    if (m_pipelineUsed) {
        m_pipelineUsed = false;
        if (m_playbin)
            gst_element_set_state(m_playbin, GST_STATE_NULL);
#ifdef __GLIBC__
        // Each file is decoded on threads of its own, and glibc keeps what those threads freed (a
        // MIDI file's whole soundfont among it) in per-thread pools: without this the resident size
        // climbs by some 60 MB over the first few hundred files before it levels off.
        malloc_trim(0);
#endif
    }
    // A sink that went down to NULL has forgotten the window it drew into; without a handle at its
    // next start it would open a window of its own. waylandsink keeps the surface it was given, and
    // takes no other.
    if (!m_compositorScales)
        m_attachedWindow = 0;
    // With every streaming thread stopped nothing can be posted about the previous file any more.
    forgetNextFile();
    m_fileLive = false;
    m_decoderRanDry = false;
    m_eos = false;
    m_eosToAnnounce = false;
    m_errorToAnnounce = false;
    {
        std::lock_guard lock(m_errorMutex);
        m_errorCode = 0;
        m_errorText.clear();
    }
    {
        std::lock_guard lock(m_tagMutex);
        m_tags = {};
    }
    m_loaded = false;
    m_stopped = false;
    m_duration = 0.0;
    m_origin = 0;
    m_seekPending = false;
    m_nativeSize = QSize();
    setPlayingState(false);
    if (m_video)
        m_video->setPictureSize(QSize());
}

void GstMediaEngine::failOpen(bool timedOut)
{
    {
        std::unique_lock lock(m_errorMutex);
        m_errorArrived.wait_for(lock, TrailingErrorWait, [this] { return m_errorCode != 0; });
    }
    gst_element_set_state(m_playbin, GST_STATE_NULL);
    m_duration = 0.0;
    m_nativeSize = QSize();
    m_eos = false;
    m_errorToAnnounce = false;
    if (m_video)
        m_video->setPictureSize(QSize());
    if (ErrorCode() == 0) {
        if (timedOut)
            recordError(ErrorTimeout,
                        QStringLiteral("Le fichier n'a pas pu être ouvert dans le délai imparti."));
        else
            recordError(ErrorNoMessage, unreadable());
    }
}

void GstMediaEngine::recordError(long code, const QString &description)
{
    std::lock_guard lock(m_errorMutex);
    if (m_errorCode != 0)
        return;
    m_errorCode = code;
    m_errorText = description;
}

bool GstMediaEngine::changeState(int state, int timeoutMs)
{
    GstStateChangeReturn result = gst_element_set_state(m_playbin, static_cast<GstState>(state));
    if (result == GST_STATE_CHANGE_ASYNC)
        result = gst_element_get_state(m_playbin, nullptr, nullptr,
                                       static_cast<GstClockTime>(timeoutMs) * GST_MSECOND);
    return result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL;
}

bool GstMediaEngine::preroll()
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_options.openTimeoutMs);
    GstStateChangeReturn result = gst_element_set_state(m_playbin, GST_STATE_PAUSED);
    // The first threads start within the state change; from then on one hands over to the next.
    auto lastRunning = std::chrono::steady_clock::now();
    while (result == GST_STATE_CHANGE_ASYNC && std::chrono::steady_clock::now() < deadline) {
        result = gst_element_get_state(m_playbin, nullptr, nullptr, OpenPollSlice);
        if (result != GST_STATE_CHANGE_ASYNC || ErrorCode() != 0)
            break;
        const auto now = std::chrono::steady_clock::now();
        if (PipelineTasks::anyRunning(m_playbin)) {
            lastRunning = now;
        } else if (now - lastRunning >= StandingStillFor) {
            // Whatever stopped them was never said on the bus.
            recordError(ErrorNoMessage, unreadable());
            return false;
        }
    }
    return result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL;
}

void GstMediaEngine::readStreamFacts()
{
    gint64 value = 0;
    m_origin = gst_element_query_position(m_playbin, GST_FORMAT_TIME, &value) && value > 0 ? value : 0;
    m_duration =
        gst_element_query_duration(m_playbin, GST_FORMAT_TIME, &value) && value > 0 ? toSeconds(value) : 0.0;

    m_nativeSize = QSize();
    m_frameSize = QSize();
    // A new file's frames need their own pixel aspect, even for a rectangle of the same size.
    if (m_compositorScales)
        m_fitSize = QSize();
    gint videoStreams = 0;
    gint current = 0;
    g_object_get(m_playbin, "n-video", &videoStreams, "current-video", &current, nullptr);
    if (videoStreams <= 0)
        return;
    GstPad *pad = nullptr;
    g_signal_emit_by_name(m_playbin, "get-video-pad", std::max(current, 0), &pad);
    if (!pad)
        return;
    if (GstCaps *caps = gst_pad_get_current_caps(pad)) {
        GstVideoInfo info;
        if (gst_video_info_from_caps(&info, caps) && info.width > 0 && info.height > 0) {
            m_frameSize = QSize(info.width, info.height);
            m_framePar = info.par_n > 0 && info.par_d > 0 ? QSize(info.par_n, info.par_d) : QSize(1, 1);
            int width = info.width;
            if (info.par_n > 0 && info.par_d > 0 && info.par_n != info.par_d)
                width =
                    static_cast<int>(std::lround(static_cast<double>(info.width) * info.par_n / info.par_d));
            m_nativeSize = QSize(width, info.height);
        }
        gst_caps_unref(caps);
    }
    gst_object_unref(pad);
}

// ---- the picture ---------------------------------------------------------------------------------

void GstMediaEngine::attachWindow()
{
    if (!m_overlay || !m_video)
        return;
    const WId window = m_video->target();
    // The sink talks to the X server on a connection of its own: the window must exist there before
    // the sink looks it up, or the X error kills the process.
    if (window)
        syncWithXServer();
    if (window != m_attachedWindow) {
        m_attachedWindow = window;
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(m_overlay), static_cast<guintptr>(window));
        // waylandsink refuses to draw before it has a rectangle; the real one follows with the picture,
        // and until then the surface hangs nowhere.
        if (m_compositorScales && window)
            gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(m_overlay), 0, 0, 1024, 1024);
    }
    updateFitCaps(m_video->targetSize());
}

void GstMediaEngine::followVideoTarget()
{
    if (!m_overlay || !m_video)
        return;
    const QSize before = m_fitSize;
    attachWindow();
    if (m_attachedWindow)
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(m_overlay));
    // While paused no new frame would come to show the new size: make the current one again.
    if (m_fitSize != before && m_loaded && !m_opening && !m_playing && !m_eos) {
        gint64 position = 0;
        if (gst_element_query_position(m_playbin, GST_FORMAT_TIME, &position))
            seekTo(position);
    }
}

void GstMediaEngine::updateFitCaps(const QSize &size)
{
    if (!m_fitCaps || size.width() < 2 || size.height() < 2 || size == m_fitSize)
        return;
    if (m_compositorScales && m_frameSize.isEmpty())
        return;
    m_fitSize = size;
    if (!m_compositorScales) {
        GstCaps *caps =
            gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT,
                                size.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        g_object_set(m_fitCaps, "caps", caps, nullptr);
        gst_caps_unref(caps);
        return;
    }
    // The rectangle is in the surface's own units; the frames keep their pixels and get the pixel
    // aspect that gives them the rectangle's shape, so the compositor stretches them over it whole.
    const qreal ratio = m_video ? m_video->pixelsPerSurfaceUnit() : 1.0;
    // The sink fits the frames' shape into the rectangle, and a side that rounds to nothing there is a
    // protocol error, which ends the program: the rectangle keeps 64 pixels each way, and the frames'
    // shape is kept within 16 to 1.
    const QSize logical = (QSizeF(size) / ratio).toSize().expandedTo(QSize(64, 64));
    gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(m_overlay), 0, 0, logical.width(),
                                           logical.height());
    const double shape = std::clamp(static_cast<double>(size.width()) / size.height(), 1.0 / 16.0, 16.0);
    const double aspect = shape * m_frameSize.height() / m_frameSize.width();
    // Within a percent of the frames' own shape (a picture at its own size, shrunk to a window), they
    // keep their own pixel aspect: videoscale then passes them on untouched instead of copying each.
    const double own = static_cast<double>(m_framePar.width()) / m_framePar.height();
    gint num = m_framePar.width();
    gint den = m_framePar.height();
    if (std::abs(aspect / own - 1.0) >= 0.01)
        gst_util_double_to_fraction(aspect, &num, &den);
    GstCaps *caps =
        gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, m_frameSize.width(), "height", G_TYPE_INT,
                            m_frameSize.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, num, den, nullptr);
    g_object_set(m_fitCaps, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

void GstMediaEngine::onAreaLost()
{
    // The window the sink draws into is about to go. Stop drawing at once, and draw nowhere from now
    // on: a later open must not make the sink look for the destroyed window.
    if (!m_playbin || !m_overlay)
        return;
    unload();
    GstElement *fake = makeSinkBin(QStringLiteral("fakevideosink"));
    if (fake)
        g_object_set(m_playbin, "video-sink", fake, nullptr);
    gst_object_unref(m_overlay);
    m_overlay = nullptr;
    if (m_fitCaps) {
        gst_object_unref(m_fitCaps);
        m_fitCaps = nullptr;
    }
    m_attachedWindow = 0;
}

int GstMediaEngine::DisplaySize() const
{
    return m_displayMode;
}

void GstMediaEngine::setDisplaySize(int mode)
{
    if (mode != DisplayNative && mode != DisplayFullScreen && mode != DisplayFit)
        return;
    if (mode == DisplayFullScreen && m_displayMode != DisplayFullScreen)
        m_modeBeforeFullScreen = m_displayMode;
    m_displayMode = mode;
    if (m_video)
        m_video->setMode(mode);
}

void GstMediaEngine::setFullScreenControls(bool on)
{
    m_fullScreenControls = on;
    if (m_video)
        m_video->setControlsVisible(on);
}

bool GstMediaEngine::FullScreenControls() const
{
    return m_fullScreenControls;
}

QSize GstMediaEngine::NativeVideoSize() const
{
    return m_nativeSize;
}

// ---- transport -----------------------------------------------------------------------------------

double GstMediaEngine::Duration() const
{
    if (m_loaded && m_duration <= 0.0) {
        // Some streams only learn their length once data flows.
        gint64 value = 0;
        if (gst_element_query_duration(m_playbin, GST_FORMAT_TIME, &value) && value > 0)
            m_duration = toSeconds(value);
    }
    return m_duration;
}

double GstMediaEngine::CurrentPosition() const
{
    if (!m_loaded)
        return 0.0;
    double position = 0.0;
    gint64 value = 0;
    // Right after a flushing seek the pipeline may not answer yet, or answer with a position from
    // before the file's own start: the target is then the best answer there is.
    if (gst_element_query_position(m_playbin, GST_FORMAT_TIME, &value) && value >= m_origin) {
        position = toSeconds(value - m_origin);
        m_seekPending = false;
    } else if (m_seekPending) {
        position = toSeconds(m_seekTarget - m_origin);
    }
    // The position query may stop short of the end; the end must read as the end.
    if (m_eos)
        position = std::max(position, Duration());
    // The next file is on its way: the loaded one has not ended, whatever the clock says meanwhile.
    else if (m_nextStarted)
        position = std::min(position, std::max(0.0, Duration() - 0.001));
    return position;
}

void GstMediaEngine::seekTo(qint64 target)
{
    if (nextFileInPipeline()) {
        reopenAt(target);
        return;
    }
    // Cleared before the seek: an end of stream reached right after it must not be lost.
    m_eos = false;
    m_seekTarget = target;
    m_seekPending = true;
    gst_element_seek_simple(m_playbin, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), target);
    const auto waited = gst_element_get_state(m_playbin, nullptr, nullptr,
                                              static_cast<GstClockTime>(ShortWaitMs) * GST_MSECOND);
    // The decoder's complaint may come before the wait ends, or after it and then be handled when
    // the UI thread reads the bus events. get_state can even report success after the abort.
    if ((waited == GST_STATE_CHANGE_FAILURE || m_decoderRanDry) && ErrorCode() == 0)
        resumeAfterDecoderGap();
}

void GstMediaEngine::resumeAfterDecoderGap()
{
    // A decoder error aborts the state change that a flushing seek starts, and the pipeline then
    // stands still (and keeps reporting the failure) until it is told its state again.
    m_decoderRanDry = false;
    changeState(m_playing ? GST_STATE_PLAYING : GST_STATE_PAUSED, ShortWaitMs);
}

void GstMediaEngine::setCurrentPosition(double seconds)
{
    if (!m_loaded)
        return;
    double target = std::max(0.0, seconds);
    if (const double duration = Duration(); duration > 0.0)
        target = std::min(target, duration);
    seekTo(m_origin + toClockTime(target));
}

void GstMediaEngine::Play()
{
    if (!m_loaded)
        return;
    if (changeState(GST_STATE_PLAYING, ShortWaitMs)) {
        m_stopped = false;
        setPlayingState(true);
    }
}

void GstMediaEngine::Pause()
{
    if (!m_loaded)
        return;
    changeState(GST_STATE_PAUSED, ShortWaitMs);
    setPlayingState(false);
}

void GstMediaEngine::Stop()
{
    if (!m_loaded)
        return;
    // PAUSED, not READY: READY would forget the duration.
    changeState(GST_STATE_PAUSED, ShortWaitMs);
    seekTo(m_origin);
    m_stopped = true;
    setPlayingState(false);
}

MediaEngine::Status GstMediaEngine::PlayStatus() const
{
    if (!m_loaded || m_stopped)
        return Status::Stopped;
    return m_playing ? Status::Playing : Status::Paused;
}

MediaEngine::Tags GstMediaEngine::FileTags() const
{
    std::lock_guard lock(m_tagMutex);
    return m_tags;
}

void GstMediaEngine::recordTags(const GstTagList *tags)
{
    const auto take = [tags](const char *name, QString &field) {
        gchar *value = nullptr;
        if (field.isEmpty() && gst_tag_list_get_string(tags, name, &value))
            field = QString::fromUtf8(value).trimmed();
        g_free(value);
    };
    std::lock_guard lock(m_tagMutex);
    // Once the next file has reached the sinks its tags wait until it is heard.
    Tags &into = m_nextStarted ? m_nextTags : m_tags;
    take(GST_TAG_TITLE, into.title);
    take(GST_TAG_ARTIST, into.artist);
    take(GST_TAG_ALBUM, into.album);
}

void GstMediaEngine::setPlayingState(bool playing)
{
    m_playing = playing;
    if (m_video)
        m_video->setPlaying(playing);
}

void GstMediaEngine::wakeUiThread()
{
    if (!m_wakePending.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { announceBusEvents(); }, Qt::QueuedConnection);
}

void GstMediaEngine::announceBusEvents()
{
    m_wakePending = false;
    if (m_clockLost.exchange(false) && m_playing && m_loaded) {
        // The clock went away with its element; a new one is chosen on the way back to PLAYING.
        gst_element_set_state(m_playbin, GST_STATE_PAUSED);
        gst_element_set_state(m_playbin, GST_STATE_PLAYING);
    }
    if (m_decoderRanDry && m_loaded)
        resumeAfterDecoderGap();
    // A film's picture switches at once: where the next file starts is waited for, as the position
    // already reads the new file's.
    if (m_nextStarted && m_loaded && !m_advanceDue.isActive() &&
        (m_nativeSize.isEmpty() || m_nextStartsAt != GST_CLOCK_TIME_NONE))
        awaitAdvance();
    if (m_nextBroke && m_loaded && !m_eos)
        watchForTheEnd();
    bool ended = false;
    if (m_errorToAnnounce.exchange(false)) {
        emit errorOccurred(ErrorCode(), ErrorDescription());
        ended = m_eos && m_loaded;
    }
    if (m_eosToAnnounce.exchange(false) && m_eos) {
        emit endOfStream();
        ended = true;
    }
    // Last: the host may open another file from here.
    if (ended && m_events)
        m_events(Event::Ended);
}

// ---- sound ---------------------------------------------------------------------------------------

long GstMediaEngine::Volume() const
{
    return m_volume;
}

void GstMediaEngine::setVolume(long hundredthsDb)
{
    m_volume = std::clamp(hundredthsDb, MinVolume, 0L);
    applyVolume();
}

void GstMediaEngine::applyVolume()
{
    if (m_volumeElement)
        g_object_set(m_volumeElement, "volume", std::pow(10.0, static_cast<double>(m_volume) / 2000.0),
                     nullptr);
}

long GstMediaEngine::Balance() const
{
    return m_balance;
}

void GstMediaEngine::setBalance(long hundredthsDb)
{
    m_balance = std::clamp(hundredthsDb, -MaxBalance, MaxBalance);
    applyBalance();
}

void GstMediaEngine::applyBalance()
{
    if (!m_panorama)
        return;
    // "simple" panning scales only the opposite channel, by 1 - |panorama|.
    const double attenuation = 1.0 - std::pow(10.0, -static_cast<double>(std::abs(m_balance)) / 2000.0);
    const double panorama = m_balance > 0 ? attenuation : -attenuation;
    g_object_set(m_panorama, "panorama", static_cast<gfloat>(panorama), nullptr);
}

bool GstMediaEngine::Mute() const
{
    return m_mute;
}

void GstMediaEngine::setMute(bool on)
{
    m_mute = on;
    if (m_volumeElement)
        g_object_set(m_volumeElement, "mute", on ? TRUE : FALSE, nullptr);
}

long GstMediaEngine::ErrorCode() const
{
    std::lock_guard lock(m_errorMutex);
    return m_errorCode;
}

QString GstMediaEngine::ErrorDescription() const
{
    std::lock_guard lock(m_errorMutex);
    return m_errorText;
}
