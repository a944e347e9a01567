#pragma once

#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"
#include "harness/GatedEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace shelltest {

using storetest::spin;
using storetest::waitFor;

/// A phase screen in a window of its own, offscreen, over a real store and engine whose
/// cache lives in a temporary folder and whose scans can be held at a gate. The folder
/// picker chooses the fixture's photo folder; settings targets are recorded and answered
/// from `settingsOpens`.
class ScreenFixture : public ::testing::Test {
protected:
  ScreenFixture() { std::filesystem::create_directories(m_photos); }

  lumora::AppStore &store() {
    if (!m_store) {
      makeStore();
    }
    return *m_store;
  }
  harness::GatedEngineClient &gate() {
    store();
    return *m_gate;
  }

  /// Shows `screen` filling a window of the content size of a 1150 × 780 window.
  template <typename Screen> Screen *host(Screen *screen, QSize size = {1150, 650}) {
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    screen->setParent(m_window.get());
    layout->addWidget(screen);
    m_window->resize(size);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    return screen;
  }
  [[nodiscard]] QWidget &window() const { return *m_window; }

  /// `count` shots of scene `seed`, one second apart from `start`.
  void writeBurst(const std::string &prefix, int seed, int count, double start) {
    for (int i = 0; i < count; ++i) {
      const std::filesystem::path path = m_photos / (prefix + std::to_string(i) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, seed, 320, 240));
      testsupport::setModified(path, start + i);
    }
  }
  /// `count` photos of different scenes, an hour apart, so no two group.
  void writeDistinct(int count, int firstSeed = 1) {
    for (int i = 0; i < count; ++i) {
      writeBurst("solo" + std::to_string(i) + "-", firstSeed + i, 1, 1'700'000'000 + 3600.0 * i);
    }
  }
  [[nodiscard]] const std::filesystem::path &photos() const { return m_photos; }
  [[nodiscard]] const std::filesystem::path &dataFolder() const { return m_temp.path(); }

  bool waitForPhase(lumora::AppStore::Phase::Kind kind, int ms = 60000) {
    return waitFor([&] { return store().phase().kind == kind; }, ms);
  }

  /// The engine's services (Trash, library); set before the store is first used.
  lumora::EngineServices engineServices;
  std::vector<QString> settingsTried;
  /// The settings targets that open; all others fail.
  std::vector<QString> settingsOpens;

private:
  void makeStore() {
    lumora::localized::installTranslations();
    lumora::userdefaults::open().clear();
    auto engine = std::make_shared<lumora::LumoraEngine>(
        QString::fromStdString((m_temp.path() / "analysis-cache.bin").string()), engineServices);
    m_gate = std::make_shared<harness::GatedEngineClient>(
        std::make_shared<lumora::LumoraEngineClient>(engine));
    lumora::AppStore::Services services;
    services.engine = m_gate;
    services.qaMarkerDirectory = QString::fromStdString(m_temp.path().string());
    services.pickFolder = [this](const lumora::FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
      ++pickerOpened;
      done(QUrl::fromLocalFile(QString::fromStdString(m_photos.string())));
    };
    services.openSettingsTarget = [this](const QString &target) {
      settingsTried.push_back(target);
      return std::find(settingsOpens.begin(), settingsOpens.end(), target) != settingsOpens.end();
    };
    m_store = std::make_unique<lumora::AppStore>(std::move(services));
  }

protected:
  int pickerOpened = 0;

private:
  testsupport::TempDir m_temp;
  std::filesystem::path m_photos = m_temp.path() / "photos";
  std::shared_ptr<harness::GatedEngineClient> m_gate;
  std::unique_ptr<lumora::AppStore> m_store;
  std::unique_ptr<QWidget> m_window;
};

/// The visible child button whose text is `text`, or null.
inline QAbstractButton *buttonTitled(const QWidget &root, const QString &text) {
  for (QAbstractButton *button : root.findChildren<QAbstractButton *>()) {
    if (button->isVisibleTo(&root) && button->text() == text) {
      return button;
    }
  }
  return nullptr;
}

/// The visible buttons under `root`, left to right.
inline std::vector<QAbstractButton *> visibleButtons(const QWidget &root) {
  std::vector<QAbstractButton *> found;
  for (QAbstractButton *button : root.findChildren<QAbstractButton *>()) {
    if (button->isVisibleTo(&root)) {
      found.push_back(button);
    }
  }
  std::sort(found.begin(), found.end(), [&root](QAbstractButton *a, QAbstractButton *b) {
    return a->mapTo(&root, QPoint()).x() < b->mapTo(&root, QPoint()).x();
  });
  return found;
}

} // namespace shelltest
