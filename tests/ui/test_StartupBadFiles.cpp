// Start-up with files the program cannot read: the window comes up, says
// what it could not read, shows what it could, and leaves every byte of the
// unreadable file as it was.
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "app/ui/Main.h"
#include "support/ScopedEnv.h"
#include "ui/fixtures/MainTestEnv.h"

namespace {

std::string Bytes(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Random(size_t n, unsigned nSeed) {
    std::mt19937 gen(nSeed);
    std::string s(n, '\0');
    for (char& c : s) c = char(gen() & 0xff);
    return s;
}

void Write(const std::string& sPath, const std::string& sBytes) {
    std::ofstream(sPath, std::ios::binary | std::ios::trunc) << sBytes;
}

const char kForeign[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Not a book\r\nEND:VCARD\r\n";

class StartupBadFiles;

struct BadFile {
    const char* szName;
    // Damages a file of the data home and returns its path.
    std::function<std::string(StartupBadFiles&, const std::string& sHome)> damage;
    const char* szStatus;  // part of the status line; none: nothing to report
    bool bWabShown, bOlShown;
    bool bSavedAtClose = false;  // a file the program reads, so the close saves it
};

void PrintTo(const BadFile& c, std::ostream* pOut) { *pOut << c.szName; }

class StartupBadFiles : public MainTestEnv, public ::testing::WithParamInterface<BadFile> {
public:
    using MainTestEnv::DataFolder;
    using MainTestEnv::WriteSettings;
    std::string Home() const { return m_Home.Path(); }
};

const BadFile kCases[] = {
        {"binary settings",
         [](StartupBadFiles& t, const std::string&) {
             std::string s = t.DataFolder() + "tessaro.ini";
             Write(s, Random(700, 1));
             return s;
         },
         "settings file", true, true},
        {"truncated settings",
         [](StartupBadFiles& t, const std::string&) {
             std::string s = t.DataFolder() + "tessaro.ini";
             Write(s, "[PELLMARK]\r\nShowWizard=0\r\nSyncMo");
             return s;
         },
         nullptr, true, true, true},
        {"registry that does not parse",
         [](StartupBadFiles&, const std::string& sHome) {
             std::string s = sHome + "pellmark.reg";
             Write(s, "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\r\n\"x\"=dword:zz\r\n" + Random(300, 2));
             setenv("PELLMARK_REGISTRY", s.c_str(), 1);
             return s;
         },
         "Could not read the Outlook Contacts folder", true, false},
        {"WAB setting names a folder",
         [](StartupBadFiles& t, const std::string& sHome) {
             std::filesystem::create_directories(sHome + "folder.wab");
             t.WriteSettings("WabName=" + sHome + "folder.wab\r\n");
             return sHome + "folder.wab";
         },
         "Could not read the WAB file", false, true},
        {"WAB setting names a foreign file",
         [](StartupBadFiles& t, const std::string& sHome) {
             Write(sHome + "card.wab", std::string(kForeign));
             t.WriteSettings("WabName=" + sHome + "card.wab\r\n");
             return sHome + "card.wab";
         },
         "Could not read the WAB file", false, true},
        {"WAB setting names a missing file",
         [](StartupBadFiles& t, const std::string& sHome) {
             t.WriteSettings("WabName=" + sHome + "gone/missing.wab\r\n");
             return sHome + "gone/missing.wab";
         },
         "Could not read the WAB file", false, true},
        {"Contacts file that is not a database",
         [](StartupBadFiles&, const std::string& sHome) {
             std::string s = sHome + "OlStandin/contacts.db";
             Write(s, std::string(kForeign) + Random(5000, 3));
             return s;
         },
         "Could not read the Outlook Contacts folder", true, false},
        {"history of random bytes",
         [](StartupBadFiles& t, const std::string&) {
             std::string s = t.DataFolder() + "synchis.dat";
             Write(s, Random(333, 4));
             return s;
         },
         "synchis.dat\" could not be read whole", true, true},
};

TEST_P(StartupBadFiles, WindowComesUpSaysWhatFailedAndKeepsTheFile) {
    const BadFile& c = GetParam();
    {
        AddWab("Anna", "Ash", "anna@example.org");
        AddOl("Dora", "Dogwood", "dora@example.org");
        const std::string sFile = c.damage(*this, Home());
        const bool bFolder = std::filesystem::is_directory(sFile);
        const std::string sBefore = bFolder ? "" : Bytes(sFile);
        const bool bExisted = std::filesystem::exists(sFile);
        {
            TfmMain fm;
            fm.StartupLoad();
            const std::string sStatus = fm.GetStatusText().toStdString();
            if (c.szStatus != nullptr) {
                EXPECT_NE(sStatus.find(c.szStatus), std::string::npos) << sStatus;
            }
            EXPECT_EQ(Rows(fm.GetWabList()).find("Anna") != std::string::npos, c.bWabShown) << Rows(fm.GetWabList());
            EXPECT_EQ(Rows(fm.GetOlList()).find("Dora") != std::string::npos, c.bOlShown) << Rows(fm.GetOlList());
            EXPECT_EQ(std::filesystem::exists(sFile), bExisted);
            if (bFolder) {
                EXPECT_TRUE(std::filesystem::is_empty(sFile));
            } else if (bExisted) {
                EXPECT_TRUE(Bytes(sFile) == sBefore) << "the file was changed";
            }
        }
        // Closed with nothing changed: a file it could not read is still kept.
        if (!bFolder && bExisted && !c.bSavedAtClose) {
            EXPECT_TRUE(Bytes(sFile) == sBefore) << "the file was changed at the close";
        }
    }
}

TEST_F(MainTestEnv, UnreadableSettingsAreReplacedOnceASettingChanges) {
    const std::string sIni = DataFolder() + "tessaro.ini";
    Write(sIni, Random(500, 7));
    {
        TfmMain fm;
        fm.StartupLoad();
        g_Settings.AddrEmailOnly = true;
    }
    const std::string sAfter = Bytes(sIni);
    EXPECT_NE(sAfter.find("[PELLMARK]"), std::string::npos);
    EXPECT_NE(sAfter.find("AddrEmailOnly=1"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Each, StartupBadFiles, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string s;
                             for (const char* p = info.param.szName; *p; ++p)
                                 if (isalnum((unsigned char)*p)) s += *p;
                             return s;
                         });

}  // namespace
