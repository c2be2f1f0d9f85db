// Renders the piece: the score played through the voices, the side-chained pad, the
// delay and the reverb, summed to stereo. The level is the raw mix; mastering sets it.
#pragma once

#include <cstddef>

#include "synth/audio_buffer.h"

namespace tessarine::synth {

// Frames of the whole show, from the timeline alone.
std::size_t pieceFrames();

// Bars [firstBar, firstBar + barCount) of the show, started from silence: an excerpt does
// not hear notes begun before it. Bars past the end of the show are silent. The show's
// last bar ends in a fade to exact zero, so the loop restarts without a click.
StereoBuffer renderBars(int firstBar, int barCount);

// The whole show.
StereoBuffer renderPiece();

}  // namespace tessarine::synth
