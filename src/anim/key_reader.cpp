// Reading steps shared by the motion and envelope sections of a scene file.
#include "anim/key_reader.h"

namespace tessarine::anim::detail {

std::uint32_t readKeyCount(common::DataFile& file, std::string_view section, std::uint64_t minKeyBytes) {
  std::uint32_t count = file.readUnsigned("key count");
  if (count == 0) throw common::Error(std::string(section) + " section without keys in " + file.where());
  if (count > file.remaining() / minKeyBytes) {
    throw common::Error("Key count " + std::to_string(count) + " in " + file.where() +
                        " is more than the rest of the file can hold");
  }
  return count;
}

void readEndBehavior(common::DataFile& file) {
  if (file.readToken("\"EndBehavior\"") != "EndBehavior") throw common::Error("Not EndBehavior");
  file.readUnsigned("end behaviour");
}

void failKeyOrder(std::uint32_t frame, std::uint32_t previousFrame, const std::string& where) {
  throw common::Error("Key at frame " + std::to_string(frame) + " does not come after the key at frame " +
                      std::to_string(previousFrame) + where);
}

}  // namespace tessarine::anim::detail
