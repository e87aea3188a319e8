// The catalog functions computed by the library files (mathematics,
// distributions, strings, dates, files), reached from the evaluators by
// function code. Each returns false for a code it has no implementation of
// in that result type, so the evaluator can report it.
#pragma once
#include <cstdint>
#include <string>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

bool libReal(Interp& in, const ExprNode* n, Real& out);
// REAL results of COMPLEX operands: ABS, ARG, RE, IM.
Real libRealOfComplex(Interp& in, const ExprNode* n);
bool libInteger(Interp& in, const ExprNode* n, std::int32_t& out);
bool libBoolean(Interp& in, const ExprNode* n, bool& out);
bool libComplex(Interp& in, const ExprNode* n, Complex& out);
bool libString(Interp& in, const ExprNode* n, std::string& out);
bool libChar(Interp& in, const ExprNode* n, char& out);

// The kinds that solve, integrate or compute likelihoods.
bool libSpecialReal(Interp& in, const ExprNode* n, Real& out);

Real libSqrt(Interp& in, Real x);

// MIX's weight must be a proportion.
void checkMixProportion(Interp& in, Real p);

// PUT writes its argument to the output before passing it on.
void libPutReal(Interp& in, Real v);
void libPutInteger(Interp& in, std::int32_t v);
void libPutBoolean(Interp& in, bool v);
void libPutString(Interp& in, const std::string& v);

std::string pdfNameOf(int code);

}  // namespace zav
