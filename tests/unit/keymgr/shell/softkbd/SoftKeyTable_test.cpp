#include "keymgr/shell/softkbd/SoftKeyTable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string.h>
#include <string>

namespace {

bool Constant(void *context, uint32_t *value)
{
    *value = *static_cast<uint32_t *>(context);
    return true;
}

bool Twister(void *context, uint32_t *value)
{
    *value = (*static_cast<std::mt19937 *>(context))();
    return true;
}

// Gives `left` values, then fails.
bool RunsDry(void *context, uint32_t *value)
{
    int *left = static_cast<int *>(context);
    if (*left <= 0)
        return false;
    --*left;
    *value = (uint32_t)*left * 7u;
    return true;
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
        ASSERT_TRUE(DrawDigitPermutation(Twister, &rng, p));
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

TEST(DigitShuffle, ARepeatingSourceStillEndsWithAPermutationAFailingOneWithNone)
{
    uint32_t seven = 7, huge = 0xFFFFFFFFu;
    int p[SOFT_DIGIT_COUNT];
    ASSERT_TRUE(DrawDigitPermutation(Constant, &seven, p));
    EXPECT_EQ(7, p[0]);
    EXPECT_TRUE(IsPermutation(p));
    ASSERT_TRUE(DrawDigitPermutation(Constant, &huge, p));
    EXPECT_EQ(5, p[0]); // 4294967295 mod 10
    EXPECT_TRUE(IsPermutation(p));
    // A layout the generator did not make would be guessable.
    for (int given : {0, 3, 9}) {
        int left = given;
        EXPECT_FALSE(DrawDigitPermutation(RunsDry, &left, p)) << given;
    }
}

TEST(SoftKeyTypes, OnlyKeysThatTypeOrDeleteMarkTheFieldsChange)
{
    const SoftModifiers none = {false, false, false}, shift = {true, false, false};
    const SoftModifiers ctrl = {false, true, false}, alt = {false, false, true};
    for (uint8_t vk : {(uint8_t)'0', (uint8_t)'9', (uint8_t)'A', (uint8_t)'Z', (uint8_t)0x08, (uint8_t)0x2E,
                       (uint8_t)0x20, (uint8_t)0xBA, (uint8_t)0xC0, (uint8_t)0xDB, (uint8_t)0xDE}) {
        EXPECT_TRUE(SoftKeyTypes(vk, none)) << (int)vk;
        EXPECT_TRUE(SoftKeyTypes(vk, shift)) << (int)vk;
        EXPECT_FALSE(SoftKeyTypes(vk, ctrl)) << (int)vk;
        EXPECT_FALSE(SoftKeyTypes(vk, alt)) << (int)vk;
    }
    // A key of the table types exactly when its caption is the one character
    // it puts in the field, or it is Backspace, Space or Delete; every other
    // key moves, switches or submits.
    const SoftKey *keys = SoftKeyTableEntries();
    for (int i = 0; i < SOFT_KEY_COUNT; ++i) {
        const uint8_t vk = keys[i].vk;
        const bool edits = vk == 0x08 || vk == 0x20 || vk == 0x2E;
        EXPECT_EQ(edits || strlen(SoftKeyCaption(vk)) == 1, SoftKeyTypes(vk, none))
            << (int)vk << " " << SoftKeyCaption(vk);
    }
    // Just outside the printing ranges.
    for (uint8_t vk : {0x09, 0x0D, 0x10, 0x14, 0x1B, 0x25, 0x28, 0x2D, 0x2F, 0x3A, 0x40, 0x5B, 0x70, 0x7B, 0xB9, 0xC1,
                       0xDA, 0xDF})
        EXPECT_FALSE(SoftKeyTypes(vk, none)) << (int)vk;
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
