#pragma once
// Queued text entries of render targets drawn through the fonts at the end of the target's pass. An entry's
// font field holds the BitmapFont. Type 3 (kQueuedText) draws the entry's text at (textX, textY) aligned by the
// alignment flags, in the colour lineValue when it is non-zero, else in colour 0. Type 4 (kQueuedTextBlock)
// draws the TextWrap held in textBlock line by line from (textX, textY) with the flags textFlags.
namespace engine {

class RenderTarget;
struct QuadQueueEntry;

void DrawQueuedText(RenderTarget& target, const QuadQueueEntry& entry);
// Hands DrawQueuedText to the render targets (SetQueuedTextDrawer).
void InstallQueuedTextDrawer();

}  // namespace engine
