#pragma once

// The window's design sizes (column widths, the list's width) were drawn for a
// dialog font about 5 pixels wide per character; ours is usually wider, and
// names would be cut that fit in the design. Design sizes are therefore scaled
// by the font's average character width over 5, never below 1.
double DesignScale();
int Design(int pixels);
