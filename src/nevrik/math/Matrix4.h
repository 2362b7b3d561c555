#pragma once

#include "nevrik/math/Vector.h"

#include <cassert>
#include <cmath>
#include <utility>

namespace nevrik::math {

/// A 4×4 matrix stored row-major (element (r, c) at index 4r + c) that acts on
/// column vectors: a point p maps to M·(p, 1), so column 3 (elements 3, 7, 11)
/// is the translation and columns 0 to 2 are the images of the axes. Products
/// compose right to left: parent × local maps local coordinates into the
/// parent's. OpenGL wants the transpose of getElements().
///
/// A plain value: copied freely, never reference-counted; any thread may use
/// its own copies.
template <class T>
class Matrix4 {
public:
    /// Determinants below this (2^-23) in magnitude count as singular.
    static constexpr T kSingularLimit = T(1.0 / 8388608.0);

    /// The identity.
    constexpr Matrix4() noexcept : mElements{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}
    /// Sixteen elements in row-major order.
    explicit constexpr Matrix4(const T (&elements)[16]) noexcept : mElements{} {
        for (int i = 0; i < 16; ++i) {
            mElements[i] = elements[i];
        }
    }

    /// Element (row, column), each 0 to 3.
    constexpr T& operator()(int row, int column) noexcept { return (*this)[4 * row + column]; }
    constexpr const T& operator()(int row, int column) const noexcept { return (*this)[4 * row + column]; }
    /// Element `index` (0 to 15) in row-major order.
    constexpr T& operator[](int index) noexcept {
        assert(index >= 0 && index < 16);
        return mElements[index];
    }
    constexpr const T& operator[](int index) const noexcept {
        assert(index >= 0 && index < 16);
        return mElements[index];
    }

    /// The upper three elements of `column` (0 to 3): an axis image or, for 3,
    /// the translation.
    constexpr Vector<T, 3> getColumn(int column) const noexcept {
        return Vector<T, 3>((*this)(0, column), (*this)(1, column), (*this)(2, column));
    }
    constexpr void setColumn(int column, const Vector<T, 3>& value) noexcept {
        (*this)(0, column) = value.x;
        (*this)(1, column) = value.y;
        (*this)(2, column) = value.z;
    }

    friend constexpr Matrix4 operator*(const Matrix4& a, const Matrix4& b) noexcept {
        Matrix4 product;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                T sum = T(0);
                for (int k = 0; k < 4; ++k) {
                    sum += a(row, k) * b(k, column);
                }
                product(row, column) = sum;
            }
        }
        return product;
    }

    constexpr Vector<T, 3> transformPoint(const Vector<T, 3>& p) const noexcept {
        const T* m = mElements;
        return Vector<T, 3>(m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
                            m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
                            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]);
    }
    /// As transformPoint() without the translation.
    constexpr Vector<T, 3> transformDirection(const Vector<T, 3>& v) const noexcept {
        const T* m = mElements;
        return Vector<T, 3>(m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
                            m[8] * v.x + m[9] * v.y + m[10] * v.z);
    }

    /// Inverts in place by cofactors (adjugate over determinant). When
    /// |det| < kSingularLimit every element becomes 0 and the result is false.
    bool invert() noexcept;

    /// Inverts in place by Gauss–Jordan elimination with full pivoting. A
    /// singular matrix (no non-zero pivot left) becomes all zeros and the
    /// result is false: a half-eliminated matrix would look like an inverse.
    bool invertGaussJordan() noexcept;

    /// Turns the upper 3×3 part by `angle` radians about `axis` in the
    /// matrix's own frame (M := M × R) and zeroes the translation column; the
    /// bottom row is left alone. `axis` need not be unit length.
    void rotate(T angle, const Vector<T, 3>& axis) noexcept;

    /// The sixteen elements, row-major.
    constexpr const T* getElements() const noexcept { return mElements; }

private:
    constexpr void setZero() noexcept {
        for (T& element : mElements) {
            element = T(0);
        }
    }

    T mElements[16];
};

