// A small fixed-size matrix of numbers, stored row by row.
#pragma once

#include <array>
#include <cstddef>

/// A value type of R rows and C columns; KestMatrix<3,1,double> is a 3-vector.
template <std::size_t R, std::size_t C, class T>
class KestMatrix {
  public:
    /// All elements zero.
    KestMatrix() : _elements{} {}

    T& operator()(std::size_t row, std::size_t col) { return _elements[row * C + col]; }
    const T& operator()(std::size_t row, std::size_t col) const { return _elements[row * C + col]; }

    /// Element by flat index, row by row.
    T& operator[](std::size_t index) { return _elements[index]; }
    const T& operator[](std::size_t index) const { return _elements[index]; }

    friend bool operator==(const KestMatrix& a, const KestMatrix& b) {
        return a._elements == b._elements;
    }
    friend bool operator!=(const KestMatrix& a, const KestMatrix& b) { return !(a == b); }

  private:
    std::array<T, R * C> _elements;
};
