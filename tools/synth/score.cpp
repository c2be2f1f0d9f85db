// The notes of the piece, bar by bar. Every scene of the timeline is one section; its
// chords change on bar lines, so a scene change always falls on a new chord and a downbeat.
#include "synth/score.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "synth/audio_buffer.h"
#include "timeline/timeline.h"

namespace tessarine::synth {
namespace {

namespace tl = tessarine::timeline;

constexpr int kStepsPerBeat = kStepsPerBar / tl::kBeatsPerBar;

// Scenes by their place in the play list.
enum Scene { kArrival, kHypercube, kTerrain, kCrystalCity, kVertigo, kUnfolding };

// A chord: the bass's root and the pad's four tones, in A minor.
struct Chord {
  int root;
  std::array<int, 4> tones;
};

constexpr Chord kAm{33, {57, 60, 64, 67}};
constexpr Chord kF{41, {53, 57, 60, 64}};
constexpr Chord kC{36, {52, 55, 60, 64}};
constexpr Chord kG{43, {55, 59, 62, 67}};
constexpr Chord kDm{38, {53, 57, 62, 65}};
constexpr Chord kE{40, {52, 56, 59, 64}};

// One chord a bar, cycled over the section.
constexpr std::array<Chord, 10> kArrivalChords = {kAm, kAm, kF, kF, kC, kC, kG, kG, kDm, kE};
constexpr std::array<Chord, 4> kMainChords = {kAm, kF, kC, kG};
constexpr std::array<Chord, 4> kVertigoChords = {kDm, kF, kC, kE};
// The outro comes home to A minor and holds it while everything dies away.
constexpr std::array<Chord, 15> kUnfoldingChords = {kAm, kF, kC, kG, kAm, kF, kDm, kE,
                                                    kAm, kAm, kAm, kAm, kAm, kAm, kAm};
// The outro's last notes stop here, so their release and the reverb have died before the
// loop starts again from silence.
constexpr int kUnfoldingLastNoteBar = 12;

// The lead's motif over the main chords: (step in the four bars, note, steps held).
struct MotifNote {
  int step;
  int note;
  int length;
};
constexpr std::array<MotifNote, 14> kLeadMotif = {{
    {0, 76, 6}, {6, 74, 2}, {8, 72, 4}, {12, 69, 4},
    {16, 72, 6}, {22, 69, 2}, {24, 77, 8},
    {32, 79, 4}, {36, 76, 4}, {40, 72, 6}, {46, 74, 2},
    {48, 74, 8}, {56, 71, 4}, {60, 67, 4},
}};
constexpr int kMotifBars = 4;

// The arpeggio walks the chord's tones an octave up, up and back down.
constexpr std::array<int, 8> kArpPattern = {0, 1, 2, 3, 4, 3, 2, 1};
constexpr int kOctave = 12;

// Drum and bass velocities.
constexpr float kKickAccent = 1.0f;
constexpr float kKickPlain = 0.82f;
constexpr float kSnareVelocity = 0.85f;
constexpr float kHatOffbeat = 0.7f;
constexpr float kHatGhost = 0.3f;
constexpr float kHatAccentBoost = 0.2f;
constexpr float kBassVelocity = 0.9f;
constexpr float kLeadVelocity = 0.8f;
constexpr float kArpVelocity = 0.7f;
constexpr float kPadVelocity = 0.8f;
constexpr float kRiserVelocity = 1.0f;

struct Position {
  int scene;
  int barInScene;
};

Position positionOf(int bar) {
  for (std::size_t scene = 0; scene < tl::kScenes.size(); ++scene) {
    if (bar < tl::firstBarOf(scene) + tl::kScenes[scene].bars) {
      return {static_cast<int>(scene), bar - tl::firstBarOf(scene)};
    }
  }
  return {-1, 0};
}

std::span<const Chord> chordsOf(int scene) {
  switch (scene) {
    case kArrival:
      return kArrivalChords;
    case kVertigo:
      return kVertigoChords;
    case kUnfolding:
      return kUnfoldingChords;
    default:
      return kMainChords;
  }
}

const Chord& chordAt(const Position& position) {
  std::span<const Chord> chords = chordsOf(position.scene);
  return chords[static_cast<std::size_t>(position.barInScene) % chords.size()];
}

bool sameChord(const Chord& a, const Chord& b) { return a.root == b.root && a.tones == b.tones; }

// Collects the notes of one bar at frame offsets from the first bar scored.
class BarWriter {
 public:
  BarWriter(std::vector<NoteEvent>& events, std::int64_t barStart) : events_(events), barStart_(barStart) {}

