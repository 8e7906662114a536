#pragma once
// The desktop backend on SDL2: one window the player may resize, showing the back buffer of the
// drawing scale and width it asks for (drawingScale; viewWidth, the wide view of a window or
// display wider than 4:3) with its shape kept (picture_fit.h) through a streaming
// texture where graphics hardware draws, and through the window's own surface, placed by our own
// code, where only a software renderer would (there a texture costs many times more processor time
// than the frame itself), desktop full screen, SDL key events turned into Win32 virtual-key codes
// (the keypad's arrows when NumLock is off), game controllers plugged in or out at any time, SDL
// message boxes, the pictures the player keeps as PNG files (screenshot.h), and the sound
// through SDL2_mixer: the game's own mixer (audio/sound_mixer.h) fills SDL2_mixer's music hook
// on the audio thread with what the game thread handed over. The entry point owns one SdlBackend
// for the whole run and hands it to the Window.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/picture_fit.h"
#include "platform/present_pacer.h"
#include "platform/sound.h"
#include "audio/sound_mixer.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
struct _SDL_GameController;

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

    // The renderer SDL chose ("opengl", "software", ...), empty while no window is open;
    // "window surface" when frames go through the window's own surface.
    const std::string& rendererName() const { return renderName; }
    // Whether frames go through the window's own surface rather than a renderer's texture.
    bool showsThroughWindowSurface() const { return window != nullptr && renderer == nullptr; }
    // The whole factor of the windowed client area, 0 while no window is open.
    int scale() const { return scaleFactor; }
    // Whether presents now pace themselves to the display's refresh rate, because the display
    // offers no vertical sync or its presents come back sooner than a refresh.
    bool pacesPresents() const { return pacer.pacing(); }
    // Where the last present put the picture, in the window's real pixels, and whether it was
    // scaled smoothly.
    const PictureFit& lastPictureFit() const { return shownFit; }
    // How many game controllers are open now.
    int controllerCount() const { return static_cast<int>(controllers.size()); }
    // Whether the sound device is open and fed by the game's mixer.
    bool soundPlaying() const { return soundOpen; }
    // Waits until the picture asked for with askForPicture is written (tests; closing the window
    // waits too).
    void finishPictures();

    bool openWindow(const char* title, int clientWidth, int clientHeight) override;
    void closeWindow() override;
    void setTitle(const char* title) override;
    void desktopSize(int* width, int* height) override;
    void windowOuterSize(int* width, int* height) override;
    void moveWindow(int x, int y) override;
    bool pollEvent(PlatformEvent* event) override;
    void discardInput() override;
    bool present(const Surface& backBuffer) override;
    int drawingScale() override;
    int viewWidth() override;
    void setCursor(int kind) override;
    bool setFullscreen(bool on) override;
    void askForPicture() override;
    BoxAnswer showMessageBox(MessageBoxKind kind, const char* caption, const char* text) override;
    void rumble(float strength, uint32_t milliseconds) override;
    uint32_t milliseconds() override;
    void startSound(const SoundBank* bank) override;
    void playSound(const SoundFrame& frame) override;
    void muteSound(bool muted) override;

private:
    using Clock = std::chrono::steady_clock;

    bool makeTexture(int width, int height);
    // Whether `renderer` draws without graphics hardware: SDL's software renderer, or OpenGL
    // carried out by the processor (Mesa's llvmpipe, softpipe or swrast).
    bool rendererIsSoftware();
    // The window's drawable size in real pixels.
    void outputSize(int* width, int* height);
    PictureFit pictureFit(int pictureW, int pictureH);
    // present() through the window's own surface.
    bool presentOnWindowSurface(const Surface& backBuffer);
    // Puts the window back where it stood before full screen, with its frame.
    void restoreWindowedPlace();
    // The window manager's frame above and left of the client area, 0 without one.
    void frameSize(int* top, int* left);
    // Moves the window so that its frame's top-left corner is at (x, y) on the desktop.
    void placeFrame(int x, int y);
    void toBackBuffer(int windowX, int windowY, int* x, int* y);
    // SDL2_mixer's music hook, on the audio thread: takes what the game handed over and mixes.
    static void fillSound(void* backend, uint8_t* stream, int bytes);
    // Tells the player, on stderr, that the game plays on silent and why.
    static void sayNoSound(const char* reason);
    // The sound device went away while open: the sound is closed and the player told once.
    void soundDeviceLost();
    // Turns one SDL key event into a game event; false when it gives none.
    bool keyEvent(const void* sdlKeyEvent, PlatformEvent* event);
    // Opens or closes a controller on plug-in or removal.
    void controllerAdded(int deviceIndex);
    void controllerRemoved(int instanceId);
    // Every open controller merged into one state.
    ControllerState controllerState();
    // Starts writing the back buffer to a new PNG file in the background.
    void keepPicture(const Surface& backBuffer);

    SdlBackendOptions options;
    Clock::time_point started;
    bool videoStarted = false;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureW = 0;
    int textureH = 0;
    // The size of the last back buffer shown, to map the mouse into it.
    int pictureW = 0;
    int pictureH = 0;
    // Window surfaces in another pixel format than the back buffer's get the picture here first.
    std::vector<uint32_t> converted;
    // The window is too large for a surface of its own; said once until it is small enough.
    bool surfaceTooLarge = false;
    SDL_Cursor* arrowCursor = nullptr;
    SDL_Cursor* crossCursor = nullptr;
    int cursorShown = -1;
    bool fullscreen = false;
    // Where the window stood before full screen, to put it back when full screen ends: its
    // frame's top-left corner on the desktop and its client size.
    int windowedX = 0;
    int windowedY = 0;
    int windowedW = 0;
    int windowedH = 0;
    // The frame above and left of the client area then.
    int windowedTop = 0;
    int windowedLeft = 0;
    std::string renderName;
    int scaleFactor = 0;
    PictureFit shownFit;
    bool smoothTexture = false;

    // The virtual key each physical key gave when pressed, so that its release gives the same
    // one even if NumLock changed in between; heldThroughBox for keys held down through the
    // system's box.
    std::vector<uint32_t> pressedKeys;
    bool controllersStarted = false;
    std::vector<_SDL_GameController*> controllers;
    ControllerState lastPad;
    bool pictureWanted = false;
    std::thread pictureWriter;

    // Pacing where vertical sync is missing: one present per refresh period.
    PresentPacer pacer;

    // The sound, open once startSound found a device. The game thread merges its frames into
    // `handedOver` under `soundLock`; the audio thread takes them from there, so it never reads
    // anything of the game's.
    bool soundOpen = false;
    std::unique_ptr<SoundMixer> mixer;
    std::mutex soundLock;
    SoundFrame handedOver;
    bool mutedWanted = false;
};
