#include "app/store/texts/ErrorTexts.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace lumora;
using Problem = platform::trash::Problem;

TEST(ErrorTexts, trashAndFavouriteFailuresNameTheFileAloneAndGiveTheReasonInWords) {
  const std::string path = "/photos/2019/只读.jpg";
  EXPECT_EQ(
      texts::errorText(EngineError::trashFailure(false, {Problem::Kind::system, EROFS}, path)),
      QStringLiteral("无法把“只读.jpg”移到废纸篓：它所在的磁盘是只读的。"));
  EXPECT_EQ(texts::errorText(EngineError::trashFailure(false, {Problem::Kind::noTrash}, path)),
            QStringLiteral("无法把“只读.jpg”移到废纸篓：找不到可以使用的废纸篓文件夹。"));
  EXPECT_EQ(
      texts::errorText(EngineError::trashFailure(true, {Problem::Kind::folderReplaced}, path)),
      QStringLiteral("无法把“只读.jpg”放回原处：原来的文件夹已经不在了，或被换成了别的文件夹。"));
  EXPECT_EQ(texts::errorText(EngineError::trashFailure(true, {Problem::Kind::system, 9999}, path)),
            QStringLiteral("无法把“只读.jpg”放回原处：系统错误（错误码 9999）。"));
  EXPECT_EQ(texts::errorText(EngineError::favoriteSave(FavoriteSaveError::Kind::locked)),
            QStringLiteral("收藏文件被锁定或锁文件无法使用，收藏没能写入。"));
  EXPECT_EQ(texts::errorText(EngineError::file(QStringLiteral("废纸篓已满"))),
            QStringLiteral("废纸篓已满"));
}
