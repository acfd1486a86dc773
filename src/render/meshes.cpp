#include "render/meshes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "app/key_text.h"
#include "app/resource_store.h"
#include "platform/gpu.h"
#include "render/textures.h"

namespace {
struct MeshState {
    Mesh meshes[kMeshCacheCapacity];
    int meshCount = 0;
    Model models[kModelCapacity];
    int modelCount = 0;
};
MeshState gMeshes;

template <typename T>
T readAt(const uint8_t* bytes, size_t at) {
    T v;
    std::memcpy(&v, bytes + at, sizeof v);
    return v;
}

struct Quaternion {
    float x, y, z, w;
};

Quaternion hamilton(const Quaternion& a, const Quaternion& b) {
    return Quaternion{a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                      a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

void normalise(float* v) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0.0f)) return;
    for (int k = 0; k < 3; ++k) v[k] /= length;
}

// A texture coordinate as a key: -0 counts as 0.
uint32_t coordinateBits(float f) {
    if (f == 0.0f) f = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) out.m[r][c] += a.m[r][k] * b.m[k][c];
    return out;
}

void transformPoint(const float* p, const Matrix4& m, float* out) {
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m.m[0][c] + p[1] * m.m[1][c] + p[2] * m.m[2][c] + m.m[3][c];
}

void copyName(char* out, const char* name) { std::snprintf(out, kMeshNameSize, "%s", name ? name : ""); }
}  // namespace

Matrix4 meshLocalMatrix(const float* angles, const float* translation) {
    Quaternion q[3];
    for (int i = 0; i < 3; ++i) {
        float s = std::sin(angles[i] / 2.0f), c = std::cos(angles[i] / 2.0f);
        q[i] = Quaternion{i == 0 ? s : 0.0f, i == 1 ? s : 0.0f, i == 2 ? s : 0.0f, c};
    }
    Quaternion r = hamilton(hamilton(q[2], q[1]), q[0]);
    float x = r.x, y = r.y, z = r.z, w = r.w;
    Matrix4 m = identityMatrix();
    m.m[0][0] = 1 - 2 * (y * y + z * z);
    m.m[0][1] = 2 * (x * y + w * z);
    m.m[0][2] = 2 * (x * z - w * y);
    m.m[1][0] = 2 * (x * y - w * z);
    m.m[1][1] = 1 - 2 * (x * x + z * z);
    m.m[1][2] = 2 * (y * z + w * x);
    m.m[2][0] = 2 * (x * z + w * y);
    m.m[2][1] = 2 * (y * z - w * x);
    m.m[2][2] = 1 - 2 * (x * x + y * y);
    for (int k = 0; k < 3; ++k) m.m[3][k] = translation[k];
    return m;
}

