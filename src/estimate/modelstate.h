// The records of the estimation layer: models, their parameters and runs,
// and the working state of the run being solved. Models live as long as the
// interpreter (model variables and later statements refer to them).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Symbol;

enum class ParamState : std::uint8_t { Free = 1, Constant = 2, Reduced = 3 };

struct ModelParam {
  Symbol* symbol = nullptr;
  ExprNode* node = nullptr;  // the PARAM node that declared it (owned by the likelihood tree)
  std::unique_ptr<ExprNode> low, high, start;
  Symbol* test = nullptr;
  int form = 15;  // NUMBER
  Symbol *lowSym = nullptr, *highSym = nullptr, *startSym = nullptr;
  Symbol *uciSym = nullptr, *lciSym = nullptr, *varSym = nullptr;
  ParamState state = ParamState::Free;
  void* saved = nullptr;  // the parameter's own block while a run reduces it
};

// The symbols a solved run writes for one free parameter (p.m.r and friends).
struct RunParamVars {
  ModelParam* param = nullptr;
  Symbol *est = nullptr, *low = nullptr, *high = nullptr, *start = nullptr;
  Symbol *uci = nullptr, *lci = nullptr, *se = nullptr;
};

struct ModelRun {
  int number = 0;
  std::vector<std::pair<ModelParam*, Symbol*>> reductions;
  std::array<ModelParam*, 2> surface{};
  StmtNode* then = nullptr;  // owned by the model (WITH runs share one)
  // Model variables, made at parse time.
  std::vector<RunParamVars> vars;
  Symbol *logLik = nullptr, *freeParams = nullptr, *deltaLL = nullptr, *iterations = nullptr, *evals = nullptr,
         *vcvEvals = nullptr, *ciEvals = nullptr, *invertFlag = nullptr, *convergeFlag = nullptr, *vcv = nullptr;
};

struct Model {
  int number = 0;
  bool parallel = false;
  std::vector<std::unique_ptr<ModelParam>> params;
  StmtNode* pre = nullptr;
  std::unique_ptr<ExprNode> likelihood;
  StmtNode* post = nullptr;
  StmtNode* then = nullptr;
  std::vector<ModelRun> runs;
  std::vector<StmtNode*> runThens;  // the THEN blocks the runs point at

  Model() = default;
  ~Model();
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;
};

// The per-observation record of the likelihood: each observation's term and
// frequency at the last evaluation, kept only while enabled.
struct ObsRecord {
  bool enabled = false;
  // The frequencies, and the zero terms of the observations a pass skips,
  // are written; they stay until the record is enabled anew.
  bool filled = false;
  std::vector<Real> term, freq;
};

// The run being solved: its free parameters in model order with their
// bounds, and the variance-covariance matrix (row-major, n x n).
struct RunWork {
  std::vector<ModelParam*> free;
  std::vector<Real> low, high, start;
  std::vector<Real> matrix;
  std::int32_t startJulian = 0;  // when the model started, for MAXTIME
  Real startSeconds = 0;
  std::string startFile;  // the run's restart file, when one is read or written
  // The run's first objective, to tell a run that never improved on it.
  bool evaluated = false;
  Real firstObjective = 0;
};

struct ModelState {
  std::vector<std::unique_ptr<Model>> models;
  Model* parsing = nullptr;  // the MODEL being parsed: PARAM declares into it
  Model* running = nullptr;  // the MODEL being executed
  ObsRecord record;
  RunWork work;
  // Counts the MODEL statements executed: what is cached from the data for
  // one of them (they cannot change while it runs) is keyed by it.
  std::uint64_t runSerial = 0;
  std::string termFile;  // set at the first MODEL statement executed
};

}  // namespace zav
