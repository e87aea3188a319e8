// Unit tests of COMPLEX arithmetic: a reference table of the operators and
// elementary functions, then the language's own special cases of ARG, exp,
// ln and powers with their exact messages.
//
// Reference values: computed with mpmath 1.3.0 (python3) at 40 significant
// digits on the exact long double arguments, printed to 25 digits
// (mpmath.exp, log, log10, sqrt, sin, ..., asin, ..., atanh, power; ARCCOT z
// as atan(1/z) and the other reciprocal inverses likewise, LOGIT z as
// log(z/(1 - z)), LOGISTIC z as 1/(1 + exp z)). Hand-checked closed forms:
// (1 + 2i)(3 + 4i) = -5 + 10i and (1 + 2i)/(3 + 4i) = 0.44 + 0.08i.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/complex.h"
#include "funcs/machine.h"
#include "support.h"

namespace zav {
namespace {

using test::mathError;
using test::stopText;

struct Row {
  const char* fn;
  Complex z, w;
  Complex want;
};

using Unary = Complex (*)(Interp&, Complex);

const std::map<std::string, std::function<Complex(Interp&, Complex, Complex)>>& functions() {
  static const std::map<std::string, Unary> unary = {
      {"EXP", cxExp},         {"LN", cxLn},           {"LOG10", cxLog10},     {"SQRT", cxSqrt},
      {"SIN", cxSin},         {"COS", cxCos},         {"TAN", cxTan},         {"COT", cxCot},
      {"SEC", cxSec},         {"CSC", cxCsc},         {"SINH", cxSinh},       {"COSH", cxCosh},
      {"TANH", cxTanh},       {"COTH", cxCoth},       {"SECH", cxSech},       {"CSCH", cxCsch},
      {"ARCSIN", cxArcSin},   {"ARCCOS", cxArcCos},   {"ARCTAN", cxArcTan},   {"ARCCOT", cxArcCot},
      {"ARCSEC", cxArcSec},   {"ARCCSC", cxArcCsc},   {"ARCSINH", cxArcSinh}, {"ARCCOSH", cxArcCosh},
      {"ARCTANH", cxArcTanh}, {"ARCCOTH", cxArcCoth}, {"ARCSECH", cxArcSech}, {"ARCCSCH", cxArcCsch},
      {"LOGIT", cxLogit},     {"LOGISTIC", cxLogistic}, {"FISHER", cxFisher}, {"FISHERINV", cxFisherInv},
  };
  static const auto table = [] {
    std::map<std::string, std::function<Complex(Interp&, Complex, Complex)>> t;
    for (const auto& [name, f] : unary) t[name] = [fn = f](Interp& in, Complex z, Complex) { return fn(in, z); };
    t["ADD"] = [](Interp&, Complex a, Complex b) { return cxAdd(a, b); };
    t["SUB"] = [](Interp&, Complex a, Complex b) { return cxSub(a, b); };
    t["MUL"] = [](Interp&, Complex a, Complex b) { return cxMul(a, b); };
    t["DIV"] = [](Interp&, Complex a, Complex b) { return cxDiv(a, b); };
    t["POWER"] = cxPower;
    t["ROOT"] = cxRoot;
    t["LOGBASE"] = cxLogBase;
    return t;
  }();
  return table;
}

// Reference rows: function, z, w (unused for one-argument functions), value.
const Row kRows[] = {
    {"ADD", {1L, 2L}, {3L, 4L}, {4.0L, 6.0L}},
    {"SUB", {1L, 2L}, {3L, 4L}, {-2.0L, -2.0L}},
    {"MUL", {1L, 2L}, {3L, 4L}, {-5.0L, 1.0e+1L}},
    {"DIV", {1L, 2L}, {3L, 4L}, {4.4e-1L, 8.0e-2L}},
    {"DIV", {-1.5L, 0.25L}, {0.3L, -0.7L}, {-1.077586206896551724177412L, -1.681034482758620689647598L}},
    {"EXP", {1L, 2L}, {0L, 0L}, {-1.131204383756813638431255L, 2.471726672004818927616931L}},
    {"LN", {1L, 2L}, {0L, 0L}, {8.047189562170501873003797e-1L, 1.107148717794090503017065L}},
    {"SQRT", {1L, 2L}, {0L, 0L}, {1.272019649514068964252422L, 7.861513777574232860695586e-1L}},
    {"LOG10", {1L, 2L}, {0L, 0L}, {3.494850021680094023931306e-1L, 4.808285787842341027039416e-1L}},
    {"SIN", {1L, 2L}, {0L, 0L}, {3.165778513216168146740735L, 1.959601041421605897070352L}},
    {"COS", {1L, 2L}, {0L, 0L}, {2.032723007019665529436343L, -3.051897799151800057512116L}},
    {"TAN", {1L, 2L}, {0L, 0L}, {3.381282607989669028437056e-2L, 1.014793616146633568117054L}},
    {"COT", {1L, 2L}, {0L, 0L}, {3.279775553375259406276455e-2L, -9.843292264581910294718882e-1L}},
    {"SEC", {1L, 2L}, {0L, 0L}, {1.51176298265577227143686e-1L, 2.269736753937215953697283e-1L}},
    {"CSC", {1L, 2L}, {0L, 0L}, {2.283750655996865934109333e-1L, -1.413630216124078007231204e-1L}},
    {"SINH", {1L, 2L}, {0L, 0L}, {-4.890562590412936735864546e-1L, 1.403119250622040588019491L}},
    {"COSH", {1L, 2L}, {0L, 0L}, {-6.421481247155199648448007e-1L, 1.06860742138277833959744L}},
    {"TANH", {1L, 2L}, {0L, 0L}, {1.16673625724091988181007L, -2.434582011857252527026104e-1L}},
    {"COTH", {1L, 2L}, {0L, 0L}, {8.213297974938516867055447e-1L, 1.713836129091850144086276e-1L}},
    {"SECH", {1L, 2L}, {0L, 0L}, {-4.131493442669400094619405e-1L, -6.875274386554789815760733e-1L}},
    {"CSCH", {1L, 2L}, {0L, 0L}, {-2.215009308505093966371744e-1L, -6.354937992538999536411487e-1L}},
    {"ARCSIN", {1L, 2L}, {0L, 0L}, {4.270785863924761254806469e-1L, 1.528570919480998161272456L}},
    {"ARCCOS", {1L, 2L}, {0L, 0L}, {1.143717740402420493750675L, -1.528570919480998161272456L}},
    {"ARCTAN", {1L, 2L}, {0L, 0L}, {1.338972522294493561124194L, 4.023594781085250936501898e-1L}},
    {"ARCSINH", {1L, 2L}, {0L, 0L}, {1.469351744368185273255844L, 1.063440023577752056189492L}},
    {"ARCCOSH", {1L, 2L}, {0L, 0L}, {1.528570919480998161272456L, 1.143717740402420493750675L}},
    {"ARCTANH", {1L, 2L}, {0L, 0L}, {1.73286795139986327354308e-1L, 1.178097245096172464423491L}},
    {"ARCCOT", {1L, 2L}, {0L, 0L}, {2.318238045004030581071281e-1L, -4.023594781085250936501898e-1L}},
    {"ARCSEC", {1L, 2L}, {0L, 0L}, {1.384478272687081093409151L, 3.965682301123289789165343e-1L}},
    {"ARCCSC", {1L, 2L}, {0L, 0L}, {1.863180541078155258221702e-1L, -3.965682301123289789165343e-1L}},
    {"ARCCOTH", {1L, 2L}, {0L, 0L}, {1.73286795139986327354308e-1L, -3.926990816987241548078304e-1L}},
    {"ARCSECH", {1L, 2L}, {0L, 0L}, {3.965682301123289789165343e-1L, -1.384478272687081093409151L}},
    {"ARCCSCH", {1L, 2L}, {0L, 0L}, {2.156124185558296449669176e-1L, -4.015863916678060682834364e-1L}},
    {"LOGIT", {1L, 2L}, {0L, 0L}, {1.115717756571048778831475e-1L, 2.677945044588987122248387L}},
    {"LOGISTIC", {1L, 2L}, {0L, 0L}, {-2.141536417218054167135953e-2L, -4.034387060815424840248882e-1L}},
    {"FISHER", {1L, 2L}, {0L, 0L}, {1.73286795139986327354308e-1L, 1.178097245096172464423491L}},
    {"FISHERINV", {1L, 2L}, {0L, 0L}, {1.16673625724091988181007L, -2.434582011857252527026104e-1L}},
    {"EXP", {-1.5L, 0.25L}, {0L, 0L}, {2.161935838260991493951906e-1L, 5.520328504981730935417872e-2L}},
    {"LN", {-1.5L, 0.25L}, {0L, 0L}, {4.191645952022216033495836e-1L, 2.976443976175166400183515L}},
    {"SQRT", {-1.5L, 0.25L}, {0L, 0L}, {1.01711927949859750581301e-1L, 1.228961071916957612599655L}},
    {"LOG10", {-1.5L, 0.25L}, {0L, 0L}, {1.820408707055351079767476e-1L, 1.29265319454704871823775L}},
    {"SIN", {-1.5L, 0.25L}, {0L, 0L}, {-1.028829396247621100152586L, 1.78690883978050590956851e-2L}},
    {"COS", {-1.5L, 0.25L}, {0L, 0L}, {7.295927644889197184886032e-2L, 2.519795195705830002668724e-1L}},
    {"TAN", {-1.5L, 0.25L}, {0L, 0L}, {-1.025332061229339242671161L, 3.786108936814773869692257L}},
    {"COT", {-1.5L, 0.25L}, {0L, 0L}, {-6.664090373459376077091399e-2L, -2.460761061976814252425717e-1L}},
    {"SEC", {-1.5L, 0.25L}, {0L, 0L}, {1.060196726681139012058722L, -3.661602401259494156515991L}},
    {"CSC", {-1.5L, 0.25L}, {0L, 0L}, {-9.716853293485057963596411e-1L, -1.687658916853088539746414e-2L}},
    {"SINH", {-1.5L, 0.25L}, {0L, 0L}, {-2.063085313334641744160345L, 5.819954525995883232945908e-1L}},
    {"COSH", {-1.5L, 0.25L}, {0L, 0L}, {2.279278897160740893555535L, -5.26792167549771013940412e-1L}},
    {"TANH", {-1.5L, 0.25L}, {0L, 0L}, {-9.152719132613140242514556e-1L, 4.380217692516718034098196e-2L}},
    {"COTH", {-1.5L, 0.25L}, {0L, 0L}, {-1.090074900818605027321748L, -5.21677252142538384877496e-2L}},
    {"SECH", {-1.5L, 0.25L}, {0L, 0L}, {4.164875229880357267240189e-1L, 9.625955176683653426409634e-2L}},
    {"CSCH", {-1.5L, 0.25L}, {0L, 0L}, {-4.48980953467549955243303e-1L, -1.266573279994827879727071e-1L}},
    {"ARCSIN", {-1.5L, 0.25L}, {0L, 0L}, {-1.354625610546358462348504L, 9.937304660372428096855516e-1L}},
    {"ARCCOS", {-1.5L, 0.25L}, {0L, 0L}, {2.925421937341255081579825L, -9.937304660372428096855516e-1L}},
    {"ARCTAN", {-1.5L, 0.25L}, {0L, 0L}, {-9.916033841961419630655565e-1L, 7.605284360074787284003482e-2L}},
    {"ARCSINH", {-1.5L, 0.25L}, {0L, 0L}, {-1.202745551643967926171786L, 1.381951711332638251209487e-1L}},
    {"ARCCOSH", {-1.5L, 0.25L}, {0L, 0L}, {9.937304660372428096855516e-1L, 2.925421937341255081579825L}},
    {"ARCTANH", {-1.5L, 0.25L}, {0L, 0L}, {-7.514206511017897690708597e-1L, 1.388806848540074574813417L}},
    {"ARCCOT", {-1.5L, 0.25L}, {0L, 0L}, {-5.791929425987546561657652e-1L, -7.605284360074787284003482e-2L}},
    {"ARCSEC", {-1.5L, 0.25L}, {0L, 0L}, {2.268279967364483268711278L, 1.405848945385802260507298e-1L}},
    {"ARCCSC", {-1.5L, 0.25L}, {0L, 0L}, {-6.974836405695866494799562e-1L, -1.405848945385802260507298e-1L}},
    {"ARCCOTH", {-1.5L, 0.25L}, {0L, 0L}, {-7.514206511017897690708597e-1L, -1.819894782548220444179051e-1L}},
    {"ARCSECH", {-1.5L, 0.25L}, {0L, 0L}, {1.405848945385802260507298e-1L, -2.268279967364483268711278L}},
    {"ARCCSCH", {-1.5L, 0.25L}, {0L, 0L}, {-6.123362423543514404185558e-1L, -9.071195721193802884365005e-2L}},
    {"LOGIT", {-1.5L, 0.25L}, {0L, 0L}, {-5.021013020985175032580513e-1L, 3.076112628666328427561961L}},
    {"LOGISTIC", {-1.5L, 0.25L}, {0L, 0L}, {8.205469736755275360392226e-1L, -3.724480139261447474247876e-2L}},
    {"FISHER", {-1.5L, 0.25L}, {0L, 0L}, {-7.514206511017897690708597e-1L, 1.388806848540074574813417L}},
    {"FISHERINV", {-1.5L, 0.25L}, {0L, 0L}, {-9.152719132613140242514556e-1L, 4.380217692516718034098196e-2L}},
    {"EXP", {0.3L, -0.7L}, {0L, 0L}, {1.032428962911661590625246L, -8.696029191140401586334618e-1L}},
    {"LN", {0.3L, -0.7L}, {0L, 0L}, {-2.723635877208360157252166e-1L, -1.165904540509813195900556L}},
    {"SQRT", {0.3L, -0.7L}, {0L, 0L}, {7.285524382590421433868989e-1L, -4.804046786753803194841742e-1L}},
    {"LOG10", {0.3L, -0.7L}, {0L, 0L}, {-1.182860032185313587299545e-1L, -5.063459083693582044028216e-1L}},
    {"SIN", {0.3L, -0.7L}, {0L, 0L}, {3.709278039389643775821925e-1L, -7.247026904232854579313876e-1L}},
    {"COS", {0.3L, -0.7L}, {0L, 0L}, {1.199108751098743115496324L, 2.241768123375429429465779e-1L}},
    {"TAN", {0.3L, -0.7L}, {0L, 0L}, {1.89717091519086915929891e-1L, -6.398359302631800008716685e-1L}},
    {"COT", {0.3L, -0.7L}, {0L, 0L}, {4.259643163574610565485486e-1L, 1.436598423648484846019195L}},
    {"SEC", {0.3L, -0.7L}, {0L, 0L}, {8.057892751343933492148614e-1L, -1.506446107993857328638416e-1L}},
    {"CSC", {0.3L, -0.7L}, {0L, 0L}, {5.596532881163330171570422e-1L, 1.093426373798828593894005L}},
    {"SINH", {0.3L, -0.7L}, {0L, 0L}, {2.329099673126268286416229e-1L, -6.734255599525789344700152e-1L}},
    {"COSH", {0.3L, -0.7L}, {0L, 0L}, {7.995189955990347619836232e-1L, -1.961773591614612241634466e-1L}},
    {"TANH", {0.3L, -0.7L}, {0L, 0L}, {4.697051659675581743153138e-1L, -7.270371862435200470081744e-1L}},
    {"COTH", {0.3L, -0.7L}, {0L, 0L}, {6.269372612388378459010688e-1L, 9.704102389918896751888869e-1L}},
    {"SECH", {0.3L, -0.7L}, {0L, 0L}, {1.179725404999348734076355L, 2.894683125259030997046542e-1L}},
    {"CSCH", {0.3L, -0.7L}, {0L, 0L}, {4.587108000853298379723333e-1L, 1.326296083280639512757466L}},
    {"ARCSIN", {0.3L, -0.7L}, {0L, 0L}, {2.457320061010797201170427e-1L, -6.70336742987789740077931e-1L}},
    {"ARCCOS", {0.3L, -0.7L}, {0L, 0L}, {1.325064320693816899114279L, 6.70336742987789740077931e-1L}},
    {"ARCTAN", {0.3L, -0.7L}, {0L, 0L}, {4.800351812028440013474197e-1L, -7.016804321523099395298676e-1L}},
    {"ARCSINH", {0.3L, -0.7L}, {0L, 0L}, {3.855909873181749085612954e-1L, -7.089034409655052743482174e-1L}},
    {"ARCCOSH", {0.3L, -0.7L}, {0L, 0L}, {6.70336742987789740077931e-1L, -1.325064320693816899114279L}},
    {"ARCTANH", {0.3L, -0.7L}, {0L, 0L}, {1.998818960296292725508891e-1L, -6.396697661585147636128851e-1L}},
    {"ARCCOT", {0.3L, -0.7L}, {0L, 0L}, {1.090761145592052617883902L, 7.016804321523099395298676e-1L}},
    {"ARCSEC", {0.3L, -0.7L}, {0L, 0L}, {1.245674280960315537540755L, -1.06226327661332128897283L}},
    {"ARCCSC", {0.3L, -0.7L}, {0L, 0L}, {3.251220458345810816905669e-1L, 1.06226327661332128897283L}},
    {"ARCCOTH", {0.3L, -0.7L}, {0L, 0L}, {1.998818960296292725508891e-1L, 9.311265606363818556184366e-1L}},
    {"ARCSECH", {0.3L, -0.7L}, {0L, 0L}, {1.06226327661332128897283L, 1.245674280960315537540755L}},
    {"ARCCSCH", {0.3L, -0.7L}, {0L, 0L}, {8.790494510091994496755558e-1L, 1.025179259706058022951052L}},
    {"LOGIT", {0.3L, -0.7L}, {0L, 0L}, {-2.622622340620762915057054e-1L, -1.951302703907261505516216L}},
    {"LOGISTIC", {0.3L, -0.7L}, {0L, 0L}, {4.158867694232459960356322e-1L, 1.779429221443749187842896e-1L}},
    {"FISHER", {0.3L, -0.7L}, {0L, 0L}, {1.998818960296292725508891e-1L, -6.396697661585147636128851e-1L}},
    {"FISHERINV", {0.3L, -0.7L}, {0L, 0L}, {4.697051659675581743153138e-1L, -7.270371862435200470081744e-1L}},
    {"SQRT", {-2L, 0L}, {0L, 0L}, {0.0L, 1.414213562373095048801689L}},
    {"LN", {-2L, 0L}, {0L, 0L}, {6.931471805599453094172321e-1L, 3.141592653589793238462643L}},
    {"POWER", {1L, 2L}, {3L, 4L}, {1.290095940744668940770523e-1L, 3.392409290517012669761785e-2L}},
    {"POWER", {-1.5L, 0.25L}, {0.5L, 0L}, {1.01711927949859750581301e-1L, 1.228961071916957612599655L}},
    {"POWER", {0.3L, -0.7L}, {-2.5L, 1.5L}, {-9.140034755064324090919838L, 6.739698869954112903740525L}},
    {"POWER", {0L, 1L}, {0L, 1L}, {2.078795763507619085469556e-1L, 0.0L}},
    {"POWER", {-2L, 0L}, {3L, 0L}, {-8.0L, 0.0L}},
    {"POWER", {-2L, 0L}, {0.5L, 0L}, {0.0L, 1.414213562373095048801689L}},
    {"ROOT", {-8L, 0L}, {3L, 0L}, {1.0L, 1.732050807568877293527446L}},
    {"LOGBASE", {1L, 2L}, {3L, 4L}, {6.729526521196118045245601e-1L, 3.001811612672904414732513e-1L}},
};

class ComplexArith : public ::testing::Test {
 protected:
  void SetUp() override { initMachineConstants(in.set); }