template <class T>
bool Matrix4<T>::invert() noexcept {
    const Matrix4 a = *this;
    // The 2×2 determinants of the top two and bottom two rows; every 3×3
    // cofactor and the determinant are sums of their products.
    const T s0 = a(0, 0) * a(1, 1) - a(1, 0) * a(0, 1);
    const T s1 = a(0, 0) * a(1, 2) - a(1, 0) * a(0, 2);
    const T s2 = a(0, 0) * a(1, 3) - a(1, 0) * a(0, 3);
    const T s3 = a(0, 1) * a(1, 2) - a(1, 1) * a(0, 2);
    const T s4 = a(0, 1) * a(1, 3) - a(1, 1) * a(0, 3);
    const T s5 = a(0, 2) * a(1, 3) - a(1, 2) * a(0, 3);
    const T c0 = a(2, 0) * a(3, 1) - a(3, 0) * a(2, 1);
    const T c1 = a(2, 0) * a(3, 2) - a(3, 0) * a(2, 2);
    const T c2 = a(2, 0) * a(3, 3) - a(3, 0) * a(2, 3);
    const T c3 = a(2, 1) * a(3, 2) - a(3, 1) * a(2, 2);
    const T c4 = a(2, 1) * a(3, 3) - a(3, 1) * a(2, 3);
    const T c5 = a(2, 2) * a(3, 3) - a(3, 2) * a(2, 3);

    const T det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (std::abs(det) < kSingularLimit) {
        setZero();
        return false;
    }
    const T adjugate[16] = {
        a(1, 1) * c5 - a(1, 2) * c4 + a(1, 3) * c3,  -a(0, 1) * c5 + a(0, 2) * c4 - a(0, 3) * c3,
        a(3, 1) * s5 - a(3, 2) * s4 + a(3, 3) * s3,  -a(2, 1) * s5 + a(2, 2) * s4 - a(2, 3) * s3,
        -a(1, 0) * c5 + a(1, 2) * c2 - a(1, 3) * c1, a(0, 0) * c5 - a(0, 2) * c2 + a(0, 3) * c1,
        -a(3, 0) * s5 + a(3, 2) * s2 - a(3, 3) * s1, a(2, 0) * s5 - a(2, 2) * s2 + a(2, 3) * s1,
        a(1, 0) * c4 - a(1, 1) * c2 + a(1, 3) * c0,  -a(0, 0) * c4 + a(0, 1) * c2 - a(0, 3) * c0,
        a(3, 0) * s4 - a(3, 1) * s2 + a(3, 3) * s0,  -a(2, 0) * s4 + a(2, 1) * s2 - a(2, 3) * s0,
        -a(1, 0) * c3 + a(1, 1) * c1 - a(1, 2) * c0, a(0, 0) * c3 - a(0, 1) * c1 + a(0, 2) * c0,
        -a(3, 0) * s3 + a(3, 1) * s1 - a(3, 2) * s0, a(2, 0) * s3 - a(2, 1) * s1 + a(2, 2) * s0,
    };
    for (int i = 0; i < 16; ++i) {
        mElements[i] = adjugate[i] / det;
    }
    return true;
}

template <class T>
bool Matrix4<T>::invertGaussJordan() noexcept {
    Matrix4& a = *this;
    bool used[4] = {false, false, false, false};
    int pivotRows[4] = {};
    int pivotColumns[4] = {};

    for (int step = 0; step < 4; ++step) {
        T largest = T(0);
        int pivotRow = -1;
        int pivotColumn = -1;
        for (int row = 0; row < 4; ++row) {
            if (used[row]) {
                continue;
            }
            for (int column = 0; column < 4; ++column) {
                // Strictly larger: of equal candidates the first one found stays.
                if (!used[column] && std::abs(a(row, column)) > largest) {
                    largest = std::abs(a(row, column));
                    pivotRow = row;
                    pivotColumn = column;
                }
            }
        }
        if (pivotRow < 0) {
            setZero();
            return false;
        }
        used[pivotColumn] = true;
        if (pivotRow != pivotColumn) {
            for (int column = 0; column < 4; ++column) {
                std::swap(a(pivotRow, column), a(pivotColumn, column));
            }
        }
        pivotRows[step] = pivotRow;
        pivotColumns[step] = pivotColumn;

        // The pivot element is replaced by 1 before the division, so the row
        // ends up holding the inverse's entries in place.
        const T pivot = a(pivotColumn, pivotColumn);
        a(pivotColumn, pivotColumn) = T(1);
        for (int column = 0; column < 4; ++column) {
            a(pivotColumn, column) /= pivot;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == pivotColumn) {
                continue;
            }
            const T factor = a(row, pivotColumn);
            a(row, pivotColumn) = T(0);
            for (int column = 0; column < 4; ++column) {
                a(row, column) -= a(pivotColumn, column) * factor;
            }
        }
    }

    for (int step = 3; step >= 0; --step) {
        if (pivotRows[step] != pivotColumns[step]) {
            for (int row = 0; row < 4; ++row) {
                std::swap(a(row, pivotRows[step]), a(row, pivotColumns[step]));
            }
        }
    }
    return true;
}

template <class T>
void Matrix4<T>::rotate(T angle, const Vector<T, 3>& axis) noexcept {
    Vector<T, 3> u = axis;
    u.normalise();
    const T c = static_cast<T>(std::cos(angle));
    const T s = static_cast<T>(std::sin(angle));
    const T k = T(1) - c;
    const T r[3][3] = {
        {c + k * u.x * u.x, k * u.x * u.y - s * u.z, k * u.x * u.z + s * u.y},
        {k * u.x * u.y + s * u.z, c + k * u.y * u.y, k * u.y * u.z - s * u.x},
        {k * u.x * u.z - s * u.y, k * u.y * u.z + s * u.x, c + k * u.z * u.z},
    };
    for (int row = 0; row < 3; ++row) {
        const T m[3] = {(*this)(row, 0), (*this)(row, 1), (*this)(row, 2)};
        for (int column = 0; column < 3; ++column) {
            (*this)(row, column) = m[0] * r[0][column] + m[1] * r[1][column] + m[2] * r[2][column];
        }
        (*this)(row, 3) = T(0);
    }
}

}  // namespace nevrik::math
