// The one failure the readers raise: an exception that owns its message text,
// so a message formatted at the point of failure outlives the frame that made it.
#pragma once

#include <exception>
#include <string>

namespace tessarine::common {

class Error : public std::exception {
 public:
  explicit Error(std::string message, std::string where = {})
      : message_(std::move(message)), where_(std::move(where)) {}
  // The text the player prints as it stands; never carries the place.
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }
  // Where the fault lies and what was found there (file and line or byte offset, the word
  // read, the system's reason), for authors' tools; empty when no reader said.
  const std::string& where() const noexcept { return where_; }
  // The message followed by the place in parentheses, when there is one.
  std::string described() const { return where_.empty() ? message_ : message_ + " (" + where_ + ")"; }

 private:
  std::string message_;
  std::string where_;
};

}  // namespace tessarine::common
