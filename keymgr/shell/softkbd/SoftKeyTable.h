// The on-screen keyboard's key table and the rules that need no window:
// the digit shuffle, the sticky modifiers and the key presses one click makes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum {
    SOFT_KEY_COUNT = 81,
    SOFT_DIGIT_FIRST = 20, // index of the "0" entry; ten digit entries follow in order
    SOFT_DIGIT_COUNT = 10,
    SOFT_KEY_BACKSPACE = 1032,
    SOFT_KEY_ENTER = 1062,
    SOFT_KEY_SHIFT = 1064,
    SOFT_KEY_CTRL = 1079,
    SOFT_KEY_ALT = 1081,
    SOFT_KEY_ESC = 1020,
    SOFT_KEYBOARD_NUMERIC = 1,
    SOFT_KEYBOARD_FULL = 2,
    IDD_SOFTKEY_FULL = 130,
    IDD_SOFTKEY_NUMERIC = 154,
    SOFT_MENU_HIDE_SHOW = 301,
};

struct SoftKey {
    int id;     // control identifier of the button
    uint8_t vk; // virtual-key code it sends
};

// The 81 entries in table order, digits unshuffled.
const SoftKey *SoftKeyTableEntries();

// The button text of a virtual-key code ("A", "F5", "Shift", ";" ...).
const char *SoftKeyCaption(uint8_t vk);

// Index of the entry with that control identifier, or -1.
int FindSoftKey(const SoftKey *keys, int id);

// Keys that get the key behaviour in the numeric layout (Enter, Esc, digits).
bool IsNumericLayoutKey(int id);

bool IsStickyModifier(int id);

// Draws the permutation of 0-9 as the keyboard does at every opening: each
// value from next() mod 10, drawn again while already taken. A source that
// keeps repeating itself cannot hang the opening: after many refusals the
// smallest free value is taken. False when the source fails: a layout it did
// not make is no secret.
typedef bool (*SoftKeyRandom)(void *context, uint32_t *value);
bool DrawDigitPermutation(SoftKeyRandom next, void *context, int permutation[SOFT_DIGIT_COUNT]);

// Gives digit button i the character of entry SOFT_DIGIT_FIRST + permutation[i].
void ApplyDigitPermutation(SoftKey keys[SOFT_KEY_COUNT], const int permutation[SOFT_DIGIT_COUNT]);

// The sticky Shift, Ctrl and Alt flags.
struct SoftModifiers {
    bool shift, ctrl, alt;
};

// Toggles the flag of a modifier key; false for any other key.
bool ToggleSoftModifier(SoftModifiers *modifiers, int id);

struct SoftKeyEvent {
    uint8_t vk;
    bool up;
    bool pauseAfter; // the keyboard waits 50 ms after this event
};

// Whether the key, with those modifiers held, types into or deletes from the
// field it goes to (Ctrl and Alt chords are commands, not typing).
bool SoftKeyTypes(uint8_t vk, const SoftModifiers &held);

// The presses of one click: the set modifiers down, the key down and up,
// the modifiers up; the flags are cleared.
std::vector<SoftKeyEvent> SoftKeyPresses(uint8_t vk, SoftModifiers *modifiers);
