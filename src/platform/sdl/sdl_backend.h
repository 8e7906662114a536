#pragma once
// The desktop backend on SDL2: one window showing the 640x480 back buffer scaled by a whole
// factor (nearest pixel), desktop full screen with the picture fitted and its aspect kept,
// SDL key events turned into Win32 virtual-key codes, SDL message boxes.
// The entry point owns one SdlBackend for the whole run and hands it to the Window.

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/backend.h"
#include "platform/present_pacer.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;

// Choices the game leaves at their defaults; tests and benchmarks change them.
struct SdlBackendOptions {
    // The whole factor by which the windowed client area is shown; 0 picks the largest that fits
    // the usable desktop with room for the window's frame (at least 1).
    int scale = 0;
    // false: no box is ever shown (reports still go to stderr) and every question answers No,
    // so that a run on a display nobody watches cannot wait on a box.
    bool messageBoxes = true;
    // true: presents wait for the display's vertical sync, and where the display offers none
    // they pace themselves to its refresh rate. false: presents never wait (benchmarks of the
    // present itself).
    bool vsync = true;
};

class SdlBackend final : public Backend {
public:
    explicit SdlBackend(const SdlBackendOptions& options = {});
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // The renderer SDL chose ("opengl", "software", ...), empty while no window is open.
    const std::string& rendererName() const { return renderName; }
    // The whole factor of the windowed client area, 0 while no window is open.
    int scale() const { return scaleFactor; }
    // Whether presents now pace themselves to the display's refresh rate, because the display
    // offers no vertical sync or its presents come back sooner than a refresh.
    bool pacesPresents() const { return pacer.pacing(); }

    bool openWindow(const char* title, int clientWidth, int clientHeight) override;
    void closeWindow() override;
    void setTitle(const char* title) override;
    void desktopSize(int* width, int* height) override;
    void windowOuterSize(int* width, int* height) override;
    void moveWindow(int x, int y) override;
    bool pollEvent(PlatformEvent* event) override;
    bool present(const Surface& backBuffer) override;
    void setCursor(int kind) override;
    bool setFullscreen(bool on) override;
    bool showMessageBox(MessageBoxKind kind, const char* caption, const char* text) override;
    uint32_t milliseconds() override;

private:
    using Clock = std::chrono::steady_clock;

    bool makeTexture(int width, int height);
    void pictureRect(int* x, int* y, int* width, int* height);
    // Puts the window back where it stood before full screen, with its frame.
    void restoreWindowedPlace();
    void toBackBuffer(int windowX, int windowY, int* x, int* y);

    SdlBackendOptions options;
    Clock::time_point started;
    bool videoStarted = false;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureW = 0;
    int textureH = 0;
    SDL_Cursor* arrowCursor = nullptr;
    SDL_Cursor* crossCursor = nullptr;
    int cursorShown = -1;
    bool fullscreen = false;
    // Where the window stood before full screen, to put it back when full screen ends.
    int windowedX = 0;
    int windowedY = 0;
    int windowedW = 0;
    int windowedH = 0;
    std::string renderName;
    int scaleFactor = 0;

    // Pacing where vertical sync is missing: one present per refresh period.
    PresentPacer pacer;
};
