// snapfolio-cli: the command-line front end of the conversion engine.
#include <cstdio>

int main() {
  std::fputs("usage: snapfolio-cli convert|render ...\n", stderr);
  return 2;
}
