#include "db/utf8_text.h"

#include <QStringDecoder>

namespace dovrelle {

QString decodeUtf8KeepingBom(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.decode(utf8);
}

}  // namespace dovrelle
