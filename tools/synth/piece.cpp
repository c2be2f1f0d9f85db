// The mixer that plays the score: each note becomes a note-on and, for held notes, a
// note-off; every sample the voices are summed with their levels, pans and sends.
#include "synth/piece.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "synth/automation.h"
#include "synth/drums.h"
#include "synth/effects.h"
#include "synth/score.h"
#include "synth/voices.h"
#include "timeline/timeline.h"

namespace tessarine::synth {
namespace {

namespace tl = tessarine::timeline;

constexpr int kControlInterval = 32;  // samples between automation updates
constexpr double kEndFadeSeconds = 0.5;

// Levels of the dry voices in the mix.
constexpr float kKickLevel = 0.8f;
constexpr float kSnareLevel = 0.45f;
constexpr float kHatLevel = 0.22f;
constexpr float kRiserLevel = 0.15f;
constexpr float kBassLevel = 0.4f;
constexpr float kPadLevel = 0.8f;
constexpr float kArpLevel = 0.16f;
constexpr float kLeadLevel = 0.28f;
// Hats sit a little right, the arpeggio a little left, so neither masks the other.
constexpr float kHatLeft = 0.75f;
constexpr float kArpRight = 0.75f;

// Sends to the delay and the reverb.
constexpr float kArpDelaySend = 0.5f;
constexpr float kLeadDelaySend = 0.4f;
constexpr float kSnareDelaySend = 0.1f;
constexpr float kPadReverbSend = 0.6f;
constexpr float kLeadReverbSend = 0.8f;
constexpr float kArpReverbSend = 0.5f;
constexpr float kSnareReverbSend = 0.4f;
constexpr float kDelayReturn = 0.5f;

// A dotted eighth: the echoes fall between the beats.
constexpr double kDelaySeconds = 0.75 * tl::kSecondsPerBeat;
constexpr float kDelayFeedback = 0.4f;
constexpr float kDelayDamping = 0.3f;
constexpr float kReverbRoom = 0.84f;
constexpr float kReverbDamping = 0.25f;

// The pad breathes with the kick; the bass gives way a little less.
constexpr float kPadDuckDepth = 0.75f;
constexpr float kBassDuckDepth = 0.4f;
constexpr double kDuckAttack = 0.002;
constexpr double kDuckRelease = 0.18;

const MonoPatch kBassPatch = [] {
  MonoPatch patch;
  patch.waveform = Waveform::Saw;
  patch.detuneCents = 7.0;
  patch.amp = {0.003f, 0.2f, 0.7f, 0.05f};
  patch.cutoffHertz = 250.0;
  patch.envelopeHertz = 1200.0;
  patch.filterDecay = 0.12;
  patch.resonance = 1.2;
  return patch;
}();

const MonoPatch kArpPatch = [] {
  MonoPatch patch;
  patch.waveform = Waveform::Square;
  patch.amp = {0.002f, 0.12f, 0.3f, 0.08f};
  patch.cutoffHertz = 900.0;
  patch.envelopeHertz = 3000.0;
  patch.filterDecay = 0.08;
  patch.resonance = 1.5;
  return patch;
}();

const MonoPatch kLeadPatch = [] {
  MonoPatch patch;
  patch.waveform = Waveform::Saw;
  patch.detuneCents = 12.0;
  patch.amp = {0.02f, 0.3f, 0.75f, 0.3f};
  patch.cutoffHertz = 1500.0;
  patch.envelopeHertz = 2500.0;
  patch.filterDecay = 0.3;
  patch.resonance = 1.0;
  patch.vibratoCents = 12.0;
  patch.vibratoHertz = 5.5;
  return patch;
}();

struct Action {
  std::int64_t frame;
  bool on;
  std::size_t event;
};

// Note-ons and note-offs in time order; at one frame the offs come first, so a chord
// change releases the old tones before it strikes the new ones.
std::vector<Action> actionsOf(const std::vector<NoteEvent>& events) {
  std::vector<Action> actions;
  actions.reserve(2 * events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    actions.push_back({events[i].start, true, i});
    actions.push_back({events[i].start + events[i].length, false, i});
  }
  std::stable_sort(actions.begin(), actions.end(), [](const Action& a, const Action& b) {
    return a.frame != b.frame ? a.frame < b.frame : (!a.on && b.on);
  });
  return actions;
}

class Mixer {
 public:
  Mixer()
      : bass_(kBassPatch), arp_(kArpPatch), lead_(kLeadPatch),
        delay_(kDelaySeconds, kDelayFeedback, kDelayDamping), reverb_(kReverbRoom, kReverbDamping),
        padDucker_(kPadDuckDepth, kDuckAttack, kDuckRelease), bassDucker_(kBassDuckDepth, kDuckAttack, kDuckRelease) {}

  void apply(const NoteEvent& event, bool on, std::size_t id) {
    switch (event.instrument) {
      case Instrument::Kick:
        if (on) kick_.trigger(event.velocity);
        break;
      case Instrument::Snare:
        if (on) snare_.trigger(event.velocity);
        break;
      case Instrument::ClosedHat:
        if (on) hat_.triggerClosed(event.velocity);
        break;
      case Instrument::OpenHat:
        if (on) hat_.triggerOpen(event.velocity);
        break;
      case Instrument::Riser:
        if (on) riser_.start(static_cast<double>(event.length) / kSampleRate, event.velocity);
        break;
      case Instrument::Bass:
        mono(bass_, bassNote_, event, on, id);
        break;
      case Instrument::Arp:
        mono(arp_, arpNote_, event, on, id);
        break;
      case Instrument::Lead:
        mono(lead_, leadNote_, event, on, id);
        break;
      case Instrument::Pad:
        if (on) pad_.noteOn(event.note, event.velocity);
        else pad_.noteOff(event.note);
        break;
    }
  }

