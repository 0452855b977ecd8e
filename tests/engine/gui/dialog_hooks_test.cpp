// The GUI's engine hooks: CreateEngine sets the dialog system up and every frame step runs its update once.
#include "engine/gui/dialog_system.h"

#include <gtest/gtest.h>

#include "engine/gui/dialog.h"
#include "engine/platform/engine_fixture.h"
#include "engine/platform/engine_hooks.h"

namespace {

using DialogHooks = testsupport::EngineTest;

TEST_F(DialogHooks, EveryFrameStepRunsTheDialogUpdateOnce) {
    fakes.Install();
    engine::InstallDialogHooks();
    engine::Engine* made = engine::CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    {
        // A dialog and button over every pointer position: each update sends one hover event.
        int hovers = 0;
        engine::Dialog dialog;
        ASSERT_TRUE(dialog.Init(u"all", -100000, -100000, 200000, 200000,
                                [&hovers](engine::Dialog&, int event, int, int, const engine::IntRect*) {
                                    hovers += event == engine::kEventHover ? 1 : 0;
                                    return 0;
                                },
                                false, false));
        dialog.AddButton(1, engine::IntRect{0, 0, 200000, 200000}, u"all");
        dialog.Show(true);
        for (int frame = 1; frame <= 3; ++frame) {
            ASSERT_EQ(made->FrameStep(), 1);
            EXPECT_EQ(hovers, frame);
        }
    }
    delete made;
}

}  // namespace
