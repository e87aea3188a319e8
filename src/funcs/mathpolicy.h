// Boost.Math error policy of the math library: no exceptions and no errno;
// a domain fault yields NaN and an overflow the IEEE infinity, which the
// callers then treat as values (the domain checks that must stop a run are
// made before Boost is called).
#pragma once
#include <boost/math/policies/policy.hpp>

namespace zav {

using BoostQuiet = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::denorm_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::indeterminate_result_error<boost::math::policies::ignore_error>,
    boost::math::policies::promote_float<false>, boost::math::policies::promote_double<false>>;

}  // namespace zav
