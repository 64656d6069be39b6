#include "core/HandleRegistry.h"

#include <new>

namespace lumo {
namespace {

constexpr uint32_t tagOf(uint32_t generation, HandleKind kind) {
    return (generation << 8) | static_cast<uint8_t>(kind);
}

}  // namespace

HandleRegistry& HandleRegistry::instance() {
    // Never destroyed: Java threads may still call in while the process exits.
    static HandleRegistry* registry = new HandleRegistry;
    return *registry;
}

HandleRegistry::~HandleRegistry() {
    for (auto& chunk : chunks_) delete[] chunk.load(std::memory_order_relaxed);
}

HandleRegistry::Slot* HandleRegistry::slot(uint32_t index) const {
    Slot* chunk = chunks_[index >> chunkBits].load(std::memory_order_acquire);
    return chunk == nullptr ? nullptr : chunk + (index & (chunkSize - 1));
}

bool HandleRegistry::takeSlot(uint32_t& index) {
    const bool canGrow = used_ < maxSlots;
    if (freeCount_ > 0 && (freeCount_ >= reuseDelay || !canGrow)) {
        index = freeHead_;
        freeHead_ = slot(index)->nextFree;
        if (--freeCount_ == 0) freeTail_ = 0;
        return true;
    }
    if (!canGrow) return false;
    const uint32_t chunkIndex = used_ >> chunkBits;
    if (chunks_[chunkIndex].load(std::memory_order_relaxed) == nullptr) {
        Slot* chunk = new (std::nothrow) Slot[chunkSize];
        if (chunk == nullptr) return false;
        chunks_[chunkIndex].store(chunk, std::memory_order_release);
    }
    index = used_++;
    return true;
}

int32_t HandleRegistry::add(HandleKind kind, void* object) {
    if (object == nullptr || kind == HandleKind::None) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t index = 0;
    if (!takeSlot(index)) return 0;
    Slot* s = slot(index);
    const uint32_t generation = s->tag.load(std::memory_order_relaxed) >> 8;
    s->object.store(object, std::memory_order_relaxed);
    s->tag.store(tagOf(generation, kind), std::memory_order_release);
    live_.fetch_add(1, std::memory_order_relaxed);
    return static_cast<int32_t>((generation << indexBits) | index);
}

HandleRegistry::Entry HandleRegistry::find(int32_t handle, uint8_t kinds) const {
    const uint32_t id = static_cast<uint32_t>(handle);
    const Slot* s = slot(id & (maxSlots - 1));
    if (s == nullptr) return {};
    const uint32_t tag = s->tag.load(std::memory_order_acquire);
    const auto kind = static_cast<uint8_t>(tag & 0xFF);
    if ((tag >> 8) != (id >> indexBits) || (kind & kinds) == 0) return {};
    return {s->object.load(std::memory_order_relaxed), static_cast<HandleKind>(kind)};
}

HandleRegistry::Entry HandleRegistry::remove(int32_t handle, uint8_t kinds) {
    const uint32_t id = static_cast<uint32_t>(handle);
    const uint32_t index = id & (maxSlots - 1);
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = slot(index);
    if (s == nullptr) return {};
    const uint32_t tag = s->tag.load(std::memory_order_relaxed);
    const auto kind = static_cast<uint8_t>(tag & 0xFF);
    if ((tag >> 8) != (id >> indexBits) || (kind & kinds) == 0) return {};
    const Entry entry{s->object.load(std::memory_order_relaxed), static_cast<HandleKind>(kind)};
    // A new generation kills every copy of the old id.
    const uint32_t nextGeneration = ((tag >> 8) + 1) & generationMask;
    s->tag.store(tagOf(nextGeneration, HandleKind::None), std::memory_order_release);
    s->object.store(nullptr, std::memory_order_relaxed);
    s->nextFree = 0;
    if (freeCount_ == 0) {
        freeHead_ = index;
    } else {
        slot(freeTail_)->nextFree = index;
    }
    freeTail_ = index;
    ++freeCount_;
    live_.fetch_sub(1, std::memory_order_relaxed);
    return entry;
}

}  // namespace lumo
