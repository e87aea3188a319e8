// The bivariate normal integrals behind the BIVNORMAL PDF.
#pragma once
#include "symbols/value.h"

namespace zav {

// P(X > h, Y > k) for standard normals with correlation r, -1 <= r <= 1;
// h and k may be infinite.
Real bvnUpper(Real h, Real k, Real r);

// P(h1 < X <= h2, k1 < Y <= k2) for standard normals with correlation r;
// 0 for an empty rectangle.
Real bvnRectangle(Real h1, Real h2, Real k1, Real k2, Real r);

// The standard bivariate normal density at (x, y).
Real bvnDensity(Real x, Real y, Real r);

}  // namespace zav
