#include "driver/driver.h"
#include "driver/interp.h"

int main(int argc, char** argv) {
  zav::Interp in;
  return zav::runDriver(in, argc, argv);
}
