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
      "[HKEY_CURRENT_USER\\AB]\n[-HKEY_CURRENT_USER\\A\\B]\n[HKEY_CURRENT_USER\\\\Vide\\\\Sous\\]\n");
  TRegistryFile file = parsed;
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "A"));
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "A\\B"));
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "A\\B\\C"));
  EXPECT_TRUE(file.DeleteKey(TRootKey::CurrentUser, "a"));
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "A B"));
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "AB"));
  EXPECT_FALSE(file.DeleteKey(TRootKey::CurrentUser, "A"));
  // Separators with no name between them, or at either end, name nothing.
  EXPECT_TRUE(file.DeleteKey(TRootKey::CurrentUser, "Vide\\Sous"));
  EXPECT_FALSE(file.DeleteKey(TRootKey::CurrentUser, "\\"));
  // The section that the file's own removal took out still names A as a parent.
  const TRegistryFile reloaded = TRegistryFile::Parse(file.Serialize());
  EXPECT_FALSE(reloaded.KeyExists(TRootKey::CurrentUser, "A"));
  EXPECT_TRUE(reloaded.KeyExists(TRootKey::CurrentUser, "\\Vide\\"));
  EXPECT_EQ(reloaded.KeyNames(), file.KeyNames());
}

// The probe key as a crash may leave it: only a section that the file removed again names it.
TEST(RegistryFile, ADeletionSurvivesAReloadAndASectionOnlyForAParentThatWouldVanish) {
  const std::string version = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  TRegistryFile file = TRegistryFile::Parse("REGEDIT4\r\n\r\n[" + version + "\\KALD_TEST\\Reste]\r\n\r\n[-" + version +
                                            "\\KALD_TEST\\Reste]\r\n\r\n[HKEY_CURRENT_USER\\A\\B\\C]\r\n");
  const std::string probe = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\KALD_TEST";
  ASSERT_TRUE(file.KeyExists(TRootKey::LocalMachine, probe));
  ASSERT_TRUE(file.DeleteKey(TRootKey::LocalMachine, probe));
  ASSERT_TRUE(file.DeleteKey(TRootKey::CurrentUser, "A\\B\\C"));
  TRegistryFile reloaded = TRegistryFile::Parse(file.Serialize());
  EXPECT_FALSE(reloaded.KeyExists(TRootKey::LocalMachine, probe));
  EXPECT_TRUE(reloaded.KeyExists(TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
  EXPECT_FALSE(reloaded.KeyExists(TRootKey::CurrentUser, "A\\B\\C"));
  EXPECT_TRUE(reloaded.KeyExists(TRootKey::CurrentUser, "A\\B"));
  // One section for the nearest parent: it names the others.
  EXPECT_EQ(file.Serialize().find("[HKEY_CURRENT_USER\\A]"), std::string::npos) << file.Serialize();

  // Made again after its deletion, it stays.
  ASSERT_TRUE(reloaded.CreateKey(TRootKey::LocalMachine, probe));
  EXPECT_TRUE(TRegistryFile::Parse(reloaded.Serialize()).KeyExists(TRootKey::LocalMachine, probe));
}

// Each case: an export, and where the rights probe creates its key and deletes it again.
TEST(RegistryFile, TheRightsProbeLeavesTheFilesBytesAsTheyWere) {
  const std::string workstation =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n\r\n"
      "[HKEY_CLASSES_ROOT\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267]\r\n\"SpMikeCtrl\"=\"\"\r\n\r\n";
  const struct {
    std::string store;
    TRootKey root;
    std::string key;
  } cases[] = {
      {workstation, TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\KALD_TEST"},
      {workstation, TRootKey::ClassesRoot, "KALD_TEST"},
      {workstation, TRootKey::ClassesRoot, "Installer\\Features\\KALD_TEST"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Orvane\\Fin]\n\"Sans fin de ligne\"=dword:00000001", TRootKey::CurrentUser,
       "Software\\KALD_TEST"},
  };
  for (const auto& probe : cases) {
    TRegistryFile file = TRegistryFile::Parse(probe.store);
    ASSERT_TRUE(file.CreateKey(probe.root, probe.key));
    ASSERT_TRUE(file.DeleteKey(probe.root, probe.key));
    EXPECT_EQ(file.Serialize(), probe.store) << probe.key;
  }
}

// Windows reads an export line after line: a key named again gets more lines, later ones win.
TEST(RegistryFile, AKeyNamedTwiceKeepsBothHeadersAndItsLaterLinesWin) {
  const std::string store =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Orvane]\r\n\"Mode\"=\"a\"\r\n\"Garde\"=dword:00000001\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Autre]\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\orvane]\r\n\"Mode\"=\"b\"\r\n\"Garde\"=-\r\n\r\n";
  TRegistryFile file = TRegistryFile::Parse(store);
  EXPECT_EQ(file.Serialize(), store);
  EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, "Software\\Orvane", "Mode")->text, "b");
  EXPECT_FALSE(file.FindValue(TRootKey::CurrentUser, "Software\\Orvane", "Garde"));

  TRegValue text{kRegSz, "c"};
  TRegValue number{kRegDword, "", 2};
  ASSERT_TRUE(file.SetValue(TRootKey::CurrentUser, "Software\\Orvane", "mode", text));
  ASSERT_TRUE(file.SetValue(TRootKey::CurrentUser, "Software\\Orvane", "Garde", number));
  EXPECT_EQ(file.Serialize(),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Orvane]\r\n\"Mode\"=\"a\"\r\n\"Garde\"=dword:00000001\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Autre]\r\n\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\orvane]\r\n\"mode\"=\"c\"\r\n\"Garde\"=-\r\n\"Garde\"=dword:00000002\r\n\r\n");
  const TRegistryFile reloaded = TRegistryFile::Parse(file.Serialize());
  EXPECT_EQ(reloaded.FindValue(TRootKey::CurrentUser, "Software\\Orvane", "Mode"), text);
  EXPECT_EQ(reloaded.FindValue(TRootKey::CurrentUser, "Software\\Orvane", "garde"), number);
}

// As Windows compares names: each UTF-16 unit by its simple case folding.
TEST(RegistryFile, NamesCompareAsWindowsComparesThem) {
  const TRegistryFile file = TRegistryFile::Parse(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_CURRENT_USER\\Software\\Société\\Ελληνικός\\Кириллица\\ǅ Kelvin]\n\"Clé\"=dword:00000001\n"
      "[HKEY_CURRENT_USER\\Software\\Straße\\𐐀]\n");
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "SOFTWARE\\SOCIÉTÉ\\ΕΛΛΗΝΙΚΌΣ\\КИРИЛЛИЦА\\ǆ kELVIN"));
  EXPECT_TRUE(file.KeyExists(TRootKey::CurrentUser, "software\\société\\ελληνικόσ\\кириллица\\Ǆ \u212Aelvin"));
  EXPECT_TRUE(file.FindValue(TRootKey::CurrentUser, "Software\\SOCIÉTÉ\\ελληνικός\\Кириллица\\ǆ kelvin", "CLÉ"));
  // No character becomes two, and what lies beyond one UTF-16 unit keeps its case.
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "Software\\STRASSE"));
  EXPECT_FALSE(file.KeyExists(TRootKey::CurrentUser, "Software\\Straße\\𐐨"));
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
