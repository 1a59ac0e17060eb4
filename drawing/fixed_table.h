// Fixed-capacity tables indexed from 1, the way the propeller's radii, points
// and panels are numbered in PERVDAT.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

namespace telvaro {

template <typename T, int... Capacity>
class Table {
public:
    template <typename... Index>
    T& operator()(Index... index) {
        return values_[offset(index...)];
    }
    template <typename... Index>
    const T& operator()(Index... index) const {
        return values_[offset(index...)];
    }

private:
    static constexpr std::array<int, sizeof...(Capacity)> capacity_{Capacity...};
    static constexpr std::size_t size_ = (static_cast<std::size_t>(Capacity) * ...);

    template <typename... Index>
    static std::size_t offset(Index... index) {
        static_assert(sizeof...(Index) == sizeof...(Capacity), "one index per dimension");
        const std::array<int, sizeof...(Index)> at{static_cast<int>(index)...};
        std::size_t flat = 0;
        for (std::size_t d = 0; d < at.size(); ++d) {
            if (at[d] < 1 || at[d] > capacity_[d])
                throw std::out_of_range("table index out of range");
            flat =
                flat * static_cast<std::size_t>(capacity_[d]) + static_cast<std::size_t>(at[d] - 1);
        }
        return flat;
    }

    std::array<T, size_> values_{};
};

}  // namespace telvaro
