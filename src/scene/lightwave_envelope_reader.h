// The keyed sections of LightWave scene files in each dialect: LWSC 1 motions and envelopes
// keyed in frames, the per-channel sections of LWSC 2, and the "{ Envelope" blocks of LWSC 3
// and later; and the blocks a reader passes over whole.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "anim/channel_envelope.h"
#include "anim/keyed_curve.h"
#include "scene/lightwave_scene_text.h"

namespace tessarine::scene::lightwave {

// LWSC 1 keys and what the section does after its last key (0 reset, 1 hold, 2 repeat).
template <std::size_t kCount>
struct FrameKeys {
  std::vector<anim::Key<kCount>> keys;
  std::int64_t endBehavior = kHoldAtEnd;
  static constexpr std::int64_t kHoldAtEnd = 1;
};

// LWSC 1, after "ObjectMotion (unnamed)" and the like: the channel count (nine), the key
// count, each key's nine values, frame, linear flag, tension, continuity and bias, then
// "EndBehavior" and its number. Frames must ascend.
FrameKeys<anim::kChannels> readFrameMotion(SceneText& text);
// LWSC 1, after "(envelope)": the same with one channel.
FrameKeys<1> readFrameEnvelope(SceneText& text);

// LWSC 2, after a motion keyword or "(envelope)": the channel count, then for each channel
// its key count and keys "value time shape tension continuity bias" (times in seconds),
// then an optional "Pre/PostBehavior" line with two numbers a channel. The rotations of a
// motion (channels 3 to 5) are written in degrees and come back in radians.
std::vector<anim::ChannelEnvelope> readSectionChannels(SceneText& text, bool motion);

// LWSC 3 and later: the "{ Envelope" block on the next line, for `owner` (named in messages).
anim::ChannelEnvelope readEnvelopeBlock(SceneText& text, std::string_view owner);

// The name of the block `line` opens ("Envelope" for "{ Envelope"), or nothing when it
// opens none.
std::optional<std::string_view> blockName(const Line& line);
// Passes over the block `opening` opened, nested blocks and all.
void skipBlock(SceneText& text, const Line& opening);
// Passes over a plug-in's data up to its "EndPlugin", nested plug-ins and all.
void skipPlugin(SceneText& text, const Line& opening);

}  // namespace tessarine::scene::lightwave
