#include "core/Ref.h"
#include "core/SharedObject.h"
#include "core/WeakRef.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class Probe : public SharedObject {
public:
    explicit Probe(int& destroyed) : destroyed_(destroyed) {}
    ~Probe() override { ++destroyed_; }

private:
    int& destroyed_;
};

TEST(SharedObject, ReleaseDestroysWhenTheLastReferenceGoes) {
    int destroyed = 0;
    auto* probe = new Probe(destroyed);
    probe->addRef();
    probe->addRef();
    probe->release();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(probe->referenceCount(), 1);
    probe->release();
    EXPECT_EQ(destroyed, 1);
}

TEST(SharedObject, RefHoldsAndDropsItsReference) {
    int destroyed = 0;
    {
        Ref<Probe> first(new Probe(destroyed));
        Ref<Probe> second = first;
        EXPECT_EQ(first->referenceCount(), 2);
        Ref<Probe> moved = std::move(second);
        EXPECT_FALSE(second);
        EXPECT_EQ(first->referenceCount(), 2);
        first = Ref<Probe>();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(WeakRef, SeesTheObjectDieAndNeverTouchesItAfterwards) {
    int destroyed = 0;
    auto* probe = new Probe(destroyed);
    probe->addRef();
    WeakRef weak(probe);
    WeakRef copy = weak;
    weak.refresh();
    EXPECT_EQ(weak.object(), probe);

    probe->release();
    ASSERT_EQ(destroyed, 1);
    // A copy made from a reference to a dead object before refresh is dead too.
    WeakRef lateCopy(weak);
    weak.refresh();
    copy.refresh();
    lateCopy.refresh();
    EXPECT_EQ(weak.object(), nullptr);
    EXPECT_EQ(copy.object(), nullptr);
    EXPECT_EQ(lateCopy.object(), nullptr);
}

TEST(WeakRef, ControlBlockOutlivesTheObjectUntilTheLastHolderGoes) {
    // Run under AddressSanitizer, this catches a block freed too early (use
    // after free in refresh) or never freed (leak).
    int destroyed = 0;
    auto* probe = new Probe(destroyed);
    probe->addRef();
    auto* weak = new WeakRef(probe);
    WeakControl* control = probe->weakControl();
    EXPECT_EQ(control->count.load(), 2);
    probe->release();
    EXPECT_EQ(control->alive.load(), 0);
    weak->refresh();
    EXPECT_EQ(weak->object(), nullptr);
    delete weak;
}

TEST(WeakRef, RetargetingMovesToTheNewObjectsBlock) {
    int destroyed = 0;
    Ref<Probe> a(new Probe(destroyed));
    Ref<Probe> b(new Probe(destroyed));
    WeakRef weak(a.get());
    weak.set(b.get());
    a = Ref<Probe>();
    weak.refresh();
    EXPECT_EQ(weak.object(), b.get());
    weak.set(nullptr);
    EXPECT_EQ(weak.object(), nullptr);
    EXPECT_EQ(b->weakControl()->count.load(), 1);
}

}  // namespace
}  // namespace lumo
