#include "provisioning/registry/store/RegistryFile.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  return bytes;
}

const char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\r\n"
    "\"SequenceEnabled\"=dword:00000001\r\n"
    "\"KALDInstallation\"=\"09/12/2026 \\\"10:15\\\" C:\\\\x\"\r\n"
    "@=\"default\"\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03\r\n"
    "\"Path\"=hex(2):25,00,00,00\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267]\r\n"
    "\"SpMikeCtrl\"=\"\"\r\n";

TEST(RegistryFile, ReadsExportsInUtf16AndUtf8) {
  for (const std::string& bytes : {Utf16(kExport), std::string(kExport), "\xEF\xBB\xBF" + std::string(kExport)}) {
    const TRegistryFile file = TRegistryFile::Parse(bytes);
    const std::string model = "control panel\\philips speech\\3000\\default";
    ASSERT_TRUE(file.FindValue(TRootKey::CurrentUser, model, "sequenceenabled"));
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, model, "SequenceEnabled")->dword, 1u);
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, model, "KALDInstallation")->text, "09/12/2026 \"10:15\" C:\\x");
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, model, "")->text, "default");
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, model, "Blob")->raw, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, model, "Path")->type, kRegExpandSz);
    // Parents of a section exist as keys.
    EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "Control Panel"));
    EXPECT_TRUE(file.FindValue(TRootKey::ClassesRoot, "Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267",
                               "SpMikeCtrl"));
  }
}

TEST(RegistryFile, WritesWhatItReadsBack) {
  TRegistryFile file;
  file.CreateKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\6264_52\\Default");
  TRegValue text;
  text.type = kRegSz;
  text.text = "Déjà \"vu\"\\ ok\r\nsecond line";
  TRegValue number;
  number.type = kRegDword;
  number.dword = 0xDEADBEEF;
  ASSERT_TRUE(file.SetValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\6264_52\\Default", "Texte", text));
  ASSERT_TRUE(file.SetValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\6264_52\\Default", "N", number));
  const std::string bytes = file.Serialize();
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");

  const TRegistryFile again = TRegistryFile::Parse(bytes);
  EXPECT_EQ(*again.FindValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\6264_52\\Default", "Texte"), text);
  EXPECT_EQ(*again.FindValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\6264_52\\Default", "N"), number);
  EXPECT_EQ(again.KeyNames(), file.KeyNames());
}

TEST(RegistryFile, DeletingAKeyTakesItsSubkeysButNotItsNeighbours) {
  const TRegistryFile parsed = TRegistryFile::Parse(
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A\\B\\C]\n[HKEY_CURRENT_USER\\A B]\n"
      "[HKEY_CURRENT_USER\\AB]\n[-HKEY_CURRENT_USER\\A\\B]\n");
  TRegistryFile file = parsed;
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "A"));
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "A\\B"));
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "A\\B\\C"));
  EXPECT_TRUE(file.DeleteKey(TRootKey::CurrentUser, "a"));
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "A B"));
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "AB"));
  EXPECT_FALSE(file.DeleteKey(TRootKey::CurrentUser, "A"));
}

TEST(RegistryFile, RefusesWhatIsNoRegistryExport) {
  EXPECT_THROW(TRegistryFile::Parse(""), ERegistryException);
  EXPECT_THROW(TRegistryFile::Parse("[HKEY_CURRENT_USER\\A]\n"), ERegistryException);
  EXPECT_THROW(TRegistryFile::Parse("REGEDIT4\n[HKEY_NOWHERE\\A]\n"), ERegistryException);
  EXPECT_THROW(TRegistryFile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n"), ERegistryException);
  EXPECT_THROW(TRegistryFile::Parse("REGEDIT4\n\"x\"=\"value outside a key\"\n"), ERegistryException);
}

}  // namespace
}  // namespace orvane
