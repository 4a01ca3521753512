#pragma once

#include <QByteArray>
#include <QString>

namespace dovrelle {

// Writes `bytes` as the new content of the file at `path`, readable and writable by its owner
// only. The bytes go into a temporary file in the same folder, which then takes the place of
// the old file in one rename: a reader sees the old file or the new one, never half of it, and
// a failure leaves the old file as it was. A symbolic link at `path` is replaced by the file,
// never followed, so its target stays untouched.
// Throws Error "Cannot create file "<shownPath>". <reason>" when the file cannot be started and
// "Cannot write file "<shownPath>". <reason>" when writing or the rename fails.
void replaceFileContent(const QString& path, const QByteArray& bytes, const QString& shownPath);

}  // namespace dovrelle
