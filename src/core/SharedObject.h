#pragma once

#include <atomic>
#include <cstdint>

namespace lumo {

// Control block shared by an object and its weak references. The object itself
// counts as one holder while it lives; the block goes with its last holder.
struct WeakControl {
    std::atomic<int32_t> count{0};
    std::atomic<uint8_t> alive{1};

    void hold() { count.fetch_add(1, std::memory_order_relaxed); }
    // Drops one holder; frees the block when it was the last one.
    void drop();
};

// Base of every reference-counted native object (pixel buffers, render targets,
// paints, strokes, composites). Counting is atomic so that objects shared
// across threads (a buffer behind two render targets) stay sound.
class SharedObject {
public:
    SharedObject();
    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;
    virtual ~SharedObject();

    void addRef() { count_.fetch_add(1, std::memory_order_relaxed); }
    // Drops one reference; destroys the object when the count was 1 or less.
    void release();
    int32_t referenceCount() const { return count_.load(std::memory_order_relaxed); }

    // The control block for weak references, created on first use (null if
    // it cannot be allocated).
    WeakControl* weakControl();

    // Number of objects constructed and not yet destroyed, for tests that
    // check everything was freed. Counted only when objects are made or
    // destroyed (by setters and create calls, never per drawn pixel).
    static int64_t liveCount();

private:
    std::atomic<int32_t> count_{0};
    std::atomic<WeakControl*> control_{nullptr};
};

}  // namespace lumo
