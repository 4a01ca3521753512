#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// An ordered list of "Name=value" lines, the way connections are configured.
class ParameterList {
public:
    ParameterList() = default;
    explicit ParameterList(QStringList lines) : lines_(std::move(lines)) {}

    const QStringList& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    void add(const QString& name, const QString& value) { lines_.append(name + '=' + value); }
    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    // Value of the first line with that name (names compared without regard to case); empty if none.
    QString value(const QString& name) const;
    // Replaces the value of an existing line in place, or appends a new line.
    void setValue(const QString& name, const QString& value);

private:
    int indexOf(const QString& name) const;
    QStringList lines_;
};

}  // namespace dovrelle
