#pragma once

#include <QString>

namespace dovrelle {

// The texts of the wizard's buttons that the caption tables leave open ("< Back", "Next >",
// "Finish", "Close", "Stop", "Help") in the caption language: the English text itself for
// "en", its Chinese text for "cn".
QString controlText(const QString& english, const QString& languageCode);

}  // namespace dovrelle
