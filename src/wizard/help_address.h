#pragma once

#include <QString>
#include <QUrl>

namespace dovrelle {

// The address Help opens for a helpurl value. A full address (with a scheme) stays as it is; a
// path such as "docs/index.html" is looked for beside the program, in the installed guide folder
// (share/doc/dovrelle next to the program's bin folder, where "docs/" is not repeated), then in
// the source tree of a development build, and becomes a local file address. A guide that is found
// nowhere falls back to the English user guide.
QUrl helpAddress(const QString& helpurl);

// The same for a program that sits in programFolder.
QUrl helpAddress(const QString& helpurl, const QString& programFolder);

}  // namespace dovrelle
