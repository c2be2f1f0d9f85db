// The images a LightWave object's surfaces name, found under the content folders by the
// author's path and read, each file once; what is missing or unreadable becomes one line each.
#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "mesh/image_formats.h"
#include "mesh/lightwave_object.h"

namespace tessarine::mesh {

struct FoundImage {
  std::string path;  // the file read, as spelled on disk
  DecodedImage decoded;
};

struct ObjectImages {
  std::vector<FoundImage> files;                  // each file once, however many names lead to it
  std::map<std::string, std::size_t> fileOfName;  // by the name the object gives; only those read
  // "<object>: image <name> not found; looked for <places>" or "... is unusable: <why>", once per name.
  std::vector<std::string> warnings;

  const FoundImage* find(const std::string& name) const {
    const auto found = fileOfName.find(name);
    return found != fileOfName.end() ? &files[found->second] : nullptr;
  }
};

// Finds and reads every image `object` names (LightWaveObject::images) under `folders`, in order.
// `objectFile` names the object in the warnings. Throws only what allocation throws.
ObjectImages readObjectImages(const LightWaveObject& object, const std::string& objectFile,
                              std::span<const std::string> folders);

}  // namespace tessarine::mesh
