// Reads a LightWave scene file line by line into records: the header, then each line by its
// keyword, item lines going to the item the last "Load..."/"Add..." line began. The scene is
// built from the records once the file has been read.
#include "scene/lightwave_scene_reader.h"

#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scene/lightwave_envelope_reader.h"
#include "scene/lightwave_scene_assembly.h"
#include "scene/lightwave_scene_records.h"
#include "scene/lightwave_scene_text.h"

namespace tessarine::scene {
namespace lightwave {
namespace {

constexpr std::string_view kMagic = "LWSC";
constexpr std::int64_t kFirstVersion = 1;
constexpr std::int64_t kLastVersion = 5;
// LWSC 1 and 2 write colours as whole numbers to 255, later versions as fractions of 1.
constexpr std::uint32_t kLastWholeColorVersion = 2;
constexpr double kWholeColorScale = 1.0 / 255.0;
// From LWSC 3 on, motions are "Channel" envelopes and settings' envelopes are blocks.
constexpr std::uint32_t kFirstChannelVersion = 3;
// A channel envelope holds an angle in radians, while a plain angle setting is written in
// degrees, as the Layout command of the same name takes it.
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// LWSC 4 and later write an item's id after "AddLight" and the like; its place in the
// file says the same, so the id is passed over.
constexpr std::size_t kItemIdDigits = 8;
// An item id's top four bits say what kind of item it names; the rest are its index.
constexpr unsigned kItemKindShift = 28;
constexpr std::uint32_t kItemIndexMask = (1u << kItemKindShift) - 1;
constexpr std::uint32_t kObjectKind = 1;

constexpr std::string_view kBuiltInHandlers[] = {"DistantLight", "PointLight", "Spotlight",
                                                 "LinearLight",  "AreaLight",  "Perspective"};

std::string_view withoutItemId(std::string_view rest) {
  auto [word, after] = splitWord(rest);
  if (word.size() == kItemIdDigits && parseHex(word) && !after.empty()) return after;
  return rest;
}

class LineReader {
 public:
  explicit LineReader(SceneText& text) : text_(text) {}

  SceneRecord read() {
    readHeader();
    while (std::optional<Line> line = text_.nextLine()) {
      if (blockName(*line)) {
        skipBlock(text_, *line);
        continue;
      }
      for (const auto& [keyword, handler] : kHandlers) {
        if (keyword == line->keyword) {
          (this->*handler)(*line);
          break;
        }
      }
    }
    return std::move(record_);
  }

 private:
  using Handler = void (LineReader::*)(const Line&);

  void readHeader() {
    std::optional<Line> magic = text_.nextLine();
    if (!magic || magic->keyword != kMagic || !magic->rest.empty()) {
      text_.fail("not a LightWave scene: the file does not begin with a line \"LWSC\"");
    }
    std::optional<Line> version = text_.nextLine();
    if (!version) text_.fail("the file ends where the LWSC version belongs");
    std::optional<std::int64_t> number = parseInteger(version->keyword);
    if (!number || !version->rest.empty()) text_.fail("the LWSC version needs a whole number");
    if (*number < kFirstVersion || *number > kLastVersion) {
      text_.fail("LWSC version " + std::to_string(*number) + " is none of the versions 1 to 5 LightWave writes");
    }
    record_.version = static_cast<std::uint32_t>(*number);
  }

  // --- Scene-wide lines. ---

