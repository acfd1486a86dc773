// The plans of the 18 backdrops, shared by the backdrop painter (pictures) and the layout writer
// (level%i.lev, gameobjs.txt), so the transparent holes of a picture and the objects that fill
// them always agree.
#pragma once

#include <string>
#include <vector>

namespace forge::art {

// A placed object of a layout, in drawing space (origin at the centre, y up).
struct SceneObject {
    std::string name;
    float x0, y0, x1, y1;
    float angle = 0, speedX = 0, speedY = 0;
    bool mirrored = false;
    int behind = 0;
};

enum class Water { None, Brook, Waterfall };

struct BackdropPlan {
    int index = 0;
    std::string title;
    Water water = Water::None;
    bool indoor = false;       // the trophy room
    int palette = 0;           // colour theme
    float skyline = 250;       // screen row where the land starts at the far distance
    float fallX = 0, fallW = 0, fallTop = 0, fallBottom = 0;  // waterfall band (screen pixels)
    float brookY = 0;          // brook centre row at the screen's middle
    std::vector<SceneObject> objects;
};

BackdropPlan backdropPlan(int index);  // 0..17

// One picture of "gameobjs.txt": the group it is listed in, the entry name and the file.
struct GameObjectFile {
    std::string group, name, file;
};
const std::vector<GameObjectFile>& gameObjectFiles();

// Trophy spots in the trophy room (backdrop 17): centre (drawing space) and size.
struct TrophySpot {
    float x, y, size;
};
TrophySpot trophySpot(int trophy);  // 0..16

}  // namespace forge::art

namespace forge {
// The trophy picture file names that "trophy.txt" lists (trophies 1..17).
std::string trophyFileName(int trophy, bool glow);
}  // namespace forge
