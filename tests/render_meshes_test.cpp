// Meshes and models: the mesh file turned into vertices and indices (flat and smooth, normals,
// the split of shared vertices by texture coordinates, v flipped), broken files refused, the
// caches, ".cgo" lists, and meshes drawn lit in perspective with culling by bounding sphere.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/resource_store.h"
#include "platform/files.h"
#include "render/meshes.h"
#include "render_support.h"

using namespace render_test;

namespace {

struct Tri {
    int32_t a, b, c;
    float uv[6];
};

template <typename T>
void put(std::vector<uint8_t>& out, T v) {
    size_t at = out.size();
    out.resize(at + sizeof v);
    std::memcpy(out.data() + at, &v, sizeof v);
}

std::vector<uint8_t> meshFile(bool smooth, const std::vector<float>& positions, const std::vector<Tri>& tris,
                              const float* translation = nullptr, const float* angles = nullptr) {
    std::vector<uint8_t> out = {'M', 'S', 'H', static_cast<uint8_t>(smooth ? 1 : 0)};
    for (int k = 0; k < 3; ++k) put(out, translation ? translation[k] : 0.0f);
    for (int k = 0; k < 3; ++k) put(out, angles ? angles[k] : 0.0f);
    out.push_back(0);
    put(out, static_cast<int32_t>(positions.size() / 3));
    put(out, static_cast<int32_t>(tris.size()));
    for (float p : positions) put(out, p);
    for (const Tri& t : tris) {
        put(out, t.a);
        put(out, t.b);
        put(out, t.c);
    }
    for (const Tri& t : tris)
        for (float f : t.uv) put(out, f);
    return out;
}

// A cube of side 2 about the origin: 8 corners, 12 triangles; every face has texture
// coordinates of its own, so each corner carries three different pairs.
std::vector<uint8_t> cube(bool smooth) {
    std::vector<float> p;
    for (int i = 0; i < 8; ++i) {
        p.push_back(i & 1 ? 1.0f : -1.0f);
        p.push_back(i & 2 ? 1.0f : -1.0f);
        p.push_back(i & 4 ? 1.0f : -1.0f);
    }
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    std::vector<Tri> tris;
    for (int f = 0; f < 6; ++f) {
        float u = static_cast<float>(f) * 0.1f;
        float corner[4][2] = {{u, 0.0f}, {u + 0.05f, 0.0f}, {u + 0.05f, 0.25f}, {u, 0.25f}};
        const int* q = faces[f];
        tris.push_back({q[0], q[1], q[2], {corner[0][0], corner[0][1], corner[1][0], corner[1][1], corner[2][0], corner[2][1]}});
        tris.push_back({q[0], q[2], q[3], {corner[0][0], corner[0][1], corner[2][0], corner[2][1], corner[3][0], corner[3][1]}});
    }
    return meshFile(smooth, p, tris);
}

TEST(MeshFiles, ASmoothCubeSharesItsCornersByTextureCoordinates) {
    auto file = cube(true);
    MeshData m;
    ASSERT_TRUE(buildMesh(file.data(), static_cast<int32_t>(file.size()), m));
    EXPECT_TRUE(m.smooth);
    EXPECT_EQ(m.triangleCount, 12);
    EXPECT_EQ(m.vertices.size(), 24u);
    EXPECT_EQ(m.indices.size(), 36u);
    // Vertex by vertex: the first three output vertices are corner 0 with its three pairs.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m.vertices[static_cast<size_t>(i)].x, -1.0f);
        EXPECT_EQ(m.vertices[static_cast<size_t>(i)].z, -1.0f);
    }
    EXPECT_EQ(m.vertices[3].x, 1.0f);
    // Corner 0 lies on three faces: its normal points out along the diagonal.
    const float d = 1.0f / std::sqrt(3.0f);
    EXPECT_NEAR(std::fabs(m.vertices[0].nx), d, 0.2f);
    EXPECT_NEAR(m.vertices[0].nx * m.vertices[0].nx + m.vertices[0].ny * m.vertices[0].ny +
                    m.vertices[0].nz * m.vertices[0].nz,
                1.0f, 1e-5f);
    // Each index names an output vertex at its corner's position with its corner's (u, 1 - v).
    for (size_t c = 0; c < 36; ++c) {
        const MeshVertex& v = m.vertices[m.indices[c]];
        EXPECT_TRUE(v.v == 1.0f || v.v == 0.75f) << c;
    }
    EXPECT_FLOAT_EQ(m.radius, std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(m.centre[0], 0.0f);
    EXPECT_FLOAT_EQ(m.halfExtent[1], 1.0f);
}

TEST(MeshFiles, AFlatCubeHasThreeVerticesATriangleWithFaceNormalsAndVFlipped) {
    auto file = cube(false);
    MeshData m;
    ASSERT_TRUE(buildMesh(file.data(), static_cast<int32_t>(file.size()), m));
    EXPECT_EQ(m.vertices.size(), 36u);
    EXPECT_TRUE(m.indices.empty());
    // A v of 0.25 in the file is drawn at 0.75.
    EXPECT_FLOAT_EQ(m.vertices[2].v, 0.75f);
    EXPECT_FLOAT_EQ(m.vertices[0].v, 1.0f);

    // The face normal is cross(c - a, b - a): (0,0,0), (1,0,0), (0,1,0) faces -z.
    auto one = meshFile(false, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, {0, 0, 1, 0, 0, 1}}});
    ASSERT_TRUE(buildMesh(one.data(), static_cast<int32_t>(one.size()), m));
    EXPECT_FLOAT_EQ(m.vertices[0].nz, -1.0f);
    // A triangle without area keeps a zero normal.
    auto flat = meshFile(false, {0, 0, 0, 1, 1, 1}, {{0, 1, 1, {0, 0, 0, 0, 0, 0}}});
    ASSERT_TRUE(buildMesh(flat.data(), static_cast<int32_t>(flat.size()), m));
    EXPECT_EQ(m.vertices[0].nx, 0.0f);
    EXPECT_EQ(m.vertices[0].nz, 0.0f);
}

