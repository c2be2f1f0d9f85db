// The whole show in memory: its scene files and the objects they load, each object with
// the image beside it, and the writing of all of it into a data directory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "formats/lwo2_writer.h"
#include "formats/lws_writer.h"
#include "showgen/canvas.h"

namespace tessarine::showgen {

struct ShowObject {
  formats::ObjectData object;
  Canvas texture;
  bool alpha = false;  // written as a 32-bit image when set, else 24-bit
};

struct ShowScene {
  std::string fileName;
  formats::LwsScene scene;
};

class Show {
 public:
  // Registers the object file `fileName` (ending in ".lwo"); its image is the same name
  // ending in ".tga". A name registered before keeps its first object. Returns the name.
  const std::string& addObject(const std::string& fileName, formats::ObjectData object, Canvas texture, bool alpha);
  bool hasObject(const std::string& fileName) const { return objects_.count(fileName) != 0; }
  void addScene(ShowScene scene) { scenes_.push_back(std::move(scene)); }

  const std::map<std::string, ShowObject>& objects() const { return objects_; }
  const std::vector<ShowScene>& scenes() const { return scenes_; }

  // Writes every scene, object and image into `directory`, creating it if needed.
  // Throws common::Error when a file cannot be written.
  void writeTo(const std::string& directory) const;

 private:
  std::map<std::string, ShowObject> objects_;
  std::vector<ShowScene> scenes_;
};

// The image file the player reads beside an object file: its extension becomes "tga".
std::string imageNameFor(const std::string& objectFile);

}  // namespace tessarine::showgen
