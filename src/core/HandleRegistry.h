#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace lumo {

// What a handle names. Each kind is one bit, so lookups can accept several.
enum class HandleKind : uint8_t {
    None = 0,
    DataBuffer = 1,
    NativeImage = 2,
    Graphics = 4,
    Device = 8,
};

constexpr uint8_t kindMask(HandleKind kind) {
    return static_cast<uint8_t>(kind);
}
constexpr uint8_t kindMask(HandleKind a, HandleKind b) {
    return kindMask(a) | kindMask(b);
}

// Maps the ints Java holds to native objects. A handle is a non-zero 32-bit id:
// a slot index in the low bits and the slot's generation above it, so that a
// deleted, stale or foreign id is recognised instead of being dereferenced.
// Lookups take no lock (a few loads); adding and removing take a mutex.
// Freed slots are reused oldest first and only once enough of them have piled
// up, so a stale id stays stale for a long time.
class HandleRegistry {
public:
    static constexpr int indexBits = 20;
    static constexpr uint32_t maxSlots = 1u << indexBits;
    static constexpr int chunkBits = 12;
    static constexpr uint32_t chunkSize = 1u << chunkBits;
    static constexpr uint32_t chunkCount = maxSlots / chunkSize;
    static constexpr uint32_t generationMask = (1u << (32 - indexBits)) - 1;
    // Freed slots wait in a queue until it holds this many before reuse.
    static constexpr uint32_t reuseDelay = 1024;

    struct Entry {
        void* object = nullptr;
        HandleKind kind = HandleKind::None;
    };

    // The registry the entry points share.
    static HandleRegistry& instance();

    HandleRegistry() = default;
    HandleRegistry(const HandleRegistry&) = delete;
    HandleRegistry& operator=(const HandleRegistry&) = delete;
    ~HandleRegistry();

    // Registers the object; returns its handle, or 0 when the registry is
    // full or memory runs out.
    int32_t add(HandleKind kind, void* object);
    // The object behind the handle when it is live and of one of the kinds in
    // the mask; otherwise an empty entry.
    Entry find(int32_t handle, uint8_t kinds) const;
    // Unregisters the handle when it is live and of one of the kinds in the
    // mask, returning what it named; the id is dead from then on.
    Entry remove(int32_t handle, uint8_t kinds);

    // Number of live handles.
    uint32_t size() const { return live_.load(std::memory_order_relaxed); }

    template <class T>
    T* find(int32_t handle, HandleKind kind) const {
        return static_cast<T*>(find(handle, kindMask(kind)).object);
    }

private:
    struct Slot {
        // generation << 8 | kind; kind 0 while the slot is free.
        std::atomic<uint32_t> tag{0};
        std::atomic<void*> object{nullptr};
        uint32_t nextFree = 0;
    };

    Slot* slot(uint32_t index) const;
    bool takeSlot(uint32_t& index);

    std::atomic<Slot*> chunks_[chunkCount] = {};
    std::atomic<uint32_t> live_{0};
    std::mutex mutex_;
    uint32_t used_ = 1;  // slot 0 is never handed out, so no handle is 0
    uint32_t freeHead_ = 0;
    uint32_t freeTail_ = 0;
    uint32_t freeCount_ = 0;
};

}  // namespace lumo
