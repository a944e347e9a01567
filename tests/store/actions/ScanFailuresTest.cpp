#include "app/store/actions/ScanFailures.h"
#include "app/store/texts/Localized.h"

#include <gtest/gtest.h>

using namespace lumora;
using Kind = AppStoreTypes::Failure::Kind;
using SourceKind = AppStoreTypes::SourceKind;

namespace {

EngineCallError curator(CuratorError error) {
  return EngineCallError::fromEngine(EngineError::fromCurator(std::move(error)));
}
EngineCallError library(EngineError::LibraryKind kind) {
  return EngineCallError::fromEngine(EngineError::fromLibrary(kind, QStringLiteral("图库出错")));
}
const QUrl kFolder = QUrl::fromLocalFile(QStringLiteral("/home/u/照片"));

class ScanFailuresTable : public ::testing::Test {
protected:
  ScanFailuresTable() { localized::installTranslations(); }
};

} // namespace

TEST_F(ScanFailuresTable, libraryErrorsComeFirstWhateverTheSource) {
  for (SourceKind source : {SourceKind::folder, SourceKind::library}) {
    const auto denied = scanfailures::fromError(library(EngineError::LibraryKind::denied), source);
    EXPECT_EQ(denied.kind, Kind::libraryDenied);
    EXPECT_EQ(denied.title, QStringLiteral("没有「照片」图库的访问权限"));
    EXPECT_EQ(denied, scanfailures::libraryDenied());
    EXPECT_NE(denied.message, QStringLiteral("library.denied.message")); // the table has it
    const auto empty = scanfailures::fromError(library(EngineError::LibraryKind::empty), source);
    EXPECT_EQ(empty.kind, Kind::noImages);
    EXPECT_EQ(empty.title, QStringLiteral("「照片」图库中没有可分析的照片"));
    EXPECT_EQ(empty.message, QStringLiteral("「照片」图库里没有找到可分析的照片。"));
  }
  const auto other =
      scanfailures::fromError(library(EngineError::LibraryKind::other), SourceKind::library);
  EXPECT_EQ(other.kind, Kind::other);
  EXPECT_EQ(other.title, QStringLiteral("分析出错了"));
  EXPECT_EQ(other.message, QStringLiteral("图库出错"));
}

TEST_F(ScanFailuresTable, noImagesFoundDependsOnTheSource) {
  const auto folder =
      scanfailures::fromError(curator(CuratorError::noImagesFound(kFolder)), SourceKind::folder);
  EXPECT_EQ(folder.kind, Kind::emptyFolder);
  EXPECT_NE(folder.title, QStringLiteral("error.folder.empty.title"));
  EXPECT_TRUE(folder.message.contains(QStringLiteral("/home/u/照片")));
  const auto lib =
      scanfailures::fromError(curator(CuratorError::noImagesFound(kFolder)), SourceKind::library);
  EXPECT_EQ(lib.kind, Kind::noImages);
  EXPECT_EQ(lib.title, QStringLiteral("「照片」图库中没有可分析的照片"));
  EXPECT_FALSE(lib.message.contains(QStringLiteral("App"))); // renamed for Linux in the table
}

TEST_F(ScanFailuresTable, unreadableIsAPermissionFailureOnlyForAFolder) {
  const auto folder =
      scanfailures::fromError(curator(CuratorError::unreadable(kFolder)), SourceKind::folder);
  EXPECT_EQ(folder.kind, Kind::permissionDenied);
  EXPECT_EQ(folder.title, QStringLiteral("没有权限读取这个文件夹"));
  EXPECT_TRUE(folder.message.contains(QStringLiteral("/home/u/照片")));
  EXPECT_EQ(folder, scanfailures::folderUnreadable(QStringLiteral("/home/u/照片")));
  const auto lib =
      scanfailures::fromError(curator(CuratorError::unreadable(kFolder)), SourceKind::library);
  EXPECT_EQ(lib.kind, Kind::other);
  EXPECT_EQ(lib.title, QStringLiteral("有些照片无法读取"));
  EXPECT_FALSE(lib.message.contains(QStringLiteral("iCloud")));
}

TEST_F(ScanFailuresTable, cacheAndVisionFailuresKeepTheirOwnTexts) {
  const auto cache = scanfailures::fromError(
      curator(CuratorError::cacheWriteFailed(QStringLiteral("磁盘已满 100%"))), SourceKind::folder);
  EXPECT_EQ(cache.kind, Kind::other);
  EXPECT_EQ(cache.title, QStringLiteral("分析缓存写入失败"));
  EXPECT_EQ(cache.message,
            QStringLiteral(
                "照片分析结果没能保存到磁盘（磁盘已满 100%）。这不影响本次整理，可以继续使用。"));
  const auto vision =
      scanfailures::fromError(curator(CuratorError::visionUnavailable()), SourceKind::library);
  EXPECT_EQ(vision.kind, Kind::visionUnavailable);
  EXPECT_EQ(vision.title, QStringLiteral("当前系统不支持美学分析"));
  EXPECT_FALSE(vision.message.contains(QStringLiteral("macOS")));
  // Linux has no system upgrade that brings the analyzer: the remedy is our own install.
  EXPECT_FALSE(vision.message.contains(QStringLiteral("升级系统")));
  EXPECT_TRUE(vision.message.contains(QStringLiteral("重新安装 Pindle")));
}

TEST_F(ScanFailuresTable, systemPermissionErrorsAreDeniedAndAnythingElseIsOther) {
  for (std::errc code : {std::errc::permission_denied, std::errc::operation_not_permitted}) {
    const auto denied = scanfailures::fromError(
        EngineCallError::fromSystem(std::make_error_code(code), QStringLiteral("x")),
        SourceKind::folder);
    EXPECT_EQ(denied.kind, Kind::permissionDenied);
    EXPECT_EQ(denied.title, QStringLiteral("没有权限读取照片"));
    EXPECT_FALSE(denied.message.contains(QStringLiteral("系统设置")));
  }
  const auto io =
      scanfailures::fromError(EngineCallError::fromSystem(std::make_error_code(std::errc::io_error),
                                                          QStringLiteral("读写错误")),
                              SourceKind::folder);
  EXPECT_EQ(io.kind, Kind::other);
  EXPECT_EQ(io.title, QStringLiteral("分析出错了"));
  EXPECT_EQ(io.message, QStringLiteral("读写错误"));
}

TEST_F(ScanFailuresTable, diagnosticSuffixNamesTypeDomainAndCode) {
  EXPECT_EQ(scanfailures::diagnosticSuffix(curator(CuratorError::unreadable(kFolder))),
            QStringLiteral(" type=CuratorError domain=Lumora.CuratorError code=1"));
  EXPECT_EQ(scanfailures::diagnosticSuffix(EngineCallError::fromSystem(
                std::make_error_code(std::errc::permission_denied), QStringLiteral("x"))),
            QStringLiteral(" type=system_error domain=generic code=13"));
}
