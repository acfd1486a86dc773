// The journey path, shared by the map painter and the spline writer. Coordinates are pixels of
// the 1024 x 1024 map picture (x right, y down); the file stores each point minus (400, 330).
#pragma once

#include <vector>

namespace forge::art {

struct MapPoint {
    float x, y;
};

// The path's points, 20 map units apart along it, the first at the journey's start.
const std::vector<MapPoint>& mapPathPoints();
// The point at a distance along the path (the same interpolation the game uses).
MapPoint mapPointAt(float distance);
// The length of the path, 20 x (points - 1).
float mapPathLength();
// Where stage s (0..14) stands: s x length / 14 along the path.
MapPoint stageSite(int stage);

}  // namespace forge::art
