// The sound card through libout123, for machines without a sound server.
#pragma once

#include <memory>

#include "audio/audio_sink.h"

namespace tessarine::audio {

std::unique_ptr<AudioSink> makeOut123Sink();

}  // namespace tessarine::audio
