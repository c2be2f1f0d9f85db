// Finding and reading the images of a LightWave object: the content search, then the image
// readers, a file reached by two spellings read once.
#include "mesh/lightwave_images.h"

#include "common/content_path.h"
#include "common/error.h"

namespace tessarine::mesh {
namespace {

std::string joined(const std::vector<std::string>& places) {
  std::string text;
  for (const std::string& place : places) text += (text.empty() ? "" : ", ") + place;
  return text;
}

}  // namespace

ObjectImages readObjectImages(const LightWaveObject& object, const std::string& objectFile,
                              std::span<const std::string> folders) {
  ObjectImages images;
  for (const std::string& name : object.images) {
    const common::ContentSearch search = common::findContentFile(name, folders);
    if (!search.found) {
      images.warnings.push_back(objectFile + ": image " + name + " not found; looked for " + joined(search.tried));
      continue;
    }
    std::size_t file = 0;
    while (file < images.files.size() && images.files[file].path != *search.found) ++file;
    if (file == images.files.size()) {
      try {
        images.files.push_back({*search.found, readImageFile(*search.found)});
      } catch (const common::Error& error) {
        images.warnings.push_back(objectFile + ": image " + name + " is unusable: " + error.described());
        continue;
      }
    }
    images.fileOfName.emplace(name, file);
  }
  return images;
}

}  // namespace tessarine::mesh
