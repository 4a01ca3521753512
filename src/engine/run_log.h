#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace dovrelle {

// The ordered progress lines of a run. Views follow it through its signals.
class RunLog : public QObject {
    Q_OBJECT
public:
    explicit RunLog(QObject* parent = nullptr) : QObject(parent) {}

    // Adds a line at the end; an empty text adds an empty line; a text with line breaks
    // (CR LF, LF or CR) becomes several lines.
    void append(const QString& text);
    void replaceLast(const QString& text);  // replaces the whole text of the last line
    QString lastLine() const;
    // Inserts a line before the line at `index` (0-based); used to keep a progress line last.
    void insert(int index, const QString& text);
    void replaceLine(int index, const QString& text);
    void clear();

    // The passwords of the run: from now on every line written shows "***" in their place.
    void setSecrets(const QStringList& secrets) { secrets_ = secrets; }
    // The text as a line of this log would show it (for messages that go elsewhere too).
    QString masked(const QString& text) const;

    int lineCount() const { return lines_.size(); }
    const QStringList& lines() const { return lines_; }

    // Writes every line followed by CR LF, UTF-8 without a byte-order mark (the system's 8-bit
    // code page on Windows); replaces an existing file (or a symbolic link) in one rename, as a
    // file readable by its owner only (the log can hold names and data worth keeping private).
    // Throws Error "Cannot create file "<path>". <reason>" or "Cannot write file ..." when it cannot.
    void saveToFile(const QString& path) const;

signals:
    void lineAppended(const QString& text);
    void lineInserted(int index, const QString& text);
    void lineReplaced(int index, const QString& text);
    void cleared();

private:
    QStringList lines_;
    QStringList secrets_;
};

}  // namespace dovrelle
