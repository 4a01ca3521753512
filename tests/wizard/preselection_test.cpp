// Which entry of the database list the name typed on page 2 preselects.
#include "engine/database_preselection.h"

#include <gtest/gtest.h>

namespace {

TEST(DatabasePreselection, ComparesOnlyTheLettersAToZWithoutCase)
{
    struct Case {
        const char* what;
        QStringList databases;
        QString typed;
        int expected;
    };
    const Case cases[] = {
        {"exact", {"mysql", "shop", "test"}, "shop", 1},
        {"a to z in other case", {"mysql", "Shop_2", "test"}, "sHOP_2", 1},
        {"later of two equal entries", {"SHOP", "other", "shop"}, "Shop", 2},
        {"exact spelling before a later equal entry", {"Shop", "other", "shop"}, "Shop", 0},
        {"exact spelling after an equal entry", {"SHOP", "Shop", "shop"}, "Shop", 1},
        {"exact spelling in lower case", {"Shop", "shop", "SHOP"}, "shop", 1},
        {"leading blank", {"shop"}, " shop", -1},
        {"trailing blank", {"shop"}, "shop ", -1},
        {"other letters keep their case", {QStringLiteral("café")}, QStringLiteral("CAFÉ"), -1},
        {"other letters equal", {QStringLiteral("café")}, QStringLiteral("CAFé"), 0},
        {"no entry equal", {"mysql", "test"}, "shop", -1},
        {"empty list", {}, "shop", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dovrelle::preselectedDatabase(c.databases, c.typed), c.expected) << c.what;
}

}  // namespace
