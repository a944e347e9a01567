#pragma once

#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/DesktopOpener.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/store/support/EngineStoreFixture.h"

#include <QWidget>
#include <algorithm>
#include <map>
#include <vector>

namespace resultstest {

using storetest::group;
using storetest::photo;
using storetest::waitFor;

/// Records what the views asked the desktop to open.
class RecordingOpener : public platform::Opener {
public:
  void revealFile(const std::string &path) override { calls.push_back("reveal " + path); }
  void openFile(const std::string &path) override { calls.push_back("open " + path); }
  void openLibraryFolder() override { calls.push_back("library"); }
  std::vector<std::string> calls;
};

/// A store over the real engine (its cache in a temporary folder), a window to put views in,
/// a recording opener in place of the desktop's, and full motion unless a test says otherwise.
class ResultsFixture : public storetest::EngineStoreFixture {
protected:
  ResultsFixture() {
    platform::setOpenerOverride(&opener);
    platform::setReduceMotionOverride(false);
    window.resize(1100, 800);
  }
  ~ResultsFixture() override {
    platform::setOpenerOverride(nullptr);
    platform::setReduceMotionOverride(std::nullopt);
  }

  /// Puts `list` (and their photos) into the store as the result of a finished scan.
  void showGroups(const std::vector<lumora::PhotoGroup> &list,
                  lumora::AppStore::SourceKind source = lumora::AppStore::SourceKind::folder) {
    std::vector<lumora::PhotoItem> items;
    for (const lumora::PhotoGroup &shown : list) {
      items.insert(items.end(), shown.items.begin(), shown.items.end());
    }
    lumora::AppStore::StateAccess access(store());
    access.setSourceKind(source);
    access.setItems(items);
    access.setGroups(list);
    access.setPhase(lumora::AppStore::Phase::ready());
  }

  /// Scans the photos folder through the real engine, then groups its photos by the name
  /// before their last character ("a0", "a1" → one group), so the test does not depend on
  /// the analyzer's verdicts.
  void scanIntoGroupsByPrefix() {
    store().chooseFolder();
    ASSERT_TRUE(waitForReady());
    std::map<std::string, std::vector<lumora::PhotoItem>> byPrefix;
    for (const lumora::PhotoItem &item : store().items()) {
      const std::string name = std::filesystem::path(item.id).stem().string();
      byPrefix[name.substr(0, name.size() - 1)].push_back(item);
    }
    std::vector<lumora::PhotoGroup> list;
    for (auto &[prefix, items] : byPrefix) {
      std::sort(items.begin(), items.end(),
                [](const lumora::PhotoItem &a, const lumora::PhotoItem &b) { return a.id < b.id; });
      list.emplace_back(items.front().id, items);
    }
    lumora::AppStore::StateAccess(store()).setGroups(list);
  }

  RecordingOpener opener;
  QWidget window;
};

} // namespace resultstest
