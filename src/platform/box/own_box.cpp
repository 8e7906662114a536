// The system's message box, and the game's own in the window when the system cannot show one.
#include "platform/box/own_box.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "core/errors.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

namespace {

// Colours of the game's own box.
constexpr uint32_t panelColour = 0x202020;
constexpr uint32_t edgeColour = 0xC0C0C0;
constexpr uint32_t titleColour = 0x30408C;
constexpr uint32_t buttonColour = 0x404040;
// Cell size used for the layout when the window has no font (the box then shows no text).
constexpr int plainCellWidth = 8;
constexpr int plainCellHeight = 16;
constexpr uint32_t keyTab = 0x09;

// The one box of the game's own that may be open, and what the player did in it.
struct OpenBox {
    MessageBoxKind kind = MessageBoxKind::Warning;
    const char* caption = "";
    const char* text = "";
    Surface under;    // the picture the box covers, shown dimmed behind it
    size_t focus = 0; // the highlighted button
    bool done = false;
    bool yes = false;
    bool closeAsked = false;
    WindowCallbacks screen; // the slots of the screen the box interrupted
};
OpenBox* openBox = nullptr;

// Whether the window's font can write: pictures of its letters and cells of a size.
bool fontWrites(const BoxFont& font)
{
    return font.glyphs && font.cellWidth > 0 && font.cellHeight > 0;
}

void cellSize(const Window* window, int* width, int* height)
{
    const BoxFont& font = window->boxFont;
    const bool usable = fontWrites(font);
    *width = usable ? font.cellWidth : plainCellWidth;
    *height = usable ? font.cellHeight : plainCellHeight;
}

// Breaks text into lines of at most `columns` characters: at line breaks, between words where
// it can, inside a word longer than a line where it must.
std::vector<std::string> wrapText(const char* text, size_t columns)
{
    std::vector<std::string> lines;
    std::string paragraph;
    std::string all = text ? text : "";
    columns = std::max<size_t>(columns, 1);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        paragraph = all.substr(start, end - start);
        std::string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            size_t wordEnd = paragraph.find(' ', at);
            if (wordEnd == std::string::npos) {
                wordEnd = paragraph.size();
            }
            std::string word = paragraph.substr(at, wordEnd - at);
            at = wordEnd + 1;
            if (word.empty()) {
                continue;
            }
            if (!line.empty() && line.size() + 1 + word.size() <= columns) {
                line += ' ';
                line += word;
                continue;
            }
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            while (word.size() > columns) {
                lines.push_back(word.substr(0, columns));
                word.erase(0, columns);
            }
            line = word;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool inside(const PixelRect& rect, int x, int y)
{
    return x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
}

void fillRect(Surface* surface, const PixelRect& rect, uint32_t fill, uint32_t edge)
{
    drawRectangle(surface, rect.x, rect.y, rect.x + rect.w, rect.y + rect.h, solidBrush(fill),
                  solidPen(edge));
}

void writeLine(Window* window, const std::string& line, int x, int y)
{
    const BoxFont& font = window->boxFont;
    if (!fontWrites(font)) {
        return;
    }
    for (unsigned char byte : line) {
        int code = byte & 0x7F;
        PixelRect cell{(code % 8) * font.cellWidth, (code / 8) * font.cellHeight, font.cellWidth,
                       font.cellHeight};
        PixelRect to{x, y, font.cellWidth, font.cellHeight};
        if (font.mask) {
            stretchKeyed(&window->backBuffer, to, *font.glyphs, *font.mask, cell);
        } else {
            blit(&window->backBuffer, x, y, *font.glyphs, cell, RasterOp::Copy);
        }
        x += font.cellWidth;
    }
}

// The layout of the open box in the window as it is now.
BoxLayout layoutInWindow(const Window* window, const OpenBox& box)
{
    int cellW = 0;
    int cellH = 0;
    cellSize(window, &cellW, &cellH);
    return layoutBox(window->backBuffer.width, window->backBuffer.height, cellW, cellH, box.kind,
                     box.caption, box.text);
}

void drawBox(Window* window, const OpenBox& box)
{
    BoxLayout layout = layoutInWindow(window, box);
    int cellW = 0;
    int cellH = 0;
    cellSize(window, &cellW, &cellH);
    Surface& picture = window->backBuffer;
    if (box.under.width == picture.width && box.under.height == picture.height) {
        std::transform(box.under.pixels.begin(), box.under.pixels.end(), picture.pixels.begin(),
                       [](uint32_t p) { return (p >> 1) & 0x7F7F7Fu; });
    } else {
        fillSurface(&picture, 0);
    }
    fillRect(&picture, layout.panel, panelColour, edgeColour);
    fillRect(&picture, layout.titleBand, titleColour, edgeColour);
    int y = layout.captionTop;
    for (const std::string& line : layout.captionLines) {
        writeLine(window, line, layout.textLeft, y);
        y += cellH;
    }
    y = layout.textTop;
    for (const std::string& line : layout.textLines) {
        writeLine(window, line, layout.textLeft, y);
        y += cellH;
    }
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const PixelRect& button = layout.buttons[i];
        fillRect(&picture, button, i == box.focus ? titleColour : buttonColour, edgeColour);
        const std::string& label = layout.buttonLabels[i];
        writeLine(window, label, button.x + (button.w - static_cast<int>(label.size()) * cellW) / 2,
                  button.y + (button.h - cellH) / 2);
    }
}

void answer(bool yes)
{
    openBox->done = true;
    openBox->yes = yes && openBox->kind == MessageBoxKind::Question;
}

// The key a controller's input stands for in a box, whatever the player's controls say: A or
// Start is Enter, B or Back Escape, the d-pad and the stick the arrows. Keys stay as they are.
uint32_t boxKeyOf(uint32_t code)
{
    switch (code) {
    case padCode(PadInput::A):
    case padCode(PadInput::Start): return keyEnter;
    case padCode(PadInput::B):
    case padCode(PadInput::Back): return keyEscape;
    case padCode(PadInput::DpadLeft):
    case padCode(PadInput::StickLeft): return keyLeft;
    case padCode(PadInput::DpadUp):
    case padCode(PadInput::StickUp): return keyUp;
    case padCode(PadInput::DpadRight):
    case padCode(PadInput::StickRight): return keyRight;
    case padCode(PadInput::DpadDown):
    case padCode(PadInput::StickDown): return keyDown;
    default: return code;
    }
}

void boxOnKeyDown(Window*, uint32_t code)
{
    const size_t last = openBox->kind == MessageBoxKind::Question ? 1 : 0;
    switch (boxKeyOf(code)) {
    case keyEnter:
    case keySpace: answer(openBox->focus == 0); break;
    case keyEscape: answer(false); break;
    case 'Y':
        if (last == 1)
            answer(true);
        break;
    case 'N':
        if (last == 1)
            answer(false);
        break;
    case keyLeft:
    case keyUp: openBox->focus = 0; break;
    case keyRight:
    case keyDown: openBox->focus = last; break;
    case keyTab: openBox->focus = openBox->focus == last ? 0 : openBox->focus + 1; break;
    default: break;
    }
}

// The button under the pointer at screen pixel (x, y), or -1. The box is laid out in back-buffer
// pixels, the drawing scale times the screen's, from the back buffer's left edge (the wide view's
// margin left of the layout).
int buttonAt(Window* window, int x, int y)
{
    BoxLayout layout = layoutInWindow(window, *openBox);
    const int k = window->drawingScale;
    const int left = x + screenMargin(window);
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        if (inside(layout.buttons[i], left * k, y * k)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void boxOnMouseMove(Window* window, int x, int y)
{
    int button = buttonAt(window, x, y);
    if (button >= 0) {
        openBox->focus = static_cast<size_t>(button);
    }
}

void boxOnMouseDown(Window* window, int x, int y, int mouseButton)
{
    int button = buttonAt(window, x, y);
    if (mouseButton == 1 && button >= 0) {
        answer(button == 0);
    }
}

void boxOnClose(Window*)
{
    openBox->closeAsked = true;
    answer(false);
}

void boxOnDestroy(Window* window)
{
    answer(false);
    if (auto onDestroy = openBox->screen.onDestroy) {
        onDestroy(window);
    }
}

// Runs the game's own box in the window until the player answers it.
bool askInWindow(Window* window, MessageBoxKind kind, const char* caption, const char* text)
{
    OpenBox box;
    box.kind = kind;
    box.caption = caption ? caption : "";
    box.text = text ? text : "";
    box.under = window->backBuffer;
    box.screen = window->callbacks;
    openBox = &box;
    const bool repaintWanted = window->repaintRequested;
    window->repaintRequested = false;
    window->callbacks = WindowCallbacks{};
    window->callbacks.onKeyDown = boxOnKeyDown;
    window->callbacks.onMouseDown = boxOnMouseDown;
    window->callbacks.onMouseMove = boxOnMouseMove;
    window->callbacks.onClose = boxOnClose;
    window->callbacks.onDestroy = boxOnDestroy;
    // The pointer shows while the box is open, even in full screen; the next paint of the
    // screen shows its own kind again.
    window->backend->setCursor(1);

    while (!box.done && isWindowAlive(window)) {
        pumpMessages(window);
        if (box.done || !isWindowAlive(window)) {
            break;
        }
        drawBox(window, box);
        clearLastPlatformError();
        if (!window->backend->present(window->backBuffer)) {
            const char* why = lastPlatformError();
            std::fprintf(stderr, "The message box cannot be shown in the window either (%s).\n",
                         why ? why : "present failed");
            std::fflush(stderr);
            break;
        }
    }

    openBox = nullptr;
    window->callbacks = box.screen;
    window->repaintRequested = repaintWanted;
    if (box.under.width == window->backBuffer.width &&
        box.under.height == window->backBuffer.height) {
        window->backBuffer = box.under;
    }
    // The box had the keyboard: keys pressed for it and still down do not count as held by the
    // screen, and are carried, so that their repeats and their release do not reach it either
    // (Escape held to answer No does not quit the menu behind the box). Keys held since before
    // the box opened were carried through it and stay so.
    for (size_t key = 0; key < std::size(window->keysHeld); ++key) {
        if (window->keysHeld[key] && !window->keysCarried[key]) {
            window->keysHeld[key] = false;
            window->keysCarried[key] = true;
        }
    }
    if (box.closeAsked && isWindowAlive(window)) {
        if (auto onClose = window->callbacks.onClose) {
            onClose(window);
        } else {
            destroyWindow(window);
        }
    }
    return box.yes;
}

// The window whose boxes show the error reports, from showReportsIn to releaseWindow.
Window* reportWindow = nullptr;

void showReportInWindow(MessageBoxKind kind, const char* caption, const char* text)
{
    showBox(reportWindow, kind, caption, text);
}

} // namespace

void showReportsIn(Window* window)
{
    reportWindow = window;
    setReportBox(showReportInWindow);
}

bool askYesNo(Window* window, const char* caption, const char* text)
{
    window->messageBoxShown = true;
    bool yes = showBox(window, MessageBoxKind::Question, caption, text);
    window->messageBoxShown = false;
    if (isWindowAlive(window)) {
        window->backend->discardInput();
    }
    return yes;
}


BoxLayout layoutBox(int clientW, int clientH, int cellW, int cellH, MessageBoxKind kind,
                    const char* caption, const char* text)
{
    const int margin = std::max(8, cellW);
    const int pad = cellW;
    BoxLayout layout;
    layout.panel.x = margin;
    layout.panel.w = std::max(1, clientW - 2 * margin);
    const size_t columns = static_cast<size_t>(std::max(1, (layout.panel.w - 2 * pad) / cellW));
    layout.captionLines = wrapText(caption, columns);
    layout.textLines = wrapText(text, columns);
    if (kind == MessageBoxKind::Question) {
        layout.buttonLabels = {"Yes", "No"};
    } else {
        layout.buttonLabels = {"OK"};
    }
    const int buttonH = cellH + pad;
    const int buttonW = 6 * cellW;

    // Title band, gap, text, gap, buttons, gap: drop text lines, then caption lines, that do not
    // fit the window.
    auto height = [&] {
        return pad + static_cast<int>(layout.captionLines.size()) * cellH + pad +
               static_cast<int>(layout.textLines.size()) * cellH + pad + buttonH + pad;
    };
    while (height() > clientH - 2 * margin && !layout.textLines.empty()) {
        layout.textLines.pop_back();
    }
    while (height() > clientH - 2 * margin && layout.captionLines.size() > 1) {
        layout.captionLines.pop_back();
    }
    layout.panel.h = height();
    layout.panel.y = std::max(0, (clientH - layout.panel.h) / 2);
    layout.titleBand = PixelRect{layout.panel.x, layout.panel.y, layout.panel.w,
                                 pad + static_cast<int>(layout.captionLines.size()) * cellH};
    layout.textLeft = layout.panel.x + pad;
    layout.captionTop = layout.panel.y + pad / 2;
    layout.textTop = layout.titleBand.y + layout.titleBand.h + pad;
    const int count = static_cast<int>(layout.buttonLabels.size());
    const int rowW = count * buttonW + (count - 1) * 2 * cellW;
    int x = layout.panel.x + (layout.panel.w - rowW) / 2;
    const int y = layout.panel.y + layout.panel.h - pad - buttonH;
    for (int i = 0; i < count; ++i) {
        layout.buttons.push_back(PixelRect{x, y, buttonW, buttonH});
        x += buttonW + 2 * cellW;
    }
    return layout;
}

bool showBox(Window* window, MessageBoxKind kind, const char* caption, const char* text)
{
    if (!window || !window->backend) {
        return false;
    }
    // What the platform reported before the box stays reported after it.
    const char* earlier = lastPlatformError();
    const std::string earlierText = earlier ? earlier : "";
    const bool hadEarlier = earlier != nullptr;

    BoxAnswer native = window->backend->showMessageBox(kind, caption, text);
    bool yes = native == BoxAnswer::Yes;
    if (native == BoxAnswer::NotShown && isWindowAlive(window) && !openBox) {
        const char* why = lastPlatformError();
        std::fprintf(stderr,
                     "The system cannot show a message box (%s); the game shows it in its "
                     "window.\n",
                     why ? why : "no reason given");
        std::fflush(stderr);
        yes = askInWindow(window, kind, caption, text);
    }

    if (hadEarlier) {
        setLastPlatformError(earlierText.c_str());
    } else {
        clearLastPlatformError();
    }
    return yes;
}
