// The MODEL and PMODEL statements: models, parameters and runs.
#pragma once
#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct Settings;

// Parses a MODEL or PMODEL statement; the current token is MODEL or PMODEL
// (not yet consumed). Returns a statement of kind Model; the statement parser
// prints the "== Begin/End MODEL stmt" traces and sets the position.
StmtNode* parseModelStatement(Interp& in);

// Runs a MODEL or PMODEL statement (PMODEL runs as MODEL).
void runModelStatement(Interp& in, const StmtNode& s);

// The expression forms of the likelihood layer; the current token is the
// form's keyword. PARAM declares a parameter of the MODEL being parsed.
ExprNode* parseParamForm(Interp& in);
// DATA and PDATA: [BEGIN .. END [,]] [FORM = name] expression [[,] BEGIN .. END] END.
ExprNode* parseDataForm(Interp& in, NodeKind kind);
// LEVEL c THEN body END and LEVELDELTA e THEN body END, body as for DATA;
// the current token is LEVEL or LEVELDELTA.
ExprNode* parseLevelForm(Interp& in, NodeKind kind);
// The HAZARD clause of a PDF term (current token HAZARD):
// HAZARD {COVAR expression PARAM name clauses END} END. Returns a PARAM node
// whose value is the hazard multiplier.
ExprNode* parseHazardClause(Interp& in);

// The value p' of a PARAM node: its parameter combined by its form with the
// sum of its covariate terms.
Real evalParamNode(Interp& in, const ExprNode* n);
// FREEPARAM: whether s is a parameter of the model being run and free in
// the current run.
bool isFreeParameter(const Interp& in, const Symbol* s);
// The forms that combine p with the covariate sum xb by plain arithmetic
// (no check that could stop the run), and their value.
bool plainParamForm(int form);
Real plainParamValue(const Settings& set, int form, Real p, Real xb);
// The accumulated value of a DATA or PDATA node over all observations.
Real evalDataNode(Interp& in, const ExprNode* n);
// The accumulated value of a LEVEL or LEVELDELTA node over its group of
// observations from D_IDX on; leaves D_IDX at the group's last observation.
Real evalLevelNode(Interp& in, const ExprNode* n);

}  // namespace zav
