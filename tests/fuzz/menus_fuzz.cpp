// The menu tree built from any pair of texts (the bytes up to the first 0 are "menu.txt", the
// rest "menutext2.txt"), then every menu opened and driven by keys through its animations.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "menus/menus.h"
#include "platform/window.h"

namespace {

bool inTable(const MenuNode* n) {
    const MenuState& s = menuState();
    return n >= s.nodes && n < s.nodes + s.nodeCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::setHeadless(true);
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* zero = size > 0 ? std::memchr(bytes, 0, size) : nullptr;
    const size_t split = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
    const std::string menuText(bytes, split);
    const std::string captions = split < size ? std::string(bytes + split + 1, size - split - 1) : std::string();
    buildMenus(menuText.c_str(), captions.c_str());

    const MenuState& s = menuState();
    if (s.nodeCount < 0 || s.nodeCount > kMenuNodeCapacity) __builtin_trap();
    for (int i = 0; i < s.nodeCount; ++i) {
        const MenuNode& n = s.nodes[i];
        if (std::memchr(n.name, 0, sizeof n.name) == nullptr) __builtin_trap();
        if (std::memchr(n.caption, 0, sizeof n.caption) == nullptr) __builtin_trap();
        if (n.childCount < 0 || n.childCount > kMenuItemCapacity) __builtin_trap();
        for (int k = 0; k < n.childCount; ++k)
            if (!inTable(n.children[k])) __builtin_trap();
        if (n.parent && !inTable(n.parent)) __builtin_trap();
        if (findMenu(n.name) > &n) __builtin_trap();  // the first node of a name is found
    }

    // Every menu (up to 32) opened and walked by the keys; Enter and Escape end in the hooks,
    // which are empty here.
    frameClock().frameMs = 40.0f;
    static const int kKeys[] = {40, 38, 39, 37, 13, 27, 32, 8, 'A', 46};
    for (int i = 0; i < s.nodeCount && i < 32; ++i) {
        openMenu(&menuState().nodes[i]);
        for (int f = 0; f < 10; ++f) updateMenus();
        menuState().textEditing = (i & 1) != 0;
        for (int key : kKeys) {
            menuKeyStep(key);
            updateMenus();
            const int sel = menuState().selectedItem;
            const int count = menuState().current ? menuState().current->childCount : 0;
            if (sel > 0 && sel >= count) __builtin_trap();
        }
        for (int f = 0; f < 10; ++f) updateMenus();
    }
    resetMenuState();
    return 0;
}
