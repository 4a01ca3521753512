#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle::sharedlib {

// The operating system's loader for shared libraries, for the Oracle client library.

// Opens the library file; returns nullptr and the loader's message in `error` on failure.
void* open(const QString& path, QString* error);
// Address of an exported function, or nullptr.
void* symbol(void* handle, const char* name);
void close(void* handle);

// The client library files to try, in order, when none is named: the platform's usual name
// through the normal search path, then the one under ORACLE_HOME when that is set.
QStringList ociLibraryCandidates();

}  // namespace dovrelle::sharedlib
