#pragma once

// The process set-up every widget benchmark makes before its QApplication, as the application
// makes it at start-up.

#include "BenchProcess.h"

#include "platform/core/LargeAllocations.h"
#include "platform/core/imaging/VipsRuntime.h"

#include <QTemporaryDir>

namespace benchprocess {

/// Big blocks go back to the system when freed; libvips starts before any thread exists (it
/// writes environment variables while it starts); the data folders point into `data`, so
/// the benchmark never touches the user's cache, log or favourites; windows draw offscreen
/// unless QT_QPA_PLATFORM names another platform. Construct it first in main.
struct WidgetBenchProcess {
  WidgetBenchProcess() {
    platform::returnLargeAllocationsToSystem();
    (void)platform::vipsruntime::ensureStarted();
    isolateDataFolders(data.path());
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
  }

  QTemporaryDir data;
};

} // namespace benchprocess
