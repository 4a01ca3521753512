#pragma once

#include <QFont>

namespace dovrelle {

// The font of the wizard window and the shortcut dialog, whose pixel positions were made for
// 8-point "MS Sans Serif": that font on Windows; elsewhere the platform's own font at 8 points,
// or smaller where its family runs wider, so that the longest caption of a page line still fits.
QFont windowFont();

}  // namespace dovrelle
