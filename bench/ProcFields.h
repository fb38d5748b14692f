#pragma once

#include <QByteArray>
#include <QtGlobal>

// What the kernel says of a running process, read from outside it through /proc/PID.
namespace ProcFields {

// The whole of /proc/PID/<name>, or nothing when the process is gone.
QByteArray read(qint64 pid, const char *name);

// The number after "field:" at the start of a line of such a file ("VmRSS", "Pss", "Threads"), in the
// file's own unit (kB for sizes); -1 when the field is missing.
qint64 number(const QByteArray &text, const QByteArray &field);

// CPU time of every thread of a process so far, in seconds: the scheduler's own nanosecond count
// (the clock-tick figures of /proc/PID/stat are too coarse for a process that is nearly idle).
double cpuSeconds(qint64 pid);

} // namespace ProcFields
