#pragma once

#include <cstdint>
#include <string>

/// Appends numbers to a byte buffer in little-endian order, the layout of every cache file.
namespace lumora::binarywriter {

void appendLE(std::string &buffer, std::uint16_t value);
void appendLE(std::string &buffer, std::uint32_t value);
void appendLE(std::string &buffer, std::int64_t value);
void appendLE(std::string &buffer, float value);
void appendLE(std::string &buffer, double value);

} // namespace lumora::binarywriter
