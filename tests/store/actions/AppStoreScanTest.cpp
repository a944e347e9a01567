#include "tests/store/support/StoreFixture.h"

#include "app/store/services/FolderAccess.h"
#include "tests/store/support/FileCapabilities.h"

#include <QFile>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;
using Phase = AppStore::Phase;
using Kind = AppStore::Failure::Kind;

namespace {

QUrl folderUrl(const fs::path &path) {
  return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

ScanProgress analyzing(std::int64_t done, std::int64_t total, QString name = {},
                       std::optional<double> eta = std::nullopt) {
  ScanProgress progress;
  progress.phase = ScanPhase::analyzing;
  progress.done = done;
  progress.total = total;
  progress.currentName = std::move(name);
  progress.eta = eta;
  return progress;
}

EngineCallError curatorError(CuratorError error) {
  return EngineCallError::fromEngine(EngineError::fromCurator(std::move(error)));
}

// Two photos taken at the same time (one group) and one alone.
std::vector<PhotoItem> twoAndOne(const std::string &prefix) {
  return {photo(prefix + "a", 1000, 100), photo(prefix + "b", 1000, 100),
          photo(prefix + "c", 1000, 500)};
}

} // namespace

class AppStoreScan : public StoreFixture {
protected:
  /// Starts a resetting scan of a fresh folder through the folder picker.
  fs::path startFolderScan(const std::string &name = "photos") {
    const fs::path folder = temp.path() / name;
    fs::create_directories(folder);
    pickedFolder = folderUrl(folder);
    store().chooseFolder();
    return folder;
  }

  bool waitForPhase(Phase::Kind kind) {
    return waitFor([&] { return store().phase().kind == kind; });
  }

  testsupport::TempDir temp;
};

TEST_F(AppStoreScan, bootstrapPrefersTheQaFolderAndRunsOnce) {
  const fs::path qaFolder = temp.path() / "qa";
  fs::create_directories(qaFolder);
  qaDir.write("corvale-qa-folder", qaFolder.string() + "\n");
  FolderAccess::store(folderUrl(temp.path()));
  store().bootstrap();
  ASSERT_TRUE(engine->waitForScans(1));
  EXPECT_EQ(engine->scannedFolder(0), folderUrl(qaFolder));
  EXPECT_EQ(store().phase(), Phase::scanning());
  store().bootstrap();
  spin(50);
  EXPECT_EQ(engine->scanCount(), 1);
}

TEST_F(AppStoreScan, bootstrapIgnoresAQaMarkerNamingAFileAndUsesTheBookmark) {
  const fs::path file = temp.write("not-a-folder", "x");
  qaDir.write("corvale-qa-folder", file.string());
  const fs::path remembered = temp.path() / "remembered";
  fs::create_directories(remembered);
  FolderAccess::store(folderUrl(remembered));
  store().bootstrap();
  ASSERT_TRUE(engine->waitForScans(1));
  EXPECT_EQ(engine->scannedFolder(0), folderUrl(remembered));
  EXPECT_EQ(store().folderURL(), folderUrl(remembered));
}

TEST_F(AppStoreScan, bootstrapForgetsAVanishedLastFolderAndStaysIdleForGood) {
  userdefaults::open().setValue(QStringLiteral("Lumora.lastFolderPath"),
                                QString::fromStdString((temp.path() / "gone").string()));
  store().bootstrap();
  EXPECT_EQ(store().phase(), Phase::idle());
  EXPECT_FALSE(userdefaults::open().contains(QStringLiteral("Lumora.lastFolderPath")));
  // Something to scan appears later: a second bootstrap still does nothing.
  userdefaults::open().setValue(QStringLiteral("Lumora.lastFolderPath"),
                                QString::fromStdString(temp.path().string()));
  store().bootstrap();
  spin(50);
  EXPECT_EQ(engine->scanCount(), 0);
}

TEST_F(AppStoreScan, bootstrapScansAnExistingLastFolderPath) {
  userdefaults::open().setValue(QStringLiteral("Lumora.lastFolderPath"),
                                QString::fromStdString(temp.path().string()));
  store().bootstrap();
  ASSERT_TRUE(engine->waitForScans(1));
  EXPECT_EQ(engine->scannedFolder(0), folderUrl(temp.path()));
}

TEST_F(AppStoreScan, chooseFolderAsksWithTheFolderTextsAndCancelChangesNothing) {
  store().chooseFolder();
  ASSERT_EQ(pickerRequests.size(), 1u);
  EXPECT_EQ(pickerRequests[0].title, QStringLiteral("选择照片文件夹"));
  EXPECT_EQ(pickerRequests[0].prompt, QStringLiteral("开始整理"));
  EXPECT_FALSE(pickerRequests[0].startDirectory);
  EXPECT_EQ(store().phase(), Phase::idle());

  const fs::path folder = startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  EXPECT_EQ(userdefaults::open().value(QStringLiteral("Lumora.lastFolderPath")).toString(),
            QString::fromStdString(folder.string()));
  store().chooseFolder();
  EXPECT_EQ(pickerRequests.back().startDirectory, folderUrl(folder));
}

TEST_F(AppStoreScan, finishedScanPublishesPhotosGroupsAndReady) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, resultOf(twoAndOne("/p/")));
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  EXPECT_EQ(store().items().size(), 3u);
  ASSERT_EQ(store().groups().size(), 1u); // the lone photo forms no group
  EXPECT_EQ(store().groups()[0].count(), 2);
  EXPECT_FALSE(store().progress());
  EXPECT_FALSE(store().isPaused());
  EXPECT_EQ(store().phaseToken(), QStringLiteral("ready-false-false-false"));
}

