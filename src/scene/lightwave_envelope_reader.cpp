// Motions and envelopes of LightWave scene files in each dialect, every count checked
// against the bytes that remain before anything is kept for it, and the blocks passed over.
#include "scene/lightwave_envelope_reader.h"

#include <cmath>
#include <numbers>
#include <string>

namespace tessarine::scene::lightwave {
namespace {

// The fewest bytes a key can take (every word at least one character and a separator), so
// a count that the rest of the file cannot hold is refused before anything is kept for it.
template <std::size_t kCount>
constexpr std::uint64_t kMinFrameKeyBytes = (kCount + 5) * 2;
constexpr std::uint64_t kMinSectionKeyBytes = 6 * 2;
constexpr std::uint64_t kMinSectionChannelBytes = 2 + kMinSectionKeyBytes;
constexpr std::uint64_t kMinKeyLineBytes = 10;  // "Key 0 0 0" and its line end

// LWSC 2 writes span shapes of its own; those that agree with the later numbering are
// kept, and every other key is a TCB key, the only parameters the line has room for.
constexpr std::int64_t kSectionLinear = 3;
constexpr std::int64_t kSectionStepped = 4;
constexpr std::size_t kFirstRotation = anim::kHeading;
constexpr std::size_t kLastRotation = anim::kBank;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

constexpr std::size_t kKeyParams = 6;

float readFloat(const SceneText& text, std::string_view word, std::string_view what) {
  const double value = readNumber(text, word, what);
  if (!std::isfinite(static_cast<float>(value))) {
    text.fail(std::string(what) + " " + quoted(word) + " is beyond the range of a float");
  }
  return static_cast<float>(value);
}

std::uint32_t readKeyCount(SceneText& text, std::uint64_t minKeyBytes) {
  const std::uint32_t count = readCount(text, text.readWord("the key count"), "The key count");
  if (count == 0) text.fail("a keyed section without keys");
  if (count > text.remaining() / minKeyBytes) {
    text.fail("the key count " + std::to_string(count) + " is more than the rest of the file can hold");
  }
  return count;
}

anim::Behavior behaviorOf(std::int64_t number) {
  // What LightWave does with a behaviour it does not know: hold the end key.
  if (number < 0 || number >= static_cast<std::int64_t>(anim::kBehaviorCount)) return anim::Behavior::kConstant;
  return static_cast<anim::Behavior>(number);
}

template <std::size_t kCount>
FrameKeys<kCount> readFrameKeys(SceneText& text) {
  const std::uint32_t channels = readCount(text, text.readWord("the channel count"), "The channel count");
  if (channels != kCount) {
    text.fail("a section of " + std::to_string(channels) + " channels where " + std::to_string(kCount) +
              " belong");
  }
  const std::uint32_t count = readKeyCount(text, kMinFrameKeyBytes<kCount>);
  std::vector<anim::Key<kCount>> keys(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    anim::Key<kCount>& key = keys[i];
    for (float& value : key.values) value = readFloat(text, text.readWord("a key value"), "A key value");
    key.frame = readCount(text, text.readWord("the key's frame"), "A key's frame");
    if (i > 0 && key.frame <= keys[i - 1].frame) {
      text.fail("the key at frame " + std::to_string(key.frame) + " does not come after the key at frame " +
                std::to_string(keys[i - 1].frame));
    }
    key.linear = readInteger(text, text.readWord("the linear flag"), "The linear flag") != 0;
    key.tension = readFloat(text, text.readWord("the tension"), "The tension");
    key.continuity = readFloat(text, text.readWord("the continuity"), "The continuity");
    key.bias = readFloat(text, text.readWord("the bias"), "The bias");
  }
  const std::string_view end = text.readWord("\"EndBehavior\"");
  if (end != "EndBehavior") text.fail("\"EndBehavior\" belongs after the keys, found " + quoted(end));
  return {std::move(keys), readInteger(text, text.readWord("the end behaviour"), "EndBehavior")};
}

}  // namespace

FrameKeys<anim::kChannels> readFrameMotion(SceneText& text) { return readFrameKeys<anim::kChannels>(text); }

FrameKeys<1> readFrameEnvelope(SceneText& text) { return readFrameKeys<1>(text); }

std::vector<anim::ChannelEnvelope> readSectionChannels(SceneText& text, bool motion) {
  const std::uint32_t channels = readCount(text, text.readWord("the channel count"), "The channel count");
  if (channels == 0) text.fail("a keyed section without channels");
  if (channels > text.remaining() / kMinSectionChannelBytes) {
    text.fail("the channel count " + std::to_string(channels) + " is more than the rest of the file can hold");
  }
  std::vector<std::vector<anim::ChannelKey>> keys(channels);
  for (std::uint32_t c = 0; c < channels; ++c) {
    const std::uint32_t count = readKeyCount(text, kMinSectionKeyBytes);
    const double unit = motion && c >= kFirstRotation && c <= kLastRotation ? kRadiansPerDegree : 1.0;
    keys[c].resize(count);
    for (anim::ChannelKey& key : keys[c]) {
      key.value = readNumber(text, text.readWord("a key value"), "A key value") * unit;
      key.time = readNumber(text, text.readWord("the key's time"), "A key's time");
      const std::int64_t shape = readInteger(text, text.readWord("the key's shape"), "A key's shape");
      key.shape = shape == kSectionLinear    ? anim::KeyShape::kLinear
                  : shape == kSectionStepped ? anim::KeyShape::kStepped
                                             : anim::KeyShape::kTcb;
      key.tension = readNumber(text, text.readWord("the tension"), "The tension");
      key.continuity = readNumber(text, text.readWord("the continuity"), "The continuity");
      key.bias = readNumber(text, text.readWord("the bias"), "The bias");
    }
  }
  std::vector<anim::Behavior> behaviors(2 * channels, anim::Behavior::kConstant);
  if (std::optional<Line> next = text.peekLine(); next && next->keyword == "Pre/PostBehavior") {
    text.nextLine();
    Words words(next->rest);
    for (anim::Behavior& behavior : behaviors) {
      std::optional<std::string_view> word = words.next();
      if (!word) break;
      behavior = behaviorOf(readInteger(text, *word, "Pre/PostBehavior"));
    }
  } else if (next && next->keyword == "EndBehavior") {
    text.nextLine();
  }
  std::vector<anim::ChannelEnvelope> envelopes;
  envelopes.reserve(channels);
  for (std::uint32_t c = 0; c < channels; ++c) {
    envelopes.emplace_back(std::move(keys[c]), behaviors[2 * c], behaviors[2 * c + 1]);
  }
  return envelopes;
}

std::optional<std::string_view> blockName(const Line& line) {
  if (line.keyword.empty() || line.keyword.front() != '{') return std::nullopt;
  // "{ Envelope" as LightWave writes it, or "{Envelope".
  if (line.keyword.size() > 1) return line.keyword.substr(1);
  return splitWord(line.rest).first;
}

namespace {

bool closesBlock(const Line& line) { return line.keyword.front() == '}'; }

anim::ChannelKey readKey(const SceneText& text, const Line& line) {
  Words words(line.rest);
  std::optional<std::string_view> value = words.next();
  std::optional<std::string_view> time = words.next();
  std::optional<std::string_view> shape = words.next();
  if (!shape) text.fail("a Key line needs a value, a time and a shape");
  anim::ChannelKey key;
  key.value = readNumber(text, *value, "A key value");
  key.time = readNumber(text, *time, "A key's time");
  key.shape = static_cast<anim::KeyShape>(
      readCount(text, *shape, "A key's shape", static_cast<std::uint32_t>(anim::kKeyShapeCount - 1)));
  // Parameters left off the line count as 0.
  std::array<double, kKeyParams> p{};
  for (double& param : p) {
    std::optional<std::string_view> word = words.next();
    if (!word) break;
    param = readNumber(text, *word, "A key parameter");
  }
  if (key.shape == anim::KeyShape::kBezier2) {
    key.params = {p[0], p[1], p[2], p[3]};  // the incoming handle's time and value, then the outgoing one's
  } else {
    key.tension = p[0];
    key.continuity = p[1];
    key.bias = p[2];
    key.params = {p[3], p[4], 0, 0};  // the incoming and outgoing tangents
  }
  return key;
}

}  // namespace

anim::ChannelEnvelope readEnvelopeBlock(SceneText& text, std::string_view owner) {
  const std::optional<Line> opening = text.nextLine();
  if (!opening || blockName(*opening) != "Envelope") {
    text.fail(std::string(owner) + " needs a \"{ Envelope\" block on the next line, found " +
              (opening ? quoted(opening->keyword) : std::string("the end of the file")));
  }
  const std::optional<Line> countLine = text.nextLine();
  if (!countLine) text.failAt(opening->number, "the envelope block that opens here has no end");
  const std::uint32_t count = readCount(text, countLine->keyword, "The envelope's key count");
  if (count == 0) text.fail("an envelope without keys");
  if (count > text.remaining() / kMinKeyLineBytes) {
    text.fail("the key count " + std::to_string(count) + " is more than the rest of the file can hold");
  }
  std::vector<anim::ChannelKey> keys;
  keys.reserve(count);
  anim::Behavior pre = anim::Behavior::kConstant;
  anim::Behavior post = anim::Behavior::kConstant;
  while (true) {
    const std::optional<Line> line = text.nextLine();
    if (!line) text.failAt(opening->number, "the envelope block that opens here has no end");
    if (closesBlock(*line)) break;
    if (line->keyword == "Key") {
      if (keys.size() == count) text.fail("more keys than the envelope's count of " + std::to_string(count));
      keys.push_back(readKey(text, *line));
    } else if (line->keyword == "Behaviors") {
      Words words(line->rest);
      std::optional<std::string_view> first = words.next();
      std::optional<std::string_view> second = words.next();
      if (!second) text.fail("Behaviors needs two numbers");
      pre = behaviorOf(readInteger(text, *first, "Behaviors"));
      post = behaviorOf(readInteger(text, *second, "Behaviors"));
    } else if (blockName(*line)) {
      skipBlock(text, *line);
    }
  }
  if (keys.size() != count) {
    text.fail("the envelope holds " + std::to_string(keys.size()) + " keys where its count says " +
              std::to_string(count));
  }
  return anim::ChannelEnvelope(std::move(keys), pre, post);
}

void skipBlock(SceneText& text, const Line& opening) {
  std::size_t depth = 1;
  while (depth > 0) {
    const std::optional<Line> line = text.nextLine();
    if (!line) {
      text.failAt(opening.number, "the block " + quoted(blockName(opening).value_or("")) + " that opens here has no end");
    }
    if (blockName(*line)) {
      ++depth;
    } else if (closesBlock(*line)) {
      --depth;
    }
  }
}

void skipPlugin(SceneText& text, const Line& opening) {
  std::size_t depth = 1;
  while (depth > 0) {
    const std::optional<Line> line = text.nextLine();
    if (!line) text.failAt(opening.number, "the plug-in that opens here has no \"EndPlugin\"");
    if (line->keyword == "Plugin") {
      ++depth;
    } else if (line->keyword == "EndPlugin") {
      --depth;
    }
  }
}

}  // namespace tessarine::scene::lightwave
