// The file, environment and process functions of the catalog: thin calls of
// the operating-system layer. Each returns false for a code it does not
// compute in that result type.
#pragma once
#include <cstdint>
#include <string>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

bool libFileReal(Interp& in, const ExprNode* n, Real& out);
bool libFileInteger(Interp& in, const ExprNode* n, std::int32_t& out);
bool libFileBoolean(Interp& in, const ExprNode* n, bool& out);
bool libFileString(Interp& in, const ExprNode* n, std::string& out);

}  // namespace zav
