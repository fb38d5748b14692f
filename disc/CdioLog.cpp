#include "disc/CdioLog.h"

#include <cdio/logging.h>

#include <mutex>

namespace CdioLog {

namespace {

void drop(cdio_log_level_t, const char *) {}

} // namespace

void install()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(drop); });
}

} // namespace CdioLog
