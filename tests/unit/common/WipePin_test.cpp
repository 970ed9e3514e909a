#include "common/WipePin.h"

#include <gtest/gtest.h>

#include <string>

TEST(PinWipe, TheBytesAreZeroedBeforeTheStringIsEmptied)
{
    std::string pin = "123456";
    const char *bytes = pin.data();
    WipePin(&pin);
    EXPECT_TRUE(pin.empty());
    EXPECT_EQ(std::string(6, '\0'), std::string(bytes, 6));

    char buffer[8] = "654321";
    WipePin(buffer, sizeof(buffer));
    EXPECT_EQ(std::string(8, '\0'), std::string(buffer, 8)) << "a whole buffer, not up to its first NUL";
}
