#include "core/interp.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  zav::Interp in;
  return zav::runDriver(in, argc, argv);
}
