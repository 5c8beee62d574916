// A thread-safe table that names objects by 32-bit numbers. A number carries the slot's
// generation, so once an object is removed its number (and any number never handed out) finds
// nothing: a stale or forged handle is an error for the caller, never a dangling pointer.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace charart::platform {

template <class T>
class HandleTable {
public:
    // Low bits: slot index (slot 0 is never used, so no handle is 0). High bits: generation.
    static constexpr uint32_t kIndexBits = 22;
    static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr uint32_t kMaxGeneration = (1u << (32 - kIndexBits)) - 1;

    // The new object's handle, or 0 when every slot is taken.
    uint32_t Insert(std::shared_ptr<T> object) {
        std::lock_guard lock(mutex_);
        uint32_t index;
        if (!free_.empty()) {
            index = free_.front();
            free_.pop_front();
        } else {
            if (slots_.size() > kIndexMask)
                return 0;
            if (slots_.empty())
                slots_.emplace_back();  // slot 0 stays empty
            index = static_cast<uint32_t>(slots_.size());
            slots_.emplace_back();
        }
        Slot& slot = slots_[index];
        slot.generation = slot.generation % kMaxGeneration + 1;
        slot.object = std::move(object);
        ++live_;
        return slot.generation << kIndexBits | index;
    }

    std::shared_ptr<T> Find(uint32_t handle) const {
        std::lock_guard lock(mutex_);
        const Slot* slot = SlotOf(handle);
        return slot ? slot->object : nullptr;
    }

    // Takes the object out of the table and hands it back, so that the caller destroys it
    // outside the table's lock. Null when the handle names nothing.
    std::shared_ptr<T> Remove(uint32_t handle) {
        std::lock_guard lock(mutex_);
        Slot* slot = const_cast<Slot*>(SlotOf(handle));
        if (!slot)
            return nullptr;
        std::shared_ptr<T> object = std::move(slot->object);
        slot->object.reset();
        // Reused slots are taken oldest-freed first, which keeps a stale handle from meeting
        // its slot's next generation for as long as possible.
        free_.push_back(handle & kIndexMask);
        --live_;
        return object;
    }

    // Empties the table; the objects go back to the caller to be destroyed outside the lock.
    std::vector<std::shared_ptr<T>> Clear() {
        std::lock_guard lock(mutex_);
        std::vector<std::shared_ptr<T>> objects;
        objects.reserve(live_);
        for (uint32_t index = 1; index < slots_.size(); ++index) {
            if (slots_[index].object) {
                objects.push_back(std::move(slots_[index].object));
                slots_[index].object.reset();
                free_.push_back(index);
            }
        }
        live_ = 0;
        return objects;
    }

    size_t Size() const {
        std::lock_guard lock(mutex_);
        return live_;
    }

private:
    struct Slot {
        std::shared_ptr<T> object;
        uint32_t generation = 0;
    };

    const Slot* SlotOf(uint32_t handle) const {
        uint32_t index = handle & kIndexMask;
        if (index == 0 || index >= slots_.size())
            return nullptr;
        const Slot& slot = slots_[index];
        if (!slot.object || slot.generation != handle >> kIndexBits)
            return nullptr;
        return &slot;
    }

    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    std::deque<uint32_t> free_;
    size_t live_ = 0;
};

// Handles travel through the C interfaces inside opaque pointer types: the pointer's value is
// the handle's number. A value too wide to be a number gives 0, which names nothing.
inline uint32_t HandleNumber(const void* opaque) {
    const auto value = reinterpret_cast<uintptr_t>(opaque);
    return value > UINT32_MAX ? 0 : static_cast<uint32_t>(value);
}

template <class Opaque>
Opaque* ToOpaque(uint32_t number) {
    return reinterpret_cast<Opaque*>(static_cast<uintptr_t>(number));
}

}  // namespace charart::platform
