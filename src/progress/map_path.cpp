#include "progress/map_path.h"

#include <cmath>
#include <cstring>

#include "app/resource_store.h"

namespace {
MapPath gPath;

int32_t readI32(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    int32_t out;
    std::memcpy(&out, &v, 4);
    return out;
}
float readF32(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float out;
    std::memcpy(&out, &v, 4);
    return out;
}
}  // namespace

MapPath& mapPath() { return gPath; }
void resetMapPath() {
    gPath.count = 0;
    gPath.length = 0.0f;
}

void readMapSpline(const uint8_t* bytes, int32_t size, MapPath& out) {
    out.count = 0;
    out.length = 0.0f;
    if (!bytes || size < 8) return;
    int64_t n = readI32(bytes);
    const int64_t held = (static_cast<int64_t>(size) - 8) / 8;
    if (n > held) n = held;
    if (n > kMaxPathPoints) n = kMaxPathPoints;
    if (n < 0) n = 0;
    float length = readF32(bytes + 4);
    out.length = std::isfinite(length) && length > 0.0f ? length : 0.0f;
    out.count = static_cast<int>(n);
    for (int i = 0; i < out.count; ++i) {
        const uint8_t* p = bytes + 8 + static_cast<size_t>(i) * 8;
        out.points[i] = MapPoint{readF32(p) + 400.0f, readF32(p + 4) + 30.0f + 300.0f};
    }
}

void loadMapSpline() {
    int32_t size = 0;
    uint8_t* bytes = loadFile("mapspline.spl", &size, false);
    if (!bytes) {
        resetMapPath();
        return;
    }
    readMapSpline(bytes, size, gPath);
    releaseByData(bytes);
}

bool pathUsable(const MapPath& path) { return path.count >= 2; }

MapPoint pathPointAt(const MapPath& path, float d) {
    if (path.count <= 0) return MapPoint{400.0f, 330.0f};
    if (path.count == 1) return path.points[0];
    if (!(d <= path.length)) return d > path.length ? MapPoint{-1000.0f, 0.0f} : path.points[0];
    if (d < 0.0f) return MapPoint{1000.0f, 0.0f};
    const double steps = static_cast<double>(d) / kPathStep;
    const double b = std::floor(steps);
    if (b > path.count - 2) return path.points[path.count - 1];
    const int i = static_cast<int>(b);
    const float t = static_cast<float>(steps - b);
    const MapPoint& p = path.points[i];
    const MapPoint& q = path.points[i + 1];
    return MapPoint{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
}

MapPoint pointAt(float d) { return pathPointAt(gPath, d); }

float stagePosition(int stage) {
    if (stage < 0) stage = 0;
    if (stage > kPathStages - 1) stage = kPathStages - 1;
    float d = static_cast<float>(stage) * gPath.length / static_cast<float>(kPathStages - 1);
    return d > gPath.length ? gPath.length : d;
}
