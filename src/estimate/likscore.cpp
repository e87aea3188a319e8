// The analytic gradient of the objective for the quasi-Newton method: when
// the model's likelihood is one DATA form that its compiled plan can
// differentiate, the gradient costs one pass over the observations (counted
// as one evaluation) instead of two per free parameter.
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "estimate/likplan.h"
#include "estimate/model.h"
#include "parse/node.h"

namespace zav {

bool objectiveGradient(Interp& in, std::vector<Real>& grad) {
  const Model* m = in.models.running;
  // Blocks around the likelihood and the per-evaluation traces need the
  // objective's own path.
  if (!m || m->pre || m->post || !m->likelihood || in.set.debug >= 5 || in.set.debugLik) return false;
  const ExprNode* e = m->likelihood.get();
  if (e->kind != NodeKind::Data) return false;
  spendStep(in);
  in.set.dIdx = 1;
  if (!fastDataScore(in, e, grad)) return false;
  ++in.set.evals;
  for (Real& v : grad) v = -v;
  return true;
}

}  // namespace zav
