// How the numerical routines report that they cannot give a result.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "filelayer/errors.h"

namespace korvanti {

// A system without a solution: the routine's own lines for it go with the
// exception; the run layer shows them (the first as the prompt of a pause
// when `pauses`) and then stops the run.
class NumericFailure : public std::runtime_error {
public:
    NumericFailure(std::vector<std::string> lines, bool pauses)
        : std::runtime_error(lines.empty() ? std::string() : lines.back()),
          lines_(std::move(lines)),
          pauses_(pauses) {}
    const std::vector<std::string>& lines() const { return lines_; }
    bool pauses() const { return pauses_; }

private:
    std::vector<std::string> lines_;
    bool pauses_;
};

// The three-point system of a parabola has no pivot: two equal abscissae.
class SingularMatrix : public NumericFailure {
public:
    SingularMatrix() : NumericFailure({"Singular matrix."}, true) {}
};

// Three points on one straight line have no circle through them.
class CollinearPoints : public NumericFailure {
public:
    CollinearPoints()
        : NumericFailure({"", " three point lie in a straight line",
                          " these can not be create a circle", " no possible solution"},
                         false) {}
};

// A vanishing pivot in row `row` of a linear system solved without pivoting.
class ZeroPivot : public NumericFailure {
public:
    explicit ZeroPivot(int row);
    int row() const { return row_; }

private:
    int row_;
};

// A table whose abscissae do not increase strictly, given to a routine that
// needs them to: an input error naming the routine and the first entry out
// of order.
class NotIncreasing : public InputError {
public:
    NotIncreasing(const std::string& routine, int entry);
};

}  // namespace korvanti
