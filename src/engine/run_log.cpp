#include "engine/run_log.h"

#include "db/error.h"
#include "engine/file_replacement.h"
#include "engine/secret_mask.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>

namespace dovrelle {

namespace {

QStringList splitLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineBreak);
}

// Log files are 8-bit text: the ANSI code page on Windows, UTF-8 elsewhere (no character lost).
QStringConverter::Encoding logFileEncoding()
{
#ifdef Q_OS_WIN
    return QStringConverter::System;
#else
    return QStringConverter::Utf8;
#endif
}

}  // namespace

QString RunLog::masked(const QString& text) const
{
    return secrets_.isEmpty() ? text : maskSecrets(text, secrets_);
}

void RunLog::append(const QString& text)
{
    for (const QString& line : splitLines(masked(text))) {
        lines_.append(line);
        emit lineAppended(line);
    }
}

void RunLog::replaceLast(const QString& text)
{
    if (lines_.isEmpty()) {
        append(text);
        return;
    }
    const QStringList parts = splitLines(masked(text));
    replaceLine(lines_.size() - 1, parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i) {
        lines_.append(parts[i]);
        emit lineAppended(parts[i]);
    }
}

QString RunLog::lastLine() const
{
    return lines_.isEmpty() ? QString() : lines_.last();
}

void RunLog::insert(int index, const QString& text)
{
    index = qBound(0, index, int(lines_.size()));
    for (const QString& line : splitLines(masked(text))) {
        lines_.insert(index, line);
        emit lineInserted(index, line);
        ++index;
    }
}

void RunLog::replaceLine(int index, const QString& text)
{
    if (index < 0 || index >= lines_.size())
        return;
    lines_[index] = masked(text);
    emit lineReplaced(index, lines_[index]);
}

void RunLog::clear()
{
    lines_.clear();
    emit cleared();
}

void RunLog::saveToFile(const QString& path) const
{
    QStringEncoder encode(logFileEncoding());
    QByteArray bytes;
    for (const QString& line : lines_) {
        bytes += encode(line);
        bytes += "\r\n";
    }
    replaceFileContent(path, bytes, QDir::toNativeSeparators(path));
}

}  // namespace dovrelle
