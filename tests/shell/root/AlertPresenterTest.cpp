#include "app/shell/root/AlertPresenter.h"
#include "tests/shell/root/RootTestSupport.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using lumora::AlertPresenter;
using lumora::AppStoreTypes;
using Source = AppStoreTypes::SourceKind;

namespace {

AppStoreTypes::AlertContent alert(const QString &title, bool retry, bool settings,
                                  Source source = Source::folder) {
  return {QUuid::createUuid(),    title, QStringLiteral("message"), retry, settings,
          QStringLiteral("重试"), source};
}

class AlertPresenterTest : public ::testing::Test {
protected:
  AlertPresenterTest() {
    window.resize(900, 600);
    window.show();
  }

  roottest::StoreRig rig;
  QWidget window;
  AlertPresenter presenter{*rig.store, &window};
};

} // namespace

TEST_F(AlertPresenterTest, retrySettingsAndOkInThatOrderOnlyOkWithoutEither) {
  rig.store->setAlert(alert("t", true, true, Source::library));
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() && presenter.box()->isVisible(); }));
  EXPECT_EQ(presenter.box()->windowModality(), Qt::WindowModal);
  QPushButton *retry = roottest::buttonTitled(presenter.box(), "重试");
  QPushButton *settings = roottest::buttonTitled(presenter.box(), "打开图库权限设置");
  QPushButton *ok = roottest::buttonTitled(presenter.box(), "好");
  ASSERT_TRUE(retry && settings && ok);
  EXPECT_LT(retry->x(), settings->x());
  EXPECT_LT(settings->x(), ok->x());
  EXPECT_EQ(AlertPresenter::settingsTitle(Source::folder), QStringLiteral("打开系统设置"));
  rig.store->setAlert(std::nullopt);
  rig.store->setAlert(alert("t", false, false));
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() != nullptr; }));
  EXPECT_EQ(presenter.box()->buttons().size(), 1);
}

TEST_F(AlertPresenterTest, theBoxStaysCentredOnTheWindowWhileTheWindowIsPlaced) {
  window.move(40, 30);
  rig.store->setAlert(alert("t", false, false));
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() && presenter.box()->isVisible(); }));
  const QMessageBox *box = presenter.box();
  const auto centred = [&] {
    return (box->frameGeometry().center() - window.frameGeometry().center()).manhattanLength() <= 2;
  };
  EXPECT_TRUE(centred());
  // At start-up the window manager moves the window after the alert was raised over it.
  window.move(320, 210);
  EXPECT_TRUE(roottest::waitFor(centred));
  window.resize(1150, 780);
  EXPECT_TRUE(roottest::waitFor(centred));
}

TEST_F(AlertPresenterTest, aNewerAlertRaisedMeanwhileSurvivesTheDismissalAndShowsNext) {
  const auto first = alert("first", false, false);
  const auto second = alert("second", false, false);
  rig.store->setAlert(first);
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() != nullptr; }));
  rig.store->setAlert(second);
  EXPECT_EQ(presenter.box()->text(), QStringLiteral("first"));
  QTest::mouseClick(roottest::buttonTitled(presenter.box(), "好"), Qt::LeftButton);
  ASSERT_TRUE(rig.store->alert());
  EXPECT_EQ(rig.store->alert()->id, second.id);
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() != nullptr; }));
  EXPECT_EQ(presenter.box()->text(), QStringLiteral("second"));
  QTest::keyClick(presenter.box(), Qt::Key_Escape);
  EXPECT_FALSE(rig.store->alert());
  roottest::spin(20);
  EXPECT_EQ(presenter.box(), nullptr);
}

TEST_F(AlertPresenterTest, anAlertWithdrawnByTheStoreClosesItsBox) {
  rig.store->setAlert(alert("gone", false, false));
  ASSERT_TRUE(roottest::waitFor([&] { return presenter.box() != nullptr; }));
  rig.store->setAlert(std::nullopt);
  EXPECT_EQ(presenter.box(), nullptr);
}
