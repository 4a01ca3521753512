#pragma once

#include <QString>

namespace dovrelle {

// In Chinese mode ("cn") loads Qt's own Chinese translations (qtbase_zh_CN from Qt's
// translations folder; Debian: qt6-translations-l10n) into the application, so the standard
// buttons of message boxes and dialogs (Yes, No, OK, Cancel, Save) read Chinese too. Returns
// whether a translation was installed; English needs none.
bool installQtTranslations(const QString& languageCode);

}  // namespace dovrelle
