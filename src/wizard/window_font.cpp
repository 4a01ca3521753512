#include "wizard/window_font.h"

#include <QApplication>
#include <QFontMetrics>
#include <QString>

namespace dovrelle {

QFont windowFont()
{
#ifdef Q_OS_WIN
    return QFont(QStringLiteral("MS Sans Serif"), 8);
#else
    // The longest caption of a line of the wizard's pages, and the room a page gives it.
    const QString widest = QStringLiteral(
        "Provide the necessary information to establish connection with Oracle server.");
    constexpr int room = 415 - 16;
    QFont font = QApplication::font();
    for (qreal size = 8; size > 6; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(widest) <= room)
            break;
    }
    return font;
#endif
}

}  // namespace dovrelle
