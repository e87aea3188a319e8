// The data-file reader of the DATA statement.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "data/datastore.h"

namespace zav {

struct Interp;

// Reads the file named by DATAFILENAME, `desc.linesPerObs` lines per
// observation, counting observations in LINE_NUMB. For each one the values
// of the read variables are converted into `slots` (computed variables get
// 0), then `finish` applies the transforms and keeps or drops it; `complete`
// is false when a read variable's field was missing, and the observation is
// then to be dropped untransformed. Returns the number of observations read.
// Before the first observation, `reserve` is told how many there can be at
// most, when the file can be read ahead.
std::int32_t readDataFile(Interp& in, const DataSpec& desc, std::vector<Real>& slots,
                          const std::function<void(std::int64_t)>& reserve,
                          const std::function<void(bool complete)>& finish);

}  // namespace zav
