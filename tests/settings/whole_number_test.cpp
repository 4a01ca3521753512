#include "settings/whole_number.h"

#include "db/error.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>

using dovrelle::parseWholeNumber;

namespace {

struct NumberCase {
    const char* text;
    std::optional<int> value;
};

void PrintTo(const NumberCase& c, std::ostream* out)
{
    *out << "text_";
    for (const char* p = c.text; *p; ++p)
        *out << (std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
}

class WholeNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(WholeNumber, ReadsAsTheSettingsReaderDoes)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(parseWholeNumber(QString::fromUtf8(c.text)), c.value) << "text: '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WholeNumber,
    testing::Values(NumberCase{"0", 0}, NumberCase{"5", 5}, NumberCase{"-1", -1}, NumberCase{"+7", 7},
                    NumberCase{"  12", 12}, NumberCase{"12 ", std::nullopt}, NumberCase{"", std::nullopt},
                    NumberCase{" ", std::nullopt}, NumberCase{"-", std::nullopt}, NumberCase{"abc", std::nullopt},
                    NumberCase{"1.0", std::nullopt}, NumberCase{"1a", std::nullopt}, NumberCase{"$1F", 31},
                    NumberCase{"x10", 16}, NumberCase{"X10", 16}, NumberCase{"0x1f", 31}, NumberCase{"0X1F", 31},
                    NumberCase{"-$10", -16}, NumberCase{"$", std::nullopt}, NumberCase{"0x", std::nullopt},
                    NumberCase{"$FFFFFFFF", -1}, NumberCase{"2147483647", 2147483647},
                    NumberCase{"-2147483648", -2147483647 - 1}, NumberCase{"2147483648", std::nullopt},
                    NumberCase{"99999999999", std::nullopt}, NumberCase{"\t1", std::nullopt},
                    NumberCase{"true", std::nullopt}));

TEST(WholeNumberError, NamesTheTextInDoubledQuotes)
{
    try {
        dovrelle::toWholeNumber(QStringLiteral("yes"));
        FAIL() << "no error";
    } catch (const dovrelle::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("''yes'' is not a valid integer value"));
    }
    try {
        dovrelle::toWholeNumber(QString());
        FAIL() << "no error";
    } catch (const dovrelle::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'''' is not a valid integer value"));
    }
}

}  // namespace