  void setLevels(const MixLevels& levels) {
    levels_ = levels;
    pad_.setCutoff(levels.padCutoff);
    arp_.setBrightness(levels.arpBrightness);
  }

  void next(float& left, float& right) {
    float kick = kick_.next() * kKickLevel;
    float snare = snare_.next() * kSnareLevel;
    float hat = hat_.next() * kHatLevel;
    float riser = riser_.next() * kRiserLevel;
    float bass = bass_.next() * kBassLevel * bassDucker_.gain(kick);
    float arp = arp_.next() * kArpLevel * levels_.arp;
    float lead = lead_.next() * kLeadLevel;
    float padLeft = 0.0f;
    float padRight = 0.0f;
    pad_.next(padLeft, padRight);
    float padGain = kPadLevel * levels_.pad * padDucker_.gain(kick);
    padLeft *= padGain;
    padRight *= padGain;

    float centre = kick + snare + riser + bass + lead;
    left = centre + hat * kHatLeft + arp + padLeft;
    right = centre + hat + arp * kArpRight + padRight;

    float echo = arp * kArpDelaySend + lead * kLeadDelaySend + snare * kSnareDelaySend;
    float echoLeft = 0.0f;
    float echoRight = 0.0f;
    delay_.process(echo, echo, echoLeft, echoRight);
    left += echoLeft * kDelayReturn;
    right += echoRight * kDelayReturn;

    float room = levels_.reverb * (lead * kLeadReverbSend + arp * kArpReverbSend + snare * kSnareReverbSend);
    reverb_.process(room + padLeft * levels_.reverb * kPadReverbSend, room + padRight * levels_.reverb * kPadReverbSend,
                    left, right);
  }

 private:
  // A monophonic voice answers only the note-off of the note it is playing, so a note
  // that starts before the last one ends is not cut short.
  static void mono(MonoVoice& voice, std::size_t& current, const NoteEvent& event, bool on, std::size_t id) {
    if (on) {
      voice.noteOn(event.note, event.velocity);
      current = id;
    } else if (current == id) {
      voice.noteOff();
    }
  }

  Kick kick_;
  Snare snare_;
  HiHat hat_;
  Riser riser_;
  MonoVoice bass_;
  MonoVoice arp_;
  MonoVoice lead_;
  Pad pad_;
  StereoDelay delay_;
  Reverb reverb_;
  Ducker padDucker_;
  Ducker bassDucker_;
  MixLevels levels_;
  std::size_t bassNote_ = 0;
  std::size_t arpNote_ = 0;
  std::size_t leadNote_ = 0;
};

// Fades the end of the show to silence over a half cosine, its last sample exactly zero.
void fadeOut(StereoBuffer& audio, std::size_t endFrame) {
  std::size_t length = static_cast<std::size_t>(kEndFadeSeconds * kSampleRate);
  std::size_t begin = endFrame > length ? endFrame - length : 0;
  for (std::size_t frame = begin; frame < endFrame; ++frame) {
    double remaining = static_cast<double>(endFrame - 1 - frame) / static_cast<double>(length);
    float gain = static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * remaining));
    audio.left[frame] *= gain;
    audio.right[frame] *= gain;
  }
}

}  // namespace

std::size_t pieceFrames() { return static_cast<std::size_t>(framesOfBars(tl::totalBars())); }

StereoBuffer renderBars(int firstBar, int barCount) {
  StereoBuffer audio(static_cast<std::size_t>(framesOfBars(std::max(barCount, 0))));
  std::vector<NoteEvent> events = scoreBars(firstBar, barCount);
  std::vector<Action> actions = actionsOf(events);
  double framesPerBar = static_cast<double>(framesOfBars(1));

  Mixer mixer;
  std::size_t nextAction = 0;
  for (std::size_t frame = 0; frame < audio.frames(); ++frame) {
    std::int64_t now = static_cast<std::int64_t>(frame);
    while (nextAction < actions.size() && actions[nextAction].frame <= now) {
      const Action& action = actions[nextAction++];
      mixer.apply(events[action.event], action.on, action.event);
    }
    if (frame % kControlInterval == 0) mixer.setLevels(mixLevelsAt(firstBar + static_cast<double>(frame) / framesPerBar));
    mixer.next(audio.left[frame], audio.right[frame]);
  }

  // Where the excerpt holds the end of the show, that end fades to zero.
  int endBar = tl::totalBars() - firstBar;
  if (endBar > 0 && endBar <= barCount) fadeOut(audio, static_cast<std::size_t>(framesOfBars(endBar)));
  if (endBar >= 0 && endBar < barCount) {
    for (std::size_t frame = static_cast<std::size_t>(framesOfBars(endBar)); frame < audio.frames(); ++frame) {
      audio.left[frame] = 0.0f;
      audio.right[frame] = 0.0f;
    }
  }
  return audio;
}

StereoBuffer renderPiece() { return renderBars(0, tl::totalBars()); }

}  // namespace tessarine::synth
