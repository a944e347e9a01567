#pragma once

#include <QString>

namespace lumora {

/// One failed check of a self-test; its text is what the report prints.
struct SelfTestFailure {
  QString description;
};

} // namespace lumora
