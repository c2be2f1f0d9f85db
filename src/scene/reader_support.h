// Pieces of the scene file reader shared by its handlers: tokens read into a buffer the
// way the format's quirks need, colours, value-or-envelope slots and parent numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "anim/keyed_curve.h"
#include "common/data_file.h"
#include "scene/scene.h"

namespace tessarine::scene::detail {

// Colour components are whole numbers over 255, scaled by this float constant and never
// clamped, so a component above 255 gives more than full intensity.
inline constexpr float kColorScale = 1.0f / 255.0f;

// The word that stands for an envelope section in a value slot.
inline constexpr std::string_view kEnvelopeWord = "(envelope)";

// Reads the next token into `buffer`; at the end of the file the buffer keeps what it
// held and the result is false. Handlers test keywords against the buffer afterwards, so
// a stale token simply fails the test.
bool readInto(common::DataFile& file, std::string& buffer);

// Three unsigned numbers, red, green, blue, scaled by kColorScale.
Color3 readColor(common::DataFile& file, std::string_view what);

// Refuses a keyed section met while the scene has no frame rate yet: every motion and
// envelope keeps the rate it was read with.
void requireFrameRate(float framesPerSecond, const common::DataFile& file);

// Reads a value slot's token into `buffer`. "(envelope)" reads the section that follows
// into `envelope` and gives nothing; otherwise the number the token begins with, or
// nothing when it begins with none. The file must not end before the token.
std::optional<float> readValueOrEnvelope(common::DataFile& file, std::string& buffer, float framesPerSecond,
                                         std::string_view keyword, std::unique_ptr<anim::ValueEnvelope>& envelope);

// The number after "ParentObject". One beyond the signed index range could only wrap to
// "no parent" or worse, so it is refused here; the object count is checked once the
// whole file has been read.
std::int32_t readParentIndex(common::DataFile& file);

// Refusal for a value slot whose token held no number where a value is needed.
[[noreturn]] void failMissingValue(std::string_view keyword, const std::string& token,
                                   const common::DataFile& file);

}  // namespace tessarine::scene::detail
