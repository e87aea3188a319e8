// What the files of the estimation layer share: the objective, the
// maximisers, the variance-covariance step and the reports.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings.h"
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
// The objective's gradient (d objective / d free parameter k), worked
// analytically in one evaluation where the model allows; false otherwise.
bool objectiveGradient(Interp& in, std::vector<Real>& grad);
// The guarded logarithm of a likelihood.
Real guardedLog(const Interp& in, Real x);
// Sizes the per-observation record to N_OBS and switches it on or off.
void enableObsRecord(Interp& in, bool on);

// ---- models and runs ----
// Binds each reduced parameter of the run to its value's storage.
void applyRun(Interp& in, Model& m, const ModelRun& r);
// Binds every reduced parameter back to its own storage.
void undoRuns(Interp& in, Model& m);
// Collects the free parameters and evaluates bounds and start values.
void setupBoundsAndStart(Interp& in, Model& m);
// Stops the run when a start value lies outside its bounds.
void checkStartValues(Interp& in);
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

// ---- simplex ----
int simplexSearch(Interp& in);
// The arithmetic of one simplex step, exposed for testing: the ranking of
// the vertices (best, worst, next-worst; ties keep the earlier best), the
// trial point psum*f1 - worst*f2, and the start's partner in the first
// simplex.
void simplexRank(const std::vector<Real>& y, std::size_t& best, std::size_t& worst, std::size_t& nextWorst);
void simplexTrialPoint(const Real* psum, const Real* worst, std::size_t n, Real factor, Real* trial);
Real simplexFirstVertex(Real start, Real low, Real high);

// ---- conjugate gradients (variant 1 Fletcher-Reeves, 2 Polak-Ribiere) ----
int conjugateGradient(Interp& in, int variant);

// ---- bounded quasi-Newton (METHOD = "BFGS") ----
int bfgs(Interp& in);
// Its matrix arithmetic on n x n row-major matrices, exposed for testing:
// the sweep on pivot k (sweeping a set of pivots leaves the Schur complement
// of their block in the others; sweeping all inverts), the inversion of a
// positive definite matrix (false when a pivot is not positive), and the
// inverse-Hessian update for the step s and gradient change y, skipped
// (false) unless s'y is positive; hy is scratch of n entries.
void sweepPivot(std::vector<Real>& a, std::size_t n, std::size_t k);
bool invertPositive(std::vector<Real>& a, std::size_t n);
bool bfgsUpdate(std::vector<Real>& h, std::size_t n, const Real* s, const Real* y, Real* hy);

// ---- simulated annealing ----
int annealing(Interp& in);
// The step-length adjustment after SA_ADJ_CYCLES cycles, for an acceptance
// ratio r; the result is not yet limited to the bound interval.
Real annealStepLength(const Settings& s, Real v, Real r);

// ---- likelihood confidence intervals ----
// Fills p.LCI and p.UCI of every free parameter.
void confidenceLimits(Interp& in);
// Minus the profile log-likelihood at the current value of free parameter k
// (0-based): the others re-fitted by BFGS from where they stand, and put
// back there afterwards.
Real profileObjective(Interp& in, std::size_t k);
// The line above a profile interval table: the confidence level that
// CI_CHISQ implies.
std::string profileLevelLine(Real ciChisq);

// ---- the results file of --results ----
// Whether the name says CSV (.csv) or JSON Lines (.json).
bool resultsFileNameValid(const std::string& name);
// Appends the solved run (its parameters, fit and the matrix when
// computed); nothing without a results file.
void appendResults(Interp& in, const Model& m, const ModelRun& r, const std::vector<Real>& se);
// The text of a termination reason.
const char* reasonText(int reason);

// ---- restart and termination files ----
// The restart file of run r of model m for the program file `zavFile`.
std::string restartFileName(const std::string& zavFile, int model, int run);
// A value as the restart file holds it: exponent form, full precision.
std::string restartNumber(Real x);
// Names the run's restart file (when reading or writing) and reads the
// start values from it (when reading and it exists).
void prepareRestartFile(Interp& in, const Model& m, const ModelRun& r);
void writeRestartFile(Interp& in);
// The termination file's name, fixed at the first MODEL statement.
const std::string& terminationFileName(Interp& in);

// ---- variance-covariance ----
bool informationMethod1(Interp& in);
bool informationMethod2(Interp& in);
// Gauss-Jordan with full pivoting, in place on an n x n row-major matrix.
bool invertMatrix(Interp& in, Real* a, int n);
void printMatrix(Interp& in, const Real* a, int n, bool inverted);

// ---- reports ----
std::string formLabel(int form);
// The free parameters of the run with their start values and bounds.
void printFreeParamsTable(Interp& in);
void printEstimatesTable(Interp& in, const Model& m);
void printSETable(Interp& in, const Model& m);
void printCITable(Interp& in, const Model& m);
void printObservationTable(Interp& in);
void modelSelection(Interp& in, const Model& m);

// ---- distributions at mean covariate values, the likelihood surface ----
// S(t), f(t) and h(t) of every PDF term with delta-method standard errors,
// printed (PRINT_DISTS) and plotted (PLOT_DISTS, when a plot file is open).
void reportDistributions(Interp& in, const Model& m);
// The log-likelihood over the grid of the run's SURFACE parameters, as a
// curve or a surface of the plot file.
void plotSurface(Interp& in, const Model& m, const ModelRun& r);

}  // namespace zav
