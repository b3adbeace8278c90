// Failures of the engine. Every failure is a C++ exception. The message the user sees is the one
// of the step that was running when it happened: each step of an operation runs in `inStep`,
// which gives a failure inside it the step's message (StepFailure); the operation's one handler
// shows that message with the cause below it.
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

// A failure with the numbered message of the step it happened in
// ("0101 : /photos/a.jpgの読み込みに失敗した。"), and its cause when it has one.
class StepFailure : public Failure {
 public:
  StepFailure(std::string message, std::string cause)
      : Failure(message, std::move(cause)), message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// Runs one step of an operation and returns what it returns. A failure inside it leaves as a
// StepFailure with `message` and the failure's cause (none for a failure that is no Failure,
// such as no memory); a StepFailure of a step inside it keeps that step's message.
template <typename Step>
decltype(auto) inStep(const std::string& message, Step&& step) {
  try {
    return std::forward<Step>(step)();
  } catch (const StepFailure&) {
    throw;
  } catch (const Failure& e) {
    throw StepFailure(message, e.cause());
  } catch (...) {
    throw StepFailure(message, {});
  }
}

}  // namespace snapfolio
