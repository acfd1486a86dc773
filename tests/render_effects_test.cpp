// Particle effects: the effect files' keys and defaults, bursts and travelling emitters, the
// pools, the chain limit of external effects, and the particles on screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "app/frame_clock.h"
#include "platform/random.h"
#include "render/effects.h"
#include "render_support.h"

using namespace render_test;

namespace {

int addTemplate(const std::string& name, const std::string& text) {
    EffectTemplate t;
    readEffectTemplate(text.c_str(), name.c_str(), t);
    EXPECT_TRUE(addEffectTemplate(t));
    return effectsState().templateCount - 1;
}

std::vector<const Particle*> liveParticles() {
    std::vector<const Particle*> out;
    for (const Particle& p : effectsState().particles)
        if (p.age < p.lifetime) out.push_back(&p);
    return out;
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override {
        resetEffects();
        resetFrameClock();
        platform::srand(7);
    }
    void TearDown() override { resetEffects(); }
};

TEST_F(Effects, KeysAreFoundWhereverTheyStandAndAbsentKeysKeepTheirDefaults) {
    EffectTemplate t;
    // "rot=" is found inside "drot=" when that comes first, and "rotdev=" inside "drotdev=".
    readEffectTemplate("drot=90\r\ndrotdev=5\r\nrot=10\r\nrotdev=2\r\n", "spin", t);
    EXPECT_FLOAT_EQ(t.rotation, 90.0f);
    EXPECT_FLOAT_EQ(t.rotationDev, 5.0f);
    EXPECT_FLOAT_EQ(t.spin, 90.0f);
    readEffectTemplate("rot=10\r\nrotdev=2\r\ndrot=90\r\ndrotdev=5\r\n", "spin", t);
    EXPECT_FLOAT_EQ(t.rotation, 10.0f);
    EXPECT_FLOAT_EQ(t.rotationDev, 2.0f);
    EXPECT_FLOAT_EQ(t.spin, 90.0f);
    EXPECT_FLOAT_EQ(t.spinDev, 5.0f);

    readEffectTemplate("", "empty", t);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(t.colour0[k], 1.0f);
        EXPECT_EQ(t.colour1[k], 0.0f);
    }
    EXPECT_EQ(t.frequency, 0.0f);
    EXPECT_EQ(t.effectTime, 0.0f);
    EXPECT_EQ(t.lifetime, 0.0f);
    EXPECT_EQ(t.blendType, 0);
    EXPECT_STREQ(t.externalEffects[0], "");

    // Every key of the format, the ones our files leave out included.
    readEffectTemplate(
        "externeffect1=spark\r\nexterneffect8=glow\r\nparfrequency=2.5\r\ncolor0=(0.1,0.2,0.3,0.4,0.5,0.6)\r\n"
        "color1={0.5}\r\nradius0=3\r\nspeed=(1,2)\r\npolarpar=(1,2,3,4)\r\npolarpardev=(5,6,7,8)\r\n"
        "lissparx=(4,1,90)\r\nlisspary=(5,2,45)\r\nsimetria=6\r\nsimetriapar=3\r\npolar=(10,20,30,40)\r\n"
        "polardev=(1,1,1,1)\r\nlissx=(7,8,9)\r\nlissy=(10,11,12)\r\nsleep=250\r\neffecttime=800\r\n"
        "numparticle=12\r\nblendtype=1\r\n",
        "a name that is much longer than thirty-one characters", t);
    EXPECT_STREQ(t.name, "a name that is much longer than");
    EXPECT_STREQ(t.externalEffects[0], "spark");
    EXPECT_STREQ(t.externalEffects[7], "glow");
    EXPECT_FLOAT_EQ(t.frequency, 2.5f);
    EXPECT_FLOAT_EQ(t.colour0[3], 0.4f);  // a longer list is cut to the field
    EXPECT_FLOAT_EQ(t.colour1[0], 0.5f);  // a shorter one fills what it lists
    EXPECT_FLOAT_EQ(t.colour1[1], 0.0f);
    EXPECT_FLOAT_EQ(t.speed[1], 2.0f);
    EXPECT_FLOAT_EQ(t.speed[2], 0.0f);
    EXPECT_FLOAT_EQ(t.particleOrbitDev[3], 8.0f);
    EXPECT_FLOAT_EQ(t.particleWobbleY[2], 45.0f);
    EXPECT_EQ(t.burstSymmetry, 6);
    EXPECT_EQ(t.particleSymmetry, 3);
    EXPECT_FLOAT_EQ(t.emitterOrbit[3], 40.0f);
    EXPECT_FLOAT_EQ(t.emitterWobbleY[0], 10.0f);
    EXPECT_FLOAT_EQ(t.sleep, 250.0f);
    EXPECT_FLOAT_EQ(t.effectTime, 800.0f);
    EXPECT_EQ(t.picture, 12);
    EXPECT_EQ(t.blendType, 1);
}

