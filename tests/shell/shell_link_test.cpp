// The machine's shell link object and its file format: COM rules, saving and
// loading, and links that are cut or damaged.
#include "platform/machine/fault_injection.h"
#include "platform/machine/paths.h"
#include "platform/machine/shell/shell_history.h"
#include "platform/machine/shell/shell_link_format.h"
#include "platform/win32.h"
#include "tests/shell/link_files.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr HRESULT NotInitialized = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT NoAggregation = static_cast<HRESULT>(0x80040110u);

fs::path HostPath(const std::string& windowsPath) {
    fs::path host;
    DWORD error = 0;
    EXPECT_TRUE(ResolveWindowsPath(windowsPath, host, error)) << windowsPath;
    return host;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

class ShellLinkTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    IShellLinkA* MakeLink() {
        IShellLinkA* link = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<LPVOID*>(&link)),
                  S_OK);
        return link;
    }
    IPersistFile* FileOf(IShellLinkA* link) {
        IPersistFile* file = nullptr;
        EXPECT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
        return file;
    }

    TestMachine Machine;
};

TEST_F(ShellLinkTest, CreationFollowsTheComRules) {
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    const CLSID otherClass = IID_IPersistFile;
    EXPECT_EQ(CoCreateInstance(otherClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<LPVOID*>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    IShellLinkA* link = MakeLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, link, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<LPVOID*>(&object)),
              NoAggregation);
    EXPECT_EQ(LiveShellLinkObjects(), 1);

    // Both interfaces share one reference count and answer IUnknown alike.
    IPersistFile* file = FileOf(link);
    IUnknown* fromLink = nullptr;
    IUnknown* fromFile = nullptr;
    link->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromLink));
    file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromFile));
    EXPECT_EQ(fromLink, fromFile);
    void* nothing = reinterpret_cast<void*>(0x1);
    const IID unknownInterface = {0x12345678, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(link->QueryInterface(unknownInterface, &nothing), E_NOINTERFACE);
    EXPECT_EQ(nothing, nullptr);
    fromLink->Release();
    fromFile->Release();
    file->Release();
    EXPECT_EQ(LiveShellLinkObjects(), 1);
    EXPECT_EQ(link->Release(), 0u);
    EXPECT_EQ(LiveShellLinkObjects(), 0);
}

TEST_F(ShellLinkTest, CreationNeedsComInitialised) {
    CoUninitialize();
    IShellLinkA* link = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<LPVOID*>(&link)),
              NotInitialized);
    EXPECT_EQ(link, nullptr);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
}

TEST_F(ShellLinkTest, SaveAndLoadKeepEveryProperty) {
    IShellLinkA* link = MakeLink();
    IPersistFile* file = FileOf(link);
    ASSERT_TRUE(CreateDirectoryA("C:\\APPS", nullptr));
    // Relative and forward-slash spellings are stored in full.
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\APPS"));
    EXPECT_TRUE(SUCCEEDED(link->SetPath("sub/../Tool.exe")));
    EXPECT_EQ(link->SetWorkingDirectory("C:\\APPS\\"), S_OK);
    EXPECT_EQ(link->SetArguments("/quiet \"a b\""), S_OK);
    EXPECT_EQ(link->SetDescription("The tool \xE9t\xE9"), S_OK);
    EXPECT_EQ(link->SetIconLocation("C:\\APPS\\Tool.ico", 2), S_OK);
    EXPECT_EQ(link->SetShowCmd(7), S_OK);
    EXPECT_EQ(link->SetHotkey(0x0641), S_OK);
    EXPECT_EQ(file->IsDirty(), S_OK);
    const std::u16string name = Wide("C:\\APPS\\Tool.lnk");
    ASSERT_EQ(file->Save(name.c_str(), TRUE), S_OK);
    EXPECT_EQ(file->IsDirty(), S_FALSE);

    IShellLinkA* copy = MakeLink();
    IPersistFile* copyFile = FileOf(copy);
    ASSERT_EQ(copyFile->Load(name.c_str(), 0), S_OK);
    char text[MAX_PATH];
    int number = 0;
    WORD hotkey = 0;
    EXPECT_EQ(copy->GetPath(text, MAX_PATH, nullptr, 0), S_OK);
    EXPECT_STREQ(text, "C:\\APPS\\Tool.exe");
    copy->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_STREQ(text, "C:\\APPS\\");
    copy->GetArguments(text, MAX_PATH);
    EXPECT_STREQ(text, "/quiet \"a b\"");
    copy->GetDescription(text, MAX_PATH);
    EXPECT_STREQ(text, "The tool \xE9t\xE9");
    copy->GetIconLocation(text, MAX_PATH, &number);
    EXPECT_STREQ(text, "C:\\APPS\\Tool.ico");
    EXPECT_EQ(number, 2);
    copy->GetShowCmd(&number);
    EXPECT_EQ(number, 7);
    copy->GetHotkey(&hotkey);
    EXPECT_EQ(hotkey, 0x0641);
    // Short buffers get as much as fits, terminated.
    copy->GetPath(text, 6, nullptr, 0);
    EXPECT_STREQ(text, "C:\\AP");

    if (LnkinfoAvailable()) {
        auto fields = RunLnkinfo(HostPath("C:\\APPS\\Tool.lnk"));
        EXPECT_EQ(fields["Local path"], "C:\\APPS\\Tool.exe");
        EXPECT_EQ(fields["Working directory"], "C:\\APPS\\");
        EXPECT_EQ(fields["Command line arguments"], "/quiet \"a b\"");
    }
    copyFile->Release();
    copy->Release();
    file->Release();
    link->Release();
}

