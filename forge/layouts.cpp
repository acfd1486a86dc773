// Binary and text layouts that go with the pictures: the backdrop layouts "level%i.lev" and the
// object list "gameobjs.txt", the journey path "mapspline.spl", the trophy list "trophy.txt" and
// the trophy room arrangement "trophyes/trophy.cfg".
#include <cmath>
#include <cstdio>
#include <cstring>

#include "art_map.h"
#include "art_scenes.h"
#include "forge.h"

namespace forge {

namespace {

void putBytes(std::vector<uint8_t>& out, const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}
void putI32(std::vector<uint8_t>& out, int32_t v) { putBytes(out, &v, 4); }
void putF32(std::vector<uint8_t>& out, float v) { putBytes(out, &v, 4); }
void putText(std::vector<uint8_t>& out, const std::string& s, size_t width) {
    std::vector<uint8_t> field(width, 0);
    std::memcpy(field.data(), s.data(), std::min(s.size(), width - 1));
    out.insert(out.end(), field.begin(), field.end());
}

std::vector<uint8_t> layoutFile(const art::BackdropPlan& plan) {
    std::vector<uint8_t> out;
    putText(out, plan.title, 64);
    putI32(out, int32_t(plan.objects.size()));
    for (const art::SceneObject& o : plan.objects) {
        putText(out, o.name, 32);
        putF32(out, o.x0);
        putF32(out, o.y0);
        putF32(out, o.x1);
        putF32(out, o.y1);
        putF32(out, o.angle);
        putF32(out, o.speedX);
        putF32(out, o.speedY);
        out.push_back(o.mirrored ? 1 : 0);
        putI32(out, o.behind);
    }
    return out;
}

std::string gameObjectsText() {
    std::string t = "; Pictures of the moving and still objects the backdrop layouts place.\r\n";
    std::string group;
    for (const art::GameObjectFile& f : art::gameObjectFiles()) {
        if (f.group != group) {
            if (!group.empty()) t += "[/" + group + "]\r\n\r\n";
            group = f.group;
            t += "[" + group + "/]\r\n";
        }
        t += f.name + "=" + f.file + "\r\n";
    }
    t += "[/" + group + "]\r\n";
    return t;
}

std::vector<uint8_t> splineFile() {
    const auto& pts = art::mapPathPoints();
    std::vector<uint8_t> out;
    putI32(out, int32_t(pts.size()));
    putF32(out, art::mapPathLength());
    for (const art::MapPoint& p : pts) {
        putF32(out, p.x - 400);
        putF32(out, p.y - 330);
    }
    // the marker distances: the stage sites, as an editor would have left them
    for (int i = 0; i < 10; ++i) putF32(out, art::mapPathLength() * float(i) / 14);
    return out;
}

}  // namespace

std::string trophyFileName(int trophy, bool glow) {
    char name[32];
    std::snprintf(name, sizeof name, glow ? "cup%02i_glow.tga" : "cup%02i.tga", trophy);
    return name;
}

void forgeLayouts(Context& ctx) {
    for (int i = 0; i < 18; ++i)
        writeOutput(ctx, "AnimBacks/level" + std::to_string(i) + ".lev", layoutFile(art::backdropPlan(i)));
    writeOutput(ctx, "AnimBacks/gameobjs.txt", gameObjectsText());
    writeOutput(ctx, "mapspline.spl", splineFile());

    std::string trophies;
    for (int i = 1; i <= 17; ++i) trophies += "trophy" + std::to_string(i) + "=" + trophyFileName(i, false) + "\r\n";
    for (int i = 1; i <= 17; ++i) trophies += "trophylum" + std::to_string(i) + "=" + trophyFileName(i, true) + "\r\n";
    writeOutput(ctx, "trophy.txt", trophies);

    std::vector<uint8_t> cfg;
    for (int i = 0; i < 17; ++i) {
        art::TrophySpot s = art::trophySpot(i);
        putF32(cfg, s.size);
        putF32(cfg, s.size);
        putF32(cfg, s.x);
        putF32(cfg, s.y);
        putI32(cfg, 0);
        putF32(cfg, 1.0f);
        cfg.insert(cfg.end(), 64, 0);
        cfg.insert(cfg.end(), 4, 0);  // not hovered, padding
    }
    writeOutput(ctx, "trophyes/trophy.cfg", cfg);
}

}  // namespace forge
