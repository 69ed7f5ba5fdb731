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
    EXPECT_EQ(1, key.WriteString("tessik_path", L"C:\\Program Files\\\uD45C\\tessik.exe"));
    EXPECT_EQ(1, key.WriteString("", L"default text"));
    EXPECT_EQ(ERROR_SUCCESS, key.Close());

    // Verified through the plain registry API, not through the helper.
    char value[128];
    LONG size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_CURRENT_USER, kTestKey, value, &size));
    EXPECT_STREQ("default text", value);
    EXPECT_EQ(static_cast<LONG>(strlen("default text") + 1), size);

    CRegistryKey reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, kTestKey, 0));
    std::wstring text = L"junk";
    EXPECT_EQ(1, reader.ReadString("tessik_path", &text, 127));
    EXPECT_EQ(L"C:\\Program Files\\\uD45C\\tessik.exe", text);
    EXPECT_EQ(0, reader.ReadString("missing", &text, 127));
    EXPECT_EQ(L"", text);
    // Longer than allowed: not read.
    text = L"junk";
    EXPECT_EQ(0, reader.ReadString("tessik_path", &text, 7));
    EXPECT_EQ(L"", text);
    // The held key stays usable after a failed read.
    EXPECT_EQ(1, reader.ReadString("", &text, 127));
    EXPECT_EQ(L"default text", text);
}

TEST_F(RegistryKeyTest, OperationsWithoutKeyFail)
{
    CRegistryKey key;
    std::wstring text = L"x";
    EXPECT_EQ(0, key.ReadString("", &text, 7));
    EXPECT_EQ(0, key.WriteString("", L"x"));
    EXPECT_NE(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, 1));
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, CreateOfExistingKeyOpensIt)
{
    CRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestKey));
    key.WriteString("v", L"1");
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestKey));
    std::wstring text;
    EXPECT_EQ(1, key.ReadString("v", &text, 7));
    EXPECT_EQ(L"1", text);
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
