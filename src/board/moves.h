// Groups, clicks and the break step.
#pragma once

// Fills the board's group list from a start cell (breadth-first: right, left, below, above).
void findGroup(int row, int column);
// The group under the cursor, searched again when the cursor moves to another figure.
void updateHover();
// A left click that reached the board.
void boardClick();
// Takes the marked figures off the board and hits chains and squares.
void breakStep();
// Empties a cell's figure (and charges the hammer).
void clearFigure(int row, int column);
