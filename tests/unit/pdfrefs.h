// The reference densities and survivals the density tests share, and the
// catalog number of a PDF by name.
#pragma once
#include <string_view>
#include <vector>

#include "dists/pdfcatalog.h"
#include "symbols/value.h"

namespace zav {

struct RefRow {
  const char* name;
  std::vector<Real> params;
  Real t, f, s;
};

inline const std::vector<RefRow> kRefs = {
#include "densities_ref.h"
};

inline int pdfNumber(std::string_view name) {
  for (int i = 1; i <= kPdfCount; ++i)
    if (pdfInfo(i)->name == name) return i;
  return 0;
}

}  // namespace zav