TEST_F(Effects, OneOffBurstsSpawnAtOnceAndMissingKeysMeanNothingOrNoLife) {
    addTemplate("three", "parfrequency=3\r\npartime=500\r\nradius0=4\r\n");
    addTemplate("twohalf", "parfrequency=2.5\r\npartime=500\r\n");
    addTemplate("silent", "partime=500\r\n");
    addTemplate("mayfly", "parfrequency=4\r\n");
    startEffect("three", 10, 20);
    EXPECT_EQ(liveParticleCount(), 3);
    EXPECT_FLOAT_EQ(liveParticles()[0]->position[0], 10.0f);
    EXPECT_FLOAT_EQ(liveParticles()[0]->position[1], 20.0f);
    startEffect("twohalf", 0, 0);  // bursts while the counter is below the frequency
    EXPECT_EQ(liveParticleCount(), 6);
    startEffect("silent", 0, 0);
    startEffect("no such effect", 0, 0);
    EXPECT_EQ(liveParticleCount(), 6);
    // Without a lifetime the particles are spawned but never drawn.
    int before = effectsState().nextParticle;
    startEffect("mayfly", 0, 0);
    EXPECT_EQ(effectsState().nextParticle, before + 4);
    EXPECT_EQ(liveParticleCount(), 6);
    updateParticles(0.0f);
    EXPECT_EQ(effectsState().itemCount, 6);
    EXPECT_EQ(activeEmitterCount(), 0);
}

TEST_F(Effects, ATravellingEmitterBurstsAtItsFrequencyUntilItsTimeIsOver) {
    int number = addTemplate("trail", "parfrequency=10\r\neffecttime=1000\r\npartime=100000\r\n");
    startEffect("trail", 0, 0, 300, 0);
    ASSERT_EQ(activeEmitterCount(), 1);
    const Emitter& m = effectsState().emitters[0];
    EXPECT_EQ(m.templateNumber, number);
    EXPECT_FLOAT_EQ(m.velocity[0], 0.3f);  // 300 units over 1000 ms
    EXPECT_EQ(liveParticleCount(), 0);
    std::vector<float> burstAt;
    for (int f = 0; f < 150; ++f) {
        int before = liveParticleCount();
        updateParticles(10.0f);
        if (liveParticleCount() > before) burstAt.push_back(liveParticles().back()->position[0]);
    }
    // A burst every 100 ms (the first when the countdown of one interval runs out), none after
    // 1000 ms; the particles live on where the emitter left them.
    ASSERT_EQ(burstAt.size(), 9u);
    for (size_t i = 0; i < burstAt.size(); ++i) EXPECT_NEAR(burstAt[i], 30.0f * static_cast<float>(i + 1), 1e-3f);
    EXPECT_NEAR(m.position[0], 300.0f, 1e-3f);
    EXPECT_EQ(activeEmitterCount(), 0);
    EXPECT_EQ(liveParticleCount(), 9);

    // A long frame emits dt / interval bursts, truncated: 250 / 100 gives 2.
    clearEffects();
    addTemplate("steady", "parfrequency=10\r\neffecttime=5000\r\npartime=100000\r\n");
    startEffect("steady", 0, 0);
    EXPECT_FLOAT_EQ(effectsState().emitters[0].velocity[0], 0.0f);  // stays where it starts
    updateParticles(250.0f);
    EXPECT_EQ(liveParticleCount(), 2);
    // An emitter whose template has no frequency emits nothing.
    clearEffects();
    addTemplate("mute", "effecttime=5000\r\npartime=100000\r\n");
    startEffect("mute", 0, 0);
    for (int f = 0; f < 100; ++f) updateParticles(50.0f);
    EXPECT_EQ(liveParticleCount(), 0);
}

