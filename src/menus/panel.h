// The menus' pictures and the pieces every screen is drawn from: the MenuAtlas, the balloon
// panel, the button and word-wrapped text. Board play draws its tip balloon and the balloon's
// close button with these too.
//
// Everything takes the logical drawing space (origin at the centre, y up, one unit per picture
// pixel) and expects the 2D drawing states of begin2D (blending on, depth test off). Alpha
// arguments run from 0 (invisible) to 1 and fade the whole piece; the global tint applies.
#pragma once

#include <cstdint>

#include "render/sprites.h"

struct TextureEntry;

constexpr int kMenuAtlasPieces = 26;

// "_a_menutex.jpg" (the MenuAtlas), "white.jpg", "_a_baloon.jpg" (the panel pieces) and
// "button.tga"; a missing picture is the fatal load error.
void loadMenuPictures();
void resetMenuPictures();  // forgets the textures (tests; the device owns them)

// The texture rectangle of a MenuAtlas piece (0..25; others give piece 0), inset against
// bleeding from the neighbouring cells.
UVRect menuAtlasPiece(int piece);
TextureEntry* menuAtlasTexture();

// A MenuAtlas piece stretched over width x height, centred on (x, y), in an ARGB colour.
void drawAtlasPiece(int piece, float x, float y, float width, float height, uint32_t colour);

// The balloon panel over width x height, centred on (x, y): its four corners (at most 64 x 64
// each, smaller when the panel is), its edges and its paper fill.
void drawMenuPanel(float x, float y, float width, float height, float alpha = 1.0f);

// The button picture over width x height centred on (x, y), with the caption (none: the picture
// alone) centred at (x + 2, y - 0.15 size) in that size: white with a shadow of (0, 0, 0, 192)
// offset (2, -2), or in the highlight colours when lit.
void drawButton(float x, float y, float width, float height, float size, const char* caption, bool lit = false,
                float alpha = 1.0f);

// A flat rectangle in one colour ("white.jpg" tinted): separators, text boxes, highlights.
// (left, top) is the top-left corner, so top > bottom.
void drawFilledRect(float left, float top, float right, float bottom, uint32_t colour);

// The pulsing highlight of the selected item: the text colour and the glow of its bar. The menus
// advance it every frame; lit buttons and highlighted text take it.
void setMenuHighlight(uint32_t outline, uint32_t glow);
uint32_t menuHighlightOutline();
uint32_t menuHighlightGlow();
// Text in the highlight: the outline colour with the glowing bar behind it (alpha fades both).
void drawHighlightText(float x, float y, float size, const char* text, bool centred, float alpha = 1.0f);
// Text with the menus' shadow of (0, 0, 0, 192) offset (2, -2) under it, in an ARGB colour.
void drawShadowedText(float x, float y, float size, const char* text, bool centred, uint32_t colour);

// Word-wrapped text: words (runs between spaces) fill lines no wider than width at size; a word
// wider than the width gets a line of its own; CR LF and LF end a line. Lines stand 1.8 size
// apart, as drawText steps them.
constexpr int kMaxWrappedLines = 32;
int wrappedLineCount(const char* text, float size, float width);
// Draws the lines from the first line's baseline y downwards, each centred on x (or starting at
// x when not centred), in the current text colour; returns the height taken (lines x 1.8 size).
float drawWrappedText(float x, float y, float size, float width, const char* text, bool centred = true);

// An ARGB colour with its alpha multiplied by a (0..1).
uint32_t fadeColour(uint32_t argb, float a);
