#include "tests/store/support/StoreFixture.h"

using namespace lumora;
using namespace storetest;

using AppStoreNavigation = StoreFixture;

namespace {

std::optional<bool> toggleAndWait(AppStore &store, const PhotoItem &item) {
  std::optional<bool> answer;
  store.toggleFavorite(item, [&answer](bool state) { answer = state; });
  if (!waitFor([&] { return answer.has_value(); })) {
    return std::nullopt;
  }
  return answer;
}

} // namespace

TEST_F(AppStoreNavigation, aFavouriteIsPatchedIntoThePhotoAndEveryGroupHoldingIt) {
  const PhotoGroup first = group("a", 3);
  PhotoGroup second("b0", {photo("b0"), first.items[1]}); // shares a1
  state().setItems(first.items);
  state().setGroups({first, second, group("c", 2)});
  const PhotoItem target = first.items[1];
  ASSERT_EQ(toggleAndWait(store(), target), true);
  EXPECT_TRUE(store().items()[1].isFavorite);
  EXPECT_FALSE(store().items()[0].isFavorite);
  ASSERT_EQ(store().groups().size(), 3u);
  EXPECT_EQ(store().groups()[0].id, "a0");
  EXPECT_EQ(store().groups()[1].id, "b0");
  EXPECT_EQ(store().groups()[2].id, "c0");
  EXPECT_TRUE(store().groups()[0].items[1].isFavorite);
  EXPECT_TRUE(store().groups()[1].items[1].isFavorite);
  EXPECT_EQ(store().groups()[1].bestID, "b0");
  EXPECT_FALSE(store().alert());
}

TEST_F(AppStoreNavigation, aFailedFavouriteKeepsTheOldStateAndExplainsItself) {
  const PhotoGroup shown = group("a", 2);
  state().setItems(shown.items);
  state().setGroups({shown});
  engine->failFavorites(EngineCallError::fromEngine(EngineError::file(QStringLiteral("写入失败"))));
  ASSERT_EQ(toggleAndWait(store(), shown.items[0]), false);
  EXPECT_FALSE(store().items()[0].isFavorite);
  EXPECT_EQ(store().groups()[0], shown);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, QStringLiteral("收藏没能保存"));
  EXPECT_TRUE(store().alert()->message.startsWith(QStringLiteral("写入失败\n\n")));
  EXPECT_FALSE(store().alert()->message.contains(QStringLiteral("App"))); // renamed for Linux
  EXPECT_FALSE(store().alert()->showsRetryButton);
  EXPECT_FALSE(store().alert()->showsSettingsButton);
}

TEST_F(AppStoreNavigation, openDetailFocusesTheBestPhotoOrNothing) {
  store().openDetail(group("a", 3));
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("a0"));
  EXPECT_EQ(store().focusedPhotoID(), std::optional<std::string>("a0"));
  store().openDetail(PhotoGroup("empty", {}));
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("empty"));
  EXPECT_FALSE(store().focusedPhotoID());
}

TEST_F(AppStoreNavigation, openPreviewNeedsAPhotoOfTheGroup) {
  const PhotoGroup shown = group("a", 3);
  state().setGroups({shown});
  store().openPreview(shown, "a2");
  ASSERT_TRUE(store().previewContext());
  const AppStore::PreviewContext opened = *store().previewContext();
  EXPECT_EQ(opened.groupID, "a0");
  EXPECT_EQ(opened.index, 2);
  store().openPreview(shown, "elsewhere");
  EXPECT_EQ(store().previewContext(), opened);
  store().openPreview(shown, "a2");
  EXPECT_NE(store().previewContext()->id, opened.id); // every opening is a new one
}

TEST_F(AppStoreNavigation, previewSteppingWrapsAndKeepsTheContextsIdentity) {
  const PhotoGroup shown = group("a", 3);
  state().setGroups({shown, group("single", 1)});
  store().openPreview(shown, "a0");
  const QUuid id = store().previewContext()->id;
  store().previewStep(-1);
  EXPECT_EQ(store().previewContext()->index, 2);
  store().previewStep(1);
  EXPECT_EQ(store().previewContext()->index, 0);
  store().previewStep(4);
  EXPECT_EQ(store().previewContext()->index, 1);
  store().previewStep(std::numeric_limits<std::int64_t>::min());
  EXPECT_GE(store().previewContext()->index, 0);
  EXPECT_EQ(store().previewContext()->id, id);

  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "single0", 0});
  store().previewStep(1);
  EXPECT_EQ(store().previewContext()->index, 0);
  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "vanished", 1});
  store().previewStep(1);
  EXPECT_EQ(store().previewContext()->index, 1);
}

TEST_F(AppStoreNavigation, settingsTargetsAreTriedInOrderUntilOneOpens) {
  store().openPrivacySettings(AppStore::SourceKind::library);
  EXPECT_EQ(openedTargets,
            (QStringList{QStringLiteral("Privacy_Photos"), QStringLiteral("Privacy_AllFiles"),
                         QStringLiteral("Security")}));
  openedTargets.clear();
  openableTargets = {QStringLiteral("Privacy_FilesAndFolders")};
  store().openPrivacySettings(AppStore::SourceKind::folder);
  EXPECT_EQ(openedTargets, QStringList{QStringLiteral("Privacy_FilesAndFolders")});
  openedTargets.clear();
  store().openSettings({QString(), QStringLiteral("Privacy_AllFiles")}, QString());
  EXPECT_EQ(openedTargets, QStringList{QStringLiteral("Privacy_AllFiles")});
}
