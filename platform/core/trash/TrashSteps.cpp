#include "platform/core/trash/TrashSteps.h"

#include <atomic>

namespace platform::trashsteps {
namespace {

std::atomic<Observer> observer{nullptr};
std::atomic<bool> unnamedAllowed{true};

} // namespace

void reached(const char *step) {
  if (const Observer current = observer.load()) {
    current(step);
  }
}

void setObserver(Observer next) { observer.store(next); }

bool unnamedFilesAllowed() { return unnamedAllowed.load(); }

void setUnnamedFilesAllowed(bool allowed) { unnamedAllowed.store(allowed); }

} // namespace platform::trashsteps
