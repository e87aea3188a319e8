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
// 0), then `finish` applies the transforms and keeps or drops it. Returns
// the number of observations read.
std::int32_t readDataFile(Interp& in, const DataSpec& desc, std::vector<Real>& slots, const std::function<void()>& finish);

}  // namespace zav
