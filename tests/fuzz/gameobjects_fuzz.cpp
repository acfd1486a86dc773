// "gameobjs.txt": any text read as the object list gives bounded, terminated names.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/backdrops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    static GameObjectList list;
    readGameObjectList(text.c_str(), list);
    if (list.groupCount < 0 || list.groupCount > kMaxObjectGroups) std::abort();
    if (list.entryCount < 0 || list.entryCount > kMaxGameObjects) std::abort();
    for (int i = 0; i < list.groupCount; ++i)
        if (strnlen(list.groups[i], sizeof list.groups[i]) >= sizeof list.groups[i]) std::abort();
    for (int i = 0; i < list.entryCount; ++i) {
        const GameObjectList::Line& e = list.entries[i];
        if (strnlen(e.name, sizeof e.name) >= sizeof e.name || strnlen(e.file, sizeof e.file) >= sizeof e.file) std::abort();
        if (e.group < 0 || e.group > list.groupCount) std::abort();
        (void)objectKind(e.name);
    }
    return 0;
}