TEST_F(AppStoreScan, supersededScanResultBatchesAndProgressNeverReachTheStore) {
  engine->setOnStop(FakeEngineClient::OnStop::partialResult);
  startFolderScan("first");
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, {photo("/first/1")});
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 1; }));
  startFolderScan("second");
  ASSERT_TRUE(engine->waitForScans(2));
  // The first scan, stopped by the second, returns its partial result; it is dropped, as
  // are its late batches and progress.
  engine->deliver(0, {photo("/first/2")});
  engine->report(0, analyzing(5, 10));
  engine->report(1, analyzing(1, 3));
  ASSERT_TRUE(waitFor([&] { return store().progress().has_value(); }));
  spin(300);
  EXPECT_TRUE(store().items().empty());
  EXPECT_EQ(store().progress()->total, 3);
  EXPECT_EQ(store().phase(), Phase::scanning());
  EXPECT_FALSE(store().lastResult());
}

TEST_F(AppStoreScan, supersededScanErrorChangesNothing) {
  startFolderScan("first");
  ASSERT_TRUE(engine->waitForScans(1));
  store().openLibrary(); // nothing while scanning
  spin(50);
  EXPECT_EQ(engine->authorizationCount(), 0);
  startFolderScan("second");
  ASSERT_TRUE(engine->waitForScans(2));
  engine->finish(0, Unexpected(curatorError(CuratorError::unreadable(QUrl()))));
  spin(200);
  EXPECT_EQ(store().phase(), Phase::scanning());
  EXPECT_FALSE(store().alert());
}

TEST_F(AppStoreScan, pauseEndingInAPartialResultLeavesReadyAndPaused) {
  engine->setOnStop(FakeEngineClient::OnStop::partialResult);
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, twoAndOne("/p/"));
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 3; }));
  SignalCounter requested(&store(), &AppStore::isPauseRequestedChanged);
  store().requestPause();
  store().requestPause();
  EXPECT_EQ(requested.count(), 1);
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  EXPECT_TRUE(store().isPaused());
  EXPECT_FALSE(store().isPauseRequested());
  EXPECT_TRUE(store().lastResult()->isPartial);
  EXPECT_EQ(store().groups().size(), 1u);
  EXPECT_EQ(store().phaseToken(), QStringLiteral("ready-true-false-false"));
}

TEST_F(AppStoreScan, pauseEndingInAnErrorRegroupsWhatArrivedAndLeavesReadyAndPaused) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, twoAndOne("/p/"));
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 3; }));
  store().requestPause();
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  EXPECT_TRUE(store().isPaused());
  EXPECT_FALSE(store().isPauseRequested());
  EXPECT_FALSE(store().alert());
  EXPECT_EQ(store().items().size(), 3u);
  EXPECT_EQ(store().groups().size(), 1u);
  EXPECT_FALSE(store().lastResult());
}

