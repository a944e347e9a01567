// The group card over a real store: its states, pointer handling, strip, menu and clean-up.
#include "app/results/GroupCard.h"
#include "app/results/CleanupButton.h"
#include "app/results/GroupCardTexts.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/components/HeroNamespace.h"
#include "tests/results/support/ResultsFixture.h"
#include "tests/shell/support/FilmedFrames.h"

#include <QAction>
#include <QGraphicsOpacityEffect>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <limits>

using namespace lumora;
using namespace resultstest;

namespace {

constexpr int kCardWidth = 420;

QStringList actionTexts(const QMenu &menu) {
  QStringList texts;
  for (const QAction *action : menu.actions()) {
    texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
  }
  return texts;
}

QAction *actionNamed(const QMenu &menu, const QString &text) {
  for (QAction *action : menu.actions()) {
    if (action->text() == text) {
      return action;
    }
  }
  return nullptr;
}

} // namespace

class GroupCardTest : public ResultsFixture {
protected:
  GroupCard *showCard(const PhotoGroup &shown, int entryIndex = 0) {
    auto *card = new GroupCard(store(), nullptr, &window);
    card->setCellGeometry(QRect(QPoint(30, 30), QSize(kCardWidth, GroupCard::kHeight)));
    card->setGroup(shown, entryIndex);
    window.show();
    card->show();
    return card;
  }
  static QPoint inCard(const GroupCard &card, QPoint offset) {
    return card.cardRect().topLeft() + offset;
  }
  static QString toolTipAt(GroupCard &card, QPoint offset) {
    QToolTip::hideText();
    const QPoint at = inCard(card, offset);
    QHelpEvent help(QEvent::ToolTip, at, card.mapToGlobal(at));
    QApplication::sendEvent(&card, &help);
    return QToolTip::text();
  }
  static void hover(GroupCard &card, QPoint offset) {
    QTest::mouseMove(&card, inCard(card, offset));
    const QPoint at = inCard(card, offset);
    QMouseEvent move(QEvent::MouseMove, at, card.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&card, &move);
  }
};

TEST(GroupCardLookTest, theFirstMatchingStateWins) {
  EXPECT_EQ(GroupCardLook::of({.pressed = true, .exiting = true}).scale, 0.94);
  EXPECT_EQ(GroupCardLook::of({.pressed = true, .focused = true}).scale, 0.985);
  const GroupCardLook focusedHover = GroupCardLook::of({.hovering = true, .focused = true});
  EXPECT_EQ(focusedHover.scale, 1.012);
  EXPECT_EQ(focusedHover.shadowRadius, 18);
  EXPECT_EQ(focusedHover.offsetY, -2);
  EXPECT_EQ(GroupCardLook::of({.hovering = true, .focused = true, .reduceMotion = true}).offsetY,
            0);
  EXPECT_EQ(GroupCardLook::of({}).scale, 0.96);
  EXPECT_EQ(GroupCardLook::of({}).opacity, 0);
}

TEST(GroupCardLayoutTest, sixTilesThenAnOverflowTileThatCountsTheRest) {
  const auto at420 = [](int candidates) { return GroupCardLayout::make(kCardWidth, candidates); };
  EXPECT_EQ(at420(6).tiles.size(), 6u);
  EXPECT_TRUE(at420(6).overflow.isEmpty());
  EXPECT_EQ(at420(7).tiles.size(), 6u);
  EXPECT_EQ(at420(7).hiddenCount(7), 1);
  EXPECT_EQ(at420(19).hiddenCount(19), 13);
  EXPECT_EQ(at420(0).tiles.size(), 0u);
  // The narrowest card keeps the overflow tile inside the strip.
  const GroupCardLayout narrow = GroupCardLayout::make(GroupCard::kMinimumWidth, 19);
  EXPECT_LE(narrow.overflow.right(), narrow.strip.right());
  EXPECT_EQ(narrow.hiddenCount(19), 19 - static_cast<int>(narrow.tiles.size()));
}

