// Collecting and writing the show's files.
#include "showgen/show.h"

#include <filesystem>
#include <fstream>

#include "common/error.h"
#include "common/path.h"
#include "formats/tga_writer.h"

namespace tessarine::showgen {
namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw common::Error("Cannot write " + path.string());
}

}  // namespace

std::string imageNameFor(const std::string& objectFile) { return common::imagePathFor("", objectFile); }

const std::string& Show::addObject(const std::string& fileName, formats::ObjectData object, Canvas texture,
                                   bool alpha) {
  auto [it, added] = objects_.try_emplace(fileName, ShowObject{std::move(object), std::move(texture), alpha});
  (void)added;
  return it->first;
}

void Show::writeTo(const std::string& directory) const {
  std::filesystem::path dir(directory);
  std::filesystem::create_directories(dir);
  for (const auto& [name, item] : objects_) {
    writeFile(dir / name, formats::writeLwo2(item.object));
    writeFile(dir / imageNameFor(name), formats::writeTga(item.texture.toTga(item.alpha), name));
  }
  for (const ShowScene& scene : scenes_) writeFile(dir / scene.fileName, formats::writeLws(scene.scene));
}

}  // namespace tessarine::showgen