TEST_F(AppStoreScan, aScanStartedDuringThePausedRefreshKeepsItsScanningPhase) {
  startFolderScan("first");
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, twoAndOne("/p/"));
  ASSERT_TRUE(waitFor([&] { return store().groups().size() == 1; })); // the live regroup
  engine->holdGroups();
  store().requestPause();
  ASSERT_TRUE(waitFor([&] { return engine->groupCount() == 2; })); // the paused refresh
  startFolderScan("second");
  engine->releaseGroups();
  spin(200);
  EXPECT_EQ(store().phase(), Phase::scanning());
  EXPECT_FALSE(store().isPaused());
}

TEST_F(AppStoreScan, resumeKeepsTheResultsAndScansTheSameFolderAgain) {
  engine->setOnStop(FakeEngineClient::OnStop::partialResult);
  const fs::path folder = startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, twoAndOne("/p/"));
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 3; }));
  store().requestPause();
  ASSERT_TRUE(waitFor([&] { return store().isPaused(); }));
  const std::vector<PhotoGroup> shown = store().groups();
  store().resumeScan();
  ASSERT_TRUE(engine->waitForScans(2));
  EXPECT_EQ(engine->scannedFolder(1), folderUrl(folder));
  EXPECT_EQ(store().phase(), Phase::scanning());
  EXPECT_FALSE(store().isPaused());
  EXPECT_EQ(store().groups(), shown);
  EXPECT_EQ(store().items().size(), 3u);
  store().resumeScan(); // not paused any more: nothing
  spin(50);
  EXPECT_EQ(engine->scanCount(), 2);
}

TEST_F(AppStoreScan, engineErrorsFailWithTheAlertAndOnlyALibraryDenialOffersSettings) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, Unexpected(curatorError(CuratorError::unreadable(QUrl()))));
  ASSERT_TRUE(waitForPhase(Phase::Kind::failed));
  EXPECT_EQ(store().phase().failure.kind, Kind::permissionDenied);
  ASSERT_TRUE(store().alert());
  EXPECT_TRUE(store().alert()->showsRetryButton);
  EXPECT_FALSE(store().alert()->showsSettingsButton);
  EXPECT_EQ(store().alert()->retryTitle, QStringLiteral("重试"));

  store().retry();
  ASSERT_TRUE(engine->waitForScans(2));
  engine->finish(1, Unexpected(EngineCallError::fromEngine(
                        EngineError::fromLibrary(EngineError::LibraryKind::denied, {}))));
  ASSERT_TRUE(waitFor([&] { return store().phase().failure.kind == Kind::libraryDenied; }));
  EXPECT_TRUE(store().alert()->showsSettingsButton);
}

TEST_F(AppStoreScan, anUnreadableFolderFailsBeforeTheEngineWithTheSettingsButton) {
  const fs::path folder = temp.path() / "locked";
  fs::create_directories(folder);
  ::chmod(folder.c_str(), 0);
  pickedFolder = folderUrl(folder);
  {
    const WithoutFileCapabilities unprivileged;
    if (!unprivileged.active()) {
      ::chmod(folder.c_str(), 0755);
      GTEST_SKIP() << "running as root and unable to drop the file capabilities";
    }
    store().chooseFolder();
  }
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(store().phase().kind, Phase::Kind::failed);
  EXPECT_EQ(store().phase().failure.kind, Kind::permissionDenied);
  EXPECT_TRUE(store().phase().failure.message.contains(QString::fromStdString(folder.string())));
  EXPECT_TRUE(store().alert()->showsSettingsButton);
  EXPECT_EQ(engine->scanCount(), 0);
}

TEST_F(AppStoreScan, aFileInPlaceOfTheFolderFailsBeforeTheEngineAsAnEmptyFolder) {
  std::ofstream(temp.path() / "file.jpg") << "x";
  pickedFolder = folderUrl(temp.path() / "file.jpg");
  store().chooseFolder();
  EXPECT_EQ(store().phase().kind, Phase::Kind::failed);
  EXPECT_EQ(store().phase().failure.kind, Kind::emptyFolder);
  EXPECT_FALSE(store().alert()->showsSettingsButton);
  EXPECT_EQ(engine->scanCount(), 0);
}