// Narrower cards close the gaps between tiles (6 down to 2) before any tile goes to "+n".
TEST(GroupCardLayoutTest, gapsCloseUpBeforeTilesGoToTheOverflowTile) {
  struct Case {
    int width, candidates, tiles, spacing;
  };
  for (const Case c : {Case{380, 19, 6, 6}, Case{379, 19, 6, 5}, Case{356, 19, 6, 2},
                       Case{355, 19, 5, 6}, Case{342, 6, 6, 6}, Case{322, 6, 6, 2},
                       Case{321, 6, 5, 5}, Case{321, 5, 5, 6}, Case{300, 4, 4, 6}}) {
    const GroupCardLayout layout = GroupCardLayout::make(c.width, c.candidates);
    ASSERT_EQ(static_cast<int>(layout.tiles.size()), c.tiles) << c.width << " " << c.candidates;
    EXPECT_EQ(layout.tiles[1].left() - layout.tiles[0].right() - 1, c.spacing) << c.width;
    EXPECT_LE(std::max(layout.tiles.back().right(), layout.overflow.right()), layout.strip.right());
  }
}

TEST(GroupCardTextsTest, tooltipsByKindAndDamagedSharpness) {
  ASSERT_TRUE(localized::installTranslations());
  PhotoItem folder = photo("/p/IMG_1.jpg", 2'500'000);
  folder.sharpness = 123.9f;
  EXPECT_EQ(groupcardtexts::itemHelp(folder).split(QStringLiteral(" · ")).size(), 5);
  EXPECT_TRUE(
      groupcardtexts::itemHelp(folder).startsWith(QStringLiteral("IMG_1.jpg · 美学分 5（")));
  EXPECT_TRUE(groupcardtexts::itemHelp(folder).contains(QStringLiteral("清晰度 123 · ")));
  EXPECT_TRUE(groupcardtexts::itemHelp(folder).endsWith(QStringLiteral(" · 2.5 MB")));
  PhotoItem library = folder;
  library.localIdentifier = "asset-1";
  library.fileSize = 0;
  const QStringList parts = groupcardtexts::itemHelp(library).split(QStringLiteral(" · "));
  EXPECT_EQ(parts.size(), 4);
  EXPECT_EQ(parts.front(), QStringLiteral("图库照片"));
  EXPECT_EQ(groupcardtexts::sharpnessText(std::numeric_limits<float>::quiet_NaN()), "—");
  EXPECT_EQ(groupcardtexts::sharpnessText(-std::numeric_limits<float>::infinity()), "—");
  EXPECT_EQ(groupcardtexts::sharpnessText(1e30f),
            QString::number(std::numeric_limits<qint64>::max()));
  EXPECT_EQ(groupcardtexts::overflowText(13), QStringLiteral("+13"));
  EXPECT_EQ(groupcardtexts::menuReveal(), QStringLiteral("在文件管理器中显示最佳照片"));
  EXPECT_EQ(groupcardtexts::cleanupCaption(AppStore::SourceKind::library),
            QStringLiteral("进入图库的「最近删除」，照片文件会一直留在图库文件夹里"));
}

TEST_F(GroupCardTest, followsSelectionFocusAndExitFromTheStore) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  GroupCard *card = showCard(store().groups()[0]);
  store().enterSelectionMode();
  store().toggleSelection(store().groups()[0]);
  EXPECT_EQ(card->targetLook().selectedFill, 1);
  EXPECT_TRUE(card->accessibleName().endsWith(QStringLiteral("，已选中")));
  EXPECT_EQ(card->accessibleDescription(), QStringLiteral("点击选择该组"));
  store().toggleSelection(store().groups()[1]);
  store().setFocusedGroupID(std::string("/a/0"));
  EXPECT_EQ(card->targetLook().focusRing, 1);
  EXPECT_EQ(card->targetLook().shadowRadius, 18);
  AppStore::StateAccess(store()).setExitingGroupIDs({"/a/0"});
  EXPECT_EQ(card->targetLook().opacity, 0);
  EXPECT_EQ(card->targetLook().scale, 0.94);
  // Another group's changes leave the card alone.
  const GroupCardLook before = card->targetLook();
  store().setFocusedGroupID(std::string("/b/0"));
  EXPECT_EQ(card->targetLook().focusRing, 0);
  EXPECT_EQ(card->targetLook().scale, before.scale);
}