  void firstFrame(const Line& line) { record_.firstFrame = readInteger(text_, firstWord(line), line.keyword); }
  void lastFrame(const Line& line) { record_.lastFrame = readInteger(text_, firstWord(line), line.keyword); }
  void framesPerSecond(const Line& line) {
    const double rate = readNumber(text_, firstWord(line), line.keyword);
    if (!(static_cast<float>(rate) > 0) || !std::isfinite(static_cast<float>(rate))) {
      text_.fail("FramesPerSecond must be above 0, found " + quoted(firstWord(line)));
    }
    record_.framesPerSecond = rate;
  }
  void ambientColor(const Line& line) { record_.ambientColor = readColor(line); }
  void ambientIntensity(const Line& line) { readSetting(line, record_.ambientIntensity, false); }
  void fogType(const Line& line) { record_.fogType = readInteger(text_, firstWord(line), line.keyword); }
  void fogMinDistance(const Line& line) { readSetting(line, record_.fogMinDistance, false); }
  void fogMaxDistance(const Line& line) { readSetting(line, record_.fogMaxDistance, false); }
  void fogColor(const Line& line) { record_.fogColor = readColor(line); }
  void backdropColor(const Line& line) { record_.backdropColor = readColor(line); }
  void currentCamera(const Line& line) { record_.currentCamera = readCount(text_, firstWord(line), line.keyword); }

  void plugin(const Line& line) {
    Words words(line.rest);
    const std::string_view kind = words.next().value_or("");
    words.next();  // the plug-in's place among its kind
    const std::string_view server = words.next().value_or("");
    bool builtIn = false;
    for (std::string_view handler : kBuiltInHandlers) builtIn = builtIn || handler == server;
    // A light's or camera's type is itself a handler; the player draws the built-in ones.
    if (!((kind == "LightHandler" || kind == "CameraHandler") && builtIn)) {
      record_.leaveOut(server.find("Expression") != std::string_view::npos ? "expressions" : "plug-in blocks");
    }
    skipPlugin(text_, line);
  }

  // --- Items. ---

  ItemRecord& startItem(ItemKind kind) {
    current_ = kind;
    std::vector<ItemRecord>& items = itemsOf(kind);
    if (items.size() == kMaxItems) {
      text_.fail("more than " + std::to_string(kMaxItems) + " items of one kind, more than LightWave numbers");
    }
    return items.emplace_back(kind);
  }

  void loadObject(const Line& line) { startObject(line, std::nullopt, idless(line.rest)); }
  void loadObjectLayer(const Line& line) {
    auto [layer, rest] = splitWord(line.rest);
    startObject(line, readCount(text_, layer, "LoadObjectLayer's layer"), withoutItemId(rest));
  }
  void startObject(const Line& line, std::optional<std::uint32_t> layer, std::string_view name) {
    if (name.empty()) text_.fail(std::string(line.keyword) + " needs an object file name");
    ItemRecord& object = startItem(ItemKind::kObject);
    object.source.name = std::string(name);
    object.source.layer = layer;
  }
  void addNull(const Line& line) {
    ItemRecord& null = startItem(ItemKind::kObject);
    null.source.name = std::string(idless(line.rest));
    null.source.null = true;
  }
  void addLight(const Line&) { startItem(ItemKind::kLight); }
  void addCamera(const Line&) { startItem(ItemKind::kCamera); }
  void addBone(const Line&) {
    current_ = ItemKind::kBone;
    record_.leaveOut("bones");
  }

  void objectMotion(const Line& line) { readMotion(line, ItemKind::kObject); }
  void lightMotion(const Line& line) { readMotion(line, ItemKind::kLight); }
  void cameraMotion(const Line& line) { readMotion(line, ItemKind::kCamera); }
  void boneMotion(const Line& line) { readMotion(line, ItemKind::kBone); }

  // LWSC 1 and 2 hold the motion right after the keyword; later versions give "Channel" lines.
  void readMotion(const Line& line, ItemKind kind) {
    if (record_.version >= kFirstChannelVersion) return;
    if (!line.rest.empty() && line.rest != "(unnamed)") {
      // The motion is kept in a file of its own, which a scene reader does not open.
      record_.leaveOut("motion files");
      return;
    }
    if (std::optional<Line> next = text_.peekLine(); line.rest.empty() && next && next->keyword == "(unnamed)") {
      text_.nextLine();
    }
    // LWSC 1 has one camera and no line that adds it.
    if (kind == ItemKind::kCamera && current_ != ItemKind::kCamera) startItem(ItemKind::kCamera);
    ItemRecord* item = current_ == kind ? current() : nullptr;
    MotionRecord motion;
    if (record_.version == kFirstVersion) {
      motion.frameKeys = frameKeys(readFrameMotion(text_), motion.frameKeysAfter);
    } else {
      std::vector<anim::ChannelEnvelope> channels = readSectionChannels(text_, true);
      if (channels.size() > kItemChannels) record_.leaveOut("channels beyond the nine");
      for (std::size_t c = 0; c < channels.size() && c < kItemChannels; ++c) motion.channels[c] = std::move(channels[c]);
    }
    if (item) item->motion = std::move(motion);
  }

