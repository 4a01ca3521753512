// Core dumps on POSIX systems: the limit on their size set to zero.
#include "app/core_dumps.h"

#include <QtGlobal>

#ifndef Q_OS_WIN

#include <sys/resource.h>

namespace dovrelle {

void disableCoreDumps()
{
    const rlimit none = {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

}  // namespace dovrelle

#endif
