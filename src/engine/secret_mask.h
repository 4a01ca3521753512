#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// Every occurrence of each non-empty secret (a password) in `text` replaced by "***", the longest
// secret first, so that a message a server built from a password never shows it.
QString maskSecrets(const QString& text, const QStringList& secrets);

}  // namespace dovrelle