// The body is drawn once and shared between cards: its tint must still follow each card's
// own selection, at every width.
TEST_F(GroupCardTest, theBodyTintFollowsTheSelectionOfEachCard) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  GroupCard *card = showCard(store().groups()[0]);
  auto *other = new GroupCard(store(), nullptr, &window);
  other->setCellGeometry(QRect(QPoint(30, 30), QSize(kCardWidth - 60, GroupCard::kHeight)));
  other->setGroup(store().groups()[1], 1);
  other->show();
  // The left padding beside the title row: nothing but the body is painted there.
  const auto bodyColor = [](GroupCard *shown) {
    shown->finishAnimations();
    const QPoint at = shown->cardRect().topLeft() + QPoint(5, GroupCardLayout::kHeroHeight + 30);
    return shown->grab().toImage().pixelColor(at * shown->devicePixelRatioF());
  };
  const QColor plain = bodyColor(card);
  store().enterSelectionMode();
  store().toggleSelection(store().groups()[0]);
  const QColor selected = bodyColor(card);
  EXPECT_NE(selected, plain);
  EXPECT_EQ(bodyColor(other), plain);
  store().toggleSelection(store().groups()[1]);
  EXPECT_EQ(bodyColor(other), selected);
  store().toggleSelection(store().groups()[0]);
  EXPECT_EQ(bodyColor(card), plain);
}

TEST_F(GroupCardTest, scrollingHoldsBackTheHighlightAndTheCursorLeavesWithTheCard) {
  showGroups({group("/a/", 3)});
  GroupCard *card = showCard(store().groups()[0]);
  AppStore::StateAccess(store()).setIsScrolling(true);
  hover(*card, {100, 100});
  EXPECT_FALSE(card->isHovering());
  EXPECT_EQ(card->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(card->targetLook().borderOpacity, 0.07);
  AppStore::StateAccess(store()).setIsScrolling(false);
  hover(*card, {110, 100});
  EXPECT_TRUE(card->isHovering());
  AppStore::StateAccess(store()).setIsScrolling(true);
  EXPECT_FALSE(card->isHovering());
  EXPECT_EQ(card->cursor().shape(), Qt::PointingHandCursor);

  // Scrolled away or cleaned up under the pointer: no hand is left behind.
  card->hide();
  EXPECT_FALSE(card->testAttribute(Qt::WA_SetCursor));
  card->show();
  hover(*card, {100, 100});
  card->setGroup(group("/c/", 2), 0);
  EXPECT_FALSE(card->testAttribute(Qt::WA_SetCursor));
}

TEST_F(GroupCardTest, clicksOpenTheDetailOrSelectWithTheClicksOwnShift) {
  showGroups({group("/a/", 2), group("/b/", 2), group("/c/", 2)});
  GroupCard *first = showCard(store().groups()[0]);
  QTest::mouseClick(first, Qt::LeftButton, Qt::NoModifier, inCard(*first, {100, 80}));
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("/a/0"));
  EXPECT_FALSE(store().lastPressedGroupID());
  store().setDetailGroupID(std::nullopt);

  store().enterSelectionMode();
  QTest::mouseClick(first, Qt::LeftButton, Qt::NoModifier, inCard(*first, {100, 80}));
  auto *third = new GroupCard(store(), nullptr, &window);
  third->setCellGeometry(QRect(QPoint(500, 30), QSize(kCardWidth, GroupCard::kHeight)));
  third->setGroup(store().groups()[2], 2);
  third->show();
  // The title row answers too; the click carries Shift.
  QTest::mouseClick(third, Qt::LeftButton, Qt::ShiftModifier,
                    inCard(*third, {60, GroupCardLayout::kHeroHeight + 20}));
  EXPECT_EQ(store().selectedGroupIDs(), (std::unordered_set<std::string>{"/a/0", "/b/0", "/c/0"}));
  EXPECT_FALSE(store().detailGroupID());

  UISelfTest::setEnabledForTesting(true);
  QTest::mousePress(first, Qt::LeftButton, Qt::NoModifier, inCard(*first, {100, 80}));
  EXPECT_EQ(store().lastPressedGroupID(), std::optional<std::string>("/a/0"));
  EXPECT_TRUE(first->isPressed());
  QTest::mouseRelease(first, Qt::LeftButton, Qt::NoModifier, inCard(*first, {100, 80}));
  EXPECT_FALSE(store().lastPressedGroupID());
  UISelfTest::setEnabledForTesting(false);
}

