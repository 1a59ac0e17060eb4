// Fixed-capacity tables indexed from 1, as the propeller tables are written
// (station i = 1..N, point j = 1..NP). Every access is checked against the
// capacity: an index outside it is a programming fault, never silent memory.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace korvanti {

[[noreturn]] inline void index_fault(int index, int capacity) {
    throw std::out_of_range("table index " + std::to_string(index) + " outside 1.." +
                            std::to_string(capacity));
}

// A 1-based window on contiguous values (a row of a table, a whole array).
template <class T>
class View1 {
public:
    View1(T* first, int size) : p_(first), n_(size) {}
    // A writable window can be handed on where only reading is wanted.
    template <class U>
    requires std::is_convertible_v<U (*)[], T (*)[]> View1(const View1<U>& other)
        : p_(other.data()), n_(other.size()) {}
    T& operator()(int i) const {
        if (i < 1 || i > n_) index_fault(i, n_);
        return p_[i - 1];
    }
    int size() const { return n_; }
    T* data() const { return p_; }

private:
    T* p_;
    int n_;
};

template <class T, int N>
class Array1 {
public:
    static constexpr int capacity = N;
    T& operator()(int i) {
        if (i < 1 || i > N) index_fault(i, N);
        return v_[i - 1];
    }
    const T& operator()(int i) const {
        if (i < 1 || i > N) index_fault(i, N);
        return v_[i - 1];
    }
    View1<T> view() { return View1<T>(v_.data(), N); }
    View1<const T> view() const { return View1<const T>(v_.data(), N); }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    void fill(const T& value) { v_.fill(value); }

private:
    std::array<T, N> v_{};
};

// R rows by C columns; row i holds its columns contiguously.
template <class T, int R, int C>
class Array2 {
public:
    static constexpr int rows = R;
    static constexpr int columns = C;
    T& operator()(int i, int j) { return v_[offset(i, j)]; }
    const T& operator()(int i, int j) const { return v_[offset(i, j)]; }
    View1<T> row(int i) { return View1<T>(&v_[offset(i, 1)], C); }
    View1<const T> row(int i) const { return View1<const T>(&v_[offset(i, 1)], C); }
    void fill(const T& value) { v_.fill(value); }

private:
    static int offset(int i, int j) {
        if (i < 1 || i > R) index_fault(i, R);
        if (j < 1 || j > C) index_fault(j, C);
        return (i - 1) * C + (j - 1);
    }
    std::array<T, R * C> v_{};
};

}  // namespace korvanti
