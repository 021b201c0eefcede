#include "provisioning/registry/RegistryAccessor.h"

#include <gtest/gtest.h>

#include "tests/support/FakeRegistry.h"

namespace orvane {
namespace {

using testing::FakeRegistry;
using testing::ScopedFakeRegistry;

TEST(RegistryAccessor, PathsStartAtTheRootOnlyWithALeadingBackslash) {
  ScopedFakeRegistry fake;
  fake.registry.store.CreateKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\3000\\Default");
  fake.registry.store.CreateKey(TRootKey::CurrentUser, "3000");

  TRegistryAccessor registry;
  EXPECT_EQ(registry.RootKey(), TRootKey::CurrentUser);
  EXPECT_FALSE(registry.HasOpenKey());
  // Without an open key a relative path is taken from the root.
  ASSERT_TRUE(registry.OpenKey("Control Panel\\Philips Speech\\", false));
  EXPECT_EQ(registry.CurrentPath(), "Control Panel\\Philips Speech");
  // Relative to the open key.
  ASSERT_TRUE(registry.OpenKey("3000\\Default", false));
  EXPECT_EQ(registry.CurrentPath(), "Control Panel\\Philips Speech\\3000\\Default");
  // A leading backslash starts again at the root.
  ASSERT_TRUE(registry.OpenKey("\\3000", false));
  EXPECT_EQ(registry.CurrentPath(), "3000");
  // A key that does not open leaves the accessor where it was.
  EXPECT_FALSE(registry.OpenKey("Missing", false));
  EXPECT_EQ(registry.CurrentPath(), "3000");
}

TEST(RegistryAccessor, ChangingTheRootClosesTheOpenKey) {
  ScopedFakeRegistry fake;
  fake.registry.store.CreateKey(TRootKey::ClassesRoot, "Installer");
  TRegistryAccessor registry;
  registry.SetRootKey(TRootKey::ClassesRoot);
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Installer\\"));
  registry.SetRootKey(TRootKey::LocalMachine);
  EXPECT_FALSE(registry.HasOpenKey());
  EXPECT_EQ(registry.Resolve("KALD_TEST"), "KALD_TEST");
}

TEST(RegistryAccessor, CreateAndDeleteAreRelativeToTheOpenKeyAndLeaveItOpen) {
  ScopedFakeRegistry fake;
  fake.registry.store.CreateKey(TRootKey::ClassesRoot, "Installer\\Features\\X");
  TRegistryAccessor registry;
  registry.SetRootKey(TRootKey::ClassesRoot);
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Installer\\Features\\X\\"));
  ASSERT_TRUE(registry.CreateKey("KALD_TEST\\Sub"));
  EXPECT_EQ(registry.CurrentPath(), "Installer\\Features\\X");
  EXPECT_TRUE(fake.registry.store.KeyExists(TRootKey::ClassesRoot, "Installer\\Features\\X\\KALD_TEST\\Sub"));
  EXPECT_TRUE(registry.DeleteKey("KALD_TEST"));
  EXPECT_FALSE(fake.registry.store.KeyExists(TRootKey::ClassesRoot, "Installer\\Features\\X\\KALD_TEST"));
  EXPECT_TRUE(fake.registry.store.KeyExists(TRootKey::ClassesRoot, "Installer\\Features\\X"));
  // A name that resolves to the root key itself deletes nothing.
  EXPECT_FALSE(registry.DeleteKey("\\"));
}

TEST(RegistryAccessor, OpenKeyCanCreateTheKeyWithItsParents) {
  ScopedFakeRegistry fake;
  TRegistryAccessor registry;
  EXPECT_FALSE(registry.OpenKey("A\\B", false));
  ASSERT_TRUE(registry.OpenKey("A\\B", true));
  EXPECT_TRUE(fake.registry.store.KeyExists(TRootKey::CurrentUser, "A"));
  EXPECT_TRUE(registry.OpenForWriting());
}

TEST(RegistryAccessor, IntegersAreReadOnlyFromDwordValues) {
  ScopedFakeRegistry fake;
  fake.registry.SetDword(TRootKey::CurrentUser, "K", "Number", 0xFFFFFFFF);
  fake.registry.SetString(TRootKey::CurrentUser, "K", "Text", "1");
  TRegistryAccessor registry;
  ASSERT_TRUE(registry.OpenKey("K", false));
  EXPECT_EQ(registry.ReadInteger("Number"), -1);
  EXPECT_TRUE(registry.ValueExists("text"));
  EXPECT_THROW(registry.ReadInteger("Text"), ERegistryException);
  EXPECT_THROW(registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_FALSE(registry.ValueExists("Missing"));
}

TEST(RegistryAccessor, WritesRaiseWhenRefusedOrWhenTheKeyWasOpenedForReading) {
  ScopedFakeRegistry fake;
  fake.registry.store.CreateKey(TRootKey::CurrentUser, "K");
  TRegistryAccessor registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly("K"));
  EXPECT_THROW(registry.WriteInteger("SequenceEnabled", 0), ERegistryException);
  EXPECT_EQ(fake.registry.writeAttempts, 0);

  ASSERT_TRUE(registry.OpenKey("\\K", false));
  fake.registry.refusedWrites = 1;
  EXPECT_THROW(registry.WriteString("KALDInstallation", "x"), ERegistryException);
  registry.WriteString("KALDInstallation", "x");
  EXPECT_EQ(fake.registry.Value(TRootKey::CurrentUser, "K", "KALDInstallation")->text, "x");
}

}  // namespace
}  // namespace orvane
