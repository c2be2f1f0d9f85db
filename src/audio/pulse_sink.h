// The sound server as an output, through its own client library.
#pragma once

#include <memory>

#include "audio/audio_sink.h"

namespace tessarine::audio {

// A sink on the sound server named by the environment (PULSE_SERVER) or the user's default
// one. It never starts a server of its own: a machine without one is a machine without this
// output.
class PulseSink : public AudioSink {
 public:
  // After a failed open(): whether a server was there but did not answer in time, rather
  // than none at all.
  virtual bool serverSilent() const = 0;
};

std::unique_ptr<PulseSink> makePulseSink();

}  // namespace tessarine::audio
