// Board play by the keys: the arrow keys move a cell cursor that takes the mouse's place in the
// hover path, Enter breaks the group under it and "H" arms or disarms a charged hammer. The
// mouse takes over again as soon as it moves.
#pragma once

// A key of the board's own; false for keys it leaves to the rest of the key handler.
bool boardNavigationKey(int virtualKey);
// The mouse moved over the board: the cell cursor gives way.
void boardMouseMoved();
// Where the cell cursor stands; false while the mouse leads.
bool boardKeyCursor(int& row, int& column);
