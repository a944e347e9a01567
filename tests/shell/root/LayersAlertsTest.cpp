#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/HeroZoom.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/root/AlertPresenter.h"
#include "app/shell/screens/UndoToastView.h"
#include "app/shell/transition/EntranceEffect.h"
#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/shell/root/RootViewFixture.h"
#include "tests/shell/support/PhotoPane.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

using lumora::AppStore;

namespace {

class LayersTest : public roottest::RootViewTest {
protected:
  ~LayersTest() override { platform::setReduceMotionOverride(std::nullopt); }

  /// Opens the detail of a group while selecting or not and says how its entrance moves:
  /// the offset it slides in from, or none when the results' picture dissolves into it;
  /// (-1, -1) when nothing animates.
  QPointF detailEntranceOffset(bool selecting) {
    view();
    rig.state().setGroups(storetest::groups(2));
    rig.store->setIsSelecting(selecting);
    rig.store->setDetailGroupID(rig.store->groups().front().id);
    QWidget *detail = view().detailView();
    if (auto *effect = qobject_cast<lumora::EntranceEffect *>(detail->graphicsEffect())) {
      return effect->offset();
    }
    const auto *exit = detail->parentWidget()->findChild<lumora::LeavingPicture *>();
    return exit != nullptr && exit->geometry() == detail->geometry() ? QPointF() : QPointF(-1, -1);
  }
};

/// Points the stand-in photo library at a folder of the test, for the test's duration.
class LibraryLocation {
public:
  explicit LibraryLocation(const std::filesystem::path &location) {
    const char *saved = std::getenv("LUMORA_PHOTO_LIBRARY");
    m_saved = saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("LUMORA_PHOTO_LIBRARY", location.c_str(), 1);
  }
  ~LibraryLocation() {
    m_saved ? (void)::setenv("LUMORA_PHOTO_LIBRARY", m_saved->c_str(), 1)
            : (void)::unsetenv("LUMORA_PHOTO_LIBRARY");
  }

private:
  std::optional<std::string> m_saved;
};

} // namespace

TEST_F(LayersTest, theToastLiesAboveThePreview) {
  view();
  rig.state().setGroups(storetest::groups(1));
  rig.store->setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "g0-0", 0});
  rig.store->setUndoToast(AppStore::UndoToast{QUuid::createUuid(), "已清理", "", false, {}});
  QWidget *preview = view().previewView();
  QWidget *toast = view().toastView();
  ASSERT_TRUE(preview && toast);
  const QObjectList order = view().children();
  EXPECT_GT(order.indexOf(toast), order.indexOf(preview));
  const QRect card = view().toastView()->cardRect().translated(toast->pos());
  EXPECT_LE(card.width(), view().width() - 40);
  EXPECT_EQ(card.bottom() + 1, view().height() - 18);
  EXPECT_NEAR(card.center().x(), view().width() / 2, 1);
  rig.store->setUndoToast(std::nullopt);
  EXPECT_EQ(view().toastView(), nullptr);
}

TEST_F(LayersTest, theDetailSlidesInOnlyWhileSelecting) {
  EXPECT_EQ(detailEntranceOffset(true), QPointF(view().width(), 0));
}

TEST_F(LayersTest, theDetailOnlyFadesWhenNotSelecting) {
  EXPECT_EQ(detailEntranceOffset(false), QPointF());
}

TEST_F(LayersTest, theDetailNeverSlidesUnderReducedMotion) {
  platform::setReduceMotionOverride(true);
  EXPECT_EQ(detailEntranceOffset(true), QPointF());
}

TEST_F(LayersTest, aCardAndItsDetailTileRegisteredAsAPairFlyWhenTheDetailOpens) {
  factory.resultsView = [](AppStore &, lumora::HeroNamespace *hero, QWidget *parent) {
    auto *grid = new QWidget(parent);
    auto *card = new PhotoPane(grid, Qt::red, {20, 20, 120, 90});
    lumora::heroZoom::source(card, hero, QStringLiteral("g0-0"), true);
    return grid;
  };
  factory.groupDetail = [](AppStore &, const std::string &id, lumora::HeroNamespace *hero,
                           QWidget *parent) {
    auto *detail = new QWidget(parent);
    auto *tile = new PhotoPane(detail, Qt::red, {200, 100, 300, 220});
    lumora::heroZoom::destination(tile, hero, QString::fromStdString(id), true);
    return detail;
  };
  view();
  rig.state().setItems({storetest::photo("/p/a")});
  rig.state().setGroups(storetest::groups(1));
  rig.state().setPhase(AppStore::Phase::ready());
  roottest::spin(50);
  rig.store->setDetailGroupID(std::string("g0-0"));
  EXPECT_TRUE(
      roottest::waitFor([&] { return view().heroNamespace()->overlay()->isFlying(); }, 2000));
}

TEST_F(LayersTest, closingTheSheetWritesTheStore) {
  view();
  rig.store->setShowsInfoCenter(true);
  QDialog *sheet = nullptr;
  ASSERT_TRUE(roottest::waitFor([&] {
    sheet = window()->findChild<QDialog *>();
    return sheet && sheet->isVisible();
  }));
  QTest::keyClick(sheet, Qt::Key_Escape);
  ASSERT_TRUE(roottest::waitFor([&] { return !rig.store->showsInfoCenter(); }));
}

TEST_F(LayersTest, aLibraryDenialOverFolderResultsRetriesAndOpensTheLibrarysSettings) {
  const LibraryLocation library(rig.temp.path() / "Library");
  ASSERT_TRUE(platform::photoauthorization::setStatus(rig.temp.path() / "Library",
                                                      platform::AuthorizationStatus::denied));
  rig.writeBurst("a", 1, 3);
  view();
  rig.store->chooseFolder();
  ASSERT_TRUE(rig.waitForPhase(AppStore::Phase::Kind::ready));
  rig.store->openLibrary();
  lumora::AlertPresenter &alerts = *view().alerts();
  ASSERT_TRUE(roottest::waitFor([&] { return alerts.box() != nullptr; }));
  const QUuid first = rig.store->alert()->id;
  QTest::mouseClick(roottest::buttonTitled(alerts.box(), "重试"), Qt::LeftButton);
  // The retry asked the library again (denied again: a new alert), not the folder.
  ASSERT_TRUE(roottest::waitFor([&] { return alerts.box() && rig.store->alert()->id != first; }));
  EXPECT_EQ(rig.store->phase().kind, AppStore::Phase::Kind::ready);
  EXPECT_EQ(rig.store->sourceKind(), AppStore::SourceKind::folder);
  QTest::mouseClick(roottest::buttonTitled(alerts.box(), "打开图库权限设置"), Qt::LeftButton);
  ASSERT_FALSE(rig.settingsTargets.isEmpty());
  EXPECT_EQ(rig.settingsTargets.first(), QStringLiteral("Privacy_Photos"));
  EXPECT_FALSE(rig.store->alert());
}
