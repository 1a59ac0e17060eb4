// Fixed-capacity tables indexed from 1, as the propeller tables are written
// (station i = 1..N, point j = 1..NP). Every access is checked against the
// capacity: an index outside it is a programming fault, never silent memory.
#pragma once

#include <array>
#include <cstddef>
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

// A table of one capacity per dimension, one index per dimension; the last
// index runs fastest (row i of a two-dimensional table holds its columns
// contiguously).
template <class T, int... Capacity>
class Array {
    static constexpr std::size_t rank = sizeof...(Capacity);
    static constexpr std::array<int, rank> capacity_{Capacity...};

public:
    template <class... Index>
    requires(sizeof...(Index) == rank) T& operator()(Index... index) {
        return v_[offset(static_cast<int>(index)...)];
    }
    template <class... Index>
    requires(sizeof...(Index) == rank) const T& operator()(Index... index) const {
        return v_[offset(static_cast<int>(index)...)];
    }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    void fill(const T& value) { v_.fill(value); }

    // The whole of a one-dimensional table, row i of a two-dimensional one.
    View1<T> view() requires(rank == 1) { return View1<T>(v_.data(), capacity_[0]); }
    View1<const T> view() const requires(rank == 1) {
        return View1<const T>(v_.data(), capacity_[0]);
    }
    View1<T> row(int i) requires(rank == 2) { return View1<T>(&v_[offset(i, 1)], capacity_[1]); }
    View1<const T> row(int i) const requires(rank == 2) {
        return View1<const T>(&v_[offset(i, 1)], capacity_[1]);
    }

private:
    template <class... Index>
    static std::size_t offset(Index... index) {
        std::size_t flat = 0;
        std::size_t d = 0;
        const auto add = [&](int at) {
            if (at < 1 || at > capacity_[d]) index_fault(at, capacity_[d]);
            flat = flat * static_cast<std::size_t>(capacity_[d]) + static_cast<std::size_t>(at - 1);
            ++d;
        };
        (add(index), ...);
        return flat;
    }

    std::array<T, (static_cast<std::size_t>(Capacity) * ...)> v_{};
};

template <class T, int N>
using Array1 = Array<T, N>;
// R rows by C columns.
template <class T, int R, int C>
using Array2 = Array<T, R, C>;

}  // namespace korvanti
