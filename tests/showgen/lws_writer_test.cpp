// The scene file writer: its numbers and its refusals. What it writes is read back by the
// player's reader in the show's own tests, every generated scene of them.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "common/error.h"
#include "formats/lws_writer.h"

namespace tessarine::formats {
namespace {

LwsMotionKey key(std::uint32_t frame, float x, float heading = 0) {
  LwsMotionKey k{.frame = frame};
  k.values[kLwsX] = x;
  k.values[kLwsHeading] = heading;
  return k;
}

TEST(LwsNumber, FixedPointWithoutTrailingZerosOrNegativeZero) {
  const std::pair<float, const char*> cases[] = {
      {0.0f, "0"}, {-0.0f, "0"}, {1.0f, "1"}, {0.25f, "0.25"}, {-12.5f, "-12.5"},
      {1e-7f, "0"}, {-1e-7f, "0"}, {3.2f, "3.2"}, {1234567.0f, "1234567"}, {0.000001f, "0.000001"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(formatLwsNumber(value), text) << value;
  EXPECT_THROW(formatLwsNumber(std::numeric_limits<float>::infinity()), common::Error);
}

TEST(LwsWriter, RefusesWhatThePlayerCouldNotReadBack) {
  auto base = [] {
    LwsScene s;
    s.camera.motion = {key(0, 0)};
    LwsObject o;
    o.objectFile = "a.lwo";
    o.motion = {key(0, 0)};
    s.objects.push_back(o);
    return s;
  };
  struct Case {
    const char* what;
    void (*spoil)(LwsScene&);
  };
  const Case cases[] = {
      {"camera without keys", [](LwsScene& s) { s.camera.motion.clear(); }},
      {"keys out of order", [](LwsScene& s) { s.objects[0].motion = {key(10, 0), key(5, 1)}; }},
      {"two keys on one frame", [](LwsScene& s) { s.objects[0].motion = {key(0, 0), key(0, 1)}; }},
      {"envelope out of order", [](LwsScene& s) { s.fogMaxDistance = LwsEnvelope{{1, 9}, {2, 3}}; }},
      {"parent past the objects", [](LwsScene& s) { s.objects[0].parent = 1; }},
      {"camera parent past the objects", [](LwsScene& s) { s.camera.parent = 7; }},
      {"file name with a blank", [](LwsScene& s) { s.objects[0].objectFile = "a b.lwo"; }},
      {"empty null name", [](LwsScene& s) {
         s.objects[0].objectFile.clear();
         s.objects[0].nullName.clear();
       }},
      {"name too long for the reader", [](LwsScene& s) { s.objects[0].objectFile = std::string(128, 'a'); }},
      {"no frame rate", [](LwsScene& s) { s.framesPerSecond = 0; }},
      {"last frame before first", [](LwsScene& s) { s.firstFrame = 10, s.lastFrame = 5; }},
      {"nine lights", [](LwsScene& s) { s.lights.assign(kLwsMaxLights + 1, LwsLight{.motion = {key(0, 0)}}); }},
  };
  ASSERT_NO_THROW(writeLws(base()));
  for (const Case& c : cases) {
    LwsScene s = base();
    c.spoil(s);
    EXPECT_THROW(writeLws(s), common::Error) << c.what;
  }
}

}  // namespace
}  // namespace tessarine::formats
