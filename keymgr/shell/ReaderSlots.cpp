#include "keymgr/shell/ReaderSlots.h"

#include "common/BoundedCopy.h"

#include <string.h>

ReaderSlots::ReaderSlots()
{
    Reset();
}

void ReaderSlots::Reset()
{
    memset(m_slots, 0, sizeof(m_slots));
}

static bool SlotFree(const ReaderSlot &slot)
{
    return strnlen(slot.name, READER_SLOT_NAME) < 2;
}

static bool NameFits(const char *reader)
{
    return strnlen(reader, READER_SLOT_NAME) < READER_SLOT_NAME;
}

static bool SlotNamed(const ReaderSlot &slot, const char *reader)
{
    return !SlotFree(slot) && NameFits(reader) && strcmp(slot.name, reader) == 0;
}

const ReaderSlot *ReaderSlots::Find(const char *reader) const
{
    if (!reader)
        return NULL;
    for (const ReaderSlot &slot : m_slots) {
        if (SlotNamed(slot, reader))
            return &slot;
    }
    return NULL;
}

bool ReaderSlots::Store(const char *reader, uint32_t verified)
{
    if (!reader || !NameFits(reader))
        return false;
    ReaderSlot *target = NULL;
    for (ReaderSlot &slot : m_slots) {
        if (SlotNamed(slot, reader)) {
            target = &slot;
            break;
        }
    }
    if (!target) {
        for (ReaderSlot &slot : m_slots) {
            if (SlotFree(slot)) {
                target = &slot;
                break;
            }
        }
    }
    if (!target)
        return false;
    CopyBounded(target->name, sizeof(target->name), reader);
    target->verified = verified;
    return true;
}

ReaderSlots &VerifiedReaders()
{
    static ReaderSlots slots;
    return slots;
}