TEST_F(GroupCardTest, theEntranceStaggersUpToThirtyGroupsAndNotBeyond) {
  std::vector<PhotoGroup> thirty = storetest::groups(30);
  showGroups(thirty);
  GroupCard *staggered = showCard(thirty[3], 3);
  EXPECT_FALSE(staggered->hasEntered());
  EXPECT_TRUE(waitFor([&] { return staggered->hasEntered(); }));

  std::vector<PhotoGroup> more = storetest::groups(31);
  showGroups(more);
  GroupCard *atOnce = showCard(more[3], 3);
  EXPECT_TRUE(atOnce->hasEntered());
}

TEST_F(GroupCardTest, theStripShowsSixTilesAndTellsWhatIsHidden) {
  showGroups({group("/s7/", 7), group("/s8/", 8), group("/s20/", 20)});
  const int tileY = GroupCardLayout::kHeroHeight + 12 + 19 + 10 + 20;
  const int overflowX = 12 + 6 * 54 + 16;
  GroupCard *seven = showCard(store().groups()[0]);
  EXPECT_TRUE(toolTipAt(*seven, {12 + 5 * 54 + 20, tileY}).startsWith(QStringLiteral("6 · ")));
  EXPECT_TRUE(seven->toolTipAt(inCard(*seven, {overflowX, tileY})).isEmpty());
  seven->setGroup(store().groups()[1], 0);
  EXPECT_EQ(toolTipAt(*seven, {overflowX, tileY}), QStringLiteral("还有 1 张候选照片"));
  seven->setGroup(store().groups()[2], 0);
  EXPECT_EQ(toolTipAt(*seven, {overflowX, tileY}), QStringLiteral("还有 13 张候选照片"));
  EXPECT_TRUE(toolTipAt(*seven, {100, 60}).startsWith(QStringLiteral("最佳项：0\n为什么选它：")));

  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  PhotoGroup library = group("/l/", 3, 0);
  for (PhotoItem &item : library.items) {
    item.localIdentifier = item.id;
  }
  seven->setGroup(library, 0);
  EXPECT_EQ(toolTipAt(*seven, {20, tileY}).split(QStringLiteral(" · ")).size(), 4);
}

// Thumbnails arriving and fading in repaint their own tiles over the face drawn with
// placeholders; the card must end up exactly like one drawn at once from the same images.
TEST_F(GroupCardTest, tilesRepaintedAsThumbnailsArriveMatchACardDrawnAtOnce) {
  writeBurst("t", 7, 5, 100);
  std::vector<PhotoItem> items;
  for (int i = 0; i < 5; ++i) {
    items.push_back(photo((photosFolder() / ("t" + std::to_string(i) + ".png")).string()));
  }
  showGroups({PhotoGroup(items.front().id, items)});
  // The photos' fades move only as the test steps the clock, one step per paint.
  filmtest::ManualClock clock;
  GroupCard *streamed = showCard(store().groups()[0]);
  streamed->finishAnimations();
  // Down to the button, whose focus may differ between the two cards.
  const QRect face(0, 0, streamed->width(),
                   streamed->cardRect().top() + GroupCardLayout::kHeroHeight + 12 + 19 + 10 + 48 +
                       10);
  (void)streamed->grab(); // the face with placeholders
  ASSERT_TRUE(waitFor([&] { return !streamed->isLoadingImages(); }));
  for (int step = 0; step < 40; ++step) { // the fades, painted step by step
    storetest::spin(5);
    clock.advanceBy(10);
  }
  storetest::spin(5);
  const QImage arrived = streamed->grab(face).toImage();

  GroupCard *atOnce = showCard(store().groups()[0]);
  EXPECT_FALSE(atOnce->isLoadingImages());
  atOnce->finishAnimations();
  EXPECT_EQ(atOnce->grab(face).toImage(), arrived);
}

