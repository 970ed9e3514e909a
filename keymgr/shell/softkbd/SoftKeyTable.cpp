#include "keymgr/shell/softkbd/SoftKeyTable.h"

#include <stdio.h>

namespace {

const SoftKey kTable[SOFT_KEY_COUNT] = {
    {1032, 0x08}, {1034, 0x09}, {1062, 0x0D}, {1064, 0x10}, {1079, 0x11}, {1081, 0x12}, {1035, 0x13},
    {1049, 0x14}, {1020, 0x1B}, {1082, 0x20}, {1033, 0x21}, {1048, 0x22}, {1078, 0x23}, {1063, 0x24},
    {1091, 0x25}, {1128, 0x26}, {1093, 0x27}, {1092, 0x28}, {120, 0x2D},  {121, 0x2E},
    // digits "0" to "9"
    {131, '0'}, {123, '1'}, {124, '2'}, {125, '3'}, {126, '4'}, {1216, '5'}, {127, '6'}, {128, '7'},
    {129, '8'}, {130, '9'},
    // letters A to Z
    {1106, 'A'}, {1121, 'B'}, {1119, 'C'}, {1108, 'D'}, {1096, 'E'}, {1109, 'F'}, {1110, 'G'},
    {1111, 'H'}, {1101, 'I'}, {1112, 'J'}, {1113, 'K'}, {1114, 'L'}, {1123, 'M'}, {1122, 'N'},
    {1102, 'O'}, {1103, 'P'}, {1094, 'Q'}, {1097, 'R'}, {1107, 'S'}, {1098, 'T'}, {1100, 'U'},
    {1120, 'V'}, {1095, 'W'}, {1118, 'X'}, {1099, 'Y'}, {1117, 'Z'},
    {1080, 0x5B}, {1083, 0x5D},
    // F1 to F12
    {108, 0x70}, {109, 0x71}, {110, 0x72}, {111, 0x73}, {112, 0x74}, {113, 0x75}, {114, 0x76},
    {115, 0x77}, {116, 0x78}, {117, 0x79}, {118, 0x7A}, {119, 0x7B},
    // OEM keys
    {1115, 0xBA}, {135, 0xBB}, {1124, 0xBC}, {1125, 0xBE}, {134, 0xBD}, {1126, 0xBF}, {122, 0xC0},
    {1104, 0xDB}, {1047, 0xDC}, {1105, 0xDD}, {1116, 0xDE},
};

struct NamedKey {
    uint8_t vk;
    const char *caption;
};

const NamedKey kNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"},
    {0x13, "Pause"},     {0x14, "Caps"}, {0x1B, "Esc"},   {0x20, "Space"}, {0x21, "PgUp"}, {0x22, "PgDn"},
    {0x23, "End"},       {0x24, "Home"}, {0x25, "\xA1\xFB"}, {0x26, "\xA1\xFC"}, {0x27, "\xA1\xFA"},
    {0x28, "\xA1\xFD"},  {0x2D, "Ins"},  {0x2E, "Del"},   {0x5B, "Win"},   {0x5D, "Menu"}, {0xBA, ";"},
    {0xBB, "="},         {0xBC, ","},    {0xBE, "."},     {0xBD, "-"},     {0xBF, "/"},    {0xC0, "`"},
    {0xDB, "["},         {0xDC, "\\"},   {0xDD, "]"},     {0xDE, "'"},
};

const int kMaxRefusals = 1000;

} // namespace

const SoftKey *SoftKeyTableEntries()
{
    return kTable;
}

const char *SoftKeyCaption(uint8_t vk)
{
    static const char *const kFunction[12] = {"F1", "F2", "F3", "F4", "F5",  "F6",
                                              "F7", "F8", "F9", "F10", "F11", "F12"};
    static char single[128][2];
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        single[vk][0] = (char)vk;
        single[vk][1] = '\0';
        return single[vk];
    }
    if (vk >= 0x70 && vk <= 0x7B)
        return kFunction[vk - 0x70];
    for (size_t i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i)
        if (kNames[i].vk == vk)
            return kNames[i].caption;
    return "";
}

int FindSoftKey(const SoftKey *keys, int id)
{
    for (int i = 0; i < SOFT_KEY_COUNT; ++i)
        if (keys[i].id == id)
            return i;
    return -1;
}

bool IsNumericLayoutKey(int id)
{
    if (id == SOFT_KEY_ENTER || id == SOFT_KEY_ESC)
        return true;
    for (int i = 0; i < SOFT_DIGIT_COUNT; ++i)
        if (kTable[SOFT_DIGIT_FIRST + i].id == id)
            return true;
    return false;
}

bool IsStickyModifier(int id)
{
    return id == SOFT_KEY_SHIFT || id == SOFT_KEY_CTRL || id == SOFT_KEY_ALT;
}

bool DrawDigitPermutation(SoftKeyRandom next, void *context, int permutation[SOFT_DIGIT_COUNT])
{
    bool taken[SOFT_DIGIT_COUNT] = {};
    for (int i = 0; i < SOFT_DIGIT_COUNT; ++i) {
        int value = -1;
        for (int tries = 0; tries < kMaxRefusals; ++tries) {
            uint32_t drawn = 0;
            if (!next(context, &drawn))
                return false;
            if (!taken[drawn % SOFT_DIGIT_COUNT]) {
                value = (int)(drawn % SOFT_DIGIT_COUNT);
                break;
            }
        }
        for (int v = 0; value < 0 && v < SOFT_DIGIT_COUNT; ++v)
            if (!taken[v])
                value = v;
        taken[value] = true;
        permutation[i] = value;
    }
    return true;
}

void ApplyDigitPermutation(SoftKey keys[SOFT_KEY_COUNT], const int permutation[SOFT_DIGIT_COUNT])
{
    for (int i = 0; i < SOFT_DIGIT_COUNT; ++i)
        keys[SOFT_DIGIT_FIRST + i].vk = kTable[SOFT_DIGIT_FIRST + permutation[i]].vk;
}

bool ToggleSoftModifier(SoftModifiers *modifiers, int id)
{
    switch (id) {
    case SOFT_KEY_SHIFT: modifiers->shift = !modifiers->shift; return true;
    case SOFT_KEY_CTRL: modifiers->ctrl = !modifiers->ctrl; return true;
    case SOFT_KEY_ALT: modifiers->alt = !modifiers->alt; return true;
    }
    return false;
}

bool SoftKeyTypes(uint8_t vk, const SoftModifiers &held)
{
    if (held.ctrl || held.alt)
        return false;
    return vk == 0x08 || vk == 0x20 || vk == 0x2E || (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ||
           (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDE);
}

std::vector<SoftKeyEvent> SoftKeyPresses(uint8_t vk, SoftModifiers *modifiers)
{
    std::vector<SoftKeyEvent> events;
    const bool set[3] = {modifiers->shift, modifiers->ctrl, modifiers->alt};
    const uint8_t codes[3] = {0x10, 0x11, 0x12};
    for (int i = 0; i < 3; ++i)
        if (set[i])
            events.push_back(SoftKeyEvent{codes[i], false, false});
    events.push_back(SoftKeyEvent{vk, false, true});
    events.push_back(SoftKeyEvent{vk, true, true});
    for (int i = 0; i < 3; ++i)
        if (set[i])
            events.push_back(SoftKeyEvent{codes[i], true, false});
    *modifiers = SoftModifiers{false, false, false};
    return events;
}
