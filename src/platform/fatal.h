// Fatal messages: the message goes to stderr first; a message box is shown only when a person
// can see it (not headless, not under the offscreen or dummy video driver); then the audio
// device is closed and the process ends with exit code 1.
#pragma once

#include <string>

namespace platform {

[[noreturn]] void fatal(const char* text, const char* caption);

// A non-fatal message box (same rules for when a box appears); returns after it is closed.
void messageBox(const char* text, const char* caption);

// True when a message box may be shown: SANDMERE_HEADLESS unset and a real video driver.
bool interactive();

// Tests replace the exit: the hook is called instead of ending the process (it must not
// return: throw or longjmp). Pass nullptr to restore the real exit.
using FatalHook = void (*)(const char* text, const char* caption);
void setFatalHook(FatalHook hook);

// Called before the exit so that the mixer thread stops first (set by the audio layer).
void setBeforeExitHook(void (*hook)());

// Code page 1251 text to UTF-8, for text that leaves the program.
std::string cp1251ToUtf8(const char* text);

}  // namespace platform
