// Attack-decay-sustain-release envelope with straight segments, stepped once per sample.
#pragma once

namespace tessarine::synth {

struct AdsrShape {
  float attack = 0.01f;   // seconds from 0 to 1
  float decay = 0.1f;     // seconds from 1 to sustain
  float sustain = 0.7f;   // level held while the gate is on
  float release = 0.2f;   // seconds from the level at gate off to 0
};

class Adsr {
 public:
  explicit Adsr(AdsrShape shape = {});

  void setShape(const AdsrShape& shape) { shape_ = shape; }
  // Starts the attack from the present level, so a retrigger does not click.
  void gateOn();
  void gateOff();
  float next();
  float level() const { return level_; }
  // False once the release has reached 0.
  bool active() const { return stage_ != Stage::Idle; }

 private:
  enum class Stage { Idle, Attack, Decay, Sustain, Release };

  AdsrShape shape_;
  Stage stage_ = Stage::Idle;
  float level_ = 0.0f;
  float releaseStep_ = 0.0f;
};

}  // namespace tessarine::synth
