#include "stages/stage_failure.h"

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/messages.h"

StageFailure PendingFailure = StageFailure::None;
std::string PendingFailureSubject;

void RecordStageFailure(StageFailure failure, const std::string& subject) {
    if (PendingFailure == StageFailure::None) {
        PendingFailure = failure;
        PendingFailureSubject = subject;
    }
    KeepGoing = 0;
}

void ReportStageFailure(HWND owner) {
    std::string text;
    switch (PendingFailure) {
    case StageFailure::None:
        return;
    case StageFailure::UnsafeFileName:
        text = UnsafeFileNameMessage(PendingFailureSubject);
        break;
    case StageFailure::ArchiveUnreadable:
        text = ArchiveUnreadableMessage(PendingFailureSubject);
        break;
    case StageFailure::ArchiveEndedEarly:
        text = ArchiveEndedEarlyMessage();
        break;
    case StageFailure::BundleNotWritten:
        text = BundleWriteFailedMessage(PendingFailureSubject);
        break;
    case StageFailure::BundleShort:
        text = BundleShortMessage(PendingFailureSubject);
        break;
    }
    PendingFailure = StageFailure::None;
    PendingFailureSubject.clear();
    MessageBoxA(owner, text.c_str(), Settings.ProductName.c_str(), MB_OK | MB_ICONERROR);
}
