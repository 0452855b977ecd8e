#include "engine/gui/queued_text.h"

#include <string_view>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/text_wrap.h"
#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"

namespace engine {

void DrawQueuedText(RenderTarget& target, const QuadQueueEntry& entry) {
    auto* font = static_cast<BitmapFont*>(entry.font);
    if (font == nullptr) return;
    if (entry.type == kQueuedText) {
        font->Draw(target, std::u16string_view(entry.text.Data(), entry.text.Length()), entry.textX, entry.textY,
                   entry.alignment, static_cast<std::uint32_t>(entry.lineValue));
    } else if (entry.type == kQueuedTextBlock && entry.textBlock != nullptr) {
        font->DrawLines(target, entry.textY, *static_cast<const TextWrap*>(entry.textBlock), entry.textFlags,
                        entry.textX);
    }
}

void InstallQueuedTextDrawer() { SetQueuedTextDrawer(DrawQueuedText); }

}  // namespace engine