  void channel(const Line& line) {
    if (record_.version < kFirstChannelVersion) return;
    const std::uint32_t index = readCount(text_, firstWord(line), line.keyword);
    anim::ChannelEnvelope envelope = readEnvelopeBlock(text_, "Channel " + std::to_string(index));
    ItemRecord* item = current();
    if (!item) return;
    if (index >= kItemChannels) {
      record_.leaveOut("channels beyond the nine");
      return;
    }
    item->motion.frameKeys.clear();
    item->motion.channels[index] = std::move(envelope);
  }

  // "...Object" lines count objects from 1, with 0 for none; "...Item" lines give an id.
  void parentObject(const Line& line) { setReference(objectNumber(line), false); }
  void parentItem(const Line& line) { setReference(itemId(line), false); }
  void targetObject(const Line& line) { setReference(objectNumber(line), true); }
  void targetItem(const Line& line) { setReference(itemId(line), true); }

  std::optional<ItemReference> objectNumber(const Line& line) {
    const std::uint32_t number = readCount(text_, firstWord(line), line.keyword);
    if (number == 0) return std::nullopt;
    return ItemReference{true, number - 1};
  }
  std::optional<ItemReference> itemId(const Line& line) {
    std::optional<std::uint32_t> id = parseHex(firstWord(line));
    if (!id) text_.fail(std::string(line.keyword) + " needs an item id in hexadecimal, found " + quoted(firstWord(line)));
    return ItemReference{*id >> kItemKindShift == kObjectKind, *id & kItemIndexMask};
  }
  void setReference(std::optional<ItemReference> reference, bool target) {
    if (ItemRecord* item = current()) (target ? item->target : item->parent) = reference;
  }

  void pivot(const Line& line) {
    const Vector3 pivot = readVector(line);
    if (ItemRecord* item = current()) item->pivot = pivot;
  }
  void pivotRotation(const Line& line) {
    for (float angle : readVector(line)) {
      if (angle != 0) record_.leaveOut("pivot rotations");
    }
  }

  void lightName(const Line& line) {
    if (ItemRecord* light = currentOf(ItemKind::kLight)) light->name = std::string(line.rest);
  }
  void lightColor(const Line& line) {
    const Color3 color = readColor(line);
    if (ItemRecord* light = currentOf(ItemKind::kLight)) light->color = color;
  }
  void lightIntensity(const Line& line) { readItemSetting(line, ItemKind::kLight, &ItemRecord::intensity, false); }
  void coneAngle(const Line& line) { readItemSetting(line, ItemKind::kLight, &ItemRecord::coneAngle, true); }
  void edgeAngle(const Line& line) { readItemSetting(line, ItemKind::kLight, &ItemRecord::edgeAngle, true); }
  void falloff(const Line& line) { readItemSetting(line, ItemKind::kLight, &ItemRecord::falloff, false); }
  void range(const Line& line) { readItemSetting(line, ItemKind::kLight, &ItemRecord::range, false); }
  void falloffType(const Line& line) {
    const std::int64_t type = readInteger(text_, firstWord(line), line.keyword);
    if (ItemRecord* light = currentOf(ItemKind::kLight)) light->falloffType = type;
  }
  void lightType(const Line& line) {
    const std::int64_t type = readInteger(text_, firstWord(line), line.keyword);
    if (ItemRecord* light = currentOf(ItemKind::kLight)) light->lightType = type;
  }
  void zoomFactor(const Line& line) { readItemSetting(line, ItemKind::kCamera, &ItemRecord::zoom, false); }

