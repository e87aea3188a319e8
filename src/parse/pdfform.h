// The PDF family of expression forms: PDF, PHAZARD, PPDF, QUANTILE, QDF.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// KEYWORD NAME(args) parameters [[,] HAZARD ...] END, the current token
// being the keyword. The node's index is the PDF number; its slots are the
// bracketed arguments (the PDF's time variables for PDF, q, left, right,
// tol and maxits for the others; unused ones empty), the parameters, and,
// when the PDF allows one, the hazard PARAM node or an empty slot.
ExprNode* parsePdfForm(Interp& in, NodeKind kind);

}  // namespace zav
