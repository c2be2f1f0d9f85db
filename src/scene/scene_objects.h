// The object files a LightWave scene names, found under the content folders and read as
// meshes: the step after reading the scene's text, the only one that opens files.
#pragma once

#include <cstdio>
#include <span>
#include <string>

#include "scene/scene.h"

namespace tessarine::scene {

// Finds each object of `scene` by the name it was given (a drive, an Amiga volume or an
// absolute path dropped piece by piece from the front, letter case matched loosely, ".lwo"
// tried after a name without extension) under `folders`, and reads it, one layer of it where the
// scene loaded a layer, into the scene's mesh library: each file and layer once. Its images are
// looked for under the same folders. An object not found or not readable stays a null: its
// `source.missing` names it, and one line on `messages` (when not null) names it and where it
// was looked for; the scene still plays.
void loadSceneObjects(Scene& scene, std::span<const std::string> folders, std::FILE* messages);

}  // namespace tessarine::scene