TEST_F(Effects, BurstAndParticleSymmetryPlaceTheirCopiesAroundThePoint) {
    addTemplate("four", "parfrequency=1\r\npartime=1000\r\nsimetria=4\r\npolar=(10,0,0,0)\r\n");
    addTemplate("one", "parfrequency=1\r\npartime=1000\r\nsimetria=1\r\n");
    addTemplate("none", "parfrequency=1\r\npartime=1000\r\n");
    startEffect("four", 100, 50);
    auto live = liveParticles();
    ASSERT_EQ(live.size(), 4u);
    const float want[4][2] = {{110, 50}, {100, 60}, {90, 50}, {100, 40}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(live[i]->position[0], want[i][0], 1e-3f) << i;
        EXPECT_NEAR(live[i]->position[1], want[i][1], 1e-3f) << i;
    }
    clearEffects();
    startEffect("one", 0, 0);
    EXPECT_EQ(liveParticleCount(), 2);  // symmetry 1: two at the same place
    clearEffects();
    startEffect("none", 0, 0);
    EXPECT_EQ(liveParticleCount(), 1);

    // Particle symmetry: m draw items per particle, turned by 360 / m about its position.
    clearEffects();
    addTemplate("mirror", "parfrequency=1\r\npartime=1000\r\nsimetriapar=3\r\npolarpar=(20,0,0,0)\r\n");
    startEffect("mirror", 0, 0);
    updateParticles(0.0f);
    ASSERT_EQ(effectsState().itemCount, 3);
    EXPECT_NEAR(effectsState().items[0].position[0], 20.0f, 1e-3f);
    EXPECT_NEAR(effectsState().items[1].position[0], -10.0f, 1e-3f);
    EXPECT_NEAR(effectsState().items[1].position[1], 17.3205f, 1e-3f);
    EXPECT_NEAR(effectsState().items[2].position[1], -17.3205f, 1e-3f);
}

TEST_F(Effects, ParticlesMoveFadeAndGrowOverTheirLife) {
    addTemplate("fade",
                "parfrequency=1\r\npartime=1000\r\ncolor0=(1,0.5,0,1)\r\ncolor1=(0,0.5,1,0)\r\nradius0=10\r\n"
                "radius1=30\r\nspeed=(100,0,0)\r\ngravity=1000\r\nrot=0\r\ndrot=90\r\n");
    startEffect("fade", 0, 0, kStayInPlace, kStayInPlace, 2.0f);  // scale 2 doubles speed and size
    updateParticles(0.0f);
    ASSERT_EQ(effectsState().itemCount, 1);
    EXPECT_EQ(effectsState().items[0].colour, 0xFFFF7F00u);  // alpha 255 at birth
    EXPECT_FLOAT_EQ(effectsState().items[0].size, 20.0f);
    updateParticles(500.0f);
    updateParticles(0.0f);
    const ParticleDrawItem& half = effectsState().items[0];
    EXPECT_EQ(half.colour >> 24, 127u);  // about half way at half the life
    EXPECT_EQ((half.colour >> 16) & 0xFF, 127u);
    EXPECT_EQ(half.colour & 0xFF, 127u);
    EXPECT_FLOAT_EQ(half.size, 40.0f);
    // The position moves with the speed before this frame's gravity: 200 units/s for 0.5 s.
    EXPECT_NEAR(half.position[0], 100.0f, 1e-3f);
    EXPECT_NEAR(half.position[1], 0.0f, 1e-3f);
    EXPECT_NEAR(half.rotation, 45.0f, 1e-3f);
    EXPECT_NEAR(liveParticles()[0]->velocity[1], -500.0f, 1e-3f);
    updateParticles(600.0f);
    EXPECT_EQ(liveParticleCount(), 0);
}

