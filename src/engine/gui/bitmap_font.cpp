#include "engine/gui/bitmap_font.h"

#include <algorithm>
#include <utility>

#include "engine/core/wide_string.h"
#include "engine/gui/text_markup.h"
#include "engine/gui/text_wrap.h"
#include "engine/platform/data_files.h"
#include "engine/render/device_sprite_bindings.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table.h"

namespace engine {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr int kAlignRight = 2;
constexpr int kAlignCentre = 6;

BitmapFont*& DefaultFont() {
    static BitmapFont* font = nullptr;
    return font;
}

struct DrawnTextWatch {
    BitmapFont::DrawnTextHook hook = nullptr;
    void* user = nullptr;
};

DrawnTextWatch& DrawnTexts() {
    static DrawnTextWatch watch;
    return watch;
}

bool IsNewline(char16_t c) { return c == u'\r' || c == u'\n'; }

char16_t NextOf(std::u16string_view text, std::size_t i) { return i + 1 < text.size() ? text[i + 1] : u'\0'; }

}  // namespace

BitmapFont::BitmapFont(RenderDevice& device, SpriteBatchBindings& bindings, DynamicVertexBuffer* buffer)
    : SpriteBatch(device, bindings, buffer) {
    colours_[0] = kWhite;
}

BitmapFont::BitmapFont(std::unique_ptr<SpriteBatchBindings> bindings, RenderDevice& device)
    : OwnedSpriteBindings{std::move(bindings)}, SpriteBatch(device, *ownedBindings) {
    colours_[0] = kWhite;
}

BitmapFont::~BitmapFont() {
    if (DefaultFont() == this) DefaultFont() = nullptr;
}

std::unique_ptr<BitmapFont> BitmapFont::CreateOnEngineDevice() {
    GraphicsDevice* device = GetGraphicsDevice();
    ShaderConstantCache* vertexShaders = GetShaderConstantCache();
    ShaderTextBuffer* pixelShaders = GetShaderTextBuffer();
    if (device == nullptr || vertexShaders == nullptr || pixelShaders == nullptr) return nullptr;
    auto bindings = std::make_unique<DeviceSpriteBindings>(*device, *vertexShaders, *pixelShaders);
    return std::unique_ptr<BitmapFont>(new BitmapFont(std::move(bindings), *device));
}

BitmapFont* BitmapFont::GetDefault() { return DefaultFont(); }

void BitmapFont::SetDefault(BitmapFont* font) { DefaultFont() = font; }

void BitmapFont::SetDrawnTextHook(DrawnTextHook hook, void* user) { DrawnTexts() = DrawnTextWatch{hook, user}; }

int BitmapFont::Load(const char* name) {
    metrics_ = FontMetrics{};
    texture_ = 0;
    SetTexture(0, 0, 0);
    if (name == nullptr) return 0;
    const int handle = TextureTable::Load(name, 0);
    if (handle == 0) return 0;
    WideString path(name);
    path.DropExtension();
    path.AppendNarrow(".RFN");
    std::size_t size = 0;
    const auto data = LoadWholeFile(path, size);
    if (data == nullptr || !ReadMetrics(data.get(), size)) return 0;
    texture_ = static_cast<std::uint32_t>(handle);
    SetTexture(texture_, static_cast<int>(TextureTable::GetWidth(handle)),
               static_cast<int>(TextureTable::GetHeight(handle)));
    if (DefaultFont() == nullptr) DefaultFont() = this;
    return 1;
}

bool BitmapFont::ReadMetrics(const std::uint8_t* data, std::size_t size) {
    metrics_ = FontMetrics{};
    return ParseFontMetrics(data, size, metrics_);
}

void BitmapFont::SetColour(int index, std::uint32_t argb) {
    if (index >= 0 && index < kColourCount) colours_[static_cast<std::size_t>(index)] = argb;
}

std::uint32_t BitmapFont::GetColour(int index) const {
    return index >= 0 && index < kColourCount ? colours_[static_cast<std::size_t>(index)] : 0;
}

void BitmapFont::SelectColour(int index) {
    if (index >= 0 && index < kColourCount) colourIndex_ = index;
}

int BitmapFont::IconWidth(int icon) {
    if (iconCallback_ == nullptr) return 0;
    return iconCallback_(*this, 0, 0, CurrentColour(), icon, kIconMeasure, nullptr);
}

int BitmapFont::MeasureWidth(const WideString& text) {
    return MeasureWidth(std::u16string_view(text.Data(), text.Length()));
}

int BitmapFont::MeasureWidth(std::u16string_view text) {
    int width = 0;
    int widest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'@') {
            const MarkupCode code = ReadMarkup(text, i);
            switch (code.kind) {
                case MarkupKind::kMalformed: return 0;
                case MarkupKind::kLiteralAt:
                    if (u'@' <= metrics_.lastCode) width += Advance(u'@', NextOf(text, i + 1));
                    break;
                case MarkupKind::kColour: break;
                case MarkupKind::kJump: width = code.value; break;
                case MarkupKind::kIcon: width += IconWidth(code.value); break;
            }
            i += code.length - 1;
        } else if (c == u'\t') {
            width = (width / kTabStop + 1) * kTabStop;
        } else if (IsNewline(c)) {
            widest = std::max(widest, width);
            width = 0;
        } else if (c >= 32 && c <= metrics_.lastCode) {
            width += Advance(c, NextOf(text, i));
        }
    }
    return std::max(widest, width);
}

