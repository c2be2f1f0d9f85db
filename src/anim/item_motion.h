// An item's nine channels over time, kept as its scene file gave them: a LightWave 5 motion
// (one Kochanek-Bartels curve keyed in frames, rotations in degrees) or one envelope per
// channel (keys in seconds, rotations in radians). Either gives the channel values with
// rotations in degrees, so placement need not know which it was.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "anim/channel_envelope.h"
#include "anim/keyed_curve.h"

namespace tessarine::anim {

class ItemMotion {
 public:
  // Implicit, so a motion read from a LightWave 5 section stands wherever an item motion does.
  // After its last key it holds that key, as the show's scenes expect; a LightWave scene may
  // ask it to repeat the keyed span instead, or reset every channel to 0 (`after`).
  ItemMotion(Motion motion, Behavior after = Behavior::kConstant) : curves_(std::move(motion)), after_(after) {}
  // Exactly kChannels envelopes, in channel order (position, heading/pitch/bank, scale).
  // Throws common::Error otherwise.
  explicit ItemMotion(std::vector<ChannelEnvelope> channels);

  ChannelValues valueAt(double seconds) const;
  // The motion's keys; for envelopes, those of the channel with the most.
  std::uint32_t keyCount() const;

  // The LightWave 5 motion this holds, or null when it holds envelopes.
  const Motion* keyedMotion() const { return std::get_if<Motion>(&curves_); }
  // The per-channel envelopes this holds, or null when it holds a LightWave 5 motion.
  const std::vector<ChannelEnvelope>* channels() const { return std::get_if<std::vector<ChannelEnvelope>>(&curves_); }

 private:
  std::variant<Motion, std::vector<ChannelEnvelope>> curves_;
  Behavior after_ = Behavior::kConstant;
};

// A setting's envelope: a LightWave 5 envelope section (keyed in frames) or one channel
// envelope (keyed in seconds), whose values are multiplied by `scale` (a change of unit, such
// as radians to degrees).
class ValueEnvelope {
 public:
  ValueEnvelope(Envelope envelope, Behavior after = Behavior::kConstant)
      : curve_(std::move(envelope)), after_(after) {}
  explicit ValueEnvelope(ChannelEnvelope envelope, double scale = 1) : curve_(std::move(envelope)), scale_(scale) {}

  float valueAt(double seconds) const;

  const Envelope* keyedEnvelope() const { return std::get_if<Envelope>(&curve_); }
  const ChannelEnvelope* channelEnvelope() const { return std::get_if<ChannelEnvelope>(&curve_); }

 private:
  std::variant<Envelope, ChannelEnvelope> curve_;
  double scale_ = 1;
  Behavior after_ = Behavior::kConstant;  // of a LightWave 5 envelope, as for ItemMotion
};

}  // namespace tessarine::anim
