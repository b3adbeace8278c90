// ErrorText: the numbered message of the step now running in one operation (a pipeline call
// or a conversion run). Each step stores its message before it starts; the operation's one
// failure handler shows whatever is stored when a failure unwinds to it.
//
// Owned by the operation that runs; not shared between threads.
#pragma once

#include <string>
#include <utility>

namespace snapfolio {

class ErrorText {
 public:
  void set(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace snapfolio
