#include "platform/core/TrashErrors.h"

#include <QFile>
#include <cerrno>
#include <filesystem>

namespace platform::trasherrors {
namespace {

/// The file's own name as the user knows it; bytes that are not UTF-8 show as stand-ins.
QString nameOf(const std::string &path) {
  return QFile::decodeName(std::filesystem::path(path).filename().c_str());
}

} // namespace

QString reason(int code) {
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

QString moveFailed(const std::string &path, int code) {
  return QStringLiteral("无法把“%1”移到废纸篓：%2。").arg(nameOf(path), reason(code));
}

QString noTrash(const std::string &path) {
  return QStringLiteral("无法把“%1”移到废纸篓：找不到可以使用的废纸篓文件夹。").arg(nameOf(path));
}

QString changed(const std::string &path) {
  return QStringLiteral("“%1”在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。")
      .arg(nameOf(path));
}

QString restoreFailed(const std::string &originalPath, int code) {
  return QStringLiteral("无法把“%1”放回原处：%2。").arg(nameOf(originalPath), reason(code));
}

QString folderReplaced(const std::string &originalPath) {
  return QStringLiteral("无法把“%1”放回原处：原来的文件夹已经不在了，或被换成了别的文件夹。")
      .arg(nameOf(originalPath));
}

} // namespace platform::trasherrors
