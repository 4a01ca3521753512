#include "engine/copy_test_switch.h"

#include <atomic>

namespace dovrelle {

namespace {

std::atomic<bool> sixDigitFloatCopy{false};

}  // namespace

void setSixDigitFloatCopyForTests(bool on)
{
    sixDigitFloatCopy = on;
}

bool sixDigitFloatCopyForTests()
{
    return sixDigitFloatCopy;
}

}  // namespace dovrelle
