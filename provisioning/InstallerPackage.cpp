#include "provisioning/InstallerPackage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace orvane {

namespace {

// The compound file's special sector numbers: above the last regular one.
constexpr uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr size_t kHeaderSize = 512;
constexpr size_t kHeaderTableEntries = 109;  // allocation-table sectors named by the header itself

uint32_t Little32(const std::vector<char>& bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return value;
}
uint16_t Little16(const std::vector<char>& bytes, size_t offset) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                               static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

class CompoundFile {
 public:
  explicit CompoundFile(const std::string& file)
      : in_(std::filesystem::path(std::u8string(file.begin(), file.end())), std::ios::binary) {}

  bool IsWhole() {
    static const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (!in_.seekg(0, std::ios::end)) return false;
    const uint64_t size = static_cast<uint64_t>(in_.tellg());
    std::vector<char> header(kHeaderSize);
    if (size < kHeaderSize || !Read(0, header)) return false;
    if (std::string(header.data(), 8) != std::string(kSignature, 8)) return false;
    const uint16_t version = Little16(header, 0x1A), shift = Little16(header, 0x1E);
    const bool knownVersion = (version == 3 && shift == 9) || (version == 4 && shift == 12);
    if (Little16(header, 0x1C) != 0xFFFE || !knownVersion) return false;
    sectorSize_ = size_t{1} << shift;
    // The header fills the first sector; the rest is whole sectors.
    if (size <= sectorSize_ || (size - sectorSize_) % sectorSize_ != 0) return false;
    sectors_ = (size - sectorSize_) / sectorSize_;
    const uint32_t tableSectors = Little32(header, 0x2C);
    const size_t entriesPerSector = sectorSize_ / 4;
    if (tableSectors == 0 || tableSectors > sectors_ || tableSectors * entriesPerSector < sectors_) return false;
    std::vector<uint32_t> table;
    for (size_t i = 0; i < kHeaderTableEntries && table.size() < tableSectors; ++i) {
      table.push_back(Little32(header, 0x4C + 4 * i));
    }
    if (!ReadTableChain(Little32(header, 0x44), Little32(header, 0x48), tableSectors, table)) return false;
    return InFile(Little32(header, 0x30)) && TableFitsTheFile(table);
  }

 private:
  bool InFile(uint32_t sector) const { return sector < sectors_; }

  bool Read(uint64_t offset, std::vector<char>& bytes) {
    in_.clear();
    return in_.seekg(static_cast<std::streamoff>(offset)) &&
           in_.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  bool ReadSector(uint32_t sector, std::vector<char>& bytes) {
    bytes.resize(sectorSize_);
    return InFile(sector) && Read((uint64_t{sector} + 1) * sectorSize_, bytes);
  }

  // The allocation-table sectors beyond the header's, from the chain of sectors that lists them.
  bool ReadTableChain(uint32_t next, uint32_t count, uint32_t tableSectors, std::vector<uint32_t>& table) {
    std::vector<char> sector;
    const size_t listed = sectorSize_ / 4 - 1;  // the last entry names the next sector of the chain
    for (uint32_t i = 0; i < count && table.size() < tableSectors; ++i) {
      if (!ReadSector(next, sector)) return false;
      for (size_t j = 0; j < listed && table.size() < tableSectors; ++j) table.push_back(Little32(sector, 4 * j));
      next = Little32(sector, 4 * listed);
    }
    return table.size() == tableSectors;
  }

  // Every sector the table uses, and every sector a chain leads to, lies in the file.
  bool TableFitsTheFile(const std::vector<uint32_t>& table) {
    std::vector<char> sector;
    const size_t entriesPerSector = sectorSize_ / 4;
    for (size_t i = 0; i < table.size(); ++i) {
      if (!ReadSector(table[i], sector)) return false;
      for (size_t j = 0; j < entriesPerSector; ++j) {
        const uint32_t entry = Little32(sector, 4 * j);
        if (entry == kFreeSector) continue;
        if (i * entriesPerSector + j >= sectors_ || (entry <= kLastRegularSector && !InFile(entry))) return false;
      }
    }
    return true;
  }

  std::ifstream in_;
  size_t sectorSize_ = 0;
  uint64_t sectors_ = 0;
};

}  // namespace

bool IsWholeInstallerPackage(const std::string& file) {
  return CompoundFile(file).IsWhole() && InstallerVerifiesPackage(file);
}

}  // namespace orvane
