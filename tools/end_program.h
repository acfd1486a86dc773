// Ends a program a tool started: SIGTERM, as a desktop session's end does, then SIGKILL after
// `graceMs` if it has not gone by then; either way it is waited for.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

inline void endProgram(pid_t pid, int graceMs) {
    kill(pid, SIGTERM);
    for (int waited = 0; waited < graceMs; waited += 10) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
