// The mix's shared effects: a ping-pong stereo delay, a reverb of parallel combs and
// series all-passes, and a ducker that pulls a bus down under a side-chain key (the kick).
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace tessarine::synth {

class StereoDelay {
 public:
  // `feedback` below 1 keeps the echoes dying away.
  StereoDelay(double seconds, float feedback, float damping);
  // Adds the echoes of the send (`left`, `right`) to `outLeft`, `outRight`.
  void process(float left, float right, float& outLeft, float& outRight);

 private:
  std::vector<float> left_;
  std::vector<float> right_;
  std::size_t position_ = 0;
  float feedback_;
  float damping_;
  float dampedLeft_ = 0.0f;
  float dampedRight_ = 0.0f;
};

class Reverb {
 public:
  static constexpr std::size_t kCombs = 8;
  static constexpr std::size_t kAllPasses = 4;

  // `roomSize` is the comb feedback (below 1); `damping` how fast the highs die.
  Reverb(float roomSize, float damping);
  void process(float left, float right, float& outLeft, float& outRight);

 private:
  struct Comb {
    std::vector<float> buffer;
    std::size_t position = 0;
    float filtered = 0.0f;
  };
  struct AllPass {
    std::vector<float> buffer;
    std::size_t position = 0;
  };
  struct Channel {
    std::array<Comb, kCombs> combs;
    std::array<AllPass, kAllPasses> allPasses;
  };

  float processChannel(Channel& channel, float input);

  Channel left_;
  Channel right_;
  float feedback_;
  float damping_;
};

class Ducker {
 public:
  // `depth` 0 to 1: the share of the level taken away at the key's full level.
  Ducker(float depth, double attackSeconds, double releaseSeconds);
  // The gain for this sample, given the key's sample.
  float gain(float key);

 private:
  float depth_;
  float attack_;
  float release_;
  float envelope_ = 0.0f;
};

}  // namespace tessarine::synth
