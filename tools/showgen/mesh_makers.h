// Shapes for the show, each an LWO2 object whose faces point outwards (or, for open
// shapes, to the side named below) with a texture coordinate per point.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "formats/lwo2_writer.h"
#include "showgen/vec.h"

namespace tessarine::showgen {

// A ring (torus) around the z axis: `radius` to the middle of the tube, `tubeRadius` of
// the tube, `segments` around the ring, `sides` around the tube.
formats::ObjectData makeRing(const std::string& imageFile, double radius, double tubeRadius, int segments, int sides);

// A box centred on the origin; every face carries the whole texture.
formats::ObjectData makeBox(const std::string& imageFile, const Vec3& size);

// A sphere centred on the origin; u runs around the y axis, v from the bottom pole up.
formats::ObjectData makeSphere(const std::string& imageFile, double radius, int rings, int segments);

// A closed prism of `sides` sides along the y axis from -length/2 to length/2.
formats::ObjectData makeStrut(const std::string& imageFile, double length, double thickness, int sides);

// A height field over x in [-sizeX/2, sizeX/2] and z in [-sizeZ/2, sizeZ/2], facing up,
// cellsX x cellsZ quads; the texture spans it once.
formats::ObjectData makeTerrain(const std::string& imageFile, int cellsX, int cellsZ, double sizeX, double sizeZ,
                                const std::function<double(double x, double z)>& height);

// Flat ground at y = 0, facing up: a grid whose lines cross x and z at `lines`
// (ascending, from -size/2 to size/2), so it can be fine only where lights fall on it;
// the texture spans the whole square once.
formats::ObjectData makeFlatGround(const std::string& imageFile, double size, const std::vector<double>& lines);
// A flat plate in the plane z = 0 centred on the origin, facing -z: towards a camera
// that looks along +z. u runs left to right, v bottom to top.
formats::ObjectData makePlate(const std::string& imageFile, double width, double height);

// A crystal tower standing on y = 0: a prism of `sides` sides split into `storeys`
// (so spot lights can light it part way) under a pointed roof `spire` high.
formats::ObjectData makeTower(const std::string& imageFile, double radius, double height, int sides, int storeys,
                              double spire);

// An open cone (no base), its apex at the origin, opening along +z to a rim of `radius`
// at z = `length`, `segments` faces around, facing outwards; u runs around, v from the
// apex (0) to the rim (1).
formats::ObjectData makeCone(const std::string& imageFile, double length, double radius, int segments);

}  // namespace tessarine::showgen
