// The scene file's item handlers: one light, one object with its mesh, one null, the camera.
#pragma once

#include <string>

#include "common/data_file.h"
#include "scene/scene.h"

namespace tessarine::scene::detail {

// After "LightMotion". Reads into a buffer of its own, so the loop's buffer still holds
// "LightMotion" afterwards.
void readLight(Scene& scene, common::DataFile& file);
// After "LoadObject"; leaves the object file name in `token`.
void readObject(Scene& scene, common::DataFile& file, std::string& token);
// After "AddNull"; leaves the null's name in `token`.
void readNull(Scene& scene, common::DataFile& file, std::string& token);
// After "CameraMotion"; reads into `token`, so whatever stands where "ZoomFactor" may
// stand is never tested as a keyword.
void readCamera(Scene& scene, common::DataFile& file, std::string& token);

}  // namespace tessarine::scene::detail
