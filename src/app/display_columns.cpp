#include "app/display_columns.h"

#include <QChar>
#include <QList>

namespace dovrelle {

namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
           || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
           || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
           || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F)
           || (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

int columnsOf(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return 0;
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format)
        return 0;
    return isWide(c) ? 2 : 1;
}

}  // namespace

int displayColumns(const QString& text)
{
    int columns = 0;
    for (const uint c : text.toUcs4())
        columns += columnsOf(c);
    return columns;
}

QString cutToColumns(const QString& text, int columns)
{
    if (displayColumns(text) <= columns)
        return text;
    const QString ellipsis = QStringLiteral("…");
    QString cut;
    int used = 0;
    for (const uint c : text.toUcs4()) {
        const int width = columnsOf(c);
        if (used + width > columns - 1)
            break;
        const char32_t one = c;
        cut += QString::fromUcs4(&one, 1);
        used += width;
    }
    return columns > 0 ? cut + ellipsis : QString();
}

}  // namespace dovrelle