// The button fades with its card from a snapshot of itself: it must look as an opacity
// effect over it draws it, also once its label and its hover changed during the fade.
TEST_F(GroupCardTest, aFadingButtonLooksAsAnOpacityEffectDrawsIt) {
  const auto fadedLook = [](bool effect) {
    QWidget host;
    host.resize(320, 40);
    auto *button = new CleanupButton(&host);
    button->setGeometry(10, 8, 300, 24);
    button->setLabel(QStringLiteral("移到废纸篓"), QStringLiteral("3 MB"));
    if (effect) {
      auto *opacity = new QGraphicsOpacityEffect(button);
      opacity->setOpacity(0.45);
      button->setGraphicsEffect(opacity);
    } else {
      button->setOpacity(0.45);
    }
    host.show();
    (void)host.grab();
    button->setLabel(QStringLiteral("移除 2 张"), QStringLiteral("12 MB"));
    QEvent enter(QEvent::HoverEnter);
    QApplication::sendEvent(button, &enter);
    return host.grab().toImage();
  };
  EXPECT_EQ(fadedLook(false), fadedLook(true));
}

TEST_F(GroupCardTest, theButtonAndMenuFollowTheCleanupAndSelectionRules) {
  showGroups({group("/a/", 3, 2000), group("/b/", 2)});
  GroupCard *card = showCard(store().groups()[0]);
  auto *button = qobject_cast<QPushButton *>(card->cleanupButton());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->accessibleName(), QStringLiteral("清理 2 张相似照片"));
  std::unique_ptr<QMenu> menu = card->makeContextMenu();
  EXPECT_EQ(actionTexts(*menu), (QStringList{"查看组详情", "--", "在文件管理器中显示最佳照片",
                                             "用默认应用打开最佳照片", "--", "清理其余 2 张…"}));
  actionNamed(*menu, QStringLiteral("在文件管理器中显示最佳照片"))->trigger();
  actionNamed(*menu, QStringLiteral("用默认应用打开最佳照片"))->trigger();
  EXPECT_EQ(opener.calls, (std::vector<std::string>{"reveal /a/0", "open /a/0"}));

  AppStore::StateAccess(store()).setCleaningGroupID(std::string("/b/0"));
  EXPECT_FALSE(button->isEnabled());
  auto *cleanup = qobject_cast<CleanupButton *>(button);
  EXPECT_FALSE(cleanup->isCleaning());
  EXPECT_EQ(cleanup->title(), QStringLiteral("清理其余 2 张"));
  EXPECT_FALSE(
      actionNamed(*card->makeContextMenu(), QStringLiteral("清理其余 2 张…"))->isEnabled());
  AppStore::StateAccess(store()).setCleaningGroupID(std::string("/a/0"));
  EXPECT_TRUE(cleanup->isCleaning());
  EXPECT_EQ(cleanup->title(), QStringLiteral("正在清理…"));
  AppStore::StateAccess(store()).setCleaningGroupID(std::nullopt);
  store().enterSelectionMode();
  EXPECT_FALSE(button->isEnabled());

  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  card->setGroup(group("/one/", 1, 0), 0);
  menu = card->makeContextMenu();
  EXPECT_EQ(actionTexts(*menu), (QStringList{"查看组详情", "--", "打开图库文件夹", "--"}));
  actionNamed(*menu, QStringLiteral("打开图库文件夹"))->trigger();
  EXPECT_EQ(opener.calls.back(), "library");
  EXPECT_FALSE(button->isEnabled());
}

