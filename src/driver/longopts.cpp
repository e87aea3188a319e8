#include "driver/longopts.h"

#include <string_view>

#include "core/interp.h"
#include "core/os.h"
#include "core/runoptions.h"
#include "driver/driver.h"
#include "estimate/estimate.h"

namespace zav {

void readLongOption(Interp& in, const std::string& arg) {
  const std::string_view body = std::string_view(arg).substr(2);
  const auto eq = body.find('=');
  const std::string name(body.substr(0, eq));
  const bool hasValue = eq != std::string_view::npos;
  const std::string value = hasValue ? std::string(body.substr(eq + 1)) : std::string();
  for (const LongOptInfo& o : kLongOptions) {
    if (o.name != name) continue;
    if (!o.value.empty() && value.empty())
      usageReport(in, "Option --" + name + " needs a value: --" + name + "=" + std::string(o.value));
    if (o.value.empty() && hasValue) usageReport(in, "Option --" + name + " takes no value");
    switch (o.code) {
      case LongOpt::ProfileCi: in.opts.profileCi = true; break;
      case LongOpt::Results:
        if (!resultsFileNameValid(value)) usageReport(in, "Option --results needs a file ending in .csv or .json");
        // Named from where zav started, whatever folder the program moves to.
        in.opts.resultsFile = fullPath(value);
        break;
    }
    return;
  }
  usageReport(in, "Unknown option --" + name);
}

}  // namespace zav
