#pragma once

#include <QString>

namespace dovrelle {

// The texts of the wizard's controls that the caption tables leave open (the buttons, the
// entries of the radio groups) in the caption language: the English text itself for "en", its
// Chinese text for "cn".
QString controlText(const QString& english, const QString& languageCode);

}  // namespace dovrelle
