#include "menus/flows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/frame_clock.h"
#include "app/scene.h"
#include "app/strings.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/outcome.h"
#include "board/presentation.h"
#include "menus/menus.h"
#include "menus/screens.h"
#include "platform/random.h"
#include "platform/window.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/trophies.h"
#include "progress/trophy_state.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"

namespace {

FlowState gFlow;

bool named(const MenuNode* node, const char* name) { return node && std::strcmp(node->name, name) == 0; }

bool isModeMenu(const MenuNode* node) {
    return named(node, "adventure") || named(node, "timeless") || named(node, "puzzle");
}

int modeOfMenu(const MenuNode* node) {
    for (int m = 0; m < kModeCount; ++m)
        if (named(node, modeMenuName(m))) return m;
    return -1;
}

int indexInMenu(const MenuNode* menu, const MenuNode* item) {
    if (!menu || !item) return -1;
    for (int i = 0; i < menu->childCount; ++i)
        if (menu->children[i] == item) return i;
    return -1;
}

bool validProfile(int index) { return index >= 0 && index < profileCount(); }

// The message boxes show string-table texts; the answers find the question by its text.
bool messageIs(const char* key) {
    const char* text = lookupText(key);
    return text[0] != '\0' && std::strcmp(menuState().messageText, text) == 0;
}

void ask(const char* key) { showMessage(lookupText(key), false); }
void tell(const char* key) { showMessage(lookupText(key), true); }

void modesMessage(const char* key, bool okOnly) { showMessage(lookupText(key), okOnly); }

// The main menu in the map scene, from wherever the player is.
void toMainMenu() {
    requestScene(mapScene());
    openMenuByName("main");
}

// The scene that hosts the menus once this frame's switch is made.
bool boardHostsMenus() {
    const SceneState& s = sceneState();
    Scene* host = s.pending ? s.pendingScene : s.currentScene;
    return host == gameScene();
}

void startTextEditing(const char* text) {
    MenuState& m = menuState();
    std::snprintf(m.textField, sizeof m.textField, "%s", text ? text : "");
    m.textLength = static_cast<int32_t>(std::strlen(m.textField));
    m.textCursor = 0;
    m.textEditing = true;
}

// Opens a menu with the given item selected (the opening resets the selection).
void openWithSelection(MenuNode* menu, int item) {
    openMenu(menu);
    if (menu && item >= 0 && item < menu->childCount) menuState().selectedItem = item;
}

bool anyLives() { return lives() > 0; }

void applyOptions() {
    Settings& s = settings();
    const int choice = gFlow.fullScreenChoice ? 1 : 0;
    if (choice == s.fullScreen) return;
    s.fullScreen = choice;
    application().fullScreen = choice != 0;
    application().windowed = choice == 0;
    platform::setFullScreen(choice != 0);
    requestVideoChange();
}

// "default": the settings of the screen it is chosen in. The window keeps 800 x 600 and its
// full-screen choice; the picture's brightness and the wait for the display go back.
void resetOptions(const MenuNode* menu) {
    if (named(menu, "video")) {
        setBrightness(0.5f);
        application().verticalSync = false;
        requestVideoChange();
    } else {
        settings().musicVolume = 100;
        settings().sfxVolume = 80;
        applyVolumes();
    }
}

// The answers "yes" of the questions, by the menu that asked.
void answerYes(MenuNode* current) {
    if (named(current, "loadgamequest")) {
        loadGame();
        return;
    }
    MenuState& m = menuState();
    MenuNode* asker = current->parent;
    if (named(asker, "main")) {
        application().quitRequested = true;
    } else if (named(asker, "profiles")) {
        removeProfile(m.editedProfile);
        // The remembered index moves one down, never below the first profile.
        m.editedProfile = m.editedProfile > 0 ? m.editedProfile - 1 : 0;
        if (profileCount() > 0) {
            goBack();
        } else {
            m.hoveredWidget = 0;
            openMenuByName("newprofile");
        }
    } else if (isModeMenu(asker)) {
        answerZeroScore();
    } else if (named(asker, "gameplay")) {
        // A skip costs its life as a restart does; with none left the game ends.
        if (!anyLives()) gameOver();
        else if (messageIs("skipquest")) skipLevel();
        else restartLevel();
    } else if (named(asker, "defeat")) {
        skipLevel();
    } else {
        goBack();
    }
}

void startChosenLevel(const MenuNode* current) {
    if (!isModeMenu(current)) return;
    closeMenusOverBoard();
    if (gameCompletedShowing()) return;
    startFromMap(menuState().chosenLevel);
}

}  // namespace

FlowState& flowState() { return gFlow; }
void resetFlows() { gFlow = FlowState{}; }

