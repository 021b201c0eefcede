// Stores as sites keep them: exports of both formats, edited by hand, written back unchanged.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/registry/store/RegistryFile.h"

namespace orvane {
namespace {

std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// A REGEDIT4 export in windows-1252, every value type, comments and blank lines.
std::string AnsiStore(const std::string& number) {
  return "REGEDIT4\r\n"
    "\r\n"
    "; pr\xE9" "par\xE9 \xE0 la main\r\n"
    "[HKEY_CURRENT_USER\\Software\\Soci\xE9t\xE9]\r\n"
    "\"Dossier\"=\"C:\\\\Donn\xE9" "es\"\r\n"
    "@=\"d\xE9" "faut \x80 \\\"cit\xE9\\\"\"\r\n"
    "\"Vide\"=hex(0):\r\n"
    "\"Chemin\"=hex(2):25,54,45,4d,50,25,5c,e9,00\r\n"
    "\"Octets\"=hex:00,ff,10\r\n"
    "\"Nombre\"=" + number + "\r\n"
    "\"Gros\"=hex(5):00,00,00,2a\r\n"
    "\"Lien\"=hex(6):41,00\r\n"
    "\"Liste\"=hex(7):61,00,e9,00,00\r\n"
    "\"Ressources\"=hex(8):01\r\n"
    "\"Long\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"Taille\"=hex(4):10,27\r\n"
    "\r\n"
    "  ; un commentaire entre deux cl\xE9s\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane]\r\n"
    "\"Suite\"=hex:01,02,03,\\\r\n"
    "  04,05\r\n"
    "\r\n";
}

// The same in version 5, as the registry editor writes it, with text beyond windows-1252.
std::string UnicodeStore(const std::u16string& number) {
  return Utf16(u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Société]\r\n"
    u"\"Dossier\"=\"C:\\\\Données\"\r\n"
    u"\"Ville\"=\"Kraków € 東京 𝄞\"\r\n"
    u"@=\"défaut\"\r\n"
    u"\"Vide\"=hex(0):\r\n"
    u"\"Chemin\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
    u"\"Octets\"=hex:00,ff,10\r\n"
    u"\"Nombre\"=" + number + u"\r\n"
    u"\"Gros\"=hex(5):00,00,00,2a\r\n"
    u"\"Liste\"=hex(7):61,00,00,00,e9,00,00,00,00,00\r\n"
    u"\"Long\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    u"\"Taille\"=hex(4):10,27\r\n"
    u"\r\n"
    u"; commentaire\r\n"
    u"[HKEY_CLASSES_ROOT\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267]\r\n"
    u"\"SpMikeCtrl\"=\"\"\r\n"
    u"\r\n");
}

std::string Utf8Store(const std::string& number) {
  return "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Société]\n"
    "\"Dossier\"=\"C:\\\\Données\"\n"
    "; no line break at the end\n"
    "\"Nombre\"=" + number;
}

// The corpus, with the value "Nombre" written as given.
std::vector<std::string> Corpus(const std::string& number = "dword:0000002a") {
  const std::u16string wide(number.begin(), number.end());
  return {AnsiStore(number), UnicodeStore(wide), Utf8Store(number), "\xEF\xBB\xBF" + Utf8Store(number)};
}

TEST(RegistryFileCorpus, EveryStoreIsWrittenBackByteForByte) {
  for (const std::string& store : Corpus()) {
    EXPECT_EQ(TRegistryFile::Parse(store).Serialize(), store) << store.substr(0, 40);
  }
}

TEST(RegistryFileCorpus, TextIsReadInTheStoresOwnEncoding) {
  for (const std::string& store : Corpus()) {
    const TRegistryFile file = TRegistryFile::Parse(store);
    EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "Software\\Société")) << store.substr(0, 40);
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, "Software\\Société", "Dossier")->text, "C:\\Données");
  }
  const TRegistryFile ansi = TRegistryFile::Parse(Corpus()[0]);
  EXPECT_EQ(ansi.FindValue(TRootKey::CurrentUser, "Software\\Société", "")->text, "défaut € \"cité\"");
  const TRegistryFile unicode = TRegistryFile::Parse(Corpus()[1]);
  EXPECT_EQ(unicode.FindValue(TRootKey::CurrentUser, "Software\\Société", "Ville")->text, "Kraków € 東京 𝄞");
}

TEST(RegistryFileCorpus, AChangedValueLeavesEverythingElseAsItWas) {
  const std::vector<std::string> before = Corpus("dword:0000002A");
  const std::vector<std::string> after = Corpus("dword:00000007");
  for (size_t i = 0; i < before.size(); ++i) {
    TRegistryFile file = TRegistryFile::Parse(before[i]);
    TRegValue number;
    number.type = kRegDword;
    number.dword = 7;
    ASSERT_TRUE(file.SetValue(TRootKey::CurrentUser, "Software\\Société", "Nombre", number));
    EXPECT_EQ(file.Serialize(), after[i]) << i;
  }
}

TEST(RegistryFileCorpus, ADwordOfAnotherSizeKeepsItsBytes) {
  const TRegistryFile file = TRegistryFile::Parse(Corpus()[0]);
  const auto size = file.FindValue(TRootKey::CurrentUser, "Software\\Société", "Taille");
  // As the Windows registry shows it: no integer, the bytes as they are.
  EXPECT_EQ(size->type, kRegBinary);
  EXPECT_EQ(size->raw, (std::vector<uint8_t>{0x10, 0x27}));
}

}  // namespace
}  // namespace orvane
