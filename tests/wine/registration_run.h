// /R's or /U's routine run in process with the registry calls and the boxes
// recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "message_box_recorder.h"
#include "registration/registration_outcome.h"
#include "registration/registration_reporting.h"
#include "registry_call_recorder.h"

struct RegistrationRun {
    RegistrationOutcome result = static_cast<RegistrationOutcome>(-1);
    std::vector<std::string> calls;
    std::vector<std::string> openKeys;
    std::vector<RecordedMessageBox> boxes;
};

using RegistrationRoutine = RegistrationOutcome (*)(RegistrationReporting);

// Runs `routine` (RegisterFileType or UnregisterFileType) with its boxes;
// `prepare` may ask the recorder for failures first.
inline RegistrationRun RunRecorded(RegistrationRoutine routine,
                                   const std::function<void(RegistryCallRecorder&)>& prepare = {})
{
    RegistrationRun run;
    MessageBoxRecorder boxes;
    RegistryCallRecorder registry;
    EXPECT_TRUE(boxes.active() && registry.active());
    if (prepare) {
        prepare(registry);
    }
    run.result = routine(RegistrationReporting::MessageBoxes);
    run.calls = registry.calls();
    run.openKeys = registry.OpenKeys();
    run.boxes = boxes.boxes();
    return run;
}

// Expects the run's boxes to show `texts` in order, each captioned "Loxa",
// owned by no window and of `style`.
inline void ExpectBoxes(const RegistrationRun& run, const std::vector<const char*>& texts,
                        UINT style = MB_OK)
{
    ASSERT_EQ(run.boxes.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(run.boxes[i].text, texts[i]);
        EXPECT_EQ(run.boxes[i].caption, "Loxa");
        EXPECT_EQ(run.boxes[i].style, style);
        EXPECT_EQ(run.boxes[i].owner, nullptr);
    }
}