void menuEntryStep(MenuNode& node) {
    MenuState& m = menuState();
    MenuNode* menu = &node;
    m.textEditing = false;
    if (named(menu, "main")) {
        fadeToMusicSection(0);
        setBackdrop(kMenuBackdrop);
        setTintNow(kTintNeutral);
        setMapView(0);
    } else if (named(menu, "profiles")) {
        m.hoveredWidget = m.editedProfile;
    } else if (named(menu, "newprofile")) {
        setBackdrop(kMenuBackdrop);
        setTintNow(kTintNeutral);
        setMapView(0);
        startTextEditing("");
    } else if (named(menu, "rename")) {
        startTextEditing(m.textField);
    } else if (named(menu, "options")) {
        gFlow.fullScreenChoice = settings().fullScreen == 1;
    } else if (isModeMenu(menu)) {
        setMapView(1);
        gFlow.reachedAfterLevel = gFlow.afterLevel;
        gFlow.afterLevel = false;
        // After a level board play has handed its progress to the map already, and the map
        // plays the level just won; otherwise the map starts from the player's progress.
        if (!gFlow.reachedAfterLevel) setupMapFromProgress(false);
        m.chosenLevel = selectedLevel();
        m.hoveredWidget = selectedLevel();
    } else if (named(menu, "hiscore")) {
        gFlow.shownHighScoreMode = std::clamp(gameMode(), 0, kModeCount - 1);
        gFlow.highScoreEntryMode = gFlow.shownHighScoreMode;
    } else if (named(menu, "credits")) {
        setTintTarget(kTintCool);
        fadeToMusicSection(1);
        creditsTimer() = 0.0f;
        setMapView(4);
    } else if (named(menu, "info")) {
        setTintTarget(kTintNeutral);
    } else if (named(menu, "levelcomplete")) {
        startLevelResult();
    }
}

void runSelectedItem() {
    MenuState& m = menuState();
    MenuNode* current = m.current;
    const int index = m.selectedItem;
    m.selectedItem = 0;
    if (!current || index < 0 || index >= current->childCount) return;
    MenuNode* item = current->children[index];
    const char* name = item->name;
    traceCall("item", name);

    if (!std::strcmp(name, "resume game")) {
        closeMenusOverBoard();
    } else if (!std::strcmp(name, "skip level")) {
        if (anyLives()) ask("skipquest");
        else tell("noskiplevel");
    } else if (!std::strcmp(name, "restart level")) {
        if (board().levelLost) restartLevel();
        else if (anyLives()) ask("restartquest");
        else tell("nomorelives");
    } else if (!std::strcmp(name, "selectprofile")) {
        if (!validProfile(m.hoveredWidget)) {
            openMenu(current);
            return;
        }
        selectProfile(m.hoveredWidget);
        openMenuByName("main");
    } else if (!std::strcmp(name, "rename")) {
        if (!validProfile(m.hoveredWidget)) {
            openMenu(current);
            return;
        }
        m.editedProfile = m.hoveredWidget;
        std::snprintf(m.textField, sizeof m.textField, "%.*s", static_cast<int>(sizeof m.textField - 1),
                      profileTable().slots[m.editedProfile].name);
        item->parent = current;
        openMenu(item);
    } else if (!std::strcmp(name, "okrename")) {
        if (renameProfile(m.editedProfile, m.textField)) openMenuByName("profiles");
        else openMenu(current);
    } else if (!std::strcmp(name, "remove")) {
        if (!validProfile(m.hoveredWidget)) {
            openMenu(current);
            return;
        }
        m.editedProfile = m.hoveredWidget;
        ask("removeplayer");
    } else if (!std::strcmp(name, "oknewprofile")) {
        if (createProfile(m.textField)) {
            m.editedProfile = currentProfileIndex();
            openMenuByName("main");
        } else {
            openMenu(current);
        }
    } else if (!std::strcmp(name, "okcontinuegame")) {
        gFlow.tipCounter += 1;
        closeMenusOverBoard();
    } else if (!std::strcmp(name, "main")) {
        if (named(current, "defeat") || !saveAndLeaveLevel()) toMainMenu();
        else tell("savemsg");
    } else if (!std::strcmp(name, "oknextlevel")) {
        // Closing the result window moves the game on to the next level's backdrop; the next
        // key or click then leads to the map.
        nextLevel();
    } else if (!std::strcmp(name, "ok")) {
        if (messageIs("prolog")) {
            acceptProlog();
        } else if (messageIs("lostlifetime") || messageIs("lostlifemoves")) {
            acceptLostLife();
        } else if (named(current->parent, "defeat") || (named(current->parent, "gameplay") && !messageIs("savemsg"))) {
            // A refusal asked from a level goes back to the menu over that level; only the
            // confirmation of the saved game leaves it.
            goBack();
        } else {
            toMainMenu();
        }
    } else if (!std::strcmp(name, "backfrommap")) {
        goBack();
    } else if (!std::strcmp(name, "back") || !std::strcmp(name, "cancel")) {
        if (named(current, "hiscore") && currentScene() == gameScene()) {
            clearNewEntryIndex();
            toMainMenu();
        } else {
            goBack();
        }
    } else if (!std::strcmp(name, "no")) {
        if (named(current, "loadgamequest")) declineSavedGame();
        else goBack();
    } else if (!std::strcmp(name, "yes")) {
        answerYes(current);
    } else if (modeOfMenu(item) >= 0) {
        item->parent = current;
        chooseMode(modeOfMenu(item));
    } else if (!std::strcmp(name, "trophyroom")) {
        gFlow.trophyRoomPending = 1000.0f;
        outcomeHooks().closeTransition(1000.0f, "");
    } else if (!std::strcmp(name, "exit")) {
        ask("quit");
    } else if (!std::strcmp(name, "start")) {
        startChosenLevel(current);
    } else if (!std::strcmp(name, "trophy room")) {
        item->parent = current;
        enterTrophyRoom(modeOfMenu(current));
    } else if (!std::strcmp(name, "apply")) {
        applyOptions();
        goBack();
    } else if (!std::strcmp(name, "default")) {
        resetOptions(current);
        openMenu(current);
    } else {
        if (std::strcmp(name, "credits") != 0) item->parent = current;
        openMenu(item);
    }
}

