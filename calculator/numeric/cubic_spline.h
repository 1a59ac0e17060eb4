// Interpolating cubic spline through a radial or chordwise table, with the
// not-a-knot end condition, its evaluation and the interval search.
#pragma once

#include "common/one_based.h"
#include "filelayer/console.h"

namespace korvanti {

// A window on a spline coefficient table: four numbers per point, stored
// point after point, c(k, i) with k = 1..4 and i = 1..capacity.
//   c(1, i) value, c(2, i) slope, c(3, i) second derivative at tau(i),
//   c(4, i) third derivative on the piece tau(i)..tau(i+1).
template <class T>
class SplineView {
public:
    SplineView(T* first, int capacity) : p_(first), capacity_(capacity) {}
    template <class U>
    requires std::is_convertible_v<U (*)[], T (*)[]> SplineView(const SplineView<U>& other)
        : p_(other.data()), capacity_(other.capacity()) {}

    T& operator()(int k, int i) const {
        if (k < 1 || k > 4) index_fault(k, 4);
        if (i < 1 || i > capacity_) index_fault(i, capacity_);
        return p_[(i - 1) * 4 + (k - 1)];
    }
    int capacity() const { return capacity_; }
    T* data() const { return p_; }

private:
    T* p_;
    int capacity_;
};

// A spline coefficient table for up to Cap points (30 for radial
// distributions and section sides, 100 for the hub profile). Converts to the
// views the spline operations take, so the table itself is passed.
template <int Cap>
class SplineCoefficients {
public:
    static constexpr int capacity = Cap;
    float& operator()(int k, int i) { return view()(k, i); }
    const float& operator()(int k, int i) const { return view()(k, i); }
    SplineView<float> view() { return SplineView<float>(v_.data(), Cap); }
    SplineView<const float> view() const { return SplineView<const float>(v_.data(), Cap); }
    operator SplineView<float>() { return view(); }
    operator SplineView<const float>() const { return view(); }

private:
    std::array<float, 4 * Cap> v_{};
};

// Fits the spline through tau(1..n) and the ordinates held in c(1, 1..n);
// fills c(2..4, *). n >= 2, tau strictly increasing (else NotIncreasing). Only end code 0
// (not-a-knot) exists at either end; any other code is refused.
void cubic_spline_fit(View1<const float> tau, SplineView<float> c, int n, int begin_code,
                      int end_code);

// y = spline value at x and found = 1; outside [tau(1), tau(n)] shows on the console
// " ** NOKTA ARALIGIN DISINDA **", sets found = 0 and leaves y as it was.
void cubic_spline_value(int n, float x, float& y, View1<const float> tau, SplineView<const float> c,
                        int& found, Console& console);

// i = the piece holding x (1..n-1) and found = 1; outside the table shows the
// out-of-range line and sets found = 0, leaving i as it was.
void find_interval(View1<const float> tau, float x, int n, int& i, int& found, Console& console);

}  // namespace korvanti
