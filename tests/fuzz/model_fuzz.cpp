// ".cgo" model lists: any text gives a bounded count of terminated mesh and picture names.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/meshes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    static ModelList list;
    readModelList(text.c_str(), list);
    if (list.count < 0 || list.count > kMaxModelMeshes) std::abort();
    for (int i = 0; i < list.count; ++i)
        if (strnlen(list.mesh[i], kMeshNameSize) >= size_t(kMeshNameSize) ||
            strnlen(list.texture[i], kMeshNameSize) >= size_t(kMeshNameSize))
            std::abort();
    return 0;
}