TEST_F(GroupCardTest, confirmingMovesTheOthersToTheTrashAndCancelKeepsThem) {
  writeBurst("shot", 7, 3, 1'700'000'000, 160, 120);
  scanIntoGroupsByPrefix();
  ASSERT_EQ(store().groups().size(), 1u);
  GroupCard *card = showCard(store().groups()[0]);

  card->confirmCleanup();
  auto *dialog = card->findChild<QMessageBox *>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->text(), QStringLiteral("清理这 2 张照片？"));
  EXPECT_TRUE(card->showsConfirmation());
  dialog->reject();
  EXPECT_TRUE(waitFor([&] { return !card->showsConfirmation(); }));
  EXPECT_EQ(store().items().size(), 3u);

  card->confirmCleanup();
  dialog = card->findChild<QMessageBox *>();
  ASSERT_NE(dialog, nullptr);
  const auto buttons = dialog->buttons();
  const auto confirm = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton *b) {
    return dialog->buttonRole(b) == QMessageBox::DestructiveRole;
  });
  ASSERT_NE(confirm, buttons.end());
  EXPECT_TRUE((*confirm)->text().startsWith(QStringLiteral("移入废纸篓（")));
  (*confirm)->click();
  ASSERT_TRUE(waitFor([&] { return store().undoToast().has_value(); }));
  EXPECT_EQ(store().items().size(), 1u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(photosFolder()), {}), 1);
}

TEST_F(GroupCardTest, theHeroIsAZoomSourceOnlyOutsideSelectionAndWithFullMotion) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  HeroNamespace hero(&window);
  auto *card = new GroupCard(store(), &hero, &window);
  card->setCellGeometry(QRect(QPoint(30, 30), QSize(kCardWidth, GroupCard::kHeight)));
  card->setGroup(store().groups()[0], 0);
  EXPECT_EQ(hero.widgets(QStringLiteral("/a/0")).size(), 1);
  store().enterSelectionMode();
  EXPECT_TRUE(hero.widgets(QStringLiteral("/a/0")).isEmpty());
  store().exitSelectionMode();
  platform::setReduceMotionOverride(true);
  EXPECT_TRUE(hero.widgets(QStringLiteral("/a/0")).isEmpty());
  platform::setReduceMotionOverride(false);
  // A re-pointed card stands for its new group only.
  card->setGroup(store().groups()[1], 1);
  EXPECT_TRUE(hero.widgets(QStringLiteral("/a/0")).isEmpty());
  EXPECT_EQ(hero.widgets(QStringLiteral("/b/0")).size(), 1);
}

TEST(DesktopOpenerTest, fileUrisKeepEveryByteOfThePath) {
  EXPECT_EQ(platform::fileUri("/p/a b/IMG 1.jpg"), QByteArray("file:///p/a%20b/IMG%201.jpg"));
  // A name that is not UTF-8 reaches the desktop as the very same bytes.
  EXPECT_EQ(platform::fileUri(std::string("/p/\xff\xfe.jpg")), QByteArray("file:///p/%FF%FE.jpg"));
  EXPECT_EQ(QUrl::fromEncoded(platform::fileUri("/p/#1%.jpg")).path(QUrl::FullyDecoded),
            QStringLiteral("/p/#1%.jpg"));
}

TEST(GroupCardTextsTest, confirmationTextsBySource) {
  ASSERT_TRUE(localized::installTranslations());
  PhotoGroup shown = group("/c/", 3, 500'000);
  EXPECT_EQ(groupcardtexts::confirmTitle(AppStore::SourceKind::folder, 2),
            QStringLiteral("清理这 2 张照片？"));
  EXPECT_EQ(
      groupcardtexts::confirmMessage(AppStore::SourceKind::folder, shown),
      QStringLiteral(
          "会保留得分最高的「0」，其余 2 张移到废纸篓。之后可以在文件管理器的废纸篓里恢复。"));
  EXPECT_EQ(groupcardtexts::confirmButton(AppStore::SourceKind::folder, shown.reclaimableBytes()),
            QStringLiteral("移入废纸篓（1 MB）"));
  EXPECT_EQ(groupcardtexts::confirmMessage(AppStore::SourceKind::library, PhotoGroup{}),
            QStringLiteral("会保留得分最高的「这张照片」，其余 0 "
                           "张进入图库的「最近删除」，照片文件会一直留在图库文件夹里。"));
  EXPECT_EQ(groupcardtexts::titleReclaimable(group("/z/", 2, 0)), QString());
  EXPECT_EQ(groupcardtexts::menuCleanup(AppStore::SourceKind::library, 3),
            QStringLiteral("将 3 张照片移到「最近删除」…"));
}
