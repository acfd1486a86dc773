// The game started through the play runner over a forged install in a fresh folder: the data set
// linked in, the player files written beside it. Skipped (or failed, where the data set is
// required) when the data set is not built.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "test_support.h"

class ForgedGame : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_DATA_SET("music.mo3");
        testing_support::makeForgedInstall(dir_);
        runner_ = std::make_unique<PlayRunner>(dir_.str());
        ASSERT_TRUE(runner_->start());
    }
    void TearDown() override {
        if (runner_) runner_->close();
        runner_.reset();
    }
    // True when the base set-up has run whole; a fixture's own set-up goes on only then.
    bool started() const { return runner_ && !IsSkipped() && !HasFatalFailure(); }

    // Runs frames until the loading is done, pressing `key` (0: none) every tenth frame to
    // shorten the splashes; with `toMenus`, on until the menus take over on the map scene.
    void passTheLoader(int key, bool toMenus) {
        for (int i = 0; i < 3000 && !application().dataLoaded; ++i) {
            if (key && i % 10 == 0) runner_->key(key);
            runner_->frames(1);
        }
        ASSERT_TRUE(application().dataLoaded);
        if (!toMenus) return;
        for (int i = 0; i < 400 && currentScene() != mapScene(); ++i) {
            if (key && i % 10 == 0) runner_->key(key);
            runner_->frames(1);
        }
        ASSERT_EQ(currentScene(), mapScene());
    }

    testing_support::TempDir dir_;
    std::unique_ptr<PlayRunner> runner_;
};
