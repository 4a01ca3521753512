#pragma once

#include <QString>
#include <QUrl>

namespace dovrelle {

// The address Help opens for a helpurl value. A full address (with a scheme) stays as it is; a
// path such as "docs/index.html" is looked for beside the program (its folder, the folder
// above, share/dovrelle), then in the source tree, and becomes a local file address. A guide
// that is found nowhere falls back to the English user guide.
QUrl helpAddress(const QString& helpurl);

}  // namespace dovrelle
