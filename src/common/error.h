// The one failure the readers raise: an exception that owns its message text,
// so a message formatted at the point of failure outlives the frame that made it.
#pragma once

#include <exception>
#include <string>

namespace tessarine::common {

class Error : public std::exception {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

}  // namespace tessarine::common
