#pragma once

// The engine shares the platform's result type so that errors pass between the two
// without conversion code.
#include "platform/core/Expected.h"

namespace lumora {

using platform::Expected;
using platform::Unexpected;

} // namespace lumora
