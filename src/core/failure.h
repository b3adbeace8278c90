// Failures of the engine. Every failure is a C++ exception; which message the user sees is
// decided by the operation's pending ErrorText (the step that was running), not by the
// exception itself.
#pragma once

#include <stdexcept>
#include <string>

namespace snapfolio {

// A failure raised by the engine's own checks (division by zero, sizes out of range, ...).
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace snapfolio
