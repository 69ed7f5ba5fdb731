#include "common/RegistryKey.h"

#include <gtest/gtest.h>

namespace {
const char kTestKey[] = "Software\\TessikRegistryTest";
const char kChildKey[] = "Software\\TessikRegistryTest\\Child";

class RegistryKeyTest : public ::testing::Test
{
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kChildKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
};
}  // namespace

TEST_F(RegistryKeyTest, CloseOnFreshObjectGivesMinusOne)
{
    CRegistryKey key;
    EXPECT_EQ(-1, key.Close());
}

TEST_F(RegistryKeyTest, WriteAndReadNamedAndDefaultValues)
{
    CRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestKey));
    EXPECT_EQ(1, key.WriteString("tessik_path", "C:\\Program Files\\表\\tessik.exe"));
    EXPECT_EQ(1, key.WriteString("", "default text"));
    EXPECT_EQ(ERROR_SUCCESS, key.Close());

    // Verified through the plain registry API, not through the helper.
    char value[128];
    LONG size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_CURRENT_USER, kTestKey, value, &size));
    EXPECT_STREQ("default text", value);
    EXPECT_EQ(static_cast<LONG>(strlen("default text") + 1), size);

    CRegistryKey reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, kTestKey, 0));
    char buffer[128];
    EXPECT_EQ(1, reader.ReadString("tessik_path", buffer, sizeof(buffer)));
    EXPECT_STREQ("C:\\Program Files\\表\\tessik.exe", buffer);
    EXPECT_EQ(0, reader.ReadString("missing", buffer, sizeof(buffer)));
    EXPECT_STREQ("", buffer);
    char small[8] = "junk";
    EXPECT_EQ(0, reader.ReadString("tessik_path", small, sizeof(small)));
    // The held key stays usable after a failed read.
    EXPECT_EQ(1, reader.ReadString("", buffer, sizeof(buffer)));
}

TEST_F(RegistryKeyTest, OperationsWithoutKeyFail)
{
    CRegistryKey key;
    char buffer[8] = "x";
    EXPECT_EQ(0, key.ReadString("", buffer, sizeof(buffer)));
    EXPECT_EQ(0, key.WriteString("", "x"));
    EXPECT_NE(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, 1));
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, CreateOfExistingKeyOpensIt)
{
    CRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestKey));
    key.WriteString("v", "1");
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestKey));
    char buffer[8];
    EXPECT_EQ(1, key.ReadString("v", buffer, sizeof(buffer)));
    EXPECT_STREQ("1", buffer);
}

TEST_F(RegistryKeyTest, DeleteKeyWithSubkeyFailsAndKeepsBoth)
{
    CRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kChildKey));
    key.Close();
    EXPECT_NE(ERROR_SUCCESS, CRegistryKey::DeleteKey(HKEY_CURRENT_USER, kTestKey));
    EXPECT_EQ(ERROR_SUCCESS, key.OpenFull(HKEY_CURRENT_USER, kChildKey));
    key.Close();
    EXPECT_EQ(ERROR_SUCCESS, CRegistryKey::DeleteKey(HKEY_CURRENT_USER, kChildKey));
    EXPECT_EQ(ERROR_SUCCESS, CRegistryKey::DeleteKey(HKEY_CURRENT_USER, kTestKey));
    EXPECT_NE(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, 0));
}
