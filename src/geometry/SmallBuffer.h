#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace lumo {

// A growable array of trivially copyable values whose first N live inside
// it: the buffers of generators built on the stack for one draw take no heap
// memory for shapes of usual size. It neither copies nor moves (its data may
// point into itself).
template <class T, size_t N>
class SmallBuffer {
    static_assert(std::is_trivially_copyable<T>::value, "values are copied as bytes");

public:
    SmallBuffer() = default;
    SmallBuffer(const SmallBuffer&) = delete;
    SmallBuffer& operator=(const SmallBuffer&) = delete;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return capacity_; }

    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T& front() { return data_[0]; }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }

    void clear() { size_ = 0; }
    void pop_back() { --size_; }
    __attribute__((always_inline)) void push_back(const T& value) {
        if (size_ == capacity_) grow();
        data_[size_++] = value;
    }
    // New values are left unset.
    void resize(size_t n) {
        reserve(n);
        size_ = n;
    }
    void reserve(size_t n) {
        if (n <= capacity_) return;
        const size_t capacity = std::max(n, 2 * capacity_);
        std::unique_ptr<T[]> grown(new T[capacity]);
        std::copy(data_, data_ + size_, grown.get());
        heap_ = std::move(grown);
        data_ = heap_.get();
        capacity_ = capacity;
    }

private:
    // Out of line, so that push_back stays small enough to inline.
    __attribute__((noinline)) void grow() { reserve(size_ + 1); }

    T inline_[N];
    T* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = N;
    std::unique_ptr<T[]> heap_;
};

}  // namespace lumo
