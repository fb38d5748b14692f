#pragma once

typedef struct _GstElement GstElement; // NOLINT(bugprone-reserved-identifier): GStreamer's own name

// Whether any streaming thread of a pipeline still works. Every element that moves data runs one
// (a source, a demuxer pulling its input, a queue); once all of them have stopped and the pipeline
// has not prerolled, nothing can make it preroll any more. That is how an error the pipeline's bus
// never heard shows: decodebin keeps to itself the error of an element it is still setting up, in
// case the next element it would try does better, and a demuxer whose own thread fails before that
// set-up returns (an MP4 cut short, right after a video) stays in place, stopped.
namespace PipelineTasks {

bool anyRunning(GstElement *pipeline);

} // namespace PipelineTasks
