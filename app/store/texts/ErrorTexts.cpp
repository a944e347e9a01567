#include "app/store/texts/ErrorTexts.h"

#include <QFile>
#include <cerrno>
#include <filesystem>

namespace lumora::texts {
namespace {

using Problem = platform::trash::Problem;

/// The file's own name as the user knows it; bytes that are not UTF-8 show as stand-ins.
QString nameOf(const std::string &path) {
  return QFile::decodeName(std::filesystem::path(path).filename().c_str());
}

QString moveText(const Problem &problem, const std::string &path) {
  switch (problem.kind) {
  case Problem::Kind::noTrash:
    return QStringLiteral("无法把“%1”移到废纸篓：找不到可以使用的废纸篓文件夹。").arg(nameOf(path));
  case Problem::Kind::changed:
    return QStringLiteral("“%1”在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。")
        .arg(nameOf(path));
  case Problem::Kind::folderReplaced:
  case Problem::Kind::system:
  case Problem::Kind::none: break;
  }
  return QStringLiteral("无法把“%1”移到废纸篓：%2。").arg(nameOf(path), systemReason(problem.code));
}

QString restoreText(const Problem &problem, const std::string &path) {
  if (problem.kind == Problem::Kind::folderReplaced) {
    return QStringLiteral("无法把“%1”放回原处：原来的文件夹已经不在了，或被换成了别的文件夹。")
        .arg(nameOf(path));
  }
  return QStringLiteral("无法把“%1”放回原处：%2。").arg(nameOf(path), systemReason(problem.code));
}

QString favoritesText(FavoriteSaveError::Kind kind) {
  switch (kind) {
  case FavoriteSaveError::Kind::diskFull: return QStringLiteral("磁盘空间已满，收藏没能写入。");
  case FavoriteSaveError::Kind::readOnly:
    return QStringLiteral("数据文件夹不能写入（只读或没有权限），收藏没能写入。");
  case FavoriteSaveError::Kind::locked:
    return QStringLiteral("收藏文件被锁定或锁文件无法使用，收藏没能写入。");
  case FavoriteSaveError::Kind::other: break;
  }
  return QStringLiteral("收藏文件没能写入，请稍后重试。");
}

} // namespace

QString systemReason(int code) {
  switch (code) {
  case EACCES:
  case EPERM: return QStringLiteral("没有足够的权限");
  case EROFS: return QStringLiteral("它所在的磁盘是只读的");
  case ENOSPC:
  case EDQUOT: return QStringLiteral("磁盘空间不足");
  case ENAMETOOLONG: return QStringLiteral("文件名或路径太长");
  case ENOENT:
  case ENOTDIR: return QStringLiteral("文件或它所在的文件夹已经不在了");
  case ELOOP: return QStringLiteral("路径里有符号链接，为了安全没有跟随");
  case EBUSY:
  case ETXTBSY: return QStringLiteral("文件正在被使用");
  case EEXIST: return QStringLiteral("废纸篓里已有太多同名的文件");
  case EIO: return QStringLiteral("读写磁盘时出错");
  case EMFILE:
  case ENFILE:
  case ENOMEM: return QStringLiteral("系统资源不足");
  default: return QStringLiteral("系统错误（错误码 %1）").arg(code);
  }
}

QString errorText(const EngineError &error) {
  switch (error.kind) {
  case EngineError::Kind::curator: return error.curator.errorDescription();
  case EngineError::Kind::trash:
    return error.restoring ? restoreText(error.trash, error.path)
                           : moveText(error.trash, error.path);
  case EngineError::Kind::favorites: return favoritesText(error.favorites);
  case EngineError::Kind::file:
  case EngineError::Kind::library: break;
  }
  return error.message;
}

} // namespace lumora::texts
