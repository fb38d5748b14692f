// The file that follows the loaded one without a gap. The UI thread decides it in advance and turns
// it into a URI; playbin asks for it on a streaming thread when the loaded file is about to finish
// (the whole file has been read and decoded ahead), starts it where the loaded one ends, and posts
// STREAM_START once it reaches the sinks. Nothing on the streaming threads touches Qt or asks the
// UI thread: they only read the URI and set flags, which the UI thread acts on from the event loop.
#include "engine/GstMediaEngine.h"

#include "core/MediaKind.h"
#include "engine/VideoOutput.h"

#include <QFile>
#include <QSet>

#include <gst/gst.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

// The end of the loaded file is taken from the clock to within this.
constexpr double EndSlackSeconds = 0.005;
// While paused the clock stands still: the end is looked for again this often.
constexpr int PausedRecheckMs = 250;

} // namespace

bool GstMediaEngine::setNextFileName(const QString &path)
{
    {
        std::lock_guard lock(m_nextMutex);
        // What playbin holds already follows; it cannot be taken back.
        if (nextFileInPipeline())
            return path == m_nextPath && !m_nextBroke;
        if (path == m_nextPath)
            return !m_nextUri.isEmpty();
    }
    QByteArray uri = path.isEmpty() ? QByteArray() : uriToFollow(path);
    if (!uri.isEmpty() && !followsWithoutGap(path)) {
        warmUp(path, uri);
        uri.clear();
    }
    std::lock_guard lock(m_nextMutex);
    if (nextFileInPipeline())
        return false;
    m_nextPath = path;
    m_nextUri = uri;
    return !uri.isEmpty();
}

QString GstMediaEngine::NextFileName() const
{
    std::lock_guard lock(m_nextMutex);
    return m_nextUri.isEmpty() ? QString() : m_nextPath;
}

bool GstMediaEngine::followsWithoutGap(const QString &path) const
{
    // playbin switches between sound files, and between films once StreamEndHold frees the threads
    // of a film's streams, without a gap; but a picture coming or going needs the video window shown
    // or hidden first: those open afresh when the item ends.
    if (!m_loaded || ErrorCode() != 0)
        return false;
    if (m_nativeSize.isEmpty())
        return MediaKind::isAudioExtension(path) && MediaKind::isAudioExtension(m_fileName);
    return MediaKind::isVideoExtension(path) && MediaKind::isVideoExtension(m_fileName);
}

QByteArray GstMediaEngine::uriToFollow(const QString &path) const
{
    // What is missing or cannot be read would only fail inside playbin, which then holds the end of
    // the loaded file back: it is opened the usual way, and fails there at once.
    const QByteArray localPath = QFile::encodeName(path);
    struct stat info {};
    if (::stat(localPath.constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(localPath.constData(), R_OK) != 0)
        return {};
    gchar *uri = gst_filename_to_uri(localPath.constData(), nullptr);
    const QByteArray result(uri ? uri : "");
    g_free(uri);
    return result;
}

void GstMediaEngine::warmUp(const QString &path, const QByteArray &uri)
{
    // The first file of a kind in a process takes 150-300 ms longer to open than the next ones
    // (plugins loaded, decoders set up), and a file that cannot follow without a gap is opened when
    // the loaded one has ended: all of it would be heard as silence at the change. It is paid now,
    // on a thread of its own, by a pipeline that opens the file and shows and plays nothing.
    static QSet<QString> warmKinds;
    warmKinds.insert(MediaKind::of(m_fileName));
    const QString kind = MediaKind::of(path);
    if (warmKinds.contains(kind) || m_warming)
        return;
    warmKinds.insert(kind);
    m_warming = true;
    m_warmUp = std::jthread([this, uri] {
        GstElement *pipeline = gst_element_factory_make("playbin", nullptr);
        if (pipeline) {
            gst_object_ref_sink(pipeline);
            g_object_set(pipeline, "audio-sink", gst_element_factory_make("fakesink", nullptr), "video-sink",
                         gst_element_factory_make("fakesink", nullptr), "uri", uri.constData(), nullptr);
            gst_element_set_state(pipeline, GST_STATE_PAUSED);
            gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
        m_warming = false;
    });
}

void GstMediaEngine::onAboutToFinish(GstElement *playbin, void *data)
{
    auto *self = static_cast<GstMediaEngine *>(data);
    std::lock_guard lock(self->m_nextMutex);
    if (self->m_nextUri.isEmpty() || self->nextFileTaken())
        return;
    g_object_set(playbin, "uri", self->m_nextUri.constData(), nullptr);
    self->m_nextStartsAt = GST_CLOCK_TIME_NONE;
    self->m_nextTaken = true;
}

bool GstMediaEngine::holdNextFile(void *data)
{
    auto *self = static_cast<GstMediaEngine *>(data);
    std::lock_guard lock(self->m_nextMutex);
    if (self->m_nextUri.isEmpty() || self->m_nextBroke)
        return false;
    self->m_nextHeld = true;
    return true;
}

bool GstMediaEngine::nextFileStarted()
{
    if (!m_nextTaken.exchange(false))
        return false;
    m_nextHeld = false;
    std::lock_guard lock(m_tagMutex);
    // The tags that follow are the new file's.
    m_nextTags = {};
    m_nextStarted = true;
    return true;
}

bool GstMediaEngine::nextFileBroke()
{
    // Between about-to-finish and the switch, what fails is the file being prepared: the loaded one
    // has been read to its end already.
    if (!m_nextTaken)
        return false;
    m_nextBroke = true;
    return true;
}

void GstMediaEngine::forgetNextFile()
{
    m_endWatch.stop();
    m_advanceDue.stop();
    std::lock_guard lock(m_nextMutex);
    m_nextPath.clear();
    m_nextUri.clear();
    m_nextHeld = false;
    m_nextTaken = false;
    m_nextStarted = false;
    m_nextBroke = false;
}

void GstMediaEngine::watchWhereNextStarts(GstElement *sinkBin)
{
    GstPad *pad = sinkBin ? gst_element_get_static_pad(sinkBin, "sink") : nullptr;
    if (!pad)
        return;
    auto probe = [](GstPad *sinkPad, GstPadProbeInfo *info, gpointer data) -> GstPadProbeReturn {
        auto *self = static_cast<GstMediaEngine *>(data);
        if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
            if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START && self->m_nextTaken)
                self->m_nextStartPending = true;
            return GST_PAD_PROBE_OK;
        }
        // Every block passes here: the flag is only read until a file starts.
        if (!self->m_nextStartPending.load(std::memory_order_relaxed) ||
            !self->m_nextStartPending.exchange(false))
            return GST_PAD_PROBE_OK;
        GstEvent *sticky = gst_pad_get_sticky_event(sinkPad, GST_EVENT_SEGMENT, 0);
        const GstSegment *segment = nullptr;
        if (sticky)
            gst_event_parse_segment(sticky, &segment);
        if (segment && segment->format == GST_FORMAT_TIME) {
            self->m_nextStartsAt = gst_segment_to_running_time(
                segment, GST_FORMAT_TIME, GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)));
            self->wakeUiThread();
        }
        if (sticky)
            gst_event_unref(sticky);
        return GST_PAD_PROBE_OK;
    };
    gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      probe, this, nullptr);
    gst_object_unref(pad);
}

