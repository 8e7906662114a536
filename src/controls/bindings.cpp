// Keys and controller inputs by action: the defaults, matching a press, and the keys screen's
// changes.
#include "controls/bindings.h"

#include <algorithm>
#include <bit>
#include <initializer_list>

#include "controls/input_names.h"
#include "platform/controller_keys.h"
#include "platform/virtual_keys.h"

namespace {

void setList(BindingList& list, std::initializer_list<uint32_t> bindings)
{
    std::fill(std::begin(list), std::end(list), 0u);
    std::copy(bindings.begin(), bindings.end(), std::begin(list));
}

Bindings makeDefaults()
{
    Bindings b;
    const auto set = [&b](Action action, std::initializer_list<uint32_t> keys,
                          std::initializer_list<PadInput> pads) {
        setList(b.keys[indexOf(action)], keys);
        BindingList& list = b.pads[indexOf(action)];
        int i = 0;
        for (PadInput pad : pads) {
            list[i++] = padCode(pad);
        }
    };
    set(Action::Accelerate, {keyUp}, {PadInput::RightTrigger, PadInput::A});
    set(Action::Brake, {keySpace}, {PadInput::LeftTrigger, PadInput::X});
    set(Action::SteerLeft, {keyLeft}, {PadInput::DpadLeft, PadInput::StickLeft});
    set(Action::SteerRight, {keyRight}, {PadInput::DpadRight, PadInput::StickRight});
    set(Action::GiveUp, {keyEscape}, {PadInput::Back});
    set(Action::MenuUp, {keyUp}, {PadInput::DpadUp, PadInput::StickUp});
    set(Action::MenuDown, {keyDown}, {PadInput::DpadDown, PadInput::StickDown});
    set(Action::MenuLeft, {keyLeft}, {PadInput::DpadLeft, PadInput::StickLeft});
    set(Action::MenuRight, {keyRight}, {PadInput::DpadRight, PadInput::StickRight});
    set(Action::MenuConfirm, {keyEnter}, {PadInput::A, PadInput::Start});
    set(Action::MenuBack, {keyEscape}, {PadInput::B, PadInput::Back});
    set(Action::MenuKeys, {'K'}, {PadInput::Y});
    set(Action::MenuRaceAgain, {'R'}, {PadInput::X});
    set(Action::MenuWatch, {'W'}, {PadInput::RightShoulder});
    set(Action::MenuGhosts, {keyF2}, {PadInput::LeftShoulder});
    set(Action::Look, {keyF10}, {});
    set(Action::FullScreen, {keyF11, keyEnter | withAlt}, {});
    set(Action::Picture, {keyF12}, {});
    set(Action::Mute, {keyM}, {});
    return b;
}

// Takes `binding` out of the list, closing the gap.
void removeBinding(BindingList& list, uint32_t binding)
{
    auto end = std::remove(std::begin(list), std::end(list), binding);
    std::fill(end, std::end(list), 0u);
}

} // namespace

const Bindings& defaultBindings()
{
    static const Bindings defaults = makeDefaults();
    return defaults;
}

int bindingCount(const BindingList& list)
{
    return static_cast<int>(std::find(std::begin(list), std::end(list), 0u) - std::begin(list));
}

bool listHolds(const BindingList& list, uint32_t binding)
{
    return binding != 0 && std::find(std::begin(list), std::end(list), binding) != std::end(list);
}

bool addBinding(BindingList& list, uint32_t binding)
{
    if (listHolds(list, binding)) {
        return true;
    }
    const int count = bindingCount(list);
    if (count == maxBindings) {
        return false;
    }
    list[count] = binding;
    return true;
}

std::string screenNames(const BindingList& list)
{
    std::string text;
    for (int i = 0; i < bindingCount(list); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += screenName(list[i]);
    }
    return text;
}

int bindingMatch(uint32_t bound, uint32_t code, uint32_t heldModifiers)
{
    if (bound == 0 || plainKey(bound) != code || (bound & modifierFlags & ~heldModifiers) != 0) {
        return -1;
    }
    return std::popcount(bound & modifierFlags);
}

void bindRaceInput(Bindings* bindings, Action action, uint32_t code)
{
    BindingList* lists = isPadCode(code) ? bindings->pads : bindings->keys;
    BindingList& own = lists[indexOf(action)];
    const uint32_t former = own[0];
    for (int i = 0; i < raceActionCount; ++i) {
        BindingList& other = lists[i];
        if (i == indexOf(action) || !listHolds(other, code)) {
            continue;
        }
        if (former != 0 && !listHolds(other, former)) {
            std::replace(std::begin(other), std::end(other), code, former);
        } else {
            removeBinding(other, code);
        }
    }
    setList(own, {code});
}

void restoreRaceDefaults(Bindings* bindings)
{
    const Bindings& defaults = defaultBindings();
    for (int i = 0; i < raceActionCount; ++i) {
        std::copy(std::begin(defaults.keys[i]), std::end(defaults.keys[i]),
                  std::begin(bindings->keys[i]));
        std::copy(std::begin(defaults.pads[i]), std::end(defaults.pads[i]),
                  std::begin(bindings->pads[i]));
    }
}

bool raceKeysAreDefault(const Bindings& bindings)
{
    const Bindings& defaults = defaultBindings();
    return std::equal(std::begin(bindings.keys), std::begin(bindings.keys) + raceActionCount,
                      std::begin(defaults.keys), [](const BindingList& a, const BindingList& b) {
                          return std::equal(std::begin(a), std::end(a), std::begin(b));
                      });
}
