// Fuzz target for the replay file reader: any bytes must give either a whole replay or a refusal
// with its reason, never a crash, a hang or an allocation beyond what the file can hold.
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // An empty input still needs a buffer to open a stream on.
    static unsigned char none = 0;
    FILE* file = fmemopen(size > 0 ? const_cast<uint8_t*>(data) : &none, size, "rb");
    if (file == nullptr) {
        return 0;
    }
    Replay replay;
    std::string why;
    if (!readReplay(file, &replay, &why) && (why.empty() || !replay.frames.empty())) {
        __builtin_trap(); // a refusal always says why and hands back nothing
    }
    fclose(file);
    return 0;
}
