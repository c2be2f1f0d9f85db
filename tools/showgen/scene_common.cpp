// What the scene makers share: frame ranges, item helpers, shared objects and the
// keying of the tesseract's nodes and struts.
#include <cmath>

#include "showgen/mesh_makers.h"
#include "showgen/storyboard.h"
#include "showgen/tesseract.h"
#include "showgen/texture_makers.h"
#include "timeline/timeline.h"

namespace tessarine::showgen {

double framesPerSecond() { return timeline::kFramesPerSecond; }

std::uint32_t lastFrameOf(std::size_t index) { return static_cast<std::uint32_t>(timeline::lastFrameOf(index)); }

double secondsOf(std::size_t index) { return timeline::secondsOfBars(timeline::kScenes.at(index).bars); }

std::string sceneFile(std::size_t index) { return std::string(timeline::kScenes.at(index).file); }

formats::LwsScene sceneFrame(std::size_t index) {
  formats::LwsScene scene;
  scene.firstFrame = 0;
  scene.lastFrame = lastFrameOf(index);
  scene.framesPerSecond = static_cast<float>(framesPerSecond());
  return scene;
}

formats::LwsObject objectItem(const std::string& file, formats::LwsMotion motion, std::optional<std::uint32_t> parent) {
  formats::LwsObject item;
  item.objectFile = file;
  item.motion = std::move(motion);
  item.parent = parent;
  return item;
}

formats::LwsObject nullItem(const std::string& name, formats::LwsMotion motion, std::optional<std::uint32_t> parent) {
  formats::LwsObject item;
  item.nullName = name;
  item.motion = std::move(motion);
  item.parent = parent;
  return item;
}

formats::LwsMotion spinMotion(const Placement& start, int angleChannel, double degreesPerSecond,
                              std::uint32_t lastFrame) {
  formats::LwsMotionKey first = keyOf(start, 0);
  formats::LwsMotionKey last = first;
  last.frame = lastFrame;
  last.values[angleChannel] += static_cast<float>(degreesPerSecond * lastFrame / framesPerSecond());
  last.linear = true;
  return {first, last};
}

std::uint32_t appendObject(formats::LwsScene& scene, formats::LwsObject object) {
  scene.objects.push_back(std::move(object));
  return static_cast<std::uint32_t>(scene.objects.size() - 1);
}

std::string titlePlate(Show& show) {
  const std::string name = "title.lwo";
  if (!show.hasObject(name)) {
    Canvas texture = makeTextPlate(512, 128, {"TESSARINE"}, {1, 1, 1, 1}, {0.25f, 0.7f, 1.0f, 0.9f}, {1, 1, 1, 1});
    show.addObject(name, makePlate(imageNameFor(name), 12, 3), std::move(texture), true);
  }
  return name;
}

std::string tesseractNode(Show& show) {
  const std::string name = "node.lwo";
  if (!show.hasObject(name)) {
    Canvas texture(64, 64, {0.55f, 0.8f, 1.0f, 1});
    paintGradient(texture, {0.3f, 0.55f, 1.0f, 1}, {0.9f, 0.97f, 1.0f, 1});
    paintNoise(texture, 11, NoiseKind::kValue, 8, 1, {1, 1, 1, 1}, 0.35);
    show.addObject(name, makeSphere(imageNameFor(name), kNodeRadius, 8, 12), std::move(texture), false);
  }
  return name;
}

std::string tesseractStrut(Show& show) {
  const std::string name = "strut.lwo";
  if (!show.hasObject(name)) {
    Canvas texture(64, 64);
    paintGradient(texture, {0.85f, 0.6f, 0.25f, 1}, {1.0f, 0.9f, 0.6f, 1}, true);
    paintNoise(texture, 12, NoiseKind::kPerlin, 4, 3, {0.5f, 0.3f, 0.1f, 1}, 0.4);
    show.addObject(name, makeStrut(imageNameFor(name), 1.0, kStrutThickness, 6), std::move(texture), false);
  }
  return name;
}

CityMeshes cityMeshes(Show& show) {
  constexpr int kGroundSide = 256;
  constexpr double kBlock = 20;
  CityMeshes meshes{{"tower_a.lwo", "tower_b.lwo", "tower_c.lwo"}, "ground.lwo"};
  // Radius, height, sides, storeys, spire of the three kinds of tower.
  struct Kind {
    double radius, height;
    int sides, storeys;
    double spire;
    Rgba glass, lit;
  };
  const Kind kinds[3] = {
      {2.6, 22, 6, 8, 6, {0.1f, 0.2f, 0.35f, 1}, {0.6f, 0.9f, 1.0f, 1}},
      {3.0, 16, 4, 6, 2, {0.2f, 0.12f, 0.3f, 1}, {1.0f, 0.75f, 0.95f, 1}},
      {2.2, 34, 8, 12, 9, {0.08f, 0.25f, 0.28f, 1}, {0.7f, 1.0f, 0.85f, 1}},
  };
  for (int i = 0; i < 3; ++i) {
    if (show.hasObject(meshes.towers[i])) continue;
    const Kind& k = kinds[i];
    Canvas texture(128, 256);
    paintGradient(texture, k.glass, mixColor(k.glass, {1, 1, 1, 1}, 0.35));
    paintNoise(texture, 20 + static_cast<std::uint64_t>(i), NoiseKind::kPerlin, 8, 3, {0.05f, 0.05f, 0.1f, 1}, 0.3);
    paintWindows(texture, 30 + static_cast<std::uint64_t>(i), 8, 28, k.lit, k.glass, 0.45);
    show.addObject(meshes.towers[i],
                   makeTower(imageNameFor(meshes.towers[i]), k.radius, k.height, k.sides, k.storeys, k.spire),
                   std::move(texture), false);
  }
  if (!show.hasObject(meshes.ground)) {
    Canvas texture(kGroundSide, kGroundSide, {0.04f, 0.05f, 0.1f, 1});
    paintNoise(texture, 40, NoiseKind::kPerlin, 16, 4, {0.12f, 0.12f, 0.2f, 1}, 0.8);
    // Streets half way between the towers' grid lines, glowing faintly; one texel is
    // one unit of the ground.
    for (int y = 0; y < kGroundSide; ++y) {
      for (int x = 0; x < kGroundSide; ++x) {
        auto offStreet = [](int texel) {
          double world = texel + 0.5 - kGroundSide / 2.0;
          double m = std::fmod(std::abs(world - kBlock / 2), kBlock);
          return std::min(m, kBlock - m);
        };
        double d = std::min(offStreet(x), offStreet(y));
        if (d < 2.5) texture.blend(x, y, {0.3f, 0.6f, 1.0f, 1}, d < 1 ? 0.9f : 0.35f);
      }
    }
    // Vertices close enough for the spot lights' pools (lit per vertex) where the towers
    // stand and the camera flies; one wide cell out to each edge beyond them.
    constexpr double kLitHalfSide = 84, kLitCell = 6;
    std::vector<double> lines{-kGroundSide / 2.0};
    for (double x = -kLitHalfSide; x <= kLitHalfSide; x += kLitCell) lines.push_back(x);
    lines.push_back(kGroundSide / 2.0);
    show.addObject(meshes.ground, makeFlatGround(imageNameFor(meshes.ground), kGroundSide, lines), std::move(texture),
                   false);
  }
  return meshes;
}

TesseractPose turningTesseract(double angle, double size) {
  static const Tesseract tesseract;
  // The eye on the w axis: the far cube looks about half the size of the near one.
  constexpr double kEyeW = 3.0;
  TesseractPose pose;
  for (int i = 0; i < kTesseractVertices; ++i) {
    Projected p = projectFromW(rotateXW(tesseract.vertex(i), angle), kEyeW);
    pose.positions[i] = p.position * size;
    pose.scales[i] = p.scale * size;
  }
  return pose;
}

std::uint32_t addTesseractItems(formats::LwsScene& scene, Show& show, const std::function<TesseractPose(double)>& pose,
                                formats::LwsMotion frame, std::uint32_t lastFrame, std::uint32_t step) {
  static const Tesseract tesseract;
  std::string node = tesseractNode(show), strut = tesseractStrut(show);
  std::uint32_t root = appendObject(scene, nullItem("Tesseract", std::move(frame)));

  std::vector<std::uint32_t> frames;
  for (std::uint32_t f = 0; f < lastFrame; f += step) frames.push_back(f);
  frames.push_back(lastFrame);
  std::vector<TesseractPose> poses;
  for (std::uint32_t f : frames) poses.push_back(pose(f / framesPerSecond()));

  for (int i = 0; i < kTesseractVertices; ++i) {
    formats::LwsMotion motion;
    for (std::size_t k = 0; k < frames.size(); ++k) {
      Placement p;
      p.position = poses[k].positions[i];
      double s = poses[k].scales[i] * kNodeSize;
      p.scale = {s, s, s};
      motion.push_back(keyOf(p, frames[k]));
    }
    appendObject(scene, objectItem(node, std::move(motion), root));
  }

  for (int e = 0; e < kTesseractEdges; ++e) {
    auto [a, b] = tesseract.edge(e);
    std::vector<Vec3> directions;
    for (const TesseractPose& p : poses) directions.push_back(p.positions[b] - p.positions[a]);
    // A strut looks the same either way round: keep each direction on the side of the
    // one before, so the angles do not flip between keys.
    for (std::size_t k = 1; k < directions.size(); ++k) {
      if (directions[k].dot(directions[k - 1]) < 0) directions[k] = -directions[k];
    }
    // Along the y axis itself the heading means nothing; borrow it from the nearest key
    // where it does, so it does not jump.
    constexpr double kPoleSine = 1e-4;
    std::vector<AxisAngles> angles;
    std::vector<bool> defined;
    for (const Vec3& d : directions) {
      angles.push_back(alignYAxis(d));
      Vec3 u = d.normalized();
      defined.push_back(std::sqrt(u.x * u.x + u.z * u.z) > kPoleSine);
    }
    std::optional<double> heading;
    for (std::size_t k = angles.size(); k-- > 0;) {
      if (defined[k]) heading = angles[k].heading;
      else if (heading) angles[k].heading = *heading;
    }
    heading.reset();
    for (std::size_t k = 0; k < angles.size(); ++k) {
      if (defined[k]) heading = angles[k].heading;
      else if (heading) angles[k].heading = *heading;
    }
    formats::LwsMotion motion;
    for (std::size_t k = 0; k < frames.size(); ++k) {
      Placement p;
      p.position = (poses[k].positions[a] + poses[k].positions[b]) * 0.5;
      double length = directions[k].length();
      p.scale = {length, length, length};
      p.heading = angles[k].heading;
      p.bank = angles[k].bank;
      motion.push_back(keyOf(p, frames[k]));
    }
    unwrapAngles(motion);
    appendObject(scene, objectItem(strut, std::move(motion), root));
  }
  return root;
}

}  // namespace tessarine::showgen
