#include "doubles/FakeJni.h"

#include <stdexcept>

namespace lumo::test {

FakeJni::FakeJni() {
    functions_.GetArrayLength = &FakeJni::getArrayLength;
    functions_.GetPrimitiveArrayCritical = &FakeJni::getCritical;
    functions_.ReleasePrimitiveArrayCritical = &FakeJni::releaseCritical;
    functions_.GetByteArrayRegion = &FakeJni::copyRegionOf<jbyte, jbyteArray>;
    functions_.GetShortArrayRegion = &FakeJni::copyRegionOf<jshort, jshortArray>;
    functions_.GetIntArrayRegion = &FakeJni::copyRegionOf<jint, jintArray>;
    functions_.GetFloatArrayRegion = &FakeJni::copyRegionOf<jfloat, jfloatArray>;
    functions_.GetDoubleArrayRegion = &FakeJni::copyRegionOf<jdouble, jdoubleArray>;
    holder_.env.functions = &functions_;
    holder_.self = this;
}

FakeJni::~FakeJni() = default;

FakeJni& FakeJni::of(JNIEnv* env) {
    return *reinterpret_cast<Env*>(env)->self;
}

jarray FakeJni::newArray(const void* values, size_t length, size_t elementSize) {
    auto s = std::make_unique<Storage>();
    // At least one byte so that an empty array still has an address.
    s->data.reset(new unsigned char[length * elementSize + (length == 0 ? 1 : 0)]);
    if (length > 0) std::memcpy(s->data.get(), values, length * elementSize);
    s->length = length;
    s->elementSize = elementSize;
    arrays_.push_back(std::move(s));
    return reinterpret_cast<jarray>(arrays_.back().get());
}

const FakeJni::Storage& FakeJni::storage(jarray array) const {
    for (const auto& s : arrays_) {
        if (reinterpret_cast<jarray>(s.get()) == array) return *s;
    }
    throw std::invalid_argument("not an array of this FakeJni");
}

FakeJni::Storage& FakeJni::storage(jarray array) {
    return const_cast<Storage&>(static_cast<const FakeJni*>(this)->storage(array));
}

jsize JNICALL FakeJni::getArrayLength(JNIEnv* env, jarray array) {
    FakeJni& self = of(env);
    self.events_.push_back({Event::Length, array, 0});
    if (self.pinned_ > 0) ++self.violations_;
    return jsize(self.storage(array).length);
}

void* JNICALL FakeJni::getCritical(JNIEnv* env, jarray array, jboolean* isCopy) {
    FakeJni& self = of(env);
    self.events_.push_back({Event::Pin, array, 0});
    if (isCopy != nullptr) *isCopy = self.copies_ ? JNI_TRUE : JNI_FALSE;
    if (++self.pinCount_ == self.failAt_) return nullptr;
    Storage& s = self.storage(array);
    Pin pin{array, s.data.get(), nullptr};
    if (self.copies_) {
        // Exactly the array's size, so that a sanitizer catches overruns.
        const size_t bytes = s.length * s.elementSize;
        pin.copy.reset(new unsigned char[bytes + (bytes == 0 ? 1 : 0)]);
        std::memcpy(pin.copy.get(), s.data.get(), bytes);
        pin.pointer = pin.copy.get();
    }
    ++self.pinned_;
    self.pinStack_.push_back(std::move(pin));
    return self.pinStack_.back().pointer;
}

void JNICALL FakeJni::releaseCritical(JNIEnv* env, jarray array, void* data, jint mode) {
    FakeJni& self = of(env);
    self.events_.push_back({Event::Release, array, mode});
    if (self.pinStack_.empty() || self.pinStack_.back().array != array ||
        self.pinStack_.back().pointer != data) {
        ++self.violations_;
        return;
    }
    Pin& pin = self.pinStack_.back();
    if (pin.copy && mode != JNI_ABORT) {
        Storage& s = self.storage(array);
        std::memcpy(s.data.get(), pin.copy.get(), s.length * s.elementSize);
    }
    if (mode == JNI_COMMIT) return;  // still pinned
    self.pinStack_.pop_back();
    --self.pinned_;
}

template <class T>
void JNICALL FakeJni::copyRegion(JNIEnv* env, jarray array, jsize start, jsize count, T* out) {
    FakeJni& self = of(env);
    self.events_.push_back({Event::Copy, array, 0, count});
    ++self.copyCount_;
    if (self.pinned_ > 0) ++self.violations_;
    const Storage& s = self.storage(array);
    if (s.elementSize != sizeof(T) || start < 0 || count < 0 ||
        size_t(start) + size_t(count) > s.length) {
        ++self.violations_;
        return;
    }
    if (count > 0) std::memcpy(out, s.data.get() + size_t(start) * sizeof(T), count * sizeof(T));
}

}  // namespace lumo::test
