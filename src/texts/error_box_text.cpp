#include "texts/error_box_text.h"

namespace dovrelle {

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

}  // namespace dovrelle
