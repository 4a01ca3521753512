#include "db/parameter_list.h"

namespace dovrelle {

namespace {

// The name part of a "Name=value" line (the whole line when it has no '=').
QStringView nameOf(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QStringView(line) : QStringView(line).left(eq);
}

}  // namespace

int ParameterList::indexOf(const QString& name) const
{
    for (int i = 0; i < lines_.size(); ++i) {
        if (nameOf(lines_[i]).trimmed().compare(QStringView(name).trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ParameterList::value(const QString& name) const
{
    const int i = indexOf(name);
    if (i < 0)
        return {};
    const QString& line = lines_[i];
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

void ParameterList::setValue(const QString& name, const QString& value)
{
    const int i = indexOf(name);
    if (i < 0)
        add(name, value);
    else
        lines_[i] = nameOf(lines_[i]).toString() + u'=' + value;
}

}  // namespace dovrelle