TEST_F(ShellLinkTest, SaveFailuresWriteNothing) {
    IShellLinkA* link = MakeLink();
    IPersistFile* file = FileOf(link);
    link->SetPath("C:\\Tool.exe");
    const std::u16string missingFolder = Wide("C:\\NOWHERE\\Tool.lnk");
    EXPECT_EQ(file->Save(missingFolder.c_str(), FALSE), STG_E_PATHNOTFOUND);
    EXPECT_FALSE(fs::exists(HostPath("C:\\NOWHERE")));
    const std::u16string empty;
    EXPECT_EQ(file->Save(empty.c_str(), FALSE), E_INVALIDARG);
    EXPECT_EQ(file->Save(nullptr, FALSE), E_INVALIDARG); // no current file yet

    // A disk that fills up in the middle leaves no half link behind.
    FillDiskAfter("C:\\Full.lnk", 10);
    const std::u16string full = Wide("C:\\Full.lnk");
    EXPECT_TRUE(FAILED(file->Save(full.c_str(), FALSE)));
    EXPECT_FALSE(fs::exists(HostPath("C:\\Full.lnk")));
    file->Release();
    link->Release();
}

TEST_F(ShellLinkTest, RelativeTargetWithoutLocalPathIsKeptAsRelativePath) {
    ShellLinkData data;
    data.TargetPath = "\\\\SERVER\\SHARE\\Tool.exe";
    data.WorkingDirectory = "\\\\SERVER\\SHARE";
    const auto bytes = EncodeShellLink(data);
    const uint32_t flags = bytes[0x14] | (bytes[0x15] << 8);
    EXPECT_EQ(flags & LinkHasLinkInfo, 0u);
    EXPECT_NE(flags & LinkHasRelativePath, 0u);
    auto decoded = DecodeShellLink(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->TargetPath, data.TargetPath);
    EXPECT_EQ(decoded->WorkingDirectory, data.WorkingDirectory);
}

// Every cut of a well-formed link, and a damaged header, is refused rather
// than read past its end; the reader of this machine never sees garbage.
TEST_F(ShellLinkTest, CutOrDamagedLinksAreRefused) {
    ShellLinkData data;
    data.TargetPath = "C:\\Program Files\\Rembrix\\Rembrix.Exe";
    data.WorkingDirectory = "C:\\Program Files\\Rembrix";
    data.Arguments = "-x";
    const auto bytes = EncodeShellLink(data);
    ASSERT_TRUE(DecodeShellLink(bytes));
    // The last four bytes are the terminal block, which the reader does not
    // need; every shorter cut loses a structure.
    for (size_t length = 0; length + 4 < bytes.size(); ++length) {
        std::vector<uint8_t> cut(bytes.begin(),
                                 bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(DecodeShellLink(cut)) << "cut at " << length;
    }
    struct Damage {
        size_t Offset;
        uint8_t Value;
    };
    for (const Damage& damage : {Damage{0x00, 0x4D}, Damage{0x04, 0x02}, Damage{0x13, 0x47},
                                 Damage{0x4C, 0xFF}, Damage{0x4D, 0xFF}}) {
        auto damaged = bytes;
        damaged[damage.Offset] = damage.Value;
        EXPECT_FALSE(DecodeShellLink(damaged)) << "byte " << damage.Offset;
    }

    IShellLinkA* link = MakeLink();
    IPersistFile* file = FileOf(link);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 0x60);
    std::ofstream(HostPath("C:\\Cut.lnk"), std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));
    const std::u16string name = Wide("C:\\Cut.lnk");
    EXPECT_EQ(file->Load(name.c_str(), 0), E_FAIL);
    file->Release();
    link->Release();
}

} // namespace