void goBack() {
    MenuState& m = menuState();
    MenuNode* current = m.current;
    if (!current) return;
    if (named(current, "gameplay") || named(current, "replaywin") || named(current, "replayloss")) {
        closeMenusOverBoard();
        return;
    }
    if (named(current, "credits")) {
        fadeToMusicSection(0);
        openWithSelection(current->parent, indexInMenu(current->parent, current));
        return;
    }
    if (named(current, "main")) {
        m.returnToMainOnKey = true;
        return;
    }
    if (named(current, "hiscore")) clearNewEntryIndex();
    if (isModeMenu(current) || named(current, "trophyroom")) {
        openMenuByName("main");
        return;
    }
    if (named(current, "options") && profilesLoaded()) saveProgress();
    const int at = indexInMenu(current->parent, current);
    openWithSelection(current->parent, at < 0 ? 0 : at);
}

void menuKeyRule(MenuNode& node, int& key) {
    MenuState& m = menuState();
    const MenuNode* menu = &node;
    if (key == 0) return;
    if (named(menu, "profiles")) {
        // A full table refuses the new-profile line before any name is typed.
        const MenuNode* item = selectedNode();
        if (key == kMenuKeyEnter && named(item, "newprofile") && profileCount() >= kMaxProfiles) {
            playSound("MaxPlayers.ogg");
            key = 0;
        }
    } else if (named(menu, "levelcomplete")) {
        if (key == kMenuKeyEscape) key = kMenuKeyEnter;
        if (key == kMenuKeyEnter && levelResultCounting()) {
            finishLevelResult();
            key = 0;
        }
    } else if (named(menu, "hiscore")) {
        if (key == kMenuKeyLeft || key == kMenuKeyRight) {
            const int step = key == kMenuKeyLeft ? kModeCount - 1 : 1;
            gFlow.shownHighScoreMode = (gFlow.shownHighScoreMode + step) % kModeCount;
            key = 0;
        }
    } else if (named(menu, "credits")) {
        key = kMenuKeyEscape;
    } else if (named(menu, "gameplaytip")) {
        if (key == kMenuKeyEscape) key = kMenuKeyEnter;
    } else if (named(menu, "loadgamequest") || named(menu, "defeat") || isModeMenu(menu)) {
        if (key == kMenuKeyEscape) key = 0;
    }
    (void)m;
}

// The greeting's way into the trophy room waits for its leaving transition.
bool trophyRoomStep() {
    if (gFlow.trophyRoomPending <= 0.0f) return false;
    gFlow.trophyRoomPending -= frameClock().frameMs;
    if (gFlow.trophyRoomPending > 0.0f) return true;
    gFlow.trophyRoomPending = 0.0f;
    MenuState& m = menuState();
    if (MenuNode* item = selectedNode()) item->parent = m.current;
    m.selectedItem = 0;
    enterTrophyRoom(-1);
    return true;
}

void returnToModeMenu() {
    MenuState& m = menuState();
    clearEffects();
    requestScene(mapScene());
    setMapView(1);
    setupMapFromProgress(true);
    m.opening = m.closing = false;
    m.enterAfterClose = m.backAfterClose = false;
    gFlow.afterLevel = true;
    openMenuByName(modeMenuName(board().mode));
    fadeToMusicSection(platform::rand() % 5);
}

void installMenuFlows() {
    MenuFlows flows{};
    flows.entryStep = menuEntryStep;
    flows.keyRule = menuKeyRule;
    flows.runSelectedItem = runSelectedItem;
    flows.goBack = goBack;
    flows.overBoard = boardHostsMenus;
    flows.frameStep = trophyRoomStep;
    flows.attachScreens = attachMenuScreens;
    setMenuFlows(flows);
    // The scene hands a press to the map before the menus, so the map needs no press hook.
    MenuMapHooks map{};
    map.animating = mapAnimating;
    map.levelChoosable = mapLevelChoosable;
    setMenuMapHooks(map);
    setMessageHook(modesMessage);
}
