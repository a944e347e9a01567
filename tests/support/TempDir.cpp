#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace testsupport {

TempDir::TempDir() {
  const char *home = std::getenv("HOME");
  std::string pattern = std::string(home ? home : "/tmp") + "/tmp-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::write(const std::string &name, const std::string &bytes) const {
  const auto target = m_path / name;
  std::filesystem::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return target;
}

std::string readBytes(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace testsupport