  void lensFlare(const Line& line) {
    if (parseInteger(firstWord(line)).value_or(0) != 0) record_.leaveOut("lens flares");
  }
  void goal(const Line&) { record_.leaveOut("IK"); }
  void morph(const Line&) { record_.leaveOut("morphs"); }

  // --- Values. ---

  // LightWave 5's motions and envelopes hold their last key, reset to 0 or repeat.
  template <std::size_t kCount>
  std::vector<anim::Key<kCount>> frameKeys(FrameKeys<kCount> read, anim::Behavior& after) {
    constexpr std::int64_t kReset = 0, kRepeat = 2;
    after = read.endBehavior == kReset    ? anim::Behavior::kReset
            : read.endBehavior == kRepeat ? anim::Behavior::kRepeat
                                          : anim::Behavior::kConstant;
    return std::move(read.keys);
  }

  static std::string_view firstWord(const Line& line) { return splitWord(line.rest).first; }

  std::string_view idless(std::string_view rest) const {
    return record_.version >= kFirstChannelVersion ? withoutItemId(rest) : rest;
  }

  float readFloat(std::string_view word, std::string_view what) const {
    const double value = readNumber(text_, word, what);
    if (!std::isfinite(static_cast<float>(value))) text_.fail(std::string(what) + " is beyond the range of a float");
    return static_cast<float>(value);
  }

  std::array<float, 3> readTriple(const Line& line, double scale) const {
    Words words(line.rest);
    std::array<float, 3> triple{};
    for (float& value : triple) {
      std::optional<std::string_view> word = words.next();
      if (!word) text_.fail(std::string(line.keyword) + " needs three numbers");
      value = static_cast<float>(readFloat(*word, line.keyword) * scale);
    }
    return triple;
  }
  Vector3 readVector(const Line& line) const { return readTriple(line, 1); }
  Color3 readColor(const Line& line) const {
    return readTriple(line, record_.version <= kLastWholeColorVersion ? kWholeColorScale : 1);
  }

  // A number, or "(envelope)" and the envelope in the version's form.
  void readSetting(const Line& line, SettingRecord& setting, bool angle) {
    const std::string_view word = firstWord(line);
    SettingRecord read;
    if (word == "(envelope)") {
      if (record_.version == kFirstVersion) {
        read.frameKeys = frameKeys(readFrameEnvelope(text_), read.frameKeysAfter);
      } else if (record_.version < kFirstChannelVersion) {
        read.channel = std::move(readSectionChannels(text_, false).front());
      } else {
        read.channel = readEnvelopeBlock(text_, line.keyword);
        if (angle) read.scale = kDegreesPerRadian;
      }
    } else {
      if (!parseNumber(word)) {
        text_.fail(std::string(line.keyword) + " needs a number or \"(envelope)\", found " + quoted(word));
      }
      read.plain = readFloat(word, line.keyword);
    }
    setting = std::move(read);
  }
  // The setting is read whatever the current item, so that an envelope is passed over whole.
  void readItemSetting(const Line& line, ItemKind kind, SettingRecord ItemRecord::*setting, bool angle) {
    SettingRecord unused;
    ItemRecord* item = currentOf(kind);
    readSetting(line, item ? item->*setting : unused, angle);
  }

  // --- The current item. ---

  std::vector<ItemRecord>& itemsOf(ItemKind kind) {
    return kind == ItemKind::kObject ? record_.objects : kind == ItemKind::kLight ? record_.lights : record_.cameras;
  }
  // The item the last "Load..."/"Add..." line began; none for a bone, which is not kept.
  ItemRecord* current() {
    if (!current_ || *current_ == ItemKind::kBone) return nullptr;
    return &itemsOf(*current_).back();
  }
  ItemRecord* currentOf(ItemKind kind) { return current_ == kind ? current() : nullptr; }

