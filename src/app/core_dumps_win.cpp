// Windows writes no core file of its own accord (crash dumps are the system's, opt-in setting).
#include "app/core_dumps.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

namespace dovrelle {

void disableCoreDumps() {}

}  // namespace dovrelle

#endif
