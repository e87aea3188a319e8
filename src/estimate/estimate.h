// What the files of the estimation layer share: the objective, the
// maximisers, the variance-covariance step and the reports.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "estimate/modelstate.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

// ---- likelihood ----
// Minus the log-likelihood of the running model at the current parameter
// values; counts one evaluation.
Real objective(Interp& in);
// The objective, or a large pseudolikelihood when a free parameter lies
// outside its bounds.
Real boundedObjective(Interp& in);
// The guarded logarithm of a likelihood.
Real guardedLog(const Interp& in, Real x);
// Sizes the per-observation record to N_OBS and switches it on or off.
void enableObsRecord(Interp& in, bool on);

// ---- models and runs ----
// Binds each reduced parameter of the run to its value's storage.
void applyRun(Interp& in, Model& m, const ModelRun& r);
// Binds every reduced parameter back to its own storage.
void undoRuns(Interp& in, Model& m);
// Collects the free parameters, evaluates bounds and start values and
// checks that each start lies within its bounds.
void setupBoundsAndStart(Interp& in, Model& m);
// Writes the run's model variables from the finished run.
void storeRunVariables(Interp& in, const ModelRun& r, const std::vector<Real>& se);

// ---- driver ----
// Current value of free parameter k (0-based) of the run being solved.
Real& paramValue(Interp& in, std::size_t k);
// The stop rules: 0 or a termination reason.
int stopCheck(Interp& in, int reason);
// Whether the iteration is due for a progress line, and the line itself.
bool iterationDue(const Interp& in, int iteration);
void iterationTrace(Interp& in, int iteration, Real f, Real delta);

// ---- Powell and direct search ----
// Returns the termination reason.
int directSearch(Interp& in);

// ---- variance-covariance ----
bool informationMethod1(Interp& in);
bool informationMethod2(Interp& in);
// Gauss-Jordan with full pivoting, in place on an n x n row-major matrix.
bool invertMatrix(Interp& in, Real* a, int n);
void printMatrix(Interp& in, const Real* a, int n, bool inverted);

// ---- reports ----
std::string formLabel(int form);
void printEstimatesTable(Interp& in, const Model& m);
void printSETable(Interp& in, const Model& m);
void printObservationTable(Interp& in);
void modelSelection(Interp& in, const Model& m);

}  // namespace zav
