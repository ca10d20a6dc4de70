// Answers, while it lives, every message box that the program's code shows in
// this process: records what it would have shown and returns IDOK at once.
// Records its beeps (MessageBeep) too, without sounding them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class ImportPatch;

struct RecordedMessageBox {
    HWND owner = nullptr;
    std::string text;    // code page 932 bytes
    std::string caption; // code page 932 bytes
    UINT style = 0;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    bool active() const;
    const std::vector<RecordedMessageBox>& boxes() const { return boxes_; }
    void Add(RecordedMessageBox box) { boxes_.push_back(std::move(box)); }
    // The type argument of each MessageBeep call, in order.
    const std::vector<UINT>& beeps() const { return beeps_; }
    void AddBeep(UINT type) { beeps_.push_back(type); }

private:
    std::vector<RecordedMessageBox> boxes_;
    std::vector<UINT> beeps_;
    std::unique_ptr<ImportPatch> patch_;
    std::unique_ptr<ImportPatch> beepPatch_;
};
