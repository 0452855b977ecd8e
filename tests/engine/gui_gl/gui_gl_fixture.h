#pragma once
// Fonts and dialogs drawn on the engine's graphics device: the 2D drawing fixture's target wrapped in a render
// target without surfaces of its own, sprite bindings on the device, and a data folder for baked fonts.
#include <memory>

#include "engine/platform/data_folders.h"
#include "engine/render/device_sprite_bindings.h"
#include "engine/render/render_target.h"
#include "engine/render_2d/drawing_2d_fixture.h"
#include "support/temp_folder.h"

namespace guigltest {

class GuiGlTest : public drawtest::Drawing2DTest {
protected:
    void SetUp() override {
        Drawing2DTest::SetUp();
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
        bindings_ = std::make_unique<engine::DeviceSpriteBindings>(*device_, *vertexShaders_, *pixelShaders_);
        engine::RenderTargetServices services;
        services.device = device_.get();
        services.drawing = drawing_.get();
        target_ = std::make_unique<engine::RenderTarget>(services, "gui", kTargetWidth, kTargetHeight,
                                                         engine::kTargetPlain);
    }
    void TearDown() override {
        target_->SetClipRect(nullptr);
        target_.reset();
        bindings_.reset();
        engine::SetBaseFolderNarrow("");
        Drawing2DTest::TearDown();
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<engine::DeviceSpriteBindings> bindings_;
    std::unique_ptr<engine::RenderTarget> target_;
};

}  // namespace guigltest