TEST(MeshFiles, TheLocalPlacementTurnsXThenYThenZ) {
    const float pi = 3.14159265f;
    float turnZ[3] = {0, 0, pi / 2}, move[3] = {5, 6, 7};
    Matrix4 m = meshLocalMatrix(turnZ, move);
    // Row vectors: (1, 0, 0) turns to (0, 1, 0) about z, then moves.
    EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[0][1], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[1][0], -1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m.m[3][0], 5.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], 7.0f);
    EXPECT_FLOAT_EQ(m.m[3][3], 1.0f);
    // x by 90 degrees first, then z by 90: the y axis goes to z first, and stays there.
    float both[3] = {pi / 2, 0, pi / 2}, none[3] = {0, 0, 0};
    Matrix4 b = meshLocalMatrix(both, none);
    EXPECT_NEAR(b.m[1][2], 1.0f, 1e-6f);
    // ... and the x axis goes to y.
    EXPECT_NEAR(b.m[0][1], 1.0f, 1e-6f);
}

TEST(MeshFiles, BrokenFilesAreRefused) {
    auto good = meshFile(false, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, {0, 0, 0, 0, 0, 0}}});
    MeshData m;
    EXPECT_TRUE(buildMesh(good.data(), static_cast<int32_t>(good.size()), m));
    EXPECT_FALSE(buildMesh(good.data(), static_cast<int32_t>(good.size()) - 1, m));  // cut short
    EXPECT_FALSE(buildMesh(good.data(), 36, m));
    auto outOfRange = meshFile(true, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 3, {0, 0, 0, 0, 0, 0}}});
    EXPECT_FALSE(buildMesh(outOfRange.data(), static_cast<int32_t>(outOfRange.size()), m));
    auto negative = meshFile(true, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, -1, 2, {0, 0, 0, 0, 0, 0}}});
    EXPECT_FALSE(buildMesh(negative.data(), static_cast<int32_t>(negative.size()), m));
    auto counts = good;
    int32_t minusOne = -1;
    std::memcpy(counts.data() + 29, &minusOne, 4);
    EXPECT_FALSE(buildMesh(counts.data(), static_cast<int32_t>(counts.size()), m));
    int32_t huge = 0x7fffffff;
    std::memcpy(counts.data() + 29, &huge, 4);
    EXPECT_FALSE(buildMesh(counts.data(), static_cast<int32_t>(counts.size()), m));
    // More than 65535 output vertices cannot be indexed in 16 bits: 21846 flat triangles.
    std::vector<Tri> many(21846, Tri{0, 1, 2, {0, 0, 0, 0, 0, 0}});
    auto big = meshFile(false, {0, 0, 0, 1, 0, 0, 0, 1, 0}, many);
    EXPECT_FALSE(buildMesh(big.data(), static_cast<int32_t>(big.size()), m));
    many.resize(21845);
    big = meshFile(false, {0, 0, 0, 1, 0, 0, 0, 1, 0}, many);
    EXPECT_TRUE(buildMesh(big.data(), static_cast<int32_t>(big.size()), m));
    // An empty mesh is a mesh.
    auto empty = meshFile(true, {}, {});
    EXPECT_TRUE(buildMesh(empty.data(), static_cast<int32_t>(empty.size()), m));
    EXPECT_EQ(m.vertices.size(), 0u);
}

TEST(MeshFiles, ModelListsNameTheirMeshesAndPictures) {
    ModelList list;
    readModelList("nummeshes=3\r\nmesh0=body.msh\r\ntexture0=body.tga\r\nmesh2=wing.msh\r\ntexture1=x.jpg\r\n", list);
    ASSERT_EQ(list.count, 3);
    EXPECT_STREQ(list.mesh[0], "body.msh");
    EXPECT_STREQ(list.texture[0], "body.tga");
    EXPECT_STREQ(list.mesh[1], "");  // missing: loading it fails like a missing file
    EXPECT_STREQ(list.mesh[2], "wing.msh");
    readModelList("nummeshes=-4\r\n", list);
    EXPECT_EQ(list.count, 0);
    readModelList("nummeshes=100000\r\n", list);
    EXPECT_EQ(list.count, kMaxModelMeshes);
}