bool buildMesh(const uint8_t* bytes, int32_t size, MeshData& out) {
    out = MeshData{};
    if (!bytes || size < 37) return false;
    const int32_t v = readAt<int32_t>(bytes, 29);
    const int32_t t = readAt<int32_t>(bytes, 33);
    if (v < 0 || t < 0) return false;
    const int64_t needed = 37 + 12 * int64_t{v} + 36 * int64_t{t};
    if (needed > size) return false;
    out.smooth = bytes[3] != 0;
    float translation[3], angles[3];
    for (int k = 0; k < 3; ++k) {
        translation[k] = readAt<float>(bytes, 4 + 4 * static_cast<size_t>(k));
        angles[k] = readAt<float>(bytes, 16 + 4 * static_cast<size_t>(k));
    }
    out.local = meshLocalMatrix(angles, translation);
    const size_t positionsAt = 37, trianglesAt = 37 + 12 * static_cast<size_t>(v);
    const size_t coordinatesAt = trianglesAt + 12 * static_cast<size_t>(t);
    std::vector<float> positions(static_cast<size_t>(v) * 3);
    if (v > 0) std::memcpy(positions.data(), bytes + positionsAt, positions.size() * 4);
    const size_t corners = static_cast<size_t>(t) * 3;
    std::vector<int32_t> index(corners);
    if (t > 0) std::memcpy(index.data(), bytes + trianglesAt, corners * 4);
    for (int32_t i : index)
        if (i < 0 || i >= v) return false;
    std::vector<float> uv(corners * 2);
    if (t > 0) std::memcpy(uv.data(), bytes + coordinatesAt, uv.size() * 4);
    for (size_t c = 0; c < corners; ++c) uv[c * 2 + 1] = 1.0f - uv[c * 2 + 1];

    if (v > 0) {
        float lo[3], hi[3];
        for (int k = 0; k < 3; ++k) lo[k] = hi[k] = positions[static_cast<size_t>(k)];
        for (size_t i = 0; i < static_cast<size_t>(v); ++i)
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], positions[i * 3 + static_cast<size_t>(k)]);
                hi[k] = std::max(hi[k], positions[i * 3 + static_cast<size_t>(k)]);
            }
        for (int k = 0; k < 3; ++k) {
            out.centre[k] = (lo[k] + hi[k]) / 2.0f;
            out.halfExtent[k] = (hi[k] - lo[k]) / 2.0f;
        }
        out.radius = std::sqrt(out.halfExtent[0] * out.halfExtent[0] + out.halfExtent[1] * out.halfExtent[1] +
                               out.halfExtent[2] * out.halfExtent[2]);
    }
    out.triangleCount = t;

    auto position = [&](int32_t i) { return &positions[static_cast<size_t>(i) * 3]; };
    std::vector<float> faceNormals(static_cast<size_t>(t) * 3, 0.0f);
    for (size_t tri = 0; tri < static_cast<size_t>(t); ++tri) {
        const float* a = position(index[tri * 3]);
        const float* b = position(index[tri * 3 + 1]);
        const float* c = position(index[tri * 3 + 2]);
        float ca[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        float ba[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        float* n = &faceNormals[tri * 3];
        n[0] = ca[1] * ba[2] - ca[2] * ba[1];
        n[1] = ca[2] * ba[0] - ca[0] * ba[2];
        n[2] = ca[0] * ba[1] - ca[1] * ba[0];
        normalise(n);
    }

    if (!out.smooth) {
        if (corners > static_cast<size_t>(kMaxMeshOutputVertices)) return false;
        out.vertices.resize(corners);
        for (size_t c = 0; c < corners; ++c) {
            const float* p = position(index[c]);
            const float* n = &faceNormals[(c / 3) * 3];
            out.vertices[c] = MeshVertex{p[0], p[1], p[2], n[0], n[1], n[2], uv[c * 2], uv[c * 2 + 1]};
        }
        return true;
    }

    std::vector<float> vertexNormals(static_cast<size_t>(v) * 3, 0.0f);
    for (size_t c = 0; c < corners; ++c)
        for (int k = 0; k < 3; ++k)
            vertexNormals[static_cast<size_t>(index[c]) * 3 + static_cast<size_t>(k)] += faceNormals[(c / 3) * 3 + static_cast<size_t>(k)];
    for (size_t i = 0; i < static_cast<size_t>(v); ++i) normalise(&vertexNormals[i * 3]);

    // Every distinct (u, v) of a vertex's corners is one output vertex: vertex by vertex, each
    // vertex's pairs in the order its corners meet them.
    struct Key {
        uint64_t vertexAndU;
        uint32_t v;
        bool operator==(const Key& o) const { return vertexAndU == o.vertexAndU && v == o.v; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const { return std::hash<uint64_t>()(k.vertexAndU * 31u + k.v); }
    };
    std::unordered_map<Key, size_t, KeyHash> first;  // key -> the corner that met it first
    std::vector<size_t> distinct;                     // those corners
    std::vector<size_t> cornerPair(corners);          // corner -> its entry of distinct
    for (size_t c = 0; c < corners; ++c) {
        Key key{(static_cast<uint64_t>(static_cast<uint32_t>(index[c])) << 32) | coordinateBits(uv[c * 2]),
                coordinateBits(uv[c * 2 + 1])};
        auto found = first.emplace(key, distinct.size());
        if (found.second) {
            distinct.push_back(c);
            if (distinct.size() > static_cast<size_t>(kMaxMeshOutputVertices)) return false;
        }
        cornerPair[c] = found.first->second;
    }
    std::vector<size_t> order(distinct.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return index[distinct[a]] < index[distinct[b]]; });
    std::vector<uint16_t> outputOf(distinct.size());
    out.vertices.resize(distinct.size());
    for (size_t o = 0; o < order.size(); ++o) {
        size_t c = distinct[order[o]];
        outputOf[order[o]] = static_cast<uint16_t>(o);
        const float* p = position(index[c]);
        const float* n = &vertexNormals[static_cast<size_t>(index[c]) * 3];
        out.vertices[o] = MeshVertex{p[0], p[1], p[2], n[0], n[1], n[2], uv[c * 2], uv[c * 2 + 1]};
    }
    out.indices.resize(corners);
    for (size_t c = 0; c < corners; ++c) out.indices[c] = outputOf[cornerPair[c]];
    return true;
}

void readModelList(const char* text, ModelList& out) {
    out.count = 0;
    if (!text) return;
    int n = getInt(text, "nummeshes=");
    if (n < 0) n = 0;
    if (n > kMaxModelMeshes) n = kMaxModelMeshes;
    char key[32];
    for (int i = 0; i < n; ++i) {
        std::snprintf(key, sizeof key, "mesh%d=", i);
        getString(out.mesh[i], kMeshNameSize, text, key);
        std::snprintf(key, sizeof key, "texture%d=", i);
        getString(out.texture[i], kMeshNameSize, text, key);
    }
    out.count = n;
}

Mesh* loadMesh(const char* name) {
    if (!name) name = "";
    for (int i = 0; i < gMeshes.meshCount; ++i)
        if (std::strcmp(gMeshes.meshes[i].name, name) == 0) return &gMeshes.meshes[i];
    if (gMeshes.meshCount >= kMeshCacheCapacity) fatalLoad(name);
    int32_t size = 0;
    uint8_t* bytes = loadFile(name, &size, true);
    Mesh& mesh = gMeshes.meshes[gMeshes.meshCount];
    bool built = buildMesh(bytes, size, mesh.data);
    releaseByData(bytes);
    if (!built) fatalLoad(name);
    copyName(mesh.name, name);
    mesh.vertexBuffer = platform::gpu::createVertexBuffer(mesh.data.vertices.data(),
                                                          static_cast<int>(mesh.data.vertices.size()));
    mesh.indexBuffer = mesh.data.smooth ? platform::gpu::createIndexBuffer(mesh.data.indices.data(),
                                                                           static_cast<int>(mesh.data.indices.size()))
                                        : 0;
    ++gMeshes.meshCount;
    return &mesh;
}

Model* loadModel(const char* name) {
    if (!name) name = "";
    for (int i = 0; i < gMeshes.modelCount; ++i)
        if (std::strcmp(gMeshes.models[i].name, name) == 0) return &gMeshes.models[i];
    if (gMeshes.modelCount >= kModelCapacity) fatalLoad(name);
    int32_t size = 0;
    uint8_t* bytes = loadFile(name, &size, true);
    std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size > 0 ? size : 0));
    static ModelList list;
    readModelList(text.c_str(), list);
    Model& model = gMeshes.models[gMeshes.modelCount];
    model = Model{};
    copyName(model.name, name);
    for (int i = 0; i < list.count; ++i) {
        model.parts[i].mesh = loadMesh(list.mesh[i]);
        model.parts[i].texture = loadTexture(list.texture[i]);
    }
    model.meshCount = list.count;
    releaseByName(name);
    ++gMeshes.modelCount;
    return &model;
}