TEST_F(Effects, PictureOverridesAndTheRemapOfTheUnusedCells) {
    addTemplate("pic", "parfrequency=1\r\npartime=1000\r\nnumparticle=5\r\n");
    struct Case {
        int asked, drawn;
    } cases[] = {{-1, 5}, {24, 24}, {25, 10}, {30, 10}, {38, 10}, {39, 39}, {0, 0}};
    for (const Case& c : cases) {
        clearEffects();
        startEffect("pic", 0, 0, kStayInPlace, kStayInPlace, 1.0f, c.asked);
        ASSERT_EQ(liveParticleCount(), 1);
        EXPECT_EQ(liveParticles()[0]->picture, c.drawn) << c.asked;
    }
    // spawnParticle takes the number as it is.
    clearEffects();
    spawnParticle(0, 0, 0, findEffect("pic"), 1.0f, 30);
    EXPECT_EQ(liveParticles()[0]->picture, 30);
    EXPECT_EQ(findEffect("Pic"), -1);  // names match exactly
}

TEST_F(Effects, ExternalEffectsStartAtMostEightInABurstOfRequests) {
    addTemplate("ping", "externeffect1=pong\r\nparfrequency=1\r\npartime=10000\r\n");
    addTemplate("pong", "externeffect1=ping\r\nparfrequency=1\r\npartime=10000\r\n");
    addTemplate("self", "externeffect1=self\r\nexterneffect2=missing\r\nparfrequency=1\r\npartime=10000\r\n");
    startEffect("ping", 0, 0);
    EXPECT_EQ(liveParticleCount(), 1 + 8);
    frameClock().runningMs += 50.0f;  // within 100 ms: the count goes on, no external starts
    startEffect("ping", 0, 0);
    EXPECT_EQ(liveParticleCount(), 1 + 8 + 1);
    frameClock().runningMs += 150.0f;
    startEffect("ping", 0, 0);
    EXPECT_EQ(liveParticleCount(), 2 * (1 + 8) + 1);
    // A running time that went back (a saved game restores it) starts a new count too.
    frameClock().runningMs = 10.0f;
    startEffect("ping", 0, 0);
    EXPECT_EQ(liveParticleCount(), 3 * (1 + 8) + 1);
    // An effect naming itself or a missing effect starts nothing more.
    clearEffects();
    frameClock().runningMs += 500.0f;
    startEffect("self", 0, 0);
    EXPECT_EQ(liveParticleCount(), 1);
}

