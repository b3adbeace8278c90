// Failures of the engine. Every failure is a C++ exception; which message the user sees is
// decided by the operation's pending ErrorText (the step that was running), not by the
// exception itself.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace snapfolio {

// A failure raised by the engine's own checks (division by zero, sizes out of range, ...).
// `cause` says why in the user's words and language ("ファイルが存在しない。"), when the code
// that failed knows it; the operation shows it on the line after the step's message.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& what, std::string cause = {})
      : std::runtime_error(what), cause_(std::move(cause)) {}
  const std::string& cause() const { return cause_; }

 private:
  std::string cause_;
};

}  // namespace snapfolio
