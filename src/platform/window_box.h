#pragma once
// Message boxes for the window: the system's box where it can be shown, otherwise the game's
// own, drawn in the window with the game's font (see BoxFont) over a dimmed copy of the picture.
// The game's box has the same caption and text as the system's, and Yes and No (or OK) buttons
// answered with the keys (Enter or Space for the highlighted button, Left, Right and Tab to move
// the highlight, Y and N, Escape for No or OK), with a controller (as the keys it stands for) or
// with a click on a button. Closing the window answers No, then closes it as usual.
// The reports (errors.h) and the start-up question (window.h) call showBox.

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
BoxLayout layoutBox(int clientW, int clientH, int cellWidth, int cellHeight, MessageBoxKind kind,
                    const char* caption, const char* text);
