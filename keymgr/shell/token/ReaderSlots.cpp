#include "keymgr/shell/token/ReaderSlots.h"

#include "common/BoundedCopy.h"

#include <string.h>

ReaderSlots::ReaderSlots()
{
    Reset();
}

void ReaderSlots::Reset()
{
    std::lock_guard<std::mutex> hold(m_lock);
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

ReaderSlot *ReaderSlots::Slot(const char *reader)
{
    for (ReaderSlot &slot : m_slots) {
        if (SlotNamed(slot, reader))
            return &slot;
    }
    return NULL;
}

bool ReaderSlots::Find(const char *reader, ReaderSlot *out) const
{
    if (!reader || !out)
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    const ReaderSlot *slot = const_cast<ReaderSlots *>(this)->Slot(reader);
    if (!slot)
        return false;
    *out = *slot;
    return true;
}

bool ReaderSlots::TakeVerified(const char *reader)
{
    if (!reader)
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    ReaderSlot *slot = Slot(reader);
    if (!slot || !slot->verified)
        return false;
    slot->verified = 0;
    return true;
}

bool ReaderSlots::Store(const char *reader, uint32_t verified)
{
    if (!reader || !NameFits(reader))
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    ReaderSlot *target = Slot(reader);
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
