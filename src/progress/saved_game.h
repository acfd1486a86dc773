// The three game modes and the saved game of each.
#pragma once

bool saveGame();
