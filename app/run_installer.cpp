#include "app/run_installer.h"

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "app/messages.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_layer.h"
#include "platform/runtime/file_names.h"
#include "platform/runtime/reg_ini_file.h"
#include "shell/shortcut.h"
#include "stages/progress_meter.h"
#include "stages/stage_failure.h"
#include "stages/unpacking.h"
#include "stages/volume_gathering.h"
#include "ui/backdrop.h"
#include "ui/destination_dialog.h"
#include "ui/group_dialog.h"
#include "ui/license_dialog.h"

#include <iterator>

namespace {

// What the chain does when a stage's template is missing.
enum class MissingTemplate {
    EndAtOnce, // the program ends: no message, no clean-up
    Skip,      // the chain goes on as if the dialog had ended with 1
    Abandon,
};

struct Stage {
    const char* TemplateName;
    DLGPROC Procedure;
    MissingTemplate WhenMissing;
};

// The chain, in order. Every stage but the last continues only with end
// code 1; the last one (the program group) decides only the shortcut.
const Stage Stages[] = {
    {"Main", DestinationDialogProc, MissingTemplate::EndAtOnce},
    {"License", LicenseDialogProc, MissingTemplate::Skip},
    {"IProgress", GatheringDialogProc, MissingTemplate::Abandon},
    {"Progress", UnpackingDialogProc, MissingTemplate::Abandon},
    {"Group", GroupDialogProc, MissingTemplate::Abandon},
};

const char* const UninstallKey = "Software\\microsoft\\windows\\currentversion\\uninstall";
const char* const BackdropClassName = "ZVSetUp";

void StartUp(WNDCLASSA& backdropClass) {
    ModuleInstance = GetModuleHandleA(nullptr);

    backdropClass = WNDCLASSA{};
    backdropClass.style = CS_PARENTDC;
    backdropClass.lpfnWndProc = BackdropWndProc;
    backdropClass.lpszClassName = BackdropClassName;

    char programPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    SourceDir = ExtractFilePath(programPath);

    InputBuffer = new uint8_t[UnpackBufferSize];
    OutputBuffer = new uint8_t[UnpackBufferSize];
    ReadCallback = ReadArchiveBlock;
    WriteCallback = WriteBundleBlock;
    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);

    backdropClass.hInstance = ModuleInstance;
    RegisterClassA(&backdropClass);
    // Visible by its style; first painted when the first dialog's modal loop
    // dispatches its paint message.
    BackdropWindow = CreateWindowExA(0, BackdropClassName, "Installation", WS_POPUP | WS_VISIBLE,
                                     0, 0, ScreenWidth, ScreenHeight, nullptr, nullptr,
                                     ModuleInstance, nullptr);
    LogoBitmap = LoadBitmapA(ModuleInstance, "logo");
    GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
    Aborted = false;
}

void ReleaseBuffers() {
    delete[] InputBuffer;
    delete[] OutputBuffer;
    InputBuffer = nullptr;
    OutputBuffer = nullptr;
}

// Releases the buffers on every way out, a raised error included.
struct BufferRelease {
    BufferRelease() = default;
    BufferRelease(const BufferRelease&) = delete;
    BufferRelease& operator=(const BufferRelease&) = delete;
    ~BufferRelease() { ReleaseBuffers(); }
};

// Runs the chain; false when it ended early (the first template missing).
bool RunStages() {
    for (const Stage& stage : Stages) {
        const bool isLast = &stage == &Stages[std::size(Stages) - 1];
        const std::optional<INT_PTR> endCode = RunStageDialog(stage.TemplateName, stage.Procedure);
        if (!endCode) {
            if (stage.WhenMissing == MissingTemplate::EndAtOnce) {
                return false;
            }
            if (stage.WhenMissing == MissingTemplate::Abandon) {
                Aborted = true;
                return true;
            }
            continue;
        }
        if (isLast) {
            if (*endCode == 1) {
                CreateProductShortcut();
            }
        } else if (*endCode != 1) {
            Aborted = true;
            return true;
        }
    }
    return true;
}

void Finish() {
    WriteUninstallEntry();
    const std::string question = Settings.SuccessPrefix + Settings.ProductName + "?";
    if (MessageBoxA(nullptr, question.c_str(), Settings.ProductName.c_str(), MB_YESNO) == IDYES) {
        LaunchInstalledProgram();
    }
}

} // namespace

void RunInstaller() {
    static WNDCLASSA backdropClass;
    BufferRelease bufferRelease;
    StartUp(backdropClass);
    if (!RunStages()) {
        return;
    }
    if (Aborted) {
        AbortCleanUp();
    } else {
        Finish();
    }
}

std::optional<INT_PTR> RunStageDialog(const char* templateName, DLGPROC procedure) {
    HRSRC found = FindResourceA(ModuleInstance, templateName, RT_DIALOG);
    if (found == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(ModuleInstance, found);
    if (loaded == nullptr) {
        return std::nullopt;
    }
    // The template is handed over by name; the loaded resource only served
    // as the check.
    const INT_PTR endCode =
        DialogBoxParamA(ModuleInstance, templateName, BackdropWindow, procedure, 0);
    DialogResult = static_cast<int32_t>(endCode);
    FreeResource(loaded);
    return endCode;
}

void WriteUninstallEntry() {
    TRegIniFile registry(UninstallKey);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.OpenKey(UninstallKey, true);
    registry.WriteString(Settings.ProductName, "DisplayName", Settings.ProductName);
    registry.WriteString(Settings.ProductName, "UnInstallString",
                         JoinPath(DestinationDir, "UnInstal.Exe"));
}

void AbortCleanUp() {
    const std::string archive = JoinPath(DestinationDir, Settings.CombinedArchiveFile);
    if (ArchiveWrittenByThisRun && FileExists(archive)) {
        DeleteFileA(archive.c_str());
    }
    const std::string mainProgram = JoinPath(DestinationDir, Settings.MainProgramFile);
    if (BundleWrittenByThisRun && FileExists(mainProgram)) {
        DeleteFileA(mainProgram.c_str());
    }
    MessageBoxA(BackdropWindow, Settings.TerminatedMessage.c_str(), Settings.ProductName.c_str(),
                MB_OK);
}

void LaunchInstalledProgram() {
    const std::string name = ChangeFileExt(Settings.MainProgramFile, ".Exe");
    ShellExecuteA(BackdropWindow, nullptr, JoinPath(DestinationDir, name).c_str(), nullptr,
                  DestinationDir.c_str(), SW_SHOW);
}

int RunInstallerForExitCode(std::string& fatalText) {
    try {
        RunInstaller();
        return 0;
    } catch (const Exception& error) {
        fatalText = FatalErrorMessage(error.what());
        return 1;
    }
}

void ResetRunState() {
    ResetInstallState();
    Settings = DefaultInstallerSettings();
    ResetMeter();
    ResetGatheringState();
    ResetUnpackingState();
    PendingFailure = StageFailure::None;
    PendingFailureSubject.clear();
}
