// The six scenes of the show, each added to a Show with the objects it loads, and the
// common ground they stand on: frame ranges from the timeline and item helpers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/lws_writer.h"
#include "showgen/key_makers.h"
#include "showgen/show.h"

namespace tessarine::showgen {

// Positions in the timeline's play list.
enum SceneIndex : std::size_t { kArrival = 0, kHypercube = 1, kTerrain = 2, kCity = 3, kVertigo = 4, kUnfolding = 5 };

void addArrival(Show& show);     // S1.lws
void addHypercube(Show& show);   // S2.lws
void addTerrain(Show& show);     // S3.lws
void addCity(Show& show);        // S4.lws
void addVertigo(Show& show);     // S4b.lws
void addUnfolding(Show& show);   // S5.lws

// All six, in play order.
Show buildShow();

// --- Shared by the scene makers. ---

double framesPerSecond();
// A scene of the play list with its frame range (first frame 0, its bars exactly) and rate.
formats::LwsScene sceneFrame(std::size_t index);
std::uint32_t lastFrameOf(std::size_t index);
double secondsOf(std::size_t index);
// The file name the player reads the scene from.
std::string sceneFile(std::size_t index);

formats::LwsObject objectItem(const std::string& file, formats::LwsMotion motion,
                              std::optional<std::uint32_t> parent = std::nullopt);
formats::LwsObject nullItem(const std::string& name, formats::LwsMotion motion,
                            std::optional<std::uint32_t> parent = std::nullopt);
// An item that turns at a steady rate about one channel (kLwsHeading, kLwsPitch or
// kLwsBank): two keys with a straight span.
formats::LwsMotion spinMotion(const Placement& start, int angleChannel, double degreesPerSecond,
                              std::uint32_t lastFrame);
// Appends an item and gives its index in the object list.
std::uint32_t appendObject(formats::LwsScene& scene, formats::LwsObject object);

// Shared objects, registered once, their file names returned.
std::string titlePlate(Show& show);
std::string tesseractNode(Show& show);
std::string tesseractStrut(Show& show);
struct CityMeshes {
  std::string towers[3];
  std::string ground;
};
CityMeshes cityMeshes(Show& show);
// The 48 towers of the crystal city, laid out from `seed` and listed nearest first
// along `viewDirection`, then the ground.
std::vector<formats::LwsObject> cityTowers(Show& show, std::uint64_t seed, const Vec3& viewDirection);
// A spot light at `at` sweeping its beam over the city, its cone opening and closing.
formats::LwsLight searchlight(const char* name, const Vec3& at, double phase, formats::LwsColor color,
                              std::uint32_t last);

// Where the 16 nodes of the tesseract are at a moment, and how large each looks.
struct TesseractPose {
  Vec3 positions[16];
  double scales[16];
};
// Adds a null (the tesseract's frame), 16 nodes and 32 struts hanging from it, keyed
// every `step` frames from `pose`. `frame` gives the null's own motion. Returns the
// null's index.
std::uint32_t addTesseractItems(formats::LwsScene& scene, Show& show, const std::function<TesseractPose(double)>& pose,
                                formats::LwsMotion frame, std::uint32_t lastFrame, std::uint32_t step);

// The 4D-turning tesseract seen from w: vertex positions times `size`, at angle `angle`.
TesseractPose turningTesseract(double angle, double size);

// Mesh sizes of the tesseract's parts, which the poses scale.
inline constexpr double kNodeRadius = 1.0;
inline constexpr double kNodeSize = 0.13;  // node scale per unit of apparent size
inline constexpr double kStrutThickness = 0.055;  // of a strut one unit long

}  // namespace tessarine::showgen
