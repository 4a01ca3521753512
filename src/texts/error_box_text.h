#pragma once

#include <QString>

namespace dovrelle {

// The text the error box shows for a message: a full stop is added when the last character's
// code is greater than that of ".".
QString errorBoxText(const QString& message);

}  // namespace dovrelle
