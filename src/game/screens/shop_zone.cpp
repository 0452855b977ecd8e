#include "game/screens/shop_zone.h"

#include <algorithm>

#include "engine/core/random_streams.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/text_wrap.h"
#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"
#include "engine/scene/light_desc.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/structure.h"
#include "game/screens/button_drawers.h"
#include "game/screens/hud_zones.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/screens/zone_registry.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"
#include "game/units/unit.h"
#include "game/units/unit_factory.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_texts.h"

namespace game {
namespace {

constexpr int kFactoryTypes[] = {UT_APC,      UT_TRUCK,      UT_ANTIAIR,   UT_LIGHT_TANK,
                                 UT_MED_TANK, UT_HEAVY_TANK, UT_ARTILLERY, UT_MLRS};
constexpr int kAirportTypes[] = {UT_SKYHOOK, UT_FIGHTER, UT_BOMBER};
constexpr int kDockyardTypes[] = {UT_FERRY, UT_DESTROYER, UT_AEGIS, UT_CRUISER};
constexpr int kBarracksTypes[] = {UT_GRUNT, UT_TROOPER, UT_ENGINEER, UT_GRENADIER, UT_SNIPER, UT_SUPERSOLDIER};

constexpr int kHighlightAffordable = 0;
constexpr int kHighlightUnavailable = 1;
constexpr int kHighlightSelected = 2;
constexpr int kDisabled = 1;
constexpr int kEnabled = 0;
// How far above the information panel's foot its five rating rows start.
constexpr int kRatingRowsLift = 136;
constexpr float kFlashSeconds = 0.1f;
// Display units carry an id no unit of a team has.
constexpr int kDisplayUnitId = -1;
const engine::IntRect kPanelFrame{0, 0, 426, 372};
const engine::IntRect kTab{502, 664, 258, 86};
// The shop's camera: near and far planes, field of view and where it stands.
constexpr float kNear = 0.1f;
constexpr float kFar = 10.0f;
constexpr float kFov = 35.0f;
constexpr engine::Vec3 kEye{0.0f, 0.3f, -4.7f};
// Each model leans back and turns a little so its top and side show.
constexpr float kModelTilt = -25.0f;
constexpr float kModelTurn = 10.0f;

engine::IntRect Moved(engine::IntRect rect, int x, int y) {
    rect.x += x;
    rect.y += y;
    return rect;
}

engine::WideString CostText(int cost) { return Prefixed("@X[000]", NumberText(cost)); }

}  // namespace

ShopZone::ShopZone(ScreenServices& services) : TitledZone(services) {
    if (!CreateWindow(BaseRect({0, 0, kBaseWidth, kBaseHeight}))) return;
    AddButton(kShopBuy, MenuButtonRect(7), engine::WideString(), 4);
    AddButton(kShopCancel, MenuButtonRect(6), services.Text("GEN_CANCEL"), 5);
    AddButton(kShopModelArea, SidePanelRect(3, true), engine::WideString(), 0);
    // The camera first covers the 960 by 640 panel centred on the screen; drawing narrows it to the model area.
    view_ = std::make_unique<engine::SceneView>();
    const int width = services.ScreenWidth();
    const int height = services.ScreenHeight();
    view_->Init({width / 2 - kBaseWidth / 2, height / 2 - kBaseHeight / 2, kBaseWidth, kBaseHeight},
                engine::Camera::kAutoAspect, kNear, kFar);
    queue_ = std::make_unique<engine::RenderQueue>();
    spinny_ = engine::SceneNode::Init(0, "ShopSpinny");
    queue_->SetScene(spinny_);
}

ShopZone::~ShopZone() {
    // The display units take their models off the scene root before it goes.
    ClearEntries();
    if (queue_) queue_->SetScene(nullptr);
    if (spinny_ != nullptr) spinny_->Destroy();
    spinny_ = nullptr;
    view_.reset();
    queue_.reset();
}

std::span<const int> ShopZone::CatalogueOf(int building) {
    switch (building) {
        case kStructureFactory: return kFactoryTypes;
        case kStructureAirport: return kAirportTypes;
        case kStructureDockyard: return kDockyardTypes;
        case kStructureBarracks: return kBarracksTypes;
        default: return {};
    }
}

TeamManager* ShopZone::Teams() const {
    return Services().game != nullptr ? Services().game->GetTeamManager() : nullptr;
}

Team* ShopZone::CurrentTeam() const {
    TeamManager* teams = Teams();
    return teams != nullptr ? teams->GetCurrentTeam() : nullptr;
}

int ShopZone::RememberedSlot() const {
    const int slot = kStructureBarracks - catalogue_;
    return slot >= 0 && slot < 4 && catalogue_ >= kStructureFactory ? slot : -1;
}

void ShopZone::ClearEntries() {
    for (ShopEntry& entry : entries_) entry = ShopEntry{};
    count_ = 0;
}

int ShopZone::OnShow(bool shown) {
    const ZoneRegistry* zones = Services().zones;
    if (shown) {
        for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
            if (auto* panel = FindZone<SlidingZone>(zones, id)) panel->SlideOut();
        }
        selected_ = 0;
        Rebuild();
        SetBuyLabel();
    } else {
        for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
            if (Zone* panel = FindZone<Zone>(zones, id)) panel->SetShown(true, false);
        }
        ClearEntries();
    }
    return 1;
}

