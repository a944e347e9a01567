#pragma once

#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "engine/model/PhotoGroup.h"
#include "tests/store/support/EngineStoreFixture.h"
#include "tests/support/TempDir.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace gridtest {

using storetest::spin;
using storetest::waitFor;

/// Local midnight of the first day of a month, in seconds since 1970.
inline double monthStart(int year, int month) {
  return static_cast<double>(QDateTime(QDate(year, month, 1), QTime(0, 0)).toSecsSinceEpoch());
}

/// A group of `count` folder photos named `prefix`0…, all captured at `captured`.
inline lumora::PhotoGroup datedGroup(const std::string &prefix, double captured, int count = 2) {
  std::vector<lumora::PhotoItem> items;
  for (int i = 0; i < count; ++i) {
    items.push_back(storetest::photo(prefix + std::to_string(i), 1000, captured));
  }
  return lumora::PhotoGroup(prefix + "0", std::move(items));
}

/// `perMonth` groups in each of `months` months, newest month first as the date sort
/// lists them, counting back from December 2025.
inline std::vector<lumora::PhotoGroup> monthlyGroups(int months, int perMonth) {
  std::vector<lumora::PhotoGroup> groups;
  for (int m = 0; m < months; ++m) {
    const int year = 2025 - m / 12;
    const int month = 12 - m % 12;
    for (int i = 0; i < perMonth; ++i) {
      groups.push_back(datedGroup("m" + std::to_string(m) + "g" + std::to_string(i) + "-",
                                  monthStart(year, month) + 86400.0 * (27 - i % 27)));
    }
  }
  return groups;
}

/// A real store over a real engine in a temporary folder, for the widgets to read.
class GridFixture : public ::testing::Test {
protected:
  lumora::AppStore &store() {
    if (!m_store) {
      m_store = storetest::makeEngineStore(m_temp.path(), m_temp.path() / "photos");
    }
    return *m_store;
  }
  void setGroups(std::vector<lumora::PhotoGroup> groups) {
    lumora::AppStore::StateAccess(store()).setGroups(std::move(groups));
  }
  [[nodiscard]] const std::filesystem::path &tempPath() const { return m_temp.path(); }

private:
  testsupport::TempDir m_temp;
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace gridtest