  Interp in;
};

// Error measured as |got - want| / |want|, so a part that should be 0 is
// judged against the size of the value.
TEST_F(ComplexArith, AgainstReference) {
  Real worst = 0;
  std::string worstRow;
  for (const Row& r : kRows) {
    auto it = functions().find(r.fn);
    ASSERT_NE(it, functions().end()) << r.fn;
    Complex got = it->second(in, r.z, r.w);
    Real size = std::hypot(r.want.re, r.want.im);
    Real err = std::hypot(got.re - r.want.re, got.im - r.want.im) / (size == 0 ? 1 : size);
    EXPECT_LE(err, 1e-17L) << r.fn << "(" << static_cast<double>(r.z.re) << "," << static_cast<double>(r.z.im)
                           << ") = (" << static_cast<double>(got.re) << "," << static_cast<double>(got.im) << ")";
    if (err > worst) {
      worst = err;
      worstRow = std::string(r.fn) + "(" + std::to_string(static_cast<double>(r.z.re)) + ", " +
                 std::to_string(static_cast<double>(r.z.im)) + ")";
    }
  }
  std::printf("[ accuracy ] complex: worst relative error %.2Le at %s over %zu values\n", worst, worstRow.c_str(),
              std::size(kRows));
}

TEST_F(ComplexArith, ExactProductAndQuotient) {
  Complex p = cxMul({1, 2}, {3, 4});
  EXPECT_EQ(p.re, -5);
  EXPECT_EQ(p.im, 10);
  Complex q = cxDiv({1, 2}, {3, 4});
  EXPECT_NEAR(static_cast<double>(q.re), 0.44, 1e-18);
  EXPECT_NEAR(static_cast<double>(q.im), 0.08, 1e-18);
  EXPECT_TRUE(cxEqual({1, 2}, {1, 2}));
  EXPECT_FALSE(cxEqual({1, 2}, {1, -2}));
  EXPECT_EQ(cxAbs({3, -4}), 5);
}

TEST_F(ComplexArith, ArgByQuadrant) {
  const Real pi = std::acos(-1.0L);
  EXPECT_EQ(cxArg(in, {-1, 0}), pi);
  EXPECT_EQ(cxArg(in, {2, 0}), 0);
  EXPECT_EQ(cxArg(in, {0, 3}), pi / 2);
  EXPECT_EQ(cxArg(in, {0, -3}), -pi / 2);
  EXPECT_NEAR(static_cast<double>(cxArg(in, {-1, 1})), static_cast<double>(3 * pi / 4), 1e-18);
  EXPECT_NEAR(static_cast<double>(cxArg(in, {-1, -1})), static_cast<double>(-3 * pi / 4), 1e-18);
  EXPECT_NEAR(static_cast<double>(cxArg(in, {1, -1})), static_cast<double>(-pi / 4), 1e-18);
  EXPECT_EQ(stopText([&] { cxArg(in, {0, 0}); }), mathError("ARG is undefined for imaginary zero"));
  EXPECT_EQ(stopText([&] { cxLn(in, {0, 0}); }), mathError("ARG is undefined for imaginary zero"));
}

TEST_F(ComplexArith, ExpRefusesAnInfiniteImaginaryPart) {
  const std::string msg = mathError("exp: c^(oo*1i) and c^(-oo*1i) are undefined");
  EXPECT_EQ(stopText([&] { cxExp(in, {0, in.set.infinity}); }), msg);
  EXPECT_EQ(stopText([&] { cxExp(in, {1, in.set.negInfinity}); }), msg);
  Complex e = cxExp(in, {1, 0});
  EXPECT_EQ(e.re, std::exp(1.0L));
  EXPECT_EQ(e.im, 0);
}

TEST_F(ComplexArith, PowerSpecialCases) {
  const Complex oo = {in.set.infinity, 0};
  const Complex mOo = {in.set.negInfinity, 0};
  struct Case {
    Complex z, w, want;
  } cases[] = {
      {{0.5L, 0}, oo, {0, 0}},                   // |z| < 1
      {{0, 3}, oo, oo},                          // |z| > 1
      {{0, in.set.infinity}, mOo, {0, 0}},       // an infinite part
      {{in.set.negInfinity, 2}, mOo, {0, 0}},
      {oo, {-1, 5}, {0, 0}},                     // RE(w) < 0
      {oo, {2, -1}, oo},                         // RE(w) > 0
      {{0, 2}, {0, 0}, {1, 0}},                  // z^0 for a purely imaginary z
      {{3, -4}, {1, 0}, {3, -4}},                // w = 1
      {{0, 0}, {-2, 1}, oo},                     // 0 to a negative real part
      {{0, 0}, {2, 7}, {0, 0}},
      {{1, 0}, {2.5L, 3}, {1, 0}},
  };
  for (const Case& k : cases) {
    Complex got = cxPower(in, k.z, k.w);
    EXPECT_TRUE(cxEqual(got, k.want)) << "(" << static_cast<double>(k.z.re) << "," << static_cast<double>(k.z.im)
                                      << ")^(" << static_cast<double>(k.w.re) << "," << static_cast<double>(k.w.im)
                                      << ") = (" << static_cast<double>(got.re) << "," << static_cast<double>(got.im)
                                      << ")";
  }
}

TEST_F(ComplexArith, PowerFaultsStopWithTheirMessages) {
  const Complex oo = {in.set.infinity, 0};
  const Complex mOo = {in.set.negInfinity, 0};
  EXPECT_EQ(stopText([&] { cxPower(in, {0, 0}, {0, 0}); }), mathError("PWR: 0^x is undefined for RE(x) =0"));
  EXPECT_EQ(stopText([&] { cxPower(in, {0, 1}, oo); }), mathError("PWR: 1^oo is undefined"));
  EXPECT_EQ(stopText([&] { cxPower(in, {2, 1}, mOo); }),
            mathError("PWR: x^-oo is undefined except at x=oo,-oo,ooi,-ooi"));
  EXPECT_EQ(stopText([&] { cxPower(in, oo, {0, 3}); }), mathError("PWR: oo^x is undefined for RE(x) = 0"));
  EXPECT_EQ(stopText([&] { cxRoot(in, {16, 0}, {0, 0}); }), mathError("Attempted division by zero in ROOT"));
}

TEST_F(ComplexArith, UnitValueAndComponentwiseRounding) {
  Complex u = cxUnit(in, {3, -4});
  EXPECT_NEAR(static_cast<double>(u.re), 0.6, 1e-18);
  EXPECT_NEAR(static_cast<double>(u.im), -0.8, 1e-18);
  EXPECT_TRUE(cxEqual(cxUnit(in, {0, 0}), {0, 0}));
  EXPECT_TRUE(cxEqual(cxInt(in, {-2.5L, 2.5L}), {-2, 2}));
  EXPECT_TRUE(cxEqual(cxFloor(in, {-2.5L, 2.5L}), {-3, 2}));
  EXPECT_TRUE(cxEqual(cxCeil(in, {-2.5L, 2.5L}), {-2, 3}));
  EXPECT_TRUE(cxEqual(cxFrac(in, {-2.75L, 2.25L}), {-0.75L, 0.25L}));
  EXPECT_TRUE(cxEqual(cxSqr(in, {1, 2}), {-3, 4}));
  EXPECT_TRUE(cxEqual(cxNeg(in, {1, -2}), {-1, 2}));
  EXPECT_TRUE(cxEqual(cxInc(in, {1, -2}), {2, -2}));
  EXPECT_TRUE(cxEqual(cxDec(in, {1, -2}), {0, -2}));
}

TEST_F(ComplexArith, ReciprocalFormsAtZero) {
  EXPECT_EQ(stopText([&] { cxInvert(in, {0, 0}); }), "(0,0) Error (funct): Attempted division by zero\n");
  EXPECT_EQ(stopText([&] { cxArcCot(in, {0, 0}); }), mathError("Bad ARCCOT arg cannot be =0 but is 0.0000000000"));
  EXPECT_EQ(stopText([&] { cxArcCsch(in, {0, 0}); }), mathError("Bad ARCCSCH arg cannot be =0 but is 0.0000000000"));
  const Complex oo = {in.set.infinity, 0};
  EXPECT_TRUE(cxEqual(cxCot(in, {0, 0}), oo));
  EXPECT_TRUE(cxEqual(cxCsch(in, {0, 0}), oo));
  EXPECT_TRUE(cxEqual(cxSqrt(in, oo), oo));
  EXPECT_TRUE(cxEqual(cxInvert(in, {0, 2}), {0, -0.5L}));
}

}  // namespace
}  // namespace zav
