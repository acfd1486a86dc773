// The journey path "mapspline.spl": points 20 map units apart, the path's length, and the
// positions along it (stage sites, the traveller, the path strokes).
#pragma once

#include <cstdint>

// Room for a path of 80000 map units, far more than the map's picture holds.
constexpr int kMaxPathPoints = 4096;
constexpr float kPathStep = 20.0f;
constexpr int kPathStages = 15;

struct MapPoint {
    float x, y;
};

struct MapPath {
    int count = 0;         // points read (at most what the file holds and kMaxPathPoints)
    float length = 0.0f;   // L: finite and not negative
    MapPoint points[kMaxPathPoints] = {};
};

MapPath& mapPath();
void resetMapPath();
// Reads the file's bytes: N is cut to what the file holds, the points are moved onto the map
// picture. A file too short for its header leaves an empty path.
void readMapSpline(const uint8_t* bytes, int32_t size, MapPath& out);
// Reads "mapspline.spl" from the data folder; a missing file leaves no path.
void loadMapSpline();

// A path needs two points; with fewer, every distance lands on the one point there is, or on
// the map's middle (400, 330), and no strokes are drawn.
bool pathUsable(const MapPath& path);
// The point at distance d: (-1000, 0) beyond the end, (1000, 0) before the start.
MapPoint pathPointAt(const MapPath& path, float d);
MapPoint pointAt(float d);
// Stage s (clamped to 0..14) stands at s x L / 14.
float stagePosition(int stage);
