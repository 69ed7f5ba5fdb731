#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Binds the settings file to the six format records as the format registry
// would with the given ids registered (TZIP, id 3, and T7Z, id 10, only when
// asked for), and records the calls it receives.
class CFakeFormats
{
public:
    explicit CFakeFormats(std::vector<int> registeredIds = {0, 1, 2, 4, 5, 6, 7, 8, 9});
    ~CFakeFormats();

    std::vector<std::pair<int, std::string>> reads;  // (layout version, path) per ReadAll
    // Runs inside WriteAll, after the formats have written (the save is not done yet).
    std::function<void()> duringWrite;
    // The format section ("CAB") whose builder reports that it could not write.
    std::string failingSection;

private:
    std::vector<int> m_ids;
};

// Resets every settings record, hides any settings file of the prefix's
// application-data folder and beside the test program for the duration of a
// test, and removes what the test left there.
class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::string m_appData;
    std::string AppDataIni() const { return m_appData + "\\Norvane\\Tessik\\tessik.ini"; }
    std::string ProgramIni() const;
    // Writes a settings file (and its folders) with exactly these bytes.
    void PlaceFile(const std::string& path, const std::string& bytes) const;
};

void ResetAllSettings();
// Joins lines with CR LF after each, as the profile functions write them.
std::string CrLfLines(const std::vector<std::string>& lines);
// A test folder's tessik.ini with these lines.
std::string PlaceIni(const std::string& folder, const std::vector<std::string>& lines);
// The non-empty lines of an INI file's section, without the "[name]" line.
std::vector<std::string> SectionLines(const std::string& iniPath, const std::string& section);
// The names of the files in a folder.
std::vector<std::string> FilesIn(const std::string& folder);