TEST_F(Effects, TheRingsOverwriteTheirOldestAndHugeCountsStayBounded) {
    int number = addTemplate("dot", "partime=100000\r\nnumparticle=1\r\n");
    for (int i = 0; i < kParticleRing + 1; ++i) spawnParticle(static_cast<float>(i), 0, 0, number, 1.0f, -1);
    EXPECT_EQ(liveParticleCount(), kParticleRing);
    EXPECT_FLOAT_EQ(effectsState().particles[0].position[0], static_cast<float>(kParticleRing));  // the newest
    EXPECT_FLOAT_EQ(effectsState().particles[1].position[0], 1.0f);
    EXPECT_EQ(effectsState().nextParticle, 1);

    addTemplate("long", "parfrequency=1\r\neffecttime=100000\r\npartime=1\r\n");
    for (int i = 0; i < kEmitterRing + 1; ++i) startEffect("long", static_cast<float>(i), 0);
    EXPECT_EQ(activeEmitterCount(), kEmitterRing);
    EXPECT_FLOAT_EQ(effectsState().emitters[0].position[0], static_cast<float>(kEmitterRing));

    // Frequencies and symmetries far beyond the rings, and a very long frame, spawn at most a
    // ring's worth per call and return at once.
    clearEffects();
    addTemplate("flood", "parfrequency=1e12\r\nsimetria=2000000000\r\npartime=1000\r\n");
    addTemplate("gush", "parfrequency=1e9\r\neffecttime=1e9\r\npartime=1000\r\nsimetriapar=2000000000\r\n");
    auto started = std::chrono::steady_clock::now();
    startEffect("flood", 0, 0);
    EXPECT_EQ(liveParticleCount(), kParticleRing);
    startEffect("gush", 0, 0);
    updateParticles(1e7f);
    EXPECT_EQ(effectsState().itemCount, kMaxDrawItems);  // further items of the frame are dropped
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

// On screen: a sheet of two cells, cell 0 a white disc that is black where clear (as the forged
// sheet is), cell 1 a grey square with alpha 128.
class EffectsOnScreen : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        resetEffects();
        auto sheet = makePixels(128, 64, [](int x, int y) {
            if (x >= 64) return Rgba{128, 128, 128, 128};
            float dx = static_cast<float>(x) - 31.5f, dy = static_cast<float>(y) - 31.5f;
            bool in = dx * dx + dy * dy < 20.0f * 20.0f;
            return in ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0};
        });
        setParticleSheet(createTextureFromPixels("sheet", sheet.data(), 128, 64, true));
        ASSERT_EQ(effectsState().sheetColumns, 2);
        ASSERT_EQ(effectsState().sheetRows, 1);
    }
    void TearDown() override {
        resetEffects();
        RenderTest::TearDown();
    }
};

TEST_F(EffectsOnScreen, AddedLightBrightensOnlyWhereTheCellHasInkAndBlendingIsRestored) {
    clearTarget(0xFF202020u);
    addTemplate("glow", "parfrequency=1\r\npartime=1000\r\nradius0=64\r\nradius1=64\r\ncolor0=(1,0.5,0.25,1)\r\n"
                        "color1=(1,0.5,0.25,1)\r\n");
    addTemplate("veil", "parfrequency=1\r\npartime=1000\r\nradius0=64\r\nradius1=64\r\nblendtype=1\r\n"
                        "numparticle=1\r\n");
    startEffect("glow", -100, 0);
    startEffect("veil", 100, 0);
    updateParticles(0.0f);
    drawParticleItems();
    // Added light: the source colour times itself on top of the ground.
    EXPECT_TRUE(near(pixel(300, 300), Rgba{255, 32 + 64, 32 + 16, 255}, 3));
    EXPECT_TRUE(near(at(300 - 28, 300 - 28), Rgba{32, 32, 32, 255}, 1));  // clear: nothing added
    // Ordinary transparency of the grey half-clear cell.
    EXPECT_TRUE(near(at(500, 300), Rgba{80, 80, 80, 255}, 2));
    EXPECT_TRUE(near(at(400, 300), Rgba{32, 32, 32, 255}, 0));
    // One glow drawn by itself, then an ordinary sprite sees ordinary blending again.
    drawParticleSprite(0, 200, 0, 0, 32, 0xFFFFFFFFu, 0);
    bindTexture(nullptr);
    drawQuad(0, -200, 20, 20, kFull, 0x80FF0000u, 10);
    EXPECT_TRUE(near(pixel(400, 100), Rgba{255, 255, 255, 255}, 1));
    EXPECT_TRUE(near(at(400, 500), Rgba{143, 16, 16, 255}, 2));
}

}  // namespace
