#include "data/datareport.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/interp.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr std::size_t kBlockSize = 6;

std::string value(Interp& in, Real x) { return "  " + realToText(in.set, x, 10, 5); }

const Real* elements(const Symbol& v) { return static_cast<const Real*>(v.block); }

}  // namespace

void printDataTables(Interp& in, const DataSpec& desc) {
  const bool obs = getBooleanByName(in, "PRINT_OBS");
  const bool stats = getBooleanByName(in, "PRINT_DATA_STATS");
  if (!obs && !stats) return;
  std::printf("\n");
  struct Row {
    const char* label;
    DataStat stat;
  };
  constexpr Row kRows[] = {{"MEAN ", DataStat::Mean},
                           {"VAR  ", DataStat::Var},
                           {"STDEV", DataStat::StDev},
                           {"MIN  ", DataStat::Min},
                           {"MAX  ", DataStat::Max}};
  for (std::size_t first = 0; first < desc.vars.size(); first += kBlockSize) {
    const std::size_t last = std::min(first + kBlockSize, desc.vars.size());
    std::string line = "NAME ";
    for (std::size_t k = first; k < last; ++k) {
      char name[16];
      std::snprintf(name, sizeof name, "%10.10s", desc.vars[k].symbol->name.c_str());
      line += "  ";
      line += name;
    }
    std::printf("%s\n\n", line.c_str());
    if (obs) {
      // The statement has just rebuilt all its variables to one length.
      const std::int32_t n = dataObsCount(*desc.vars[first].symbol);
      for (std::int32_t i = 0; i < n; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%5d", i + 1);
        line = number;
        for (std::size_t k = first; k < last; ++k) line += value(in, elements(*desc.vars[k].symbol)[i]);
        std::printf("%s\n", line.c_str());
      }
      std::printf("\n");
    }
    if (stats) {
      for (const Row& row : kRows) {
        line = row.label;
        for (std::size_t k = first; k < last; ++k) {
          const Symbol& v = *desc.vars[k].symbol;
          line += value(in, elements(v)[dataObsCount(v) + static_cast<int>(row.stat)]);
        }
        std::printf("%s\n", line.c_str());
      }
      std::printf("\n");
    }
  }
}

void printDataHeader(Interp& in, const DataSpec& desc) {
  if (!getBooleanByName(in, "PRINT_BASIC")) return;
  std::printf("\n%s\n", getStringByName(in, "TITLE").c_str());
  const Symbol* program = lookup(in, "ZAVFILE");
  std::printf("Program file: %s\n",
              program && program->type == ValueType::String ? getStringByName(in, "ZAVFILE").c_str() : "");
  if (lookup(in, "DATAFILENAME"))
    std::printf("Input data file name: %s\n", getStringByName(in, "DATAFILENAME").c_str());
  std::printf("    %d variables read.\n", in.set.nVars);
  if (getBooleanByName(in, "PRINT_FIELDS"))
    for (const DataVarSpec& v : desc.vars)
      std::printf("    %s in field %d of line %d\n", v.symbol->name.c_str(), v.field, v.line);
  std::printf("\n");
}

}  // namespace zav
