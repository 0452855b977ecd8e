// The icon cells the screens draw, each with the controls and rows that name it: a used cell must be drawn
// and must not be marked spare in the cell map, whatever the map's own flags say.
#include <string>

#include "artgen/cell_map.h"
#include "artgen/sheet_checks.h"
#include "datacheck/data_check.h"

namespace datacheck {

namespace {

struct IconUse {
    int icon;
    const char* use;  // screen, text key (or what it marks) and what it does
};

// Button icons (user values of the screens' controls; list rows and ticks).
constexpr IconUse kButtonIconUses[] = {
    {0, "HUD end turn"},
    {0, "main menu MM_PLAYGAME"},
    {0, "game type GEN_START"},
    {0, "skirmish setup GEN_PLAY"},
    {0, "pass-and-play setup GEN_PLAY"},
    {0, "campaign map GEN_PLAY"},
    {0, "lose screen GEN_RETRY"},
    {0, "comic overlay skip"},
    {1, "main menu MM_CREDITS"},
    {2, "main menu MM_SETTINGS"},
    {2, "pause menu MM_SETTINGS"},
    {2, "skirmish setup SKM_OPTIONS"},
    {2, "pass-and-play setup SKM_OPTIONS"},
    {4, "shop GEN_BUY"},
    {4, "match options cash sliders"},
    {5, "HUD fast-forward"},
    {5, "end-turn confirmation GEN_NO"},
    {5, "surrender confirmation GEN_NO"},
    {5, "pause menu QUITLEVEL"},
    {5, "main menu MM_QUITGAME"},
    {5, "shop GEN_CANCEL"},
    {5, "load screen empty slot"},
    {6, "end-turn confirmation GEN_YES"},
    {6, "surrender confirmation GEN_YES"},
    {6, "pause menu GEN_RESUME"},
    {6, "GEN_DONE of the objective, match options, campaign picker, difficulty, settings, speech picker, credits"},
    {6, "win screen and match result GEN_CONTINUE"},
    {6, "map picker GEN_SELECT"},
    {6, "save screen GEN_OVERWRITE and the unselected slots"},
    {6, "campaign and speech picker ticks"},
    {7, "settings SET_PICKSPEECH"},
    {8, "skirmish and pass-and-play setups SKM_PICKMAP"},
    {8, "game type MM_SINGLEGAMETYPE_CAMPAIGN"},
    {8, "campaign map GEN_CHANGE"},
    {9, "GEN_BACK of the game type, setups, campaign map, lose screen, achievements, save and load"},
    {10, "pause menu STATEOBJ"},
    {11, "main menu MM_LOADGAME"},
    {11, "save and load slots in use"},
    {12, "pause menu SAVE"},
    {12, "save screen selected slot"},
    {15, "HUD undo"},
    {16, "HUD pause"},
    {17, "settings music volume slider"},
    {18, "settings effects volume slider"},
    {19, "slider thumb"},
    {24, "settings list rows"},
    {27, "game type MM_SINGLEGAMETYPE_SKIRMISH"},
    {28, "game type MM_SINGLEGAMETYPE_PASSANDPLAY"},
    {29, "main menu MM_ACHIEVEMENTS"},
    {30, "campaign picker SET_DIFFICULTY"},
    {31, "difficulty GEN_EASY"},
    {32, "difficulty GEN_MEDIUM"},
    {33, "difficulty GEN_HARD"},
    {34, "difficulty GEN_SILLY"},
};

// Inline icons of the texts ("@X[n]"), small in the body fonts and large in the large font.
constexpr IconUse kSmallIconUses[] = {
    {0, "cash"},           {1, "damage taken"},      {2, "repaired"},         {3, "fuel lost; fuel pips"},
    {4, "predicted loss; ammunition pips"},          {5, "resupplied"},       {7, "first promotion"},
    {8, "second promotion"}, {9, "shop rating"},     {10, "shop rating 0; a pad cleared"},
    {11, "unit panel ready mark"},
};
constexpr IconUse kLargeIconUses[] = {{0, "cash on the shop's buy label and cash line"}};

}  // namespace

void DataCheck::CheckIconUses(const artgen::CellMap& map, const std::map<std::string, artgen::SheetPixels>& sheets) {
    auto expect = [&](const char* sheet, const std::string& name, const char* use) {
        const artgen::Cell* cell = map.FindCell(sheet, name);
        if (cell == nullptr) {
            Fault("data/Art/cells.txt", "", std::string(sheet) + " " + name + ": missing, but the " + use + " draws it");
            return;
        }
        if (cell->spare) {
            Fault("data/Art/cells.txt", "line " + std::to_string(cell->line),
                  cell->Describe() + ": marked spare, but the " + use + " draws it");
        }
        const auto pixels = sheets.find(sheet);
        if (pixels == sheets.end()) return;
        for (int y = cell->y; y < cell->y + cell->height && y < pixels->second.height; ++y) {
            for (int x = cell->x; x < cell->x + cell->width && x < pixels->second.width; ++x) {
                if ((pixels->second.At(x, y) >> 24) != 0) return;
            }
        }
        Fault(std::string(sheet) + ".png", cell->name, "empty, but the " + std::string(use) + " draws it");
    };
    for (const IconUse& u : kButtonIconUses) expect("GUI/ButtonBits", "button_icon." + std::to_string(u.icon), u.use);
    for (const IconUse& u : kSmallIconUses) expect("GUI/ingameUi", "small_icon." + std::to_string(u.icon), u.use);
    for (const IconUse& u : kLargeIconUses) expect("GUI/ButtonBits", "large_icon." + std::to_string(u.icon), u.use);
    // The unit panel draws the icon of every unit type 1 to 24 (type n in cell n - 1).
    for (int type = 1; type <= 24; ++type) {
        const std::string use = "unit panel for unit type " + std::to_string(type);
        expect("GUI/ingameUi", "unit_icon." + std::to_string(type - 1), use.c_str());
    }
}

}  // namespace datacheck
