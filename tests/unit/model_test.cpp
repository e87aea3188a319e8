// The PARAM form with covariates: what the parser builds and how the
// listing shows it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/interp.h"
#include "estimate/modelstate.h"
#include "parse/listing.h"
#include "support.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

TEST(ParamCovariates, ListedAsPairsAfterTheForm) {
  Interp in;
  test::prepareInterp(in);
  declareStatic(in, "x1", ValueType::Real, nullptr, 0);
  declareStatic(in, "x2", ValueType::Real, nullptr, 0);
  Model m;
  in.models.parsing = &m;
  std::unique_ptr<ExprNode> n(
      test::parseInline(in, "PARAM mu FORM = ADD COVAR x1 PARAM b1 END COVAR x2 PARAM b2 END END"));
  in.models.parsing = nullptr;
  // Each symbol lists between blanks; the pairs are separated by ", ".
  EXPECT_EQ(test::captured([&] { listExpr(in, n.get()); }),
            "PARAM  mu PARAM FORM=ADD  x1  PARAM  b1 PARAM FORM=NUMBER  END ,  x2  PARAM  b2 PARAM FORM=NUMBER  END "
            " END ");
  // The parameter comes before its coefficients, which follow in clause order.
  ASSERT_EQ(m.params.size(), 3u);
  EXPECT_EQ(m.params[0]->symbol->name, "mu");
  EXPECT_EQ(m.params[1]->symbol->name, "b1");
  EXPECT_EQ(m.params[2]->symbol->name, "b2");
}

}  // namespace
}  // namespace zav
