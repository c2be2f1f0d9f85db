// Steps that motion and envelope sections share: the key count, each key's frame and TCB
// fields, the order of the frames, and the closing "EndBehavior"; also the same checks
// for keys made in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/data_file.h"
#include "common/error.h"

namespace tessarine::anim::detail {

// Reads the key count of a section named `section` ("Motion", "Envelope"). Refuses 0 and
// any count the rest of the file cannot hold at `minKeyBytes` a key, before anything is
// allocated for it.
std::uint32_t readKeyCount(common::DataFile& file, std::string_view section, std::uint64_t minKeyBytes);

// Reads "EndBehavior" and its number, which has no effect on evaluation.
void readEndBehavior(common::DataFile& file);

// The refusal of a key whose frame does not come after the frame of the key before it.
[[noreturn]] void failKeyOrder(std::uint32_t frame, std::uint32_t previousFrame, const std::string& where);

// Reads the fields that follow a key's channel values: frame, linear flag, tension,
// continuity, bias. `previous` is the key read before it, if any.
template <typename Key>
void readKeyTail(common::DataFile& file, Key& key, const Key* previous) {
  key.frame = file.readUnsigned("key frame");
  // Checked at once, so the message names the line of the offending frame.
  if (previous != nullptr && key.frame <= previous->frame) {
    failKeyOrder(key.frame, previous->frame, " in " + file.where());
  }
  key.linear = file.readUnsigned("linear flag");
  key.tension = file.readFloat("tension");
  key.continuity = file.readFloat("continuity");
  key.bias = file.readFloat("bias");
}

// Evaluation relies on at least one key and strictly ascending frames.
template <typename Key>
void checkKeys(std::span<const Key> keys, std::string_view section) {
  if (keys.empty()) throw common::Error(std::string(section) + " without keys");
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (keys[i].frame <= keys[i - 1].frame) failKeyOrder(keys[i].frame, keys[i - 1].frame, "");
  }
}

}  // namespace tessarine::anim::detail