  void add(Instrument instrument, double step, double steps, int note, float velocity) {
    std::int64_t start = barStart_ + frameOfStep(step);
    std::int64_t end = barStart_ + frameOfStep(step + steps);
    events_.push_back({start, std::max<std::int64_t>(1, end - start), instrument, note, velocity});
  }
  void hit(Instrument instrument, int step, float velocity) { add(instrument, step, 1, 0, velocity); }

 private:
  static std::int64_t frameOfStep(double step) {
    return std::llround(step * static_cast<double>(framesOfBars(1)) / kStepsPerBar);
  }

  std::vector<NoteEvent>& events_;
  std::int64_t barStart_;
};

float kickVelocity(int scene, int step) {
  if (step % kStepsPerBeat != 0) return kKickPlain;
  return tl::isAccent(static_cast<std::size_t>(scene), step / kStepsPerBeat) ? kKickAccent : kKickPlain;
}

void fourOnTheFloor(BarWriter& bar, int scene) {
  for (int step = 0; step < kStepsPerBar; step += kStepsPerBeat) bar.hit(Instrument::Kick, step, kickVelocity(scene, step));
}

void backbeat(BarWriter& bar) {
  bar.hit(Instrument::Snare, 4, kSnareVelocity);
  bar.hit(Instrument::Snare, 12, kSnareVelocity);
}

// Closed hats on the off-beat eighths, with softer sixteenths between when `busy`.
void hats(BarWriter& bar, int scene, bool busy, bool openOffbeats, float scale) {
  for (int step = 0; step < kStepsPerBar; ++step) {
    bool offbeat = step % kStepsPerBeat == 2;
    bool accent = step % kStepsPerBeat == 0 && tl::isAccent(static_cast<std::size_t>(scene), step / kStepsPerBeat);
    if (offbeat) {
      bar.hit(openOffbeats ? Instrument::OpenHat : Instrument::ClosedHat, step, kHatOffbeat * scale);
    } else if (busy) {
      bar.hit(Instrument::ClosedHat, step, (kHatGhost + (accent ? kHatAccentBoost : 0.0f)) * scale);
    }
  }
}

// A roll that speeds up and swells into the next section: eighths, then sixteenths.
void snareRoll(BarWriter& bar, bool sixteenths, float from, float to) {
  int every = sixteenths ? 1 : 2;
  for (int step = 0; step < kStepsPerBar; step += every) {
    bar.hit(Instrument::Snare, step, from + (to - from) * static_cast<float>(step) / kStepsPerBar);
  }
}

void riser(BarWriter& bar, int bars) { bar.add(Instrument::Riser, 0, bars * kStepsPerBar, 0, kRiserVelocity); }

void bassLong(BarWriter& bar, const Chord& chord, float velocity) {
  bar.add(Instrument::Bass, 0, kStepsPerBar - 1, chord.root, velocity);
}

void bassOffbeats(BarWriter& bar, const Chord& chord) {
  for (int step = 2; step < kStepsPerBar; step += kStepsPerBeat) bar.add(Instrument::Bass, step, 1.5, chord.root, kBassVelocity);
}

// Sixteenths around the kick: the gaps on the beats leave the kick its own room.
void bassRolling(BarWriter& bar, const Chord& chord) {
  for (int step = 0; step < kStepsPerBar; ++step) {
    if (step % kStepsPerBeat == 0) continue;
    int note = chord.root + (step % kStepsPerBeat == 3 ? kOctave : 0);
    bar.add(Instrument::Bass, step, 0.8, note, kBassVelocity);
  }
}

void arpeggio(BarWriter& bar, const Chord& chord) {
  for (int step = 0; step < kStepsPerBar; ++step) {
    int index = kArpPattern[static_cast<std::size_t>(step) % kArpPattern.size()];
    int note = index < 4 ? chord.tones[static_cast<std::size_t>(index)] + kOctave : chord.tones[0] + 2 * kOctave;
    bar.add(Instrument::Arp, step, 0.7, note, kArpVelocity);
  }
}

void leadMotif(BarWriter& bar, int barInMotif) {
  for (const MotifNote& note : kLeadMotif) {
    int step = note.step - barInMotif * kStepsPerBar;
    if (step >= 0 && step < kStepsPerBar) bar.add(Instrument::Lead, step, note.length, note.note, kLeadVelocity);
  }
}

void scoreBar(BarWriter& bar, const Position& at) {
  const Chord& chord = chordAt(at);
  int b = at.barInScene;
  int bars = tl::kScenes[static_cast<std::size_t>(at.scene)].bars;
  bool lastBar = b == bars - 1;
  switch (at.scene) {
    case kArrival:
      // From silence: the pad swells first, the arpeggio comes in, the hats creep in.
      if (b >= 4) arpeggio(bar, chord);
      if (b >= 6) hats(bar, at.scene, false, false, 0.2f + 0.15f * static_cast<float>(b - 6));
      if (b >= 6) bassLong(bar, chord, 0.5f);
      if (b == bars - 2) riser(bar, 2);
      break;
    case kHypercube:
      fourOnTheFloor(bar, at.scene);
      bassOffbeats(bar, chord);
      hats(bar, at.scene, b >= 8, false, 1.0f);
      if (b >= 4) backbeat(bar);
      arpeggio(bar, chord);
      break;
    case kTerrain:
      // The breakdown: no kick; long bass, the lead over an open pad, then the build.
      bassLong(bar, chord, 0.6f);
      if (b < 6) arpeggio(bar, chord);
      if (b >= 2 && b < 10) leadMotif(bar, (b - 2) % kMotifBars);
      if (b == bars - 2) {
        snareRoll(bar, false, 0.15f, 0.45f);
        riser(bar, 2);
      }
      if (lastBar) snareRoll(bar, true, 0.45f, 0.95f);
      break;
    case kCrystalCity:
      fourOnTheFloor(bar, at.scene);
      backbeat(bar);
      hats(bar, at.scene, true, true, 1.0f);
      bassRolling(bar, chord);
      arpeggio(bar, chord);
      if (b >= 4) leadMotif(bar, b % kMotifBars);
      break;
    case kVertigo:
      fourOnTheFloor(bar, at.scene);
      hats(bar, at.scene, true, true, 1.0f);
      bassRolling(bar, chord);
      arpeggio(bar, chord);
      if (lastBar) {
        snareRoll(bar, true, 0.5f, 1.0f);
        riser(bar, 1);
      } else {
        backbeat(bar);
      }
      break;
    case kUnfolding:
      // Drums drop out a layer at a time; the harmony comes home and is left to ring.
      if (b < 6) fourOnTheFloor(bar, at.scene);
      if (b < 4) backbeat(bar);
      if (b < 8) hats(bar, at.scene, b < 4, false, 1.0f - 0.1f * static_cast<float>(b));
      if (b < 4) bassOffbeats(bar, chord);
      else if (b < kUnfoldingLastNoteBar) bassLong(bar, chord, 0.6f);
      if (b < 10) arpeggio(bar, chord);
      break;
    default:
      break;
  }
}

}  // namespace

std::int64_t framesOfBars(int bars) { return std::llround(tl::secondsOfBars(bars) * kSampleRate); }

std::vector<NoteEvent> scoreBars(int firstBar, int barCount) {
  std::vector<NoteEvent> events;
  int lastBar = std::min(firstBar + barCount, tl::totalBars());
  for (int bar = std::max(firstBar, 0); bar < lastBar; ++bar) {
    Position at = positionOf(bar);
    BarWriter writer(events, framesOfBars(bar - firstBar));
    scoreBar(writer, at);

    // The pad sounds each chord once, held over the bars it lasts.
    const Chord& chord = chordAt(at);
    bool continues = bar > firstBar && sameChord(chordAt(positionOf(bar - 1)), chord);
    bool silent = at.scene == kUnfolding && at.barInScene >= kUnfoldingLastNoteBar;
    if (!continues && !silent) {
      int held = 1;
      while (bar + held < lastBar) {
        Position next = positionOf(bar + held);
        if (!sameChord(chordAt(next), chord)) break;
        if (next.scene == kUnfolding && next.barInScene >= kUnfoldingLastNoteBar) break;
        ++held;
      }
      for (int tone : chord.tones) writer.add(Instrument::Pad, 0, held * kStepsPerBar, tone, kPadVelocity);
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const NoteEvent& a, const NoteEvent& b) { return a.start < b.start; });
  return events;
}

}  // namespace tessarine::synth