// Meshes and models read from files in a folder of their own, drawn on the offscreen device.
class Meshes : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        back_ = platform::currentDir();
        platform::changeDir(dir_.str().c_str());
        releaseMeshes();
    }
    void TearDown() override {
        releaseMeshes();
        resetResourceStore();
        platform::changeDir(back_.c_str());
        RenderTest::TearDown();
    }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing_support::writeFile(dir_ / name, std::string(bytes.begin(), bytes.end()));
    }
    testing_support::TempDir dir_;
    std::string back_;
};

TEST_F(Meshes, OneMeshPerNameAndBrokenOrMissingFilesAreFatal) {
    write("cube.msh", cube(true));
    Mesh* a = loadMesh("cube.msh");
    Mesh* b = loadMesh("cube.msh");
    EXPECT_EQ(a, b);
    EXPECT_EQ(meshCount(), 1);
    EXPECT_NE(a->vertexBuffer, 0u);
    EXPECT_NE(a->indexBuffer, 0u);
    EXPECT_EQ(findEntry("cube.msh"), nullptr);  // the file's bytes are given back
    testing_support::FatalGuard guard;
    auto broken = cube(true);
    broken.resize(broken.size() - 4);
    write("broken.msh", broken);
    try {
        loadMesh("broken.msh");
        ADD_FAILURE() << "a cut mesh loaded";
    } catch (const testing_support::FatalError& e) {
        EXPECT_NE(std::string(e.what()).find("Can't load broken.msh"), std::string::npos) << e.what();
        EXPECT_EQ(e.caption, "Loading Error");
    }
    EXPECT_THROW(loadMesh("missing.msh"), testing_support::FatalError);
    EXPECT_EQ(meshCount(), 1);
    // A model whose list misses a mesh line fails like a missing file.
    testing_support::writeFile(dir_ / "gap.cgo", "nummeshes=2\r\nmesh0=cube.msh\r\ntexture0=skin.tga\r\n");
    std::string skin = testing_support::tinyTga();
    addFile("skin.tga", std::vector<uint8_t>(skin.begin(), skin.end()));
    try {
        loadModel("gap.cgo");
        ADD_FAILURE() << "a model without its second mesh loaded";
    } catch (const testing_support::FatalError& e) {
        EXPECT_NE(std::string(e.what()).find("Can't load ..."), std::string::npos) << e.what();
    }
}

TEST_F(Meshes, AModelIsDrawnLitInPerspectiveUnlessItLiesOutsideTheView) {
    write("cube.msh", cube(true));
    write("flat.msh", cube(false));
    testing_support::writeFile(dir_ / "box.cgo", "nummeshes=2\r\nmesh0=cube.msh\r\ntexture0=skin.tga\r\n"
                                                  "mesh1=flat.msh\r\ntexture1=skin.tga\r\n");
    std::string skin = testing_support::tinyTga();
    addFile("skin.tga", std::vector<uint8_t>(skin.begin(), skin.end()));  // pictures come from memory
    Model* model = loadModel("box.cgo");
    ASSERT_EQ(model->meshCount, 2);
    EXPECT_EQ(loadModel("box.cgo"), model);
    EXPECT_EQ(model->parts[0].mesh, loadMesh("cube.msh"));
    EXPECT_EQ(meshCount(), 2);
    EXPECT_EQ(findEntry("box.cgo"), nullptr);  // the list is given back by name

    switchOff(kSwitch2D);
    setProjectionMatrix(perspectiveMatrix(0.7853982f, 800.0f / 600.0f, 5.0f, 400.0f));
    setViewMatrix(nullptr);
    switchOn(kSwitchLighting);
    applyLightPreset();
    clearTarget(0xFF000000u);
    Matrix4 place = identityMatrix();
    place.m[3][2] = 20.0f;  // 20 units in front of the eye
    triangleCounter() = 0;
    drawModel(*model, place);
    EXPECT_EQ(triangleCounter(), 24u);
    Rgba centre = pixel(400, 300);
    EXPECT_GT(centre.r, 20);  // lit (at least by the ambient light) and white-textured
    EXPECT_EQ(centre.r, centre.b);
    EXPECT_TRUE(near(at(20, 20), Rgba{0, 0, 0, 255}, 0));
    // Behind the eye, and far to the side: nothing is submitted.
    place.m[3][2] = -20.0f;
    drawModel(*model, place);
    place.m[3][2] = 20.0f;
    place.m[3][0] = 100.0f;
    drawModel(*model, place);
    EXPECT_EQ(triangleCounter(), 24u);
    // Just beyond the left edge, a sphere that reaches into the view is drawn.
    float inside[3] = {-9.0f, 0.0f, 20.0f}, outside[3] = {-15.0f, 0.0f, 20.0f};
    EXPECT_FALSE(sphereOutsideView(inside, std::sqrt(3.0f)));
    EXPECT_TRUE(sphereOutsideView(outside, std::sqrt(3.0f)));
    switchOff(kSwitchLighting);
}

}  // namespace
