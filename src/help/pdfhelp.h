// The help texts of the PDF catalog: what each law is, its f(t), S(t) and
// quantile in the parametrisation the density routines use, and what its
// variables and parameters mean.
#pragma once
#include <string>

namespace zav {

struct PdfInfo;

// The description: the header line "NAME: continuous, parameters ...",
// then the law in words and its formulas, one "  f(t) = ..." line each,
// with the notation they use. Lines end in '\n' but for the last.
std::string pdfHelp(const PdfInfo& p);

// The parameter list: the syntax, the time variables, the range of t, the
// meaning and range of each parameter and the hazard multiplier.
std::string pdfCatalogHelp(const PdfInfo& p);

}  // namespace zav
