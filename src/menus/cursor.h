// The system cursor in the logical 800 x 600 space (origin at the centre, y up).
#pragma once

void logicalCursor(float& x, float& y);
