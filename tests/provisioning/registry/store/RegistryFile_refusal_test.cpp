// A store takes only what it can read back: anything else is refused and leaves it as it was.
#include <string>

#include <gtest/gtest.h>

#include "provisioning/registry/store/RegistryFile.h"

namespace orvane {
namespace {

const char kEucKr[] = "\xC7\xD1\xB1\xB9";  // "한국" as a Korean locale's bytes, no UTF-8

TRegValue Text(const std::string& text) { return TRegValue{kRegSz, text}; }

std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

TEST(RegistryFileRefusal, WritesThatWouldNotReadBackLeaveTheStoreAsItWas) {
  // The key "Orvane" exists only through its subkey, so a write there would add its section.
  const std::string utf8 = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Orvane\\Poste]\n";
  const std::string utf16 = Utf16("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Orvane\\Poste]\r\n");
  const std::string ansi = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Orvane\\Poste]\r\n";
  const struct {
    std::string store;
    std::string key, name;
    TRegValue value;
  } refused[] = {
      {utf8, "Orvane", "Nom", Text(kEucKr)},
      {utf8, "Orvane", std::string("Nom") + kEucKr, Text("x")},
      {utf8, "Orvane", "Deux\nlignes", Text("x")},
      {utf8, "Orvane", "Retour\r", TRegValue{kRegDword, "", 1}},
      {utf8, "Orvane", "Nul", Text(std::string("a\0b", 3))},
      {utf16, "Orvane", "Nom", Text(kEucKr)},
      {utf16, "Orvane", "Nom", Text(std::string(kEucKr) + "\r\n")},
      {utf16, "Orvane", "Deux\nlignes", Text("x")},
      {ansi, "Orvane", "Ville", Text("東京")},
      {ansi, "Orvane", "Ville", Text("東京\r\nKraków")},
      {ansi, "Orvane", "東京", Text("x")},
  };
  for (const auto& write : refused) {
    TRegistryFile file = TRegistryFile::Parse(write.store);
    EXPECT_FALSE(file.SetValue(TRootKey::CurrentUser, write.key, write.name, write.value)) << write.name;
    EXPECT_EQ(file.Serialize(), write.store) << write.name;
  }
  const struct {
    std::string store;
    std::string key;
  } refusedKeys[] = {
      {utf8, std::string("Orvane\\") + kEucKr}, {utf8, "Orvane\\Deux\nlignes"}, {utf16, "Orvane\\Retour\r"},
      {ansi, "Orvane\\東京"},
  };
  for (const auto& create : refusedKeys) {
    TRegistryFile file = TRegistryFile::Parse(create.store);
    EXPECT_FALSE(file.CreateKey(TRootKey::CurrentUser, create.key)) << create.key;
    EXPECT_FALSE(file.SetValue(TRootKey::CurrentUser, create.key, "x", Text("x"))) << create.key;
    EXPECT_EQ(file.Serialize(), create.store) << create.key;
  }
}

}  // namespace
}  // namespace orvane