void drawMesh(const Mesh& mesh) {
    int count = mesh.data.triangleCount * 3;
    platform::gpu::drawMesh(mesh.vertexBuffer, mesh.indexBuffer, count);
    triangleCounter() += static_cast<uint32_t>(mesh.data.triangleCount);
}

bool sphereOutsideView(const float* centre, float radius) {
    Matrix4 vp = multiply(viewMatrix(), projectionMatrix());
    auto column = [&](int c, float* out) {
        for (int r = 0; r < 4; ++r) out[r] = vp.m[r][c];
    };
    float x[4], y[4], z[4], w[4];
    column(0, x);
    column(1, y);
    column(2, z);
    column(3, w);
    float planes[6][4];
    for (int k = 0; k < 4; ++k) {
        planes[0][k] = w[k] + x[k];  // left
        planes[1][k] = w[k] - x[k];  // right
        planes[2][k] = w[k] + y[k];  // bottom
        planes[3][k] = w[k] - y[k];  // top
        planes[4][k] = z[k];         // near (depth from 0)
        planes[5][k] = w[k] - z[k];  // far
    }
    for (const float* p : planes) {
        float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (!(length > 0.0f)) continue;
        float value = (p[0] * centre[0] + p[1] * centre[1] + p[2] * centre[2] + p[3]) / length;
        if (value <= -radius) return true;
    }
    return false;
}

void drawModel(const Model& model, const Matrix4& placement) {
    for (int i = 0; i < model.meshCount; ++i) {
        const ModelPart& part = model.parts[i];
        if (!part.mesh) continue;
        Matrix4 w = multiply(part.mesh->data.local, placement);
        if (part.hasExtra) w = multiply(w, part.extra);
        float centre[3];
        transformPoint(part.mesh->data.centre, w, centre);
        if (sphereOutsideView(centre, part.mesh->data.radius)) continue;
        setWorldMatrix(&w);
        bindTexture(part.texture);
        bool alpha = part.texture && part.texture->hasAlpha;
        if (alpha) {
            switchOn(kSwitchAlphaTest);
            setCulling(false);
            switchOn(kSwitchBlending);
            setBlendMode(kBlendAlpha);
        } else {
            switchOff(kSwitchAlphaTest);
        }
        drawMesh(*part.mesh);
    }
}

int meshCount() { return gMeshes.meshCount; }
int modelCount() { return gMeshes.modelCount; }

void releaseMeshes() {
    for (int i = 0; i < gMeshes.meshCount; ++i) {
        Mesh& mesh = gMeshes.meshes[i];
        platform::gpu::deleteBuffer(mesh.vertexBuffer);
        platform::gpu::deleteBuffer(mesh.indexBuffer);
        mesh = Mesh{};
    }
    for (int i = 0; i < gMeshes.modelCount; ++i) gMeshes.models[i] = Model{};
    gMeshes.meshCount = 0;
    gMeshes.modelCount = 0;
}