TEST_F(AppStoreScan, aFolderGoneSinceItWasChosenIsScannedAndEndsAsAnEmptyFolder) {
  std::ofstream(temp.path() / "file.jpg") << "x";
  // Gone outright, and gone with a file now where one of its parent folders was.
  for (const char *name : {"gone", "file.jpg/sub"}) {
    const QUrl folder = folderUrl(temp.path() / name);
    const int scans = engine->scanCount();
    pickedFolder = folder;
    store().chooseFolder();
    ASSERT_TRUE(engine->waitForScans(scans + 1)) << name;
    EXPECT_EQ(engine->scannedFolder(scans), folder) << name;
    engine->finish(scans, Unexpected(curatorError(CuratorError::noImagesFound(folder))));
    ASSERT_TRUE(waitForPhase(Phase::Kind::failed)) << name;
    EXPECT_EQ(store().phase().failure.kind, Kind::emptyFolder) << name;
    EXPECT_FALSE(store().alert()->showsSettingsButton) << name;
    store().setAlert(std::nullopt);
  }
}

TEST_F(AppStoreScan, retryOfAVanishedFolderOpensThePicker) {
  const fs::path folder = startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, Unexpected(curatorError(CuratorError::noImagesFound(folderUrl(folder)))));
  ASSERT_TRUE(waitForPhase(Phase::Kind::failed));
  EXPECT_EQ(store().phase().failure.kind, Kind::emptyFolder);
  fs::remove_all(folder);
  pickedFolder.reset();
  const std::size_t asked = pickerRequests.size();
  store().retry();
  EXPECT_EQ(pickerRequests.size(), asked + 1);
}

TEST_F(AppStoreScan, libraryDenialWithoutPhotosFailsAndWithPhotosOnlyAlertsAboutTheLibrary) {
  engine->setLibraryAuthorized(false);
  store().openLibrary();
  ASSERT_TRUE(waitForPhase(Phase::Kind::failed));
  EXPECT_EQ(store().phase().failure.kind, Kind::libraryDenied);
  EXPECT_EQ(store().sourceKind(), AppStore::SourceKind::library);
  EXPECT_TRUE(store().alert()->showsSettingsButton);

  // Folder results on screen, then a library denial.
  engine->setLibraryAuthorized(true);
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, resultOf(twoAndOne("/p/")));
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  store().setAlert(std::nullopt);
  engine->setLibraryAuthorized(false);
  store().openLibrary();
  ASSERT_TRUE(waitFor([&] { return store().alert().has_value(); }));
  EXPECT_EQ(store().phase(), Phase::ready());
  EXPECT_EQ(store().sourceKind(), AppStore::SourceKind::folder);
  EXPECT_EQ(store().items().size(), 3u);
  const AppStore::AlertContent alert = *store().alert();
  EXPECT_EQ(alert.source, AppStore::SourceKind::library);

  // Its retry asks for the library again instead of rescanning the folder on screen, and
  // its settings button opens the library's privacy settings first.
  const int asked = engine->authorizationCount();
  store().retryAlert(alert);
  ASSERT_TRUE(waitFor([&] { return engine->authorizationCount() == asked + 1; }));
  spin(50);
  EXPECT_EQ(engine->scanCount(), 1);
  EXPECT_EQ(store().items().size(), 3u);
  store().openPrivacySettings(alert.source);
  EXPECT_EQ(openedTargets.front(), QStringLiteral("Privacy_Photos"));
}

TEST_F(AppStoreScan, grantedLibraryAccessStartsALibraryScanKeepingTheFolder) {
  const fs::path folder = startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, resultOf(twoAndOne("/p/")));
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  store().openLibrary();
  ASSERT_TRUE(engine->waitForScans(2));
  EXPECT_TRUE(engine->scannedLibrary(1));
  EXPECT_EQ(store().sourceKind(), AppStore::SourceKind::library);
  EXPECT_EQ(store().folderURL(), folderUrl(folder));
  EXPECT_TRUE(store().items().empty());
}

