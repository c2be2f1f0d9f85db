// The slow changes across the show: how loud the pad and arpeggio are and how open
// their filters, as smooth curves over the show's bars (a fractional bar is a time).
#pragma once

namespace tessarine::synth {

struct MixLevels {
  float pad = 0.0f;
  double padCutoff = 1000.0;  // hertz
  float arp = 0.0f;
  double arpBrightness = 1.0;  // scales the arpeggio's cutoff
  float reverb = 0.0f;        // send to the reverb of the pad, lead and arpeggio
};

MixLevels mixLevelsAt(double bar);

}  // namespace tessarine::synth
