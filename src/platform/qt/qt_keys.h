// Qt's keys and modifiers as the core's virtual-key codes.
#pragma once

#include <Qt>

#include "platform/ui_codes.h"

namespace vodarir::platform::qtface {

// The virtual key of a Qt key; `keypad` tells a keypad key from its main-keyboard twin.
// vk::None for keys without one (the core treats those as ordinary editing keys).
VirtualKey VirtualKeyOf(int qtKey, bool keypad);
Modifiers ModifiersOf(Qt::KeyboardModifiers mods);

} // namespace vodarir::platform::qtface
