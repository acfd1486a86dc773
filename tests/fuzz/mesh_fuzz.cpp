// Mesh files: any bytes read as a mesh are refused or give vertices and 16-bit indices that stay
// inside the mesh.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/meshes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7fffffff) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    MeshData m;
    if (!buildMesh(bytes.data(), static_cast<int32_t>(bytes.size()), m)) return 0;
    if (m.triangleCount < 0 || m.vertices.size() > size_t(kMaxMeshOutputVertices)) std::abort();
    if (m.smooth) {
        if (m.indices.size() != size_t(m.triangleCount) * 3) std::abort();
        for (uint16_t i : m.indices)
            if (i >= m.vertices.size()) std::abort();
    } else if (m.vertices.size() != size_t(m.triangleCount) * 3) {
        std::abort();
    }
    return 0;
}
