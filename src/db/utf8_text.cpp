#include "db/utf8_text.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstring>

namespace dovrelle {

QString decodeUtf8KeepingBom(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.decode(utf8);
}

bool isValidUtf8(QByteArrayView bytes)
{
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        if (word & 0x8080808080808080u)
            break;
    }
    for (; i < size; ++i) {
        // Everything before is ASCII, so a character starts here.
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return bytes.sliced(i).isValidUtf8();
    }
    return true;
}

}  // namespace dovrelle
