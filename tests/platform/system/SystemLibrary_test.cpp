#include "platform/system/SystemLibrary.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using namespace kolu;

namespace {

struct Strings {
    decltype(&std::strlen) length = nullptr;
    decltype(&std::strcmp) compare = nullptr;
};

struct StringsAndMore {
    decltype(&std::strlen) length = nullptr;
    decltype(&std::strlen) missing = nullptr;
};

struct Absent {
    decltype(&std::strlen) length = nullptr;
};

} // namespace

// A table is whole or not there at all, and is looked up once.
TEST(SystemLibraryTable, IsFilledOnceAndOnlyWhenTheLibraryHasEverySymbol)
{
    const auto strings = [] {
        return systemLibraryTable<Strings>("libc.so.6", "no strings", libraryFunction(&Strings::length, "strlen"),
                                           libraryFunction(&Strings::compare, "strcmp"));
    };
    const Strings *found = strings();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->length("four"), 4U);
    EXPECT_LT(found->compare("a", "b"), 0);
    EXPECT_EQ(strings(), found);

    EXPECT_EQ(systemLibraryTable<StringsAndMore>("libc.so.6", "no strings",
                                                 libraryFunction(&StringsAndMore::length, "strlen"),
                                                 libraryFunction(&StringsAndMore::missing, "kolu_no_such_symbol")),
              nullptr);
    EXPECT_EQ(systemLibraryTable<Absent>("libkolu-no-such-library.so.1", "nothing",
                                         libraryFunction(&Absent::length, "strlen")),
              nullptr);
}
