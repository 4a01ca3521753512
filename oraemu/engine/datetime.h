#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace oraemu {

// A DATE or TIMESTAMP value; the zone fields only matter for the time-zone types.
struct DateTime {
    int year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t nanos = 0;
    int offsetMinutes = 0;     // the time zone, minutes east of UTC
    bool offsetGiven = false;  // the text named a zone (TZH, TZR)

    // Checks the fields as Oracle does; throws the matching ORA error.
    void validate() const;

    // Storage text: "YYYY-MM-DD HH:MI:SS" and, with fractionDigits > 0, ".fff...".
    // It sorts in time order.
    std::string toStorage(int fractionDigits) const;
    // The same text written into `out` (replacing its content), reusing its buffer.
    void storeInto(std::string& out, int fractionDigits) const;
    static DateTime fromStorage(std::string_view text);

    static DateTime now();

    // Rounds the fraction to `digits` decimals, carrying into the seconds and beyond.
    void roundFraction(int digits);
};

int daysInMonth(int year, int month);

// An Oracle datetime format model such as 'YYYY-MM-DD HH24:MI:SS.FF'.
class DateFormat {
public:
    explicit DateFormat(std::string_view model);  // throws ORA-01821 for an unknown element

    // Reads text by the model; throws ORA-01861 and friends.
    DateTime parse(std::string_view text) const;
    // Writes the value; fractionDigits is what a bare FF prints (the column's precision).
    std::string format(const DateTime& value, int fractionDigits) const;

    const std::string& model() const { return model_; }

private:
    enum class Kind {
        Literal, Year4, Year2, RYear4, RYear2, Month, MonthAbbrev, MonthName, Day, Hour24, Hour12,
        Minute, Second, Fraction, Meridian, Radix, TzHour, TzMinute, TzRegion
    };
    enum class Case { Upper, Lower, Capital };
    struct Element {
        Kind kind;
        std::string literal;  // for Literal
        int digits = 0;       // for Fraction: 0 = the column's precision
        Case letterCase = Case::Upper;
    };
    std::string model_;
    std::vector<Element> elements_;
};

}  // namespace oraemu
