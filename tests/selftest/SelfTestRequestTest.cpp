#include "app/shell/SelfTestRequest.h"
#include "tests/support/TempDir.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

using lumora::selftestrequest::read;

class SelfTestRequestTest : public ::testing::Test {
protected:
  SelfTestRequestTest()
      : settings(QString::fromStdString(dir.file("settings.ini").string()), QSettings::IniFormat) {
    sources = lumora::selftestrequest::interactionSources();
    sources.markerPath = QString::fromStdString(dir.file("marker").string());
  }

  testsupport::TempDir dir;
  QSettings settings;
  lumora::selftestrequest::Sources sources;
};

TEST_F(SelfTestRequestTest, MarkerFileIsTrimmedAndWinsOverTheSetting) {
  dir.write("marker", "/photos/a\n");
  settings.setValue(QStringLiteral("SelftestFolder"), QStringLiteral("/photos/b"));
  EXPECT_EQ(read(sources, settings, {}), QStringLiteral("/photos/a"));
}

TEST_F(SelfTestRequestTest, BlankMarkerPassesOnToTheSettingTakenAsStored) {
  dir.write("marker", "  \n \n");
  settings.setValue(QStringLiteral("SelftestFolder"), QStringLiteral(" /photos/b "));
  EXPECT_EQ(read(sources, settings, {QStringLiteral("--selftest-ui"), QStringLiteral("/c")}),
            QStringLiteral(" /photos/b "));
}

TEST_F(SelfTestRequestTest, ArgumentAfterTheFirstSwitchAndNoneInLastPlace) {
  const QString ui = QStringLiteral("--selftest-ui");
  EXPECT_EQ(read(sources, settings,
                 {QStringLiteral("pindle"), ui, QStringLiteral("/a"), ui, QStringLiteral("/b")}),
            QStringLiteral("/a"));
  EXPECT_EQ(read(sources, settings, {QStringLiteral("pindle"), ui}), std::nullopt);
  EXPECT_EQ(read(sources, settings, {ui, QString()}), QString());
  EXPECT_EQ(read(lumora::selftestrequest::motionSources(), settings, {ui, QStringLiteral("/a")}),
            std::nullopt);
}

TEST_F(SelfTestRequestTest, SwitchJoinedToItsFolderWithAnEqualsSign) {
  const QString ui = QStringLiteral("--selftest-ui");
  EXPECT_EQ(
      read(sources, settings, {QStringLiteral("pindle"), QStringLiteral("--selftest-ui=/a b")}),
      QStringLiteral("/a b"));
  // The first occurrence decides, in either form; the value is taken as given.
  EXPECT_EQ(
      read(sources, settings, {QStringLiteral("--selftest-ui=/a=1"), ui, QStringLiteral("/b")}),
      QStringLiteral("/a=1"));
  EXPECT_EQ(read(sources, settings, {ui, QStringLiteral("/a"), QStringLiteral("--selftest-ui=/b")}),
            QStringLiteral("/a"));
  EXPECT_EQ(read(sources, settings, {QStringLiteral("--selftest-ui=")}), QString());
  // Another option that merely begins with the switch's name requests nothing.
  EXPECT_EQ(read(sources, settings, {QStringLiteral("--selftest-uix=/a")}), std::nullopt);
  EXPECT_EQ(read(lumora::selftestrequest::motionSources(), settings,
                 {QStringLiteral("--selftest-motion=/m")}),
            QStringLiteral("/m"));
}

} // namespace
