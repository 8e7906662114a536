// The client area's size as the platform reports it now.
#include "platform/window.h"

int clientWidth(const Window* window) { return window->clientW; }

int clientHeight(const Window* window) { return window->clientH; }
