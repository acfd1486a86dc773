// The board and its level files.
#pragma once

// Reads every level file in turn at start-up so that the backdrop of each level is known.
void scanLevelFiles();
