// Statistics of a whole array or data variable (VSUM ... VQUANTILE), the
// VSORT procedure, and the conversions between data variables and arrays.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

// The REAL-valued calls: VSUM, VSUMSQ, VMEAN, VVARIANCE, VSTDEV, VMEDIAN,
// VQUANTILE, and VMAX / VMIN of REAL elements.
Real arrayStatReal(Interp& in, const ExprNode* call);
// The COMPLEX forms of VSUM, VSUMSQ, VMEAN, VVARIANCE and VSTDEV.
Complex arrayStatComplex(Interp& in, const ExprNode* call);
// VMAX / VMIN of INTEGER elements.
std::int32_t arrayExtremeInteger(Interp& in, const ExprNode* call);
// VMAX / VMIN of CHAR or STRING elements.
std::string arrayExtremeText(Interp& in, const ExprNode* call);

// The procedures; `args` is the call's argument holder.
void procVsort(Interp& in, const ExprNode* args);
void procArrayToData(Interp& in, const ExprNode* args);
void procDataToArray(Interp& in, const ExprNode* args);

// The heap sort of n items by less(a, b) on 0-based positions: returns the
// permutation it leaves, perm[k] being the position of the item that ends
// at k. Equal keys keep no particular order.
std::vector<std::int32_t> heapSortOrder(std::int32_t n, const std::function<bool(std::int32_t, std::int32_t)>& less);

// The weighted q-quantile of values (weights empty: all 1): sorted by value,
// position p = (W + 1) q (alternative: 1 + (W - 1) q) on the cumulative
// weights, interpolated between the values at trunc(p) and trunc(p) + 1.
Real weightedQuantile(std::vector<Real> values, std::vector<Real> weights, Real q, bool alternative);

}  // namespace zav
