#include "message_box_recorder.h"

#include "import_patch.h"

namespace {

MessageBoxRecorder* recorder = nullptr;

int WINAPI AnswerMessageBox(HWND owner, const char* text, const char* caption, UINT style)
{
    recorder->Add({owner, text != nullptr ? text : "", caption != nullptr ? caption : "", style});
    return IDOK;
}

BOOL WINAPI RecordBeep(UINT type)
{
    recorder->AddBeep(type);
    return TRUE;
}

} // namespace

MessageBoxRecorder::MessageBoxRecorder()
{
    recorder = this;
    // cppcheck-suppress useInitializationList ; the recorder is in place before calls reach it
    patch_ = std::make_unique<ImportPatch>("user32.dll", "MessageBoxA",
                                           reinterpret_cast<void*>(&AnswerMessageBox));
    // cppcheck-suppress useInitializationList ; the same
    beepPatch_ = std::make_unique<ImportPatch>("user32.dll", "MessageBeep",
                                               reinterpret_cast<void*>(&RecordBeep));
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    beepPatch_.reset();
    patch_.reset();
    recorder = nullptr;
}

bool MessageBoxRecorder::active() const
{
    return patch_->active() && beepPatch_->active();
}
