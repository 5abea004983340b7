// Files whose names the ANSI code page cannot spell (Korean and an emoji
// always, Japanese in the Western session, where CTest runs this program a
// second time) get the same page as the same file under a plain name, handed
// over as the NT shells hand names over, and through Wine's own shell: every
// open of the file (the check, the page's start, the member listing) reaches
// it, and the page lets it go again.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "support/MappedFiles.h"
#include "support/PropertiesSheet.h"
#include "support/ResourcePage.h"
#include "support/ShellSheetVisit.h"
#include "support/TestPaths.h"

namespace {

const char kPageTitle[] = "リソース";
const DWORD kTimeoutMs = 30000;

std::wstring Widen(const std::string& ansi) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH);
    return wide;
}

bool SpelledExactlyInAnsi(const std::wstring& name) {
    BOOL usedDefault = FALSE;
    char narrow[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, narrow, MAX_PATH, nullptr,
                        &usedDefault);
    return !usedDefault && Widen(narrow) == name;
}

// A copy of a file under another name in a folder of the temporary folder,
// removed again with the test.
class NamedCopy {
public:
    NamedCopy(const std::string& source, const wchar_t* folder, const wchar_t* name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + folder;
        CreateDirectoryW(folder_.c_str(), nullptr);
        path_ = folder_ + L"\\" + name;
        copied_ = CopyFileW(Widen(source).c_str(), path_.c_str(), FALSE) != FALSE;
    }
    ~NamedCopy() {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    const std::wstring& path() const { return path_; }
    bool copied() const { return copied_; }

private:
    std::wstring folder_;
    std::wstring path_;
    bool copied_;
};

// The counts of the five kind lists and of the first icon group's members;
// listing the members opens the file again after the page's start.
std::vector<int> PageLists(HWND page) {
    std::vector<int> counts;
    for (int id = 1004; id <= 1008; ++id)
        counts.push_back(ListCount(page, id));
    ChooseKind(page, 0);
    if (counts[0] > 0)
        ChooseEntry(page, 1004, 0);
    counts.push_back(ListCount(page, 1010));
    return counts;
}

template <typename Path>
std::vector<int> ListsThroughDataObject(const Path& path) {
    ResourcePage open;
    PageCloser closer{&open};
    if (!OpenResourcePage(path, &open))
        return {};
    std::vector<int> counts = PageLists(open.page);
    CloseResourcePage(&open);
    return counts;
}

// The lists of the page in the shell's own Properties sheet; empty when the
// sheet or the page did not come.
std::vector<int> ListsThroughShell(const std::wstring& path) {
    ShellSheetVisit visit = {};
    visit.widePath = path;
    std::vector<int> counts;
    if (OpenShellSheet(&visit, kTimeoutMs)) {
        const int index = FindSheetTab(visit.sheet, kPageTitle);
        if (index >= 0 && SelectSheetTab(visit.sheet, index)) {
            HWND page =
                reinterpret_cast<HWND>(SendMessageA(visit.sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            if (page != nullptr)
                counts = PageLists(page);
        }
    }
    EXPECT_TRUE(CloseShellSheet(&visit, kTimeoutMs));
    return counts;
}

struct NameCase {
    const char* label;
    bool neImage;  // the 16-bit fixture instead of Wine's shell32.dll
    const wchar_t* folder;
    const wchar_t* name;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.label;
}

class ForeignName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ForeignName, GetsThePageOfThePlainNameAndLetsTheFileGo) {
    const NameCase& c = GetParam();
    const std::string plain =
        c.neImage ? FixturePath("ne-kinds.exe") : SystemFilePath("shell32.dll");
    NamedCopy copy(plain, c.folder, c.name);
    ASSERT_TRUE(copy.copied());

    const std::vector<int> expected = ListsThroughDataObject(plain);
    ASSERT_EQ(6u, expected.size());
    EXPECT_GT(expected[0], 0) << "icons: the member listing must have a group to open";
    EXPECT_EQ(expected, ListsThroughDataObject(copy.path()));
    EXPECT_FALSE(FileMappedInProcess(copy.path()));
    EXPECT_EQ(expected, ListsThroughShell(copy.path()));
    EXPECT_FALSE(FileMappedInProcess(copy.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ForeignName,
    ::testing::Values(NameCase{"Korean", false, L"vantrel-names", L"한국어.dll"},
                      NameCase{"Emoji", false, L"vantrel-names", L"🎞 clips.dll"},
                      NameCase{"Japanese", false, L"vantrel-names", L"日本語.dll"},
                      NameCase{"KoreanFolder", false, L"리소스 폴더", L"resources.dll"},
                      NameCase{"KoreanNeImage", true, L"vantrel-names", L"한국어16.exe"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(ForeignNameSession, RunsInTheCodePageItWasStartedFor) {
    // Without this the Western run could silently repeat the Japanese one.
    const char* expected = std::getenv("VANTREL_EXPECTED_ACP");
    ASSERT_NE(nullptr, expected);
    ASSERT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
    // (Names in variables: GoogleTest quotes its conditions as narrow text.)
    const std::wstring korean = L"한국어.dll";
    const std::wstring japanese = L"日本語.dll";
    EXPECT_FALSE(SpelledExactlyInAnsi(korean));
    EXPECT_EQ(GetACP() == 932, SpelledExactlyInAnsi(japanese));
}

}  // namespace