TEST_F(AppStoreScan, progressIsPumpedOnlyWhenCountsOrPhaseChange) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  SignalCounter published(&store(), &AppStore::progressChanged);
  engine->report(0, analyzing(3, 10, QStringLiteral("a.jpg")));
  ASSERT_TRUE(waitFor([&] { return published.count() == 1; }));
  engine->report(0, analyzing(3, 10, QStringLiteral("b.jpg")));
  spin(300);
  EXPECT_EQ(published.count(), 1);
  EXPECT_EQ(store().progress()->currentName, QStringLiteral("a.jpg"));
  engine->report(0, analyzing(4, 10, QStringLiteral("c.jpg")));
  ASSERT_TRUE(waitFor([&] { return published.count() == 2; }));
}

TEST_F(AppStoreScan, remainingTimeIsHeldForHalfASecondAndClearedWithoutAnEstimate) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->report(0, analyzing(1, 10, {}, 90.0));
  ASSERT_TRUE(waitFor([&] { return store().smoothedETA() == 90.0; }));
  advance(std::chrono::milliseconds(400));
  engine->report(0, analyzing(2, 10, {}, 80.0));
  ASSERT_TRUE(waitFor([&] { return store().progress()->done == 2; }));
  EXPECT_EQ(store().smoothedETA(), 90.0);
  advance(std::chrono::milliseconds(100));
  ASSERT_TRUE(waitFor([&] { return store().smoothedETA() == 80.0; }));
  engine->report(0, analyzing(3, 10));
  ASSERT_TRUE(waitFor([&] { return !store().smoothedETA(); }));
}

TEST_F(AppStoreScan, partialBatchesMergeByIdAndRegroupAtMostTwiceASecond) {
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, {photo("/p/a", 1, 100), photo("/p/b", 1, 100)});
  ASSERT_TRUE(waitFor([&] { return store().groups().size() == 1; }));
  EXPECT_EQ(engine->groupCount(), 1);
  // Re-delivered photos replace their copies in place and schedule nothing.
  PhotoItem again = photo("/p/a", 2, 100);
  engine->deliver(0, {again, again});
  ASSERT_TRUE(waitFor([&] { return store().items()[0].fileSize == 2; }));
  EXPECT_EQ(store().items().size(), 2u);
  EXPECT_FALSE(store().isRegrouping());
  // New photos within 0.5 s of the last live regroup: merged, not regrouped.
  engine->deliver(0, {photo("/p/c", 1, 300), photo("/p/d", 1, 300)});
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 4; }));
  spin(200);
  EXPECT_EQ(engine->groupCount(), 1);
  advance(std::chrono::milliseconds(500));
  engine->deliver(0, {photo("/p/e", 1, 900)});
  ASSERT_TRUE(waitFor([&] { return store().groups().size() == 2; }));
  EXPECT_EQ(engine->groupCount(), 2);
}

TEST_F(AppStoreScan, qaHooksOpenDetailAndPreviewOnceGroupsExist) {
  qaDir.write("corvale-qa-detail", "");
  userdefaults::open().setValue(QStringLiteral("QaOpenPreview"), true);
  startFolderScan();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->finish(0, resultOf({photo("/p/lone")}));
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  // No groups: neither hook acts and both switches stay.
  EXPECT_TRUE(fs::exists(qaDir.file("corvale-qa-detail")));
  EXPECT_TRUE(userdefaults::open().contains(QStringLiteral("QaOpenPreview")));
  EXPECT_FALSE(store().detailGroupID());

  store().retry();
  ASSERT_TRUE(engine->waitForScans(2));
  engine->finish(1, resultOf(twoAndOne("/p/")));
  ASSERT_TRUE(waitForPhase(Phase::Kind::ready));
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("/p/a"));
  ASSERT_TRUE(store().previewContext());
  EXPECT_EQ(store().previewContext()->index, 0);
  EXPECT_FALSE(fs::exists(qaDir.file("corvale-qa-detail")));
  EXPECT_FALSE(userdefaults::open().contains(QStringLiteral("QaOpenPreview")));
}
