// What a DATA statement prints after its observations are built.
#pragma once
#include <cstdint>

#include "data/datastore.h"

namespace zav {

struct Interp;

// The observation and statistics tables (PRINT_OBS, PRINT_DATA_STATS): the
// variables in blocks of six, each value in width 10 with 5 decimals.
void printDataTables(Interp& in, const DataSpec& desc);

// The basic header (PRINT_BASIC), with one line per variable when
// PRINT_FIELDS is on.
void printDataHeader(Interp& in, const DataSpec& desc);

}  // namespace zav
