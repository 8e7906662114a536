#pragma once
// Message boxes for the window: the system's box where it can be shown, otherwise the game's
// own, drawn in the window with the game's font (see BoxFont) over a dimmed copy of the picture.
// The game's box has the same caption and text as the system's, and Yes and No (or OK) buttons
// answered with the keys (Enter or Space for the highlighted button, Left, Right and Tab to move
// the highlight, Y and N, Escape for No or OK), with a controller (as the keys it stands for) or
// with a click on a button. Closing the window answers No, then closes it as usual.
// The box owns the asking: the start-up question is asked through askYesNo, and the error
// reports (core/errors.h) reach the window's boxes once showReportsIn named the window.

#include <string>
#include <vector>

#include "gfx/raster.h"
#include "platform/backend.h"

struct Window;

// Shows the box and waits for the answer; true only for a question answered Yes. With a null or
// destroyed window, or while the game's own box is already open, nothing is shown and the answer
// is No (every report is on stderr anyway). The game's own box ends early, answered No, when a
// present of the window fails.
bool showBox(Window* window, MessageBoxKind kind, const char* caption, const char* text);

// Where the game's own box draws, in back-buffer pixels, for a client area of clientW x clientH
// and a font of cellWidth x cellHeight cells (8 x 16 when the window has no font): the panel, its
// title band, the caption and text broken into lines that fit the panel, and the buttons (Yes
// then No for a question, OK otherwise). Lines that do not fit the height are left out.
// Tests click the buttons through it.
struct BoxLayout {
    PixelRect panel;
    PixelRect titleBand;
    std::vector<std::string> captionLines;
    std::vector<std::string> textLines;
    int captionTop = 0; // the first caption line's top; the others follow a cell lower each
    int textTop = 0;
    int textLeft = 0; // the left edge of caption and text lines
    std::vector<PixelRect> buttons;
    std::vector<std::string> buttonLabels;
};
// Shows every error report (core/errors.h) in `window`'s boxes from now on, besides stderr. The
// entry point calls it once, with the backend set, before `create`, so that a window that cannot
// be made is still reported in the system's box; releaseWindow ends it.
void showReportsIn(Window* window);

// Asks the full-screen question as a Yes/No box owned by the window (messageBoxShown set while
// it is open): the system's box, or the game's own in the window when the system cannot show one.
// Keys and mouse input that arrived while it was shown are dropped, never given to the screen.
// False when the answer is No or no box can be shown at all.
bool askYesNo(Window* window, const char* caption, const char* text);

BoxLayout layoutBox(int clientW, int clientH, int cellWidth, int cellHeight, MessageBoxKind kind,
                    const char* caption, const char* text);