void ShopZone::Rebuild() {
    ClearEntries();
    const ScreenGame* game = Services().game;
    const Structure* picked = game != nullptr ? game->GetPickedStructure() : nullptr;
    catalogue_ = picked != nullptr ? picked->GetType() : 0;
    TeamManager* teams = Teams();
    Team* team = CurrentTeam();
    BattleContext* battle = Services().game != nullptr ? Services().game->GetBattle() : nullptr;
    if (teams != nullptr && team != nullptr && battle != nullptr) {
        for (const int type : CatalogueOf(catalogue_)) {
            if (count_ >= kMaxShopEntries) break;
            if (!teams->Services().IsUnitTypeUnlocked(type)) continue;
            ShopEntry& entry = entries_[static_cast<std::size_t>(count_)];
            entry.unitType = type;
            entry.cost = GetUnitTypeCost(type);
            entry.affordable = team->GetCash() >= entry.cost;
            entry.display = CreateUnit(*battle, type, team, kDisplayUnitId);
            if (entry.display != nullptr) {
                entry.display->ReturnToIdle();
                // The model stands at the scene's origin; drawing places it in its grid cell.
                engine::Matrix44 local = entry.display->GetView().GetLocalMatrix();
                local.SetRow(3, {0.0f, 0.0f, 0.0f});
                entry.display->GetView().SetLocalMatrix(local);
                entry.display->GetView().AttachUnder(spinny_);
            }
            ++count_;
        }
    }
    const int width = Services().ScreenWidth();
    const int height = Services().ScreenHeight();
    LayOutGrid(width / 2 - kBaseWidth / 2, height / 2 - kBaseHeight / 2);
    if (engine::DialogControl* buy = Control(kShopBuy)) buy->SetDisabled(count_ > 0 ? kEnabled : kDisabled);
    if (count_ == 0) return;
    // The remembered choice when it is listed, else the first entry, selected either way so it is lit.
    int index = 0;
    const int slot = RememberedSlot();
    for (int i = 0; slot >= 0 && i < count_; ++i) {
        if (entries_[static_cast<std::size_t>(i)].unitType == team->LastBought()[static_cast<std::size_t>(slot)]) {
            index = i;
            break;
        }
    }
    Select(index);
}

void ShopZone::LayOutGrid(int windowX, int windowY) {
    if (count_ == 0) return;
    const engine::IntRect area = Moved(SidePanelRect(3, true), windowX, windowY);
    const int columns = std::min(count_, 3);
    const int rows = (count_ + columns - 1) / columns;
    for (int n = 0; n < count_; ++n) {
        ShopEntry& entry = entries_[static_cast<std::size_t>(n)];
        const int column = n % columns;
        const int row = n / columns;
        entry.hitRect = {area.x + column * area.width / columns, area.y + row * area.height / rows,
                         area.width / columns, area.height / rows};
        entry.modelPosition = {static_cast<float>(column) * 0.9f + static_cast<float>(1 - columns) * 0.45f,
                               static_cast<float>(rows - 1) * 0.45f - static_cast<float>(row) * 0.9f};
    }
}

void ShopZone::Select(int index) {
    if (index < 0 || index >= count_) return;
    for (int i = 0; i < count_; ++i) {
        ShopEntry& entry = entries_[static_cast<std::size_t>(i)];
        if (entry.display != nullptr) {
            entry.display->SetHighlight(entry.affordable ? kHighlightAffordable : kHighlightUnavailable);
        }
    }
    selected_ = index;
    if (Unit* unit = entries_[static_cast<std::size_t>(index)].display.get()) unit->SetHighlight(kHighlightSelected);
    SetBuyLabel();
}

