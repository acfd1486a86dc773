// Meshes and models: binary mesh files turned into vertex and index buffers with normals, the
// ".cgo" model lists that name meshes and their pictures, and their drawing with culling.
#pragma once

#include <cstdint>
#include <vector>

#include "render/device.h"

struct TextureEntry;

constexpr int kMeshCacheCapacity = 1024;
constexpr int kModelCapacity = 128;
constexpr int kMaxModelMeshes = 32;
constexpr int kMaxMeshOutputVertices = 65535;  // the indices are 16 bits
constexpr int kMeshNameSize = 128;

// Position, normal, texture coordinates: 32 bytes, the layout of the mesh buffers.
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(MeshVertex) == 32, "the mesh vertex is 32 bytes");

// What a mesh file makes, before it goes to the device.
struct MeshData {
    bool smooth = false;
    Matrix4 local{};  // the rotation from the file's angles, then its translation
    float centre[3] = {0, 0, 0};
    float halfExtent[3] = {0, 0, 0};
    float radius = 0.0f;
    int triangleCount = 0;
    std::vector<MeshVertex> vertices;  // 3 per triangle when flat
    std::vector<uint16_t> indices;     // smooth meshes: 3 per triangle
};

// Builds a mesh from the bytes of its file. False when the file is shorter than its counts
// say, a count is negative, an index names no vertex or the mesh would need more than 65535
// vertices.
bool buildMesh(const uint8_t* bytes, int32_t size, MeshData& out);
// The placement of the local rotation angles (radians, x first, then y, then z) and translation.
Matrix4 meshLocalMatrix(const float* angles, const float* translation);

struct Mesh {
    char name[kMeshNameSize];
    MeshData data;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
};

// The meshes and pictures a ".cgo" file lists ("nummeshes=", "mesh%i=", "texture%i=").
struct ModelList {
    int count = 0;
    char mesh[kMaxModelMeshes][kMeshNameSize];
    char texture[kMaxModelMeshes][kMeshNameSize];
};
void readModelList(const char* text, ModelList& out);

struct ModelPart {
    Mesh* mesh = nullptr;
    TextureEntry* texture = nullptr;
    bool hasExtra = false;
    Matrix4 extra{};
};
struct Model {
    char name[kMeshNameSize];
    int meshCount = 0;
    ModelPart parts[kMaxModelMeshes];
};

// Cached by exact file name; a missing or broken file is the fatal "Can't load".
Mesh* loadMesh(const char* name);
Model* loadModel(const char* name);
void drawMesh(const Mesh& mesh);
// Each mesh placed by its local matrix times the placement, skipped when its bounding sphere
// lies wholly outside the view volume.
void drawModel(const Model& model, const Matrix4& placement);
// True when a sphere (centre in world space) lies wholly outside a plane of the view volume
// that the current view and projection give.
bool sphereOutsideView(const float* centre, float radius);
int meshCount();
int modelCount();
// The buffers go back to the driver and both caches are emptied.
void releaseMeshes();
