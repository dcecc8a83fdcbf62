#include "platform/foundation/SharedLibrary.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SharedLibraryTest, ResolvesFunctionsThatCanBeCalled) {
    SharedLibrary library("libm.so.6");
    double (*cosine)(double) = nullptr;
    library.resolve("cos", cosine);
    ASSERT_TRUE(library.loaded()) << library.failure();
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
}

TEST(SharedLibraryTest, AMissingLibraryOrFunctionIsToldAndLeavesNull) {
    SharedLibrary missing("libvantrel-no-such-library.so.1");
    double (*function)(double) = &std::sqrt;
    missing.resolve("cos", function);
    EXPECT_FALSE(missing.loaded());
    EXPECT_NE(missing.failure().find("libvantrel-no-such-library.so.1"), std::string::npos) << missing.failure();
    EXPECT_EQ(function, nullptr);

    // The first failure is kept; functions found after it are still set.
    SharedLibrary math("libm.so.6");
    double (*absent)(double) = &std::sqrt;
    double (*sine)(double) = nullptr;
    math.resolve("vantrel_no_such_function", absent);
    math.resolve("sin", sine);
    EXPECT_FALSE(math.loaded());
    EXPECT_NE(math.failure().find("vantrel_no_such_function"), std::string::npos) << math.failure();
    EXPECT_EQ(absent, nullptr);
    EXPECT_NE(sine, nullptr);
}
