#include "keymgr/shell/SoftKeyTable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace {

int Constant(void *context)
{
    return *static_cast<int *>(context);
}

int Twister(void *context)
{
    return (int)((*static_cast<std::mt19937 *>(context))() & 0x7FFF);
}

bool IsPermutation(const int p[SOFT_DIGIT_COUNT])
{
    std::set<int> seen(p, p + SOFT_DIGIT_COUNT);
    return seen.size() == SOFT_DIGIT_COUNT && *seen.begin() == 0 && *seen.rbegin() == 9;
}

TEST(SoftKeyTable, EightyOneDistinctKeysWithTheirCodes)
{
    const SoftKey *keys = SoftKeyTableEntries();
    std::set<int> ids;
    for (int i = 0; i < SOFT_KEY_COUNT; ++i)
        ids.insert(keys[i].id);
    EXPECT_EQ(81u, ids.size());
    for (int i = 0; i < SOFT_DIGIT_COUNT; ++i)
        EXPECT_EQ('0' + i, keys[SOFT_DIGIT_FIRST + i].vk);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ('A' + i, keys[30 + i].vk);
    EXPECT_EQ(0x0D, keys[FindSoftKey(keys, 1062)].vk);
    EXPECT_EQ('5', keys[FindSoftKey(keys, 1216)].vk);
    EXPECT_EQ(0xDC, keys[FindSoftKey(keys, 1047)].vk);
    EXPECT_EQ(0x7B, keys[FindSoftKey(keys, 119)].vk);
    EXPECT_EQ(-1, FindSoftKey(keys, 1000));
    EXPECT_STREQ("F12", SoftKeyCaption(0x7B));
    EXPECT_STREQ("\\", SoftKeyCaption(0xDC));
}

TEST(DigitShuffle, EveryDrawIsAPermutationAndCaptionsMatchCodes)
{
    for (unsigned seed = 0; seed < 200; ++seed) {
        std::mt19937 rng(seed);
        int p[SOFT_DIGIT_COUNT];
        DrawDigitPermutation(Twister, &rng, p);
        ASSERT_TRUE(IsPermutation(p)) << seed;
        SoftKey keys[SOFT_KEY_COUNT];
        for (int i = 0; i < SOFT_KEY_COUNT; ++i)
            keys[i] = SoftKeyTableEntries()[i];
        ApplyDigitPermutation(keys, p);
        std::set<int> digits;
        for (int i = 0; i < SOFT_DIGIT_COUNT; ++i) {
            EXPECT_EQ('0' + p[i], keys[SOFT_DIGIT_FIRST + i].vk);
            EXPECT_EQ(std::string(1, (char)keys[SOFT_DIGIT_FIRST + i].vk),
                      SoftKeyCaption(keys[SOFT_DIGIT_FIRST + i].vk));
            digits.insert(keys[SOFT_DIGIT_FIRST + i].vk);
        }
        EXPECT_EQ(10u, digits.size());
        EXPECT_EQ(SoftKeyTableEntries()[0].vk, keys[0].vk);
    }
}

TEST(DigitShuffle, ARepeatingSourceStillEndsWithAPermutation)
{
    int seven = 7, negative = -13;
    int p[SOFT_DIGIT_COUNT];
    DrawDigitPermutation(Constant, &seven, p);
    EXPECT_EQ(7, p[0]);
    EXPECT_TRUE(IsPermutation(p));
    DrawDigitPermutation(Constant, &negative, p);
    EXPECT_TRUE(IsPermutation(p));
}

TEST(SoftKeyPresses, ModifiersWrapTheKeyAndAreReleased)
{
    SoftModifiers m = {false, false, false};
    EXPECT_TRUE(ToggleSoftModifier(&m, SOFT_KEY_SHIFT));
    EXPECT_FALSE(ToggleSoftModifier(&m, 1106));
    std::vector<SoftKeyEvent> e = SoftKeyPresses('A', &m);
    ASSERT_EQ(4u, e.size());
    EXPECT_TRUE(e[0].vk == 0x10 && !e[0].up && !e[0].pauseAfter);
    EXPECT_TRUE(e[1].vk == 'A' && !e[1].up && e[1].pauseAfter);
    EXPECT_TRUE(e[2].vk == 'A' && e[2].up && e[2].pauseAfter);
    EXPECT_TRUE(e[3].vk == 0x10 && e[3].up);
    EXPECT_FALSE(m.shift);

    m = SoftModifiers{true, true, true};
    e = SoftKeyPresses('1', &m);
    ASSERT_EQ(8u, e.size());
    const uint8_t order[8] = {0x10, 0x11, 0x12, '1', '1', 0x10, 0x11, 0x12};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(order[i], e[i].vk) << i;
    EXPECT_FALSE(m.shift || m.ctrl || m.alt);

    e = SoftKeyPresses('1', &m);
    EXPECT_EQ(2u, e.size());
    // Toggling twice clears the flag again.
    ToggleSoftModifier(&m, SOFT_KEY_ALT);
    ToggleSoftModifier(&m, SOFT_KEY_ALT);
    EXPECT_EQ(2u, SoftKeyPresses('1', &m).size());
}

} // namespace
