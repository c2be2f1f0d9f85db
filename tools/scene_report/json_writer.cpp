// JSON text for the inspection tool's document.
#include "scene_report/json_writer.h"

#include <cmath>
#include <cstdio>

namespace tessarine::inspect {
namespace {

template <typename T>
void appendFormatted(std::string& out, const char* format, T value) {
  char buffer[40];
  int length = std::snprintf(buffer, sizeof buffer, format, value);
  out.append(buffer, static_cast<std::size_t>(length));
}

}  // namespace

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasMember_.empty()) {
    if (hasMember_.back()) text_ += ", ";
    hasMember_.back() = true;
  }
}

void JsonWriter::open(char bracket) {
  beforeValue();
  text_ += bracket;
  hasMember_.push_back(false);
}

void JsonWriter::close(char bracket) {
  hasMember_.pop_back();
  text_ += bracket;
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(std::string_view name) {
  beforeValue();
  appendString(name);
  text_ += ": ";
  afterKey_ = true;
}

void JsonWriter::number(float value) {
  if (!std::isfinite(value)) return null();
  beforeValue();
  appendFormatted(text_, "%.9g", static_cast<double>(value));
}

void JsonWriter::number(double value) {
  if (!std::isfinite(value)) return null();
  beforeValue();
  appendFormatted(text_, "%.17g", value);
}

void JsonWriter::integer(std::int64_t value) {
  beforeValue();
  appendFormatted(text_, "%lld", static_cast<long long>(value));
}

void JsonWriter::boolean(bool value) {
  beforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::null() {
  beforeValue();
  text_ += "null";
}

void JsonWriter::numbers(std::span<const float> values) {
  beginArray();
  for (float value : values) number(value);
  endArray();
}

void JsonWriter::string(std::string_view text) {
  beforeValue();
  appendString(text);
}

void JsonWriter::appendString(std::string_view text) {
  text_ += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': text_ += "\\\""; break;
      case '\\': text_ += "\\\\"; break;
      case '\n': text_ += "\\n"; break;
      case '\t': text_ += "\\t"; break;
      case '\r': text_ += "\\r"; break;
      default:
        if (byte < 0x20) {
          appendFormatted(text_, "\\u%04x", static_cast<unsigned>(byte));
        } else {
          text_ += c;
        }
    }
  }
  text_ += '"';
}

}  // namespace tessarine::inspect