  static constexpr std::pair<std::string_view, Handler> kHandlers[] = {
      {"FirstFrame", &LineReader::firstFrame},
      {"LastFrame", &LineReader::lastFrame},
      {"FramesPerSecond", &LineReader::framesPerSecond},
      {"AmbientColor", &LineReader::ambientColor},
      {"AmbIntensity", &LineReader::ambientIntensity},
      {"AmbientIntensity", &LineReader::ambientIntensity},
      {"FogType", &LineReader::fogType},
      {"FogMinDist", &LineReader::fogMinDistance},
      {"FogMinDistance", &LineReader::fogMinDistance},
      {"FogMaxDist", &LineReader::fogMaxDistance},
      {"FogMaxDistance", &LineReader::fogMaxDistance},
      {"FogColor", &LineReader::fogColor},
      {"BackdropColor", &LineReader::backdropColor},
      {"CurrentCamera", &LineReader::currentCamera},
      {"Plugin", &LineReader::plugin},
      {"LoadObject", &LineReader::loadObject},
      {"LoadObjectLayer", &LineReader::loadObjectLayer},
      {"AddNull", &LineReader::addNull},
      {"AddNullObject", &LineReader::addNull},
      {"AddLight", &LineReader::addLight},
      {"AddCamera", &LineReader::addCamera},
      {"AddBone", &LineReader::addBone},
      {"ObjectMotion", &LineReader::objectMotion},
      {"LightMotion", &LineReader::lightMotion},
      {"CameraMotion", &LineReader::cameraMotion},
      {"BoneMotion", &LineReader::boneMotion},
      {"Channel", &LineReader::channel},
      {"ParentObject", &LineReader::parentObject},
      {"ParentItem", &LineReader::parentItem},
      {"TargetObject", &LineReader::targetObject},
      {"TargetItem", &LineReader::targetItem},
      {"PivotPoint", &LineReader::pivot},
      {"PivotPosition", &LineReader::pivot},
      {"PivotRotation", &LineReader::pivotRotation},
      {"LightName", &LineReader::lightName},
      {"LightColor", &LineReader::lightColor},
      {"LgtIntensity", &LineReader::lightIntensity},
      {"LightIntensity", &LineReader::lightIntensity},
      {"LightType", &LineReader::lightType},
      {"ConeAngle", &LineReader::coneAngle},
      {"LightConeAngle", &LineReader::coneAngle},
      {"EdgeAngle", &LineReader::edgeAngle},
      {"LightEdgeAngle", &LineReader::edgeAngle},
      {"Falloff", &LineReader::falloff},
      {"LightFalloffType", &LineReader::falloffType},
      {"LightRange", &LineReader::range},
      {"ZoomFactor", &LineReader::zoomFactor},
      {"LensFlare", &LineReader::lensFlare},
      {"GoalObject", &LineReader::goal},
      {"GoalItem", &LineReader::goal},
      {"MorphTarget", &LineReader::morph},
      {"MorphAmount", &LineReader::morph},
  };

  SceneText& text_;
  SceneRecord record_;
  std::optional<ItemKind> current_;
};

}  // namespace
}  // namespace lightwave

std::unique_ptr<Scene> readLightWaveScene(DemoContext& context, std::string fileName, std::span<const std::byte> text,
                                          float nearPlane) {
  lightwave::SceneText sceneText(text, fileName);
  lightwave::SceneRecord record = lightwave::LineReader(sceneText).read();
  return lightwave::buildScene(context, std::move(fileName), nearPlane, std::move(record));
}

bool looksLikeLightWaveScene(std::span<const std::byte> text) {
  const std::string_view view(reinterpret_cast<const char*>(text.data()), text.size());
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  std::size_t at = 0;
  while (at < view.size() && isSpace(view[at])) ++at;
  if (view.substr(at, lightwave::kMagic.size()) != lightwave::kMagic) return false;
  at += lightwave::kMagic.size();
  while (at < view.size() && (view[at] == ' ' || view[at] == '\t')) ++at;
  if (at == view.size() || (view[at] != '\n' && view[at] != '\r')) return false;
  while (at < view.size() && isSpace(view[at])) ++at;
  const std::size_t digits = at;
  while (at < view.size() && view[at] >= '0' && view[at] <= '9') ++at;
  return at > digits && (at == view.size() || isSpace(view[at]));
}

}  // namespace tessarine::scene
