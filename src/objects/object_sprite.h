#pragma once
// Drawing a game object's picture where the camera sees it.

class GameObject;
struct Sprite;
struct Window;

// Projects the object's position and box (width, height) through `camera` (x, y, z) and draws
// `sprite` there in the window's back buffer. Called by the `draw` of every game object.
void drawObjectSprite(Window* window, GameObject* object, const float* camera, Sprite* sprite);
