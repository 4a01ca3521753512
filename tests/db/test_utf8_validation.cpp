// The quick UTF-8 check gives Qt's answer for every kind of byte sequence, wherever in the value
// the first byte beyond ASCII stands (inside or after the ASCII run read eight bytes at a time).
#include "db/utf8_text.h"

#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

struct Utf8Case {
    QByteArray tail;  // follows an ASCII run of each length
    bool valid;
};

const Utf8Case kUtf8Cases[] = {
    {QByteArray(), true},
    {QByteArray("plain"), true},
    {QByteArray("\xC3\xA9t\xC3\xA9"), true},            // é t é
    {QByteArray("\xE2\x82\xAC"), true},                 // €
    {QByteArray("\xF0\x9F\x98\x80 smile"), true},       // U+1F600
    {QByteArray("\xEF\xBB\xBF"), true},                 // U+FEFF
    {QByteArray("\xC3"), false},                        // cut short at the end
    {QByteArray("\xE2\x82"), false},
    {QByteArray("\x80"), false},                        // a continuation byte alone
    {QByteArray("\xC0\xAF"), false},                    // overlong '/'
    {QByteArray("\xED\xA0\x80"), false},                // a surrogate
    {QByteArray("\xF4\x90\x80\x80"), false},            // beyond U+10FFFF
    {QByteArray("\xFF"), false},
    {QByteArray("\xC3\xA9 then \xE9 latin-1"), false},  // invalid after valid
};

TEST(Utf8Validation, AgreesWithQtAfterAnyAsciiRun)
{
    for (const Utf8Case& c : kUtf8Cases) {
        for (int asciiRun : {0, 1, 7, 8, 9, 16, 23}) {
            const QByteArray bytes = QByteArray(asciiRun, 'a') + c.tail;
            EXPECT_EQ(isValidUtf8(bytes), c.valid) << bytes.toHex().toStdString();
            EXPECT_EQ(isValidUtf8(bytes), QByteArrayView(bytes).isValidUtf8()) << bytes.toHex().toStdString();
        }
    }
}

}  // namespace
