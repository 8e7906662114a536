// Drawing a game object's picture where the camera sees it.
#include "objects/object_sprite.h"

#include "objects/game_object.h"
#include "pictures/sprite_draw.h"

void drawObjectSprite(Window* window, GameObject* object, const float* camera, Sprite* sprite)
{
    drawObjectSprite(window, object->position.x, object->position.y, object->position.z,
                     object->size.width, object->size.height, camera[0], camera[1], camera[2], sprite);
}