void ShopZone::SetBuyLabel() {
    engine::DialogControl* buy = Control(kShopBuy);
    if (buy == nullptr) return;
    if (count_ == 0) {
        buy->SetText(Services().Text("GEN_BUY"));
        return;
    }
    const ShopEntry& entry = entries_[static_cast<std::size_t>(selected_)];
    engine::WideString label = entry.affordable ? Services().Text("GEN_BUY")
                                                : Prefixed("@C[2]", Services().Text("GEN_COST"));
    label.AppendNarrow(" ");
    label.Append(CostText(entry.cost));
    buy->SetText(label);
}

int ShopZone::OnControl(bool pressed, int controlId) {
    if (!IsFullyOpen()) return pressed ? 0 : 1;
    ScreenServices& services = Services();
    if (pressed) {
        if (controlId != kShopModelArea) return 0;
        int x = 0;
        int y = 0;
        engine::GetGuiPointer(x, y);
        for (int i = 0; i < count_; ++i) {
            if (!entries_[static_cast<std::size_t>(i)].hitRect.Contains(x, y)) continue;
            if (i != selected_) services.PlayUiSound(kUiClick);
            Select(i);
            break;
        }
        return 0;
    }
    if (controlId == kShopCancel) {
        services.PlayUiSound(kUiClick);
        Leave();
    } else if (controlId == kShopBuy) {
        Buy();
    }
    return 1;
}

void ShopZone::Buy() {
    ScreenServices& services = Services();
    if (count_ == 0) {
        services.PlayUiSound(kUiFail);
        return;
    }
    const ShopEntry& entry = entries_[static_cast<std::size_t>(selected_)];
    if (!entry.affordable) {
        services.PlayUiSound(kUiFail);
        flash_ = kFlashSeconds;
        return;
    }
    TeamManager* teams = Teams();
    Team* team = CurrentTeam();
    const Structure* pad = services.game->GetShopStructure();
    BattleContext* battle = services.game->GetBattle();
    if (team != nullptr && pad != nullptr && battle != nullptr) {
        const int facing = battle->GetRandomStreams().NextInt(0, 5, 0);
        if (team->SpawnUnit(entry.unitType, pad->GetHex(), facing, true, 1.0f) != 0) {
            team->AddCash(-entry.cost);
            teams->SaveUndo(nullptr);
            services.PlayUiSound(kUiClick);
        }
    }
    const int slot = RememberedSlot();
    if (team != nullptr && slot >= 0) team->LastBought()[static_cast<std::size_t>(slot)] = entry.unitType;
    Leave();
}

void ShopZone::Leave() {
    CloseZone(*this);
    if (Services().game != nullptr) Services().game->SetState(kGameBackToTurnState);
}

int ShopZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    Leave();
    return 1;
}

int ShopZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    if (!IsFullyOpen() || controlId == kShopModelArea) return 1;
    DrawMenuButton(Services(), *control, rect, OpeningGrow(), false);
    return 1;
}

int ShopZone::DrawContents(ZoneWindow& window) {
    ScreenServices& services = Services();
    const engine::IntRect w = window.GetRect();
    DrawArt(services, kArtZoomer, {0, 0, kBaseWidth, kBaseHeight}, w);
    DrawArt(services, kArtZoomer, kTab, BaseRect({w.x + 702, w.y, kTab.width, kTab.height}));
    if (count_ > 0) {
        const engine::IntRect area = Moved(SidePanelRect(3, true), w.x, w.y);
        LayOutGrid(w.x, w.y);
        for (int i = 0; i < count_; ++i) {
            if (Unit* unit = entries_[static_cast<std::size_t>(i)].display.get()) unit->UpdateAnimation();
        }
        DrawModels(area);
        DrawArt(services, kArtUiBits, kPanelFrame, area);
    }
    if (services.target != nullptr) services.target->Resolve();

    flash_ = std::max(flash_ - services.FrameSeconds(), 0.0f);
    const Team* team = CurrentTeam();
    engine::WideString cash("@X[000]");
    if (flash_ > 0.0f) cash.AppendNarrow("@C[2]");
    cash.Append(NumberText(team != nullptr ? team->GetCash() : 0));
    DrawScreenText(services, FontId::kLarge, cash, w.x + w.width - 40, w.y + 42, kAlignRight);

    if (count_ > 0) DrawInformation(Moved(SidePanelRect(3, false), w.x, w.y));
    return 1;
}

