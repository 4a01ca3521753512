#pragma once

#include <QString>

namespace dovrelle {

// The title of the application: the main window's caption and the caption of notices and errors.
inline QString applicationTitle()
{
    return QStringLiteral("Dovrelle 4.0");
}

}  // namespace dovrelle
