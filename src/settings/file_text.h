#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dovrelle {

// Lines as the program's 8-bit text files hold them: every line followed by CR LF, in UTF-8
// without a byte-order mark (the system's ANSI code page on Windows).
QByteArray encodeTextLines(const QStringList& lines);

// Decodes a text file read by the settings reader: a byte-order mark FF FE (UTF-16 LE), FE FF
// (UTF-16 BE) or EF BB BF (UTF-8) decides and is dropped; without one the bytes are UTF-8 when
// they are valid UTF-8 and Windows-1252 otherwise (the system's ANSI code page on Windows).
QString decodeTextFile(const QByteArray& bytes);

// Splits text into lines at CR LF, CR alone and LF alone; a break at the very end adds no line.
QStringList splitTextLines(const QString& text);

// Windows-1252 bytes as text (bytes that code page leaves undefined keep their Latin-1 meaning).
QString decodeWindows1252(const QByteArray& bytes);

// Writes `bytes` to `path`, readable and writable by its owner only, through a temporary file
// and one rename (replaceFileContent): an existing file or symbolic link is replaced, a link's
// target never written. Throws Error "Cannot create file "<path>". <reason>" when it cannot.
void writeOwnerOnlyFile(const QString& path, const QByteArray& bytes);

}  // namespace dovrelle