void GstMediaEngine::awaitAdvance()
{
    // The running time the next file's first block is due at tells when the loaded one is over;
    // before a sink has it, the position still reads the loaded file's, up to its end, where there
    // is no picture.
    double left = std::max(0.0, Duration() - CurrentPosition());
    const GstClockTime startsAt = m_nextStartsAt;
    if (GstClock *clock = startsAt != GST_CLOCK_TIME_NONE ? gst_element_get_clock(m_playbin) : nullptr) {
        const GstClockTimeDiff now =
            GST_CLOCK_DIFF(gst_element_get_base_time(m_playbin), gst_clock_get_time(clock));
        left = std::max(0.0, double(GstClockTimeDiff(startsAt) - now) / double(GST_SECOND));
        gst_object_unref(clock);
    }
    m_advanceDue.start(static_cast<int>(std::ceil(left * 1000.0)));
}

void GstMediaEngine::completeAdvance()
{
    // While paused the end of the loaded file is not heard yet.
    if (!m_playing) {
        m_advanceDue.start(PausedRecheckMs);
        return;
    }
    {
        std::lock_guard lock(m_tagMutex);
        m_tags = m_nextTags;
        m_nextStarted = false;
    }
    {
        std::lock_guard lock(m_nextMutex);
        m_fileName = m_nextPath;
        m_nextPath.clear();
        m_nextUri.clear();
    }
    m_stopped = false;
    m_seekPending = false;
    readStreamFacts();
    // The new stream is already playing: its position counts from its own start.
    m_origin = 0;
    if (m_video)
        m_video->setPictureSize(m_nativeSize);
    if (m_events)
        m_events(Event::Advanced);
}

void GstMediaEngine::watchForTheEnd()
{
    if (m_endWatch.isActive() || !m_loaded || m_eos)
        return;
    const double left = Duration() - CurrentPosition();
    if (left > EndSlackSeconds || !m_playing) {
        m_endWatch.start(m_playing ? static_cast<int>(std::ceil(left * 1000.0)) : PausedRecheckMs);
        return;
    }
    m_eos = true;
    m_eosToAnnounce = true;
    announceBusEvents();
}

void GstMediaEngine::reopenAt(qint64 target)
{
    // A flushing seek would make playbin switch to the file it holds: the loaded file is opened
    // again, in the state it was in, and the same file queued again behind it.
    const QString path = m_fileName;
    const bool playing = GST_STATE_TARGET(m_playbin) == GST_STATE_PLAYING;
    QString next;
    {
        std::lock_guard lock(m_nextMutex);
        next = m_nextBroke ? QString() : m_nextPath;
    }
    m_openPaused = true;
    setFileName(path);
    m_openPaused = false;
    if (!m_loaded)
        return;
    seekTo(target);
    if (playing)
        Play();
    setNextFileName(next);
}