int BitmapFont::MeasurePrefix(std::u16string_view text, int count) {
    if (count < 1) return 0;
    return MeasureWidth(text.substr(0, static_cast<std::size_t>(count)));
}

int BitmapFont::CharIndexAt(std::u16string_view text, int x) {
    int previous = 0;
    for (std::size_t k = 1; k <= text.size(); ++k) {
        const int width = MeasurePrefix(text, static_cast<int>(k));
        if (width > x) {
            const float middle = static_cast<float>(width) - static_cast<float>(width - previous) * 0.5f;
            return middle < static_cast<float>(x) ? static_cast<int>(k) : static_cast<int>(k) - 1;
        }
        previous = width;
    }
    return static_cast<int>(text.size());
}

void BitmapFont::DrawAligned(std::u16string_view text, std::uint32_t flags, int x, int y, int originX,
                             std::uint32_t overrideColour) {
    if (const DrawnTextWatch& watch = DrawnTexts(); watch.hook != nullptr) watch.hook(text, watch.user);
    const int horizontal = static_cast<int>(flags & 0x1F);
    if (horizontal == kAlignRight) {
        x -= MeasureWidth(text);
    } else if (horizontal == kAlignCentre) {
        const int half = MeasureWidth(text) / 2;
        x -= half;
        originX -= half;
    }
    const auto vertical = static_cast<std::int8_t>(flags & 0xFF);
    if (vertical >= 32 && vertical <= 63) {
        y -= metrics_.glyphHeight / 2;
    } else if (vertical >= 64 && vertical <= 95) {
        y -= metrics_.glyphHeight;
    } else if (vertical > -97) {
        y -= metrics_.verticalOffset;
    }

    int pen = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const std::uint32_t colour = overrideColour != 0 ? overrideColour : CurrentColour();
        int drawn = -1;
        int next = NextOf(text, i);
        if (c == u'@') {
            const MarkupCode code = ReadMarkup(text, i);
            switch (code.kind) {
                case MarkupKind::kMalformed: return;
                case MarkupKind::kLiteralAt:
                    drawn = u'@';
                    next = NextOf(text, i + 1);
                    break;
                case MarkupKind::kColour: SelectColour(code.value); break;
                case MarkupKind::kJump: pen = originX + code.value; break;
                case MarkupKind::kIcon:
                    icons_.push_back(InlineIcon{pen, y, CurrentColour(), code.value});
                    pen += IconWidth(code.value);
                    break;
            }
            i += code.length - 1;
        } else if (IsNewline(c)) {
            pen = x;
            y += metrics_.lineSpacing;
        } else if (c >= 32) {
            drawn = c;
        }
        if (drawn < 32 || drawn > metrics_.lastCode) continue;
        if (drawn > 32) AddQuad(static_cast<float>(pen), static_cast<float>(y), colour, metrics_.Cell(drawn));
        pen += Advance(drawn, next);
    }
}

void BitmapFont::BeginFor(RenderTargetBase& target) {
    user_ = &target;
    SetTargetSize(target.Width(), target.Height());
    Begin();
    AfterBegin();
}

void BitmapFont::Draw(RenderTargetBase& target, std::u16string_view text, int x, int y, std::uint32_t flags,
                      std::uint32_t overrideColour) {
    SelectColour(0);
    BeginFor(target);
    DrawAligned(text, flags, x, y, x, overrideColour);
    End(true);
}

void BitmapFont::Draw(RenderTargetBase& target, const WideString& text, int x, int y, std::uint32_t flags,
                      std::uint32_t overrideColour) {
    Draw(target, std::u16string_view(text.Data(), text.Length()), x, y, flags, overrideColour);
}

void BitmapFont::DrawNarrow(RenderTargetBase& target, const char* text, int x, int y, std::uint32_t flags) {
    const WideString wide(text);
    Draw(target, wide, x, y, flags);
}

void BitmapFont::DrawLines(RenderTargetBase& target, int y, const TextWrap& wrap, std::uint32_t flags, int x) {
    SelectColour(0);
    for (int i = 0; i < wrap.GetLineCount(); ++i) {
        const WideString& line = wrap.GetLine(i);
        if (!line.IsEmpty()) {
            BeginFor(target);
            DrawAligned(std::u16string_view(line.Data(), line.Length()), flags, x, y, x, wrap.GetLineValue(i));
            End(true);
        }
        y += metrics_.lineSpacing;
    }
}

void BitmapFont::FlushInlineIcons() {
    if (iconCallback_ != nullptr) {
        // The callback may draw text with this font, which must not see the icons being flushed.
        std::vector<InlineIcon> icons;
        icons.swap(icons_);
        for (const InlineIcon& icon : icons) {
            iconCallback_(*this, icon.x, icon.y, icon.colour, icon.icon, kIconDraw, user_);
        }
        icons.clear();
        if (icons_.empty()) icons_.swap(icons);
    }
    icons_.clear();
}

}  // namespace engine
