// Process-wide settings both programs make before anything else runs. They belong to the
// programs, not to the engine: a library never changes how the whole process allocates memory or
// handles signals. Called once, first thing in main().
#pragma once

#include <csignal>

#include <malloc.h>

namespace snapfolio {

inline void setUpProcess() {
  // A write over the file size limit fails with its message instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Buffers of a megabyte and more (photo files, decodings, encodings) go back to the system
  // when they are freed. Otherwise each worker's heap keeps the largest it has seen, and a run's
  // memory grows with its workers beyond its budget.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

}  // namespace snapfolio