void ShopZone::DrawModels(const engine::IntRect& area) {
    engine::RenderTargetBase* target = Services().target;
    if (target == nullptr || !view_ || !queue_ || spinny_ == nullptr) return;
    view_->SetViewport(area);
    view_->SetAspect(1.0f);
    engine::Matrix44 eye;
    eye.SetTranslationV(kEye);
    view_->GetViewTransform().SetFov(kFov);
    view_->GetViewTransform().SetMatrix(eye);
    engine::Matrix44 tilt;
    tilt.InitRotationX(30.0f);
    engine::Matrix44 turn;
    turn.InitRotationY(30.0f);
    engine::Matrix44 lightMatrix;
    engine::Matrix44::Multiply(tilt, turn, lightMatrix);
    engine::LightDesc& light = queue_->GetLight(0);
    light.SetMatrix(lightMatrix);
    light.SetEnabled(1);
    // The models take their grid places before the queue copies their matrices, so a frame shows this
    // frame's layout.
    for (int i = 0; i < count_; ++i) {
        ShopEntry& entry = entries_[static_cast<std::size_t>(i)];
        if (entry.display == nullptr) continue;
        engine::Matrix44 place;
        place.InitRotationX(kModelTilt);
        place.RotateYLocal(kModelTurn);
        place.SetRow(3, {entry.modelPosition.x, entry.modelPosition.y, 0.0f});
        entry.display->GetView().SetLocalMatrix(place);
    }
    spinny_->UpdateWorldMatrix();
    view_->UpdateFrustum();
    queue_->Build(&view_->GetViewTransform().GetMatrix());
    target->ClearDepth();
    target->RenderScene(queue_.get(), view_.get());
}

void ShopZone::DrawInformation(const engine::IntRect& panel) {
    ScreenServices& services = Services();
    const ShopEntry& entry = entries_[static_cast<std::size_t>(selected_)];
    const int type = entry.unitType;
    const int middle = panel.x + panel.width / 2;
    engine::WideString text;
    UnitTypeName(text, type);
    DrawScreenText(services, FontId::kLarge, text, middle, panel.y + 40, kAlignCentre);
    UnitTypeLongDesc(text, type);
    DrawScreenText(services, FontId::kMain, Prefixed("@C[3]", text), middle, panel.y + 80, kAlignCentre);

    if (entry.display != nullptr && entry.display->IsArmed()) {
        const UnitParams& params = GetUnitParams(type);
        // Five rows 24 pixels apart: the last row's 32-pixel rating glyphs end 8 pixels inside the frame.
        int y = panel.y + panel.height - kRatingRowsLift;
        engine::WideString label = Prefixed("@C[4]", services.Text("BIO_ATTACKRANGE"));
        label.AppendNarrow("@J[200]");
        DrawScreenText(services, FontId::kMain, label, panel.x + 15, y, kAlignLeft);
        engine::WideString range = Prefixed("@C[4]", NumberText(params.minRange));
        range.AppendNarrow(" - ");
        range.Append(NumberText(params.maxRange));
        DrawScreenText(services, FontId::kMain, range, panel.x + panel.width - 20, y, kAlignRight);
        const std::pair<const char*, int> ratings[] = {{"BIO_VSINFANTRY", params.vsInfantry},
                                                       {"BIO_VSVEHICLES", params.vsVehicles},
                                                       {"BIO_VSAIRBORNE", params.vsAirborne},
                                                       {"BIO_VSSHIPS", params.vsShips}};
        for (const auto& [key, rating] : ratings) {
            y += 24;
            DrawScreenText(services, FontId::kMain, Prefixed("@C[4]", services.Text(key)), panel.x + 15, y,
                           kAlignLeft);
            DrawRatings(rating, panel.x + panel.width - 15, y);
        }
    }

    UnitTypeDetailText(text, type);
    text.UnescapeNewlines();
    if (engine::BitmapFont* font = services.Font(FontId::kMain)) {
        engine::TextWrap wrap;
        wrap.Wrap(*font, Prefixed("@C[4]", text), panel.width - 40);
        DrawTextLines(services, FontId::kMain, wrap, panel.x + 20, panel.y + 130, kAlignLeft);
    }
    DrawArt(services, kArtUiBits, kPanelFrame, panel);
}

void ShopZone::DrawRatings(int rating, int right, int y) {
    if (rating <= 0) {
        DrawScreenText(Services(), FontId::kMain, engine::WideString("@X[010]"), right, y, kAlignRight);
        return;
    }
    for (int i = 0; i < rating; ++i) {
        DrawScreenText(Services(), FontId::kMain, engine::WideString("@X[009]"), right - 24 * i, y, kAlignRight);
    }
}

}  // namespace game
