// The undo toast: both forms, its size within the host's width, close and undo over a real
// clean-up in the test's own Trash.
#include "app/shell/screens/UndoToastView.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/root/ToastSlot.h"
#include "app/shell/screens/SymbolButton.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Texts.h"
#include "tests/shell/support/ScreenFixture.h"
#include "tests/store/support/ToastLifetimes.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <map>

using namespace lumora;
using namespace shelltest;
namespace fs = std::filesystem;

namespace {

QByteArray bytesOf(const fs::path &path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AppStore::UndoToast toast(QString message, QString detail, bool canUndo) {
  return {QUuid::createUuid(), std::move(message), std::move(detail), canUndo, std::nullopt};
}

} // namespace

class UndoToastViewTest : public ScreenFixture {
protected:
  /// Scans two bursts of three and cleans up the first group; returns its removed photos'
  /// bytes by path.
  std::map<fs::path, QByteArray> scanAndCleanUp() {
    writeBurst("a-", 1, 3, 1'700'000'000);
    writeBurst("b-", 13, 3, 1'700'200'000);
    store().chooseFolder();
    EXPECT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
    EXPECT_EQ(store().groups().size(), 2u)
        << store().items().size() << " items; groups of "
        << (store().groups().empty() ? 0 : store().groups()[0].count());
    return cleanUpFirstGroup();
  }
  std::map<fs::path, QByteArray> cleanUpFirstGroup() {
    std::map<fs::path, QByteArray> removed;
    const PhotoGroup group = store().groups().at(0);
    for (std::size_t i = 1; i < group.items.size(); ++i) {
      const fs::path path(group.items[i].id);
      removed[path] = bytesOf(path);
    }
    const QUuid before = store().undoToast() ? store().undoToast()->id : QUuid();
    store().cleanup(group);
    EXPECT_TRUE(waitFor([&] { return store().undoToast() && store().undoToast()->id != before; }));
    return removed;
  }
  UndoToastView *showToast() {
    m_view = new UndoToastView(store(), *store().undoToast());
    QObject::connect(&store(), &AppStore::undoToastChanged, m_view, [this] {
      if (store().undoToast()) {
        m_view->setToast(*store().undoToast());
      }
    });
    return host(m_view, m_view->sizeFor(600));
  }
  QAbstractButton *undoButton() const { return m_view->undoButton(); }

  UndoToastView *m_view = nullptr;
};

TEST_F(UndoToastViewTest, bothFormsShowTheirIconAndOnlyTheUndoFormItsButton) {
  m_view = host(new UndoToastView(store(), toast("已清理 2 张照片", "移入废纸篓（可恢复）", true)));
  auto *icon = m_view->findChildren<QLabel *>().front();
  EXPECT_EQ(icon->property("symbol").toString(), "trash.circle.fill");
  EXPECT_TRUE(undoButton()->isVisible());
  EXPECT_EQ(undoButton()->text(), "撤销");
  EXPECT_EQ(static_cast<ThemedButton *>(undoButton())->buttonStyle(),
            ThemedButton::Style::prominent);
  m_view->setToast(toast("已恢复 2 张照片", "已重新扫描刷新结果", false));
  EXPECT_EQ(icon->property("symbol").toString(), "checkmark.circle.fill");
  EXPECT_FALSE(undoButton()->isVisible());
  EXPECT_TRUE(m_view->closeButton()->isVisible());
}

// The exit fade draws a picture of the toast: its shadow margin must stay clear, not filled
// with the window's background; the card must hide the photos under it.
TEST_F(UndoToastViewTest, itsPictureLeavesTheShadowMarginClearAndItsCardIsOpaqueEnough) {
  m_view = host(new UndoToastView(store(), toast("已清理 2 张照片", "移入废纸篓（可恢复）", true)));
  const QImage picture = m_view->grab().toImage();
  EXPECT_EQ(qAlpha(picture.pixel(1, 1)), 0);
  const QRect card = m_view->cardRect();
  EXPECT_GE(qAlpha(picture.pixel(card.left() + 4, card.center().y())), 240);
}

TEST_F(UndoToastViewTest, aLongMessageWrapsWithinTheHostsWidthAndTheDetailStaysOneLine) {
  const QString message = QString(120, QChar(0x7167));
  const QString detail = QString(200, QLatin1Char('d'));
  m_view = new UndoToastView(store(), toast(message, detail, true));
  const QSize narrow = m_view->sizeFor(420);
  host(m_view, narrow);
  spin(20);
  EXPECT_EQ(m_view->cardRect().width(), 420);
  auto *messageLabel = m_view->findChild<QLabel *>("message");
  EXPECT_GT(messageLabel->height(), 3 * messageLabel->fontMetrics().height());
  auto *detailLabel = m_view->findChild<ShrinkingLabel *>("detail");
  EXPECT_LT(detailLabel->shownText().size(), detail.size());
  EXPECT_LT(detailLabel->height(), 2 * detailLabel->fontMetrics().height());
  const QSize wide = m_view->sizeFor(4000);
  EXPECT_LT(m_view->sizeFor(4000).width() - narrow.width(), 4000 - 420);
  EXPECT_EQ(wide.height(), m_view->sizeFor(5000).height());
}

TEST_F(UndoToastViewTest, closeClearsAtOnceAndTheOldTimerNeverClearsALaterToast) {
  const storetest::ToastLifetimes toasts(store());
  scanAndCleanUp();
  showToast();
  QTest::mouseClick(m_view->closeButton(), Qt::LeftButton);
  EXPECT_FALSE(store().undoToast().has_value());
  spin(1500);
  cleanUpFirstGroup();
  ASSERT_TRUE(store().undoToast().has_value());
  const QUuid later = store().undoToast()->id;
  // The first toast's 6 s end while the later one is shown; it stays until its own time is up.
  ASSERT_TRUE(waitFor([&] { return !store().undoToast().has_value(); }, 30000));
  EXPECT_GE(toasts.lifetime(later).value_or(0), 5990);
}

TEST_F(UndoToastViewTest, undoRestoresTheFilesByteForByteAndShowsTheShortToast) {
  const std::map<fs::path, QByteArray> removed = scanAndCleanUp();
  ASSERT_EQ(removed.size(), 2u);
  for (const auto &[path, bytes] : removed) {
    ASSERT_FALSE(fs::exists(path));
  }
  showToast();
  QTest::mouseClick(undoButton(), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] {
    return store().undoToast() && store().undoToast()->message == texts::restoredText(2);
  }));
  EXPECT_FALSE(store().undoToast()->canUndo);
  for (const auto &[path, bytes] : removed) {
    EXPECT_EQ(bytesOf(path), bytes) << path;
  }
}

TEST_F(UndoToastViewTest, aFailedUndoLeavesTheCardAndRaisesAnAlert) {
  engineServices.restoreFromTrash = [](const std::string &, const std::string &,
                                       const std::optional<platform::FileIdentity> &) {
    return platform::trash::RestoreResult{platform::trash::RestoreStatus::failed,
                                          {platform::trash::Problem::Kind::system, EROFS}};
  };
  scanAndCleanUp();
  const AppStore::UndoToast shown = *store().undoToast();
  showToast();
  QTest::mouseClick(undoButton(), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return store().alert().has_value(); }));
  EXPECT_EQ(store().alert()->title, "撤销失败");
  ASSERT_TRUE(store().undoToast().has_value());
  EXPECT_EQ(*store().undoToast(), shown);
  EXPECT_TRUE(m_view->isVisible());
  EXPECT_TRUE(undoButton()->isVisible());
}

TEST_F(UndoToastViewTest, aToastIsOneTabAwayFromTheControlThatHasTheKeys) {
  QWidget window;
  window.resize(600, 400);
  QPushButton first(QStringLiteral("a"), &window);
  QPushButton second(QStringLiteral("b"), &window);
  second.move(0, 40);
  ToastSlot slot(store(), &window);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  first.setFocus(Qt::TabFocusReason);
  store().setUndoToast(toast(QStringLiteral("已清理 2 张"), QStringLiteral("d"), true));
  ASSERT_NE(slot.view(), nullptr);
  QTest::keyClick(&first, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), slot.view()->undoButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), slot.view()->closeButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &second);
}
