// Sampling functions of time into keys, and the angle arithmetic of aiming.
#include "showgen/key_makers.h"

#include <cmath>

#include "common/error.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {
namespace {

std::vector<std::uint32_t> sampleFrames(std::uint32_t lastFrame, std::uint32_t step) {
  if (step == 0) throw common::Error("Key step must be at least one frame");
  std::vector<std::uint32_t> frames;
  for (std::uint32_t f = 0; f < lastFrame; f += step) frames.push_back(f);
  frames.push_back(lastFrame);
  // A last gap much shorter than the others would bend the spline; merge it.
  if (frames.size() > 2 && frames[frames.size() - 1] - frames[frames.size() - 2] < step / 2) {
    frames.erase(frames.end() - 2);
  }
  return frames;
}

double unwrapNear(double angle, double previous) {
  while (angle - previous > 180) angle -= 360;
  while (angle - previous < -180) angle += 360;
  return angle;
}

}  // namespace

formats::LwsMotionKey keyOf(const Placement& p, std::uint32_t frame) {
  formats::LwsMotionKey key;
  key.values = {static_cast<float>(p.position.x), static_cast<float>(p.position.y), static_cast<float>(p.position.z),
                static_cast<float>(p.heading),    static_cast<float>(p.pitch),      static_cast<float>(p.bank),
                static_cast<float>(p.scale.x),    static_cast<float>(p.scale.y),    static_cast<float>(p.scale.z)};
  key.frame = frame;
  return key;
}

formats::LwsMotion sampleMotion(const std::function<Placement(double)>& at, std::uint32_t lastFrame,
                                std::uint32_t step, double framesPerSecond) {
  formats::LwsMotion motion;
  for (std::uint32_t frame : sampleFrames(lastFrame, step)) motion.push_back(keyOf(at(frame / framesPerSecond), frame));
  unwrapAngles(motion);
  return motion;
}

formats::LwsMotion stillMotion(const Placement& placement) { return {keyOf(placement, 0)}; }

formats::LwsEnvelope sampleEnvelope(const std::function<double(double)>& at, std::uint32_t lastFrame,
                                    std::uint32_t step, double framesPerSecond) {
  formats::LwsEnvelope envelope;
  for (std::uint32_t frame : sampleFrames(lastFrame, step)) {
    formats::LwsEnvelopeKey key;
    key.values = {static_cast<float>(at(frame / framesPerSecond))};
    key.frame = frame;
    envelope.push_back(key);
  }
  return envelope;
}

void unwrapAngles(formats::LwsMotion& motion) {
  for (std::size_t i = 1; i < motion.size(); ++i) {
    for (int channel : {formats::kLwsHeading, formats::kLwsPitch, formats::kLwsBank}) {
      float& angle = motion[i].values[channel];
      angle = static_cast<float>(unwrapNear(angle, motion[i - 1].values[channel]));
    }
  }
}

formats::LwsEnvelope linearEnvelope(const std::vector<std::pair<std::uint32_t, double>>& points) {
  formats::LwsEnvelope envelope;
  for (const auto& [frame, value] : points) {
    formats::LwsEnvelopeKey key;
    key.frame = frame;
    key.values = {static_cast<float>(value)};
    key.linear = true;
    envelope.push_back(key);
  }
  return envelope;
}

formats::LwsEnvelope pulseEnvelope(const std::vector<std::pair<std::uint32_t, double>>& pulses, double base,
                                   std::uint32_t decayFrames, std::uint32_t lastFrame) {
  std::vector<std::pair<std::uint32_t, double>> points{{0, base}};
  for (std::size_t i = 0; i < pulses.size(); ++i) {
    auto [frame, peak] = pulses[i];
    if (frame > lastFrame) break;
    // The rise takes the one frame before the pulse; a pulse on frame 0 starts there.
    if (frame > points.back().first + 1) points.push_back({frame - 1, base});
    if (frame == 0) {
      points.front().second = peak;
    } else if (frame > points.back().first) {
      points.push_back({frame, peak});
    }
    std::uint32_t end = frame + decayFrames;
    std::uint32_t next = i + 1 < pulses.size() ? pulses[i + 1].first : lastFrame + 1;
    if (end < next && end <= lastFrame) points.push_back({end, base});
  }
  if (points.back().first < lastFrame) points.push_back({lastFrame, base});
  return linearEnvelope(points);
}

std::vector<std::uint32_t> accentFrames(std::size_t sceneIndex) {
  std::vector<std::uint32_t> frames;
  int beats = timeline::kScenes.at(sceneIndex).bars * timeline::kBeatsPerBar;
  for (int beat = 0; beat < beats; ++beat) {
    if (timeline::isAccent(sceneIndex, beat % timeline::kBeatsPerBar)) {
      frames.push_back(static_cast<std::uint32_t>(beat * timeline::kFramesPerBeat));
    }
  }
  return frames;
}

std::vector<std::uint32_t> beatFrames(std::size_t sceneIndex) {
  std::vector<std::uint32_t> frames;
  int beats = timeline::kScenes.at(sceneIndex).bars * timeline::kBeatsPerBar;
  for (int beat = 0; beat < beats; ++beat) frames.push_back(static_cast<std::uint32_t>(beat * timeline::kFramesPerBeat));
  return frames;
}

Angles aimAngles(const Vec3& d) {
  return {degrees(std::atan2(d.x, d.z)), degrees(std::atan2(-d.y, std::sqrt(d.x * d.x + d.z * d.z)))};
}

AxisAngles alignYAxis(const Vec3& direction) {
  Vec3 d = direction.normalized();
  double bank = degrees(std::acos(d.y < -1 ? -1 : (d.y > 1 ? 1 : d.y)));
  double heading = degrees(std::atan2(d.z, -d.x));
  return {heading, bank};
}

}  // namespace tessarine::showgen
