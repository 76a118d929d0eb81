#pragma once
// A growable array of plain values (numbers, flags) for the columns of bulk
// tables: the operations of a std::vector that the tables use, but a large
// array takes its own pages and grows and shrinks by moving them (mremap)
// instead of copying its values, so that loading millions of rows copies
// nothing on the way and giving back spare capacity costs nothing.  Small
// arrays live on the heap as usual.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace podarray {

// A block of at least `bytes` bytes holding the first `keep` bytes of
// block p (of `capacity` bytes, null for none); gives the block and its
// capacity.  mapped tells how the block is held, in and out.
void* Resize(void* p, size_t capacity, size_t keep, size_t bytes, bool& mapped, size_t& newCapacity);
void Free(void* p, size_t capacity, bool mapped);

}  // namespace podarray

template <class T>
class PodArray {
    static_assert(std::is_trivially_copyable_v<T>, "PodArray holds plain values only");

public:
    using value_type = T;

    PodArray() = default;
    PodArray(size_t n, T v) { assign(n, v); }
    ~PodArray() { podarray::Free(p_, cap_ * sizeof(T), mapped_); }
    PodArray(const PodArray& o)
    {
        reserve(o.size_);
        copyIn(o.p_, o.size_);
        size_ = o.size_;
    }
    PodArray& operator=(const PodArray& o)
    {
        if (this != &o) {
            PodArray copy(o);
            swap(copy);
        }
        return *this;
    }
    PodArray(PodArray&& o) noexcept { swap(o); }
    PodArray& operator=(PodArray&& o) noexcept
    {
        PodArray gone(std::move(o));
        swap(gone);
        return *this;
    }
    void swap(PodArray& o) noexcept
    {
        std::swap(p_, o.p_);
        std::swap(size_, o.size_);
        std::swap(cap_, o.cap_);
        std::swap(mapped_, o.mapped_);
    }

    size_t size() const { return size_; }
    size_t capacity() const { return cap_; }
    bool empty() const { return size_ == 0; }
    T* data() { return p_; }
    const T* data() const { return p_; }
    T& operator[](size_t i) { return p_[i]; }
    const T& operator[](size_t i) const { return p_[i]; }
    T* begin() { return p_; }
    T* end() { return p_ + size_; }
    const T* begin() const { return p_; }
    const T* end() const { return p_ + size_; }

    void reserve(size_t n)
    {
        if (n > cap_)
            setCapacity(n);
    }
    void shrink_to_fit()
    {
        if (cap_ > size_)
            setCapacity(size_);
    }
    void clear() { size_ = 0; }

    void push_back(T v)
    {
        if (size_ == cap_) [[unlikely]]
            grow(1);
        p_[size_++] = v;
    }
    // Appends the values of [first, last), converted to T.
    template <class U>
    void append(const U* first, const U* last)
    {
        const size_t n = size_t(last - first);
        grow(n);
        T* out = p_ + size_;
        for (size_t i = 0; i < n; ++i)
            out[i] = static_cast<T>(first[i]);
        size_ += n;
    }
    void append(size_t n, T v)
    {
        grow(n);
        std::fill_n(p_ + size_, n, v);
        size_ += n;
    }
    void resize(size_t n) { resize(n, T{}); }
    void resize(size_t n, T v)
    {
        if (n > size_)
            append(n - size_, v);
        else
            size_ = n;
    }
    void assign(size_t n, T v)
    {
        clear();
        append(n, v);
    }
    void erase(T* pos)
    {
        std::memmove(pos, pos + 1, size_t(end() - pos - 1) * sizeof(T));
        --size_;
    }

private:
    // Room for n more values; capacity at least doubles, as a vector's.
    void grow(size_t n)
    {
        if (size_ + n > cap_)
            setCapacity(std::max(size_ + n, cap_ * 2));
    }
    void setCapacity(size_t n)
    {
        size_t bytes = 0;
        p_ = static_cast<T*>(podarray::Resize(p_, cap_ * sizeof(T), size_ * sizeof(T), n * sizeof(T), mapped_, bytes));
        cap_ = bytes / sizeof(T);
    }
    void copyIn(const T* from, size_t n)
    {
        if (n > 0)
            std::memcpy(p_, from, n * sizeof(T));
    }

    T* p_ = nullptr;
    size_t size_ = 0;
    size_t cap_ = 0;
    bool mapped_ = false;
};
