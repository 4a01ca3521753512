#pragma once

#include <QString>

namespace dovrelle {

// Writes one line to stderr (a message text's CR line breaks become line feeds).
void printErrorLine(const QString& text);

}  // namespace dovrelle
