// A small JSON writer for the inspection tool: numbers that round-trip, non-finite
// numbers as null, strings escaped, separators placed by the writer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarine::inspect {

class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The name of the next member of the current object.
  void key(std::string_view name);

  void number(float value);   // 9 significant digits: enough to read back the same float
  void number(double value);  // 17 significant digits
  void integer(std::int64_t value);
  void boolean(bool value);
  void string(std::string_view text);
  void null();

  void number(std::optional<float> value) { value ? number(*value) : null(); }
  void integer(std::optional<std::uint32_t> value) { value ? integer(std::int64_t{*value}) : null(); }
  void numbers(std::span<const float> values);

  // The document written so far.
  const std::string& text() const { return text_; }

 private:
  void beforeValue();
  void appendString(std::string_view text);
  void open(char bracket);
  void close(char bracket);

  std::string text_;
  // One entry per open object or array: whether it already holds a member.
  std::vector<bool> hasMember_;
  bool afterKey_ = false;
};

}  // namespace tessarine::inspect
