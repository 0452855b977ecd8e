// The validator on the built data set: it passes as shipped, and each fault seeded into a copy is named by
// file and line, tile or cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "datacheck/data_check.h"
#include "engine/image/image_writers.h"
#include "engine/image/png_decoder.h"
#include "engine/platform/zip_archive.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_writer.h"
#include "support/sound_fixtures.h"
#include "support/zip_writer.h"

namespace {

using datacheck::DataCheck;
using Entries = std::vector<std::pair<std::string, std::string>>;

// The shipped archive's entries, as the game's reader extracts them (names upper-cased).
const Entries& Shipped() {
    static const Entries entries = [] {
        Entries out;
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        EXPECT_NE(archive, nullptr) << TINMARCH_DATASET_ARCHIVE;
        if (archive == nullptr) return out;
        for (std::uint32_t i = 0; i < archive->EntryCount(); ++i) {
            std::uint32_t size = 0;
            auto bytes = archive->ExtractEntry(i, size);
            out.emplace_back(std::string(archive->EntryName(i)), std::string(reinterpret_cast<char*>(bytes.get()), size));
        }
        return out;
    }();
    return entries;
}

std::vector<datacheck::DataFault> Check(const Entries& entries) {
    testsupport::ZipWriter writer;
    for (const auto& [name, data] : entries) writer.Add(name, data);
    const testsupport::ZipImage image = writer.Build();
    auto archive = datacheck::OpenArchiveMemory(image.bytes);
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr) return {};
    DataCheck check(std::move(archive));
    check.RunAll();
    return check.Faults();
}

std::string Describe(const std::vector<datacheck::DataFault>& faults) {
    std::string text;
    for (const auto& fault : faults) text += fault.Describe() + "\n";
    return text;
}

std::string& Entry(Entries& entries, const std::string& name) {
    for (auto& [entryName, data] : entries) {
        if (datacheck::Upper(entryName) == datacheck::Upper(name)) return data;
    }
    ADD_FAILURE() << "no entry " << name;
    static std::string none;
    return none;
}

// ASCII text as the UTF-16LE bytes of a locale file.
std::string Wide(const std::string& text) {
    std::string out;
    for (char c : text) out += std::string{c, '\0'};
    return out;
}

// Fills a rectangle of a PNG entry with one colour (ARGB).
void FillPixels(std::string& png, int x0, int y0, int width, int height, std::uint32_t argb) {
    engine::DecodedPng image = engine::DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size());
    ASSERT_NE(image.pixels, nullptr);
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            std::uint8_t* p = image.pixels.get() + (static_cast<std::size_t>(y) * image.width + x) * 4;
            p[0] = argb & 0xFF, p[1] = argb >> 8 & 0xFF, p[2] = argb >> 16 & 0xFF, p[3] = argb >> 24;
        }
    }
    const std::vector<std::uint8_t> bytes = engine::EncodePng(engine::PackedSurface(
        engine::SurfaceFormat::kA8R8G8B8, image.width, image.height, image.pixels.get()));
    png.assign(bytes.begin(), bytes.end());
}

struct Case {
    const char* name;
    std::function<void(Entries&)> seed;
    std::string file;
    std::string where;
    std::string message;
};

// A case shows as its description in test output.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// The seeded copy fails with a fault of that file, place and message.
void Expect(const Case& c) {
    Entries entries = Shipped();
    c.seed(entries);
    const auto faults = Check(entries);
    bool named = false;
    for (const auto& fault : faults) {
        named = named || (datacheck::Upper(fault.file) == datacheck::Upper(c.file) && fault.where == c.where &&
                          fault.message.find(c.message) != std::string::npos);
    }
    EXPECT_TRUE(named) << c.name << ": expected " << c.file << ": " << c.where << ": ..." << c.message << "; got:\n"
                       << Describe(faults);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// Rewrites one record of a map file.
void EditMap(std::string& file, int column, int row, const std::function<void(game::HexFileRecord&)>& edit) {
    game::HexFileImage image;
    ASSERT_TRUE(game::DecodeHexMapImage(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), image));
    edit(image.At(column, row));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(game::EncodeHexMapImage(image, bytes));
    file.assign(bytes.begin(), bytes.end());
}

void Remove(Entries& entries, const std::string& name) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto& entry) { return datacheck::Upper(entry.first) == datacheck::Upper(name); });
    ASSERT_NE(it, entries.end()) << name;
    entries.erase(it);
}

// The 16-bit sample at a frame of a mono WAV entry (a 44-byte header, then the samples).
std::int16_t& Sample(std::string& wav, std::size_t frame) {
    return *reinterpret_cast<std::int16_t*>(wav.data() + 44 + frame * 2);
}

std::size_t Frames(const std::string& wav) { return (wav.size() - 44) / 2; }

// A mono sine that peaks at -3 dBFS, starts at once and ends in silence: a spoken line but for its length.
std::string SpokenLine(double seconds) {
    const auto count = static_cast<std::size_t>(seconds * 22050);
    std::vector<std::int16_t> samples = testsupport::Sine(count, 0.708, 50.0);
    for (std::size_t i = count - 400; i < count; ++i) samples[i] = 0;
    return testsupport::MakeWav(1, 22050, 16, testsupport::Pcm16(samples));
}

TEST(DataCheck, TheShippedSetPasses) {
    ASSERT_FALSE(Shipped().empty());
    const auto faults = Check(Shipped());
    EXPECT_TRUE(faults.empty()) << Describe(faults);
}

const std::string cq = "Campaigns/Skirmish/CloseQuarters/";
const std::string m1 = "Campaigns/standard/Mission01/";
const std::string m2 = "Campaigns/standard/Mission02/";
const std::string m3 = "Campaigns/standard/Mission03/";

// Each seeded fault is a test of its own: the cases build and check a whole data set each, so ctest runs them
// side by side.
const std::vector<Case>& SeededFaults() {
    static const std::vector<Case> cases = {
        {"an empty Damage cell",
         [](Entries& e) {
             // ",       30," becomes ",," : the table reader drops the empty cell and shifts the row.
             std::string& damage = Entry(e, "Units/Damage.TXT");
             const std::size_t first = damage.find("UT_GRUNT,") + 9;
             damage.erase(first, damage.find(',', first) - first);
         },
         "Units/Damage.TXT", "row 17, column 24", "24 cells"},
        {"a non-ASCII byte", [](Entries& e) { Replace(Entry(e, cq + "details.TXT"), "[NAMES]\n", "[NAMES]\nCaf\xE9 "); },
         cq + "details.TXT", "line 3", "byte 233"},
        {"credits as 8-bit text", [](Entries& e) { Entry(e, "Credits_NoURL.TXT") = "#Tinmarch\n"; },
         "Credits_NoURL.TXT", "", "UTF-16LE with a byte-order mark"},
        {"a tab in the global texts",
         [](Entries& e) {
             std::string& locale = Entry(e, "Locale/eng.txt");
             locale.insert(2, std::string("\t\0", 2));  // before the first key
         },
         "Locale/eng.txt", "line 1", "character 9"},
        {"two names equal but for case",
         [](Entries& e) { e.emplace_back("units/damage.txt", Entry(e, "Units/Damage.TXT")); }, "units/damage.txt", "",
         "differ in more than case"},
        {"an asymmetric tile",
         [](Entries& e) { EditMap(Entry(e, cq + "GameMap.Hex"), 6, 1, [](game::HexFileRecord& r) { r.terrain = 2; }); },
         cq + "GameMap.Hex", "tile B6", "half-turn image"},
        {"a pad with no producer",
         [](Entries& e) {
             EditMap(Entry(e, cq + "GameMap.Hex"), 12, 13, [](game::HexFileRecord& r) {
                 r.objectClass = 3, r.objectType = 1, r.objectOwner = 0;
             });
         },
         cq + "GameMap.Hex", "tile N12", "no structure of type 1"},
        {"a side without a refinery",
         [](Entries& e) {
             EditMap(Entry(e, cq + "GameMap.Hex"), 4, 4, [](game::HexFileRecord& r) { r.objectClass = 0; });
             EditMap(Entry(e, cq + "GameMap.Hex"), 4, 12, [](game::HexFileRecord& r) { r.objectClass = 0; });
         },
         cq + "GameMap.Hex", "", "side 1 has no refinery"},
        {"a blank after a comma in a REACHTILE value",
         [](Entries& e) { Replace(Entry(e, m1 + "Mission.TXT"), "WLC_REACHTILE_ANY,", "WLC_REACHTILE_ANY, "); },
         m1 + "Mission.TXT", "line 3", "a blank after a comma"},
        {"an unknown condition key mid-block",
         [](Entries& e) { Replace(Entry(e, m1 + "Mission.TXT"), "[LOSE]\n", "[LOSE]\nWLC_NO_SUCH_THING\n"); },
         m1 + "Mission.TXT", "line 7", "unknown condition"},
        {"ADDTRIGGER naming a later block",
         [](Entries& e) { Replace(Entry(e, m2 + "Script.TXT"), "ADDTRIGGER(H10,FORD_REACHED)", "ADDTRIGGER(H10,DAY2_START)"); },
         m2 + "Script.TXT", "line 14", "ADDTRIGGER names no earlier block"},
        {"a comic with 32 events",
         [](Entries& e) {
             std::string comic;
             for (int i = 0; i < 31; ++i) comic += std::to_string(i) + ", LSPEAK, M01_C1\n";
             Entry(e, m1 + "comic.TXT") = comic + "31, FINISHED\n";
         },
         m1 + "comic.TXT", "", "32 events"},
        {"a key missing from the campaign table",
         [](Entries& e) { Replace(Entry(e, m1 + "Script.TXT"), "INTEL(M01_INTEL1,", "INTEL(M01_NO_SUCH_KEY,"); },
         m1 + "Script.TXT", "line 7", "\"M01_NO_SUCH_KEY\" is not in the campaign's text table"},
        {"a bad PARAMS line", [](Entries& e) { Replace(Entry(e, m2 + "Mission.TXT"), "5,3,3\n", "5,3\n"); },
         m2 + "Mission.TXT", "line 30", "expected 3 whole numbers"},
        {"a unit name used before it is bound",
         [](Entries& e) { Replace(Entry(e, m2 + "Script.TXT"), "MOVEUNIT(reinforce,", "MOVEUNIT(stranger,"); },
         m2 + "Script.TXT", "line 20", "\"stranger\" is not bound"},
        {"a script line over 255 characters",
         [](Entries& e) { Replace(Entry(e, m1 + "Script.TXT"), "PAUSE(1)", "PAUSE(1" + std::string(260, '0') + ")"); },
         m1 + "Script.TXT", "line 9", "longer than 255"},
        {"a spawn onto a taken hex, which fails when the day comes",
         [](Entries& e) { Replace(Entry(e, m2 + "Script.TXT"), "SPAWN(reinforce,UT_LIGHT_TANK,L2,", "SPAWN(reinforce,UT_LIGHT_TANK,G3,"); },
         m2 + "Script.TXT", "line 19", "the command failed while the mission was played"},
        {"a pause that outlasts the day",
         [](Entries& e) { Replace(Entry(e, m1 + "Script.TXT"), "PAUSE(1)", "PAUSE(9999)"); },
         m1 + "Script.TXT", "line 9", "is still running"},
        {"a listed mission whose PARAMS do not load",
         [](Entries& e) { Replace(Entry(e, "Campaigns/standard/Mission05/Mission.TXT"), "[PARAMS]", "[PARAMZ]"); },
         "Campaigns/standard/Campaign.TXT", "", "took 7 of the 8 missions listed"},
        {"a marker off the picture",
         [](Entries& e) { Replace(Entry(e, m3 + "Mission.TXT"), "\n470,520\n", "\n1100,520\n"); },
         m3 + "Mission.TXT", "line 32", "lies outside the 1024x1024 campaign picture"},
        {"a marker 80 px from another",
         [](Entries& e) { Replace(Entry(e, m3 + "Mission.TXT"), "\n470,520\n", "\n400,600\n"); },
         m3 + "Mission.TXT", "line 32", "within 120 px of Mission02's"},
        {"a start tile past the map's 25 columns",
         [](Entries& e) { Replace(Entry(e, "Campaigns/standard/Mission08/Mission.TXT"), "\nD1\n", "\nD30\n"); },
         "Campaigns/standard/Mission08/Mission.TXT", "line 49", "is not a playable tile"},
        {"a stereo effect",
         [](Entries& e) {
             Entry(e, "Sound/buttonclick.wav") =
                 testsupport::MakeWav(2, 22050, 16, testsupport::Pcm16(testsupport::Sine(2000, 0.5, 40.0)));
         },
         "Sound/buttonclick.wav", "", "2 channel(s), 22050 Hz"},
        {"an 11025 Hz file",
         [](Entries& e) {
             Entry(e, "Sound/DLC/Standard/Yes1.wav") =
                 testsupport::MakeWav(1, 11025, 16, testsupport::Pcm16(testsupport::Sine(8000, 0.7, 40.0)));
         },
         "Sound/DLC/Standard/Yes1.wav", "", "11025 Hz"},
        {"a run of clipped samples",
         [](Entries& e) {
             std::string& wav = Entry(e, "Sound/shellexplosion1.wav");
             for (std::size_t f = 5000; f < 5020; ++f) Sample(wav, f) = 32767;
         },
         "Sound/shellexplosion1.wav", "", "20 sample(s) at full scale"},
        {"a click at a loop's wrap",
         [](Entries& e) {
             std::string& wav = Entry(e, "Sound/suck.wav");
             Sample(wav, Frames(wav) - 1) = Sample(wav, 0) > 0 ? -20000 : 20000;
         },
         "Sound/suck.wav", "", "across the loop's wrap"},
        {"a 3-second jump shout", [](Entries& e) { Entry(e, "Sound/DLC/Pack2/Jump3.wav") = SpokenLine(3.0); },
         "Sound/DLC/Pack2/Jump3.wav", "", "lasts 3.000 s, outside 0.15-0.80 s"},
        {"Pack4 without Congrats3", [](Entries& e) { Remove(e, "Sound/DLC/Pack4/Congrats3.wav"); },
         "Sound/DLC/Pack4/Congrats3.wav", "", "missing"},
        {"a \"data\" size past the end of the file",
         [](Entries& e) {
             std::string& wav = Entry(e, "Sound/DLC/Pack3/Hit2.wav");
             wav[40] = '\xff', wav[41] = '\xff', wav[42] = '\x0f';
         },
         "Sound/DLC/Pack3/Hit2.wav", "", "the \"data\" size"},
        {"a sound class whose longest length is below its shortest",
         [](Entries& e) { Replace(Entry(e, "Sound/sounds.txt"), "class blast -1 0.6 3 once", "class blast -1 3 0.6 once"); },
         "Sound/sounds.txt", "line 17", "expected \"class"},
        {"a sound that no class names",
         [](Entries& e) { Replace(Entry(e, "Sound/sounds.txt"), "    Sound/*\n", "    Sound/ZoomOpen\n"); },
         "Sound/swish.wav", "", "belongs to no class"},
        {"the theme shipped as \".wav\"",
         [](Entries& e) {
             Remove(e, "Music/Theme.ogg");
             e.emplace_back("Music/Theme.wav",
                            testsupport::MakeWav(2, 44100, 16, testsupport::Pcm16(testsupport::Sine(8820, 0.5, 100.0))));
         },
         "Music/Theme.wav", "", "must ship as \"Music/Theme.ogg\""},
        {"an announcer caption 60 characters long",
         [](Entries& e) { Replace(Entry(e, "Locale/eng.txt"), Wide("] Your Turn"), Wide("] " + std::string(60, 'W'))); },
         "Locale/eng.txt", "ANN_YOURTURN", "px in EpicFont, wider than its 940 px"},
        {"a GUI sheet missing", [](Entries& e) { Remove(e, "GUI/uibits2.png"); }, "GUI/uibits2.png", "", "missing"},
        {"a stray texel outside the cells", [](Entries& e) { FillPixels(Entry(e, "GUI/ingameUi.png"), 511, 511, 1, 1, 0xFFFFFFFFu); },
         "GUI/ingameUi.png", "", "1 visible texels outside every cell, the first at (511, 511)"},
        {"a tinted icon drawn dark",
         [](Entries& e) { FillPixels(Entry(e, "GUI/ButtonBits.png"), 0, 354, 70, 70, 0xFF202020u); },
         "GUI/ButtonBits.png", "", "button_icon.0 (0, 354, 70, 70): tinted, but its mean luminance is 0.01"},
        {"a font without its metrics", [](Entries& e) { Remove(e, "Common/EpicFont.RFN"); }, "Common/EpicFont.RFN", "",
         "missing"},
    };
    return cases;
}

// A test name from a case's description: its words capitalised, everything but letters and digits dropped.
template <typename Param>
std::string CaseName(const testing::TestParamInfo<Param>& info) {
    std::string name;
    bool wordStart = true;
    for (const char c : std::string(info.param.name)) {
        if (c == '\'') continue;  // "map's" gives "Maps"
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum) name += wordStart && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        wordStart = !alnum;
    }
    return name;
}

class DataCheckSeededFault : public testing::TestWithParam<Case> {};

TEST_P(DataCheckSeededFault, IsNamedByFileAndPlace) { Expect(GetParam()); }

INSTANTIATE_TEST_SUITE_P(DataCheck, DataCheckSeededFault, testing::ValuesIn(SeededFaults()),
                         CaseName<Case>);

// The models section alone over a seeded copy: a fault of that file whose message holds the text.
struct ModelCase {
    const char* name;
    std::function<void(Entries&)> seed;
    std::string file;
    std::string message;
};

void PrintTo(const ModelCase& c, std::ostream* out) { *out << c.name; }

void ExpectModelFault(const ModelCase& c) {
    const auto& [name, seed, file, message] = c;
    Entries entries = Shipped();
    seed(entries);
    testsupport::ZipWriter writer;
    for (const auto& [entry, data] : entries) writer.Add(entry, data);
    auto archive = datacheck::OpenArchiveMemory(writer.Build().bytes);
    ASSERT_NE(archive, nullptr);
    DataCheck check(std::move(archive));
    check.CheckModels();
    bool named = false;
    for (const auto& fault : check.Faults()) {
        named = named || (datacheck::Upper(fault.file) == datacheck::Upper(file) &&
                          fault.message.find(message) != std::string::npos);
    }
    EXPECT_TRUE(named) << name << ": expected " << file << ": ..." << message << "; got:\n" << Describe(check.Faults());
}

// Replaces every occurrence (names in containers are stored as they are, so a same-length edit keeps the file
// readable).
void ReplaceAll(std::string& data, const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    std::size_t count = 0;
    for (std::size_t at = data.find(from); at != std::string::npos; at = data.find(from, at + 1), ++count) {
        data.replace(at, from.size(), to);
    }
    ASSERT_GT(count, 0u) << from;
}

// The first weight byte of the first vertex of a skinned model file's first batch (its vertices store 40 bytes
// each, the four weight bytes last).
std::size_t FirstWeightByte(const std::string& mdl) {
    const auto u32 = [&mdl](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(mdl[at])) |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(mdl[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(mdl[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(mdl[at + 3])) << 24;
    };
    // An optional 8-byte wrapper; version, format and batch count; the batch's format, counts, sphere.
    std::size_t at = mdl.size() >= 8 && u32(0) == 3 && u32(4) + 16 == mdl.size() ? 8 : 0;
    at += 4 + 24;
    at += 1 + static_cast<std::uint8_t>(mdl[at]);  // material name
    at += 1 + static_cast<std::uint8_t>(mdl[at]);  // bone set
    return at + 4 + 36;                             // the stream's size, then the first vertex
}

// Each seeded model fault is a test of its own, as the seeded faults above are.
const std::vector<ModelCase>& SeededModelFaults() {
    static const std::vector<ModelCase> cases = {
        {"MED_TANK without its barrel",
         [](Entries& e) { ReplaceAll(Entry(e, "Units/MedTank/Unit.CNT"), "tank_barrrel", "tank_barrxel"); },
         "Units/MedTank/Unit.CNT", "no part \"tank_barrrel\""},
        {"a second material containing \"Material\"",
         [](Entries& e) {
             e.emplace_back("Common/MaterialPt.MTL", Entry(e, "Common/ModelPaint.MTL"));
             ReplaceAll(Entry(e, "Units/MedTank/Unit.CNT"), "Common/ModelPaint", "Common/MaterialPt");
         },
         "Units/MedTank/Unit.CNT", "contained in 2 materials"},
        {"\"die\" as a loop",
         [](Entries& e) { Replace(Entry(e, "Units/Trooper/ZavicUnit.TXT"), "die\r\nhold", "die\r\nloop"); },
         "Units/Trooper/Unit.CNT", "\"die\" must hold, not loop"},
        {"\"getup\" without its spawn",
         [](Entries& e) { Replace(Entry(e, "Units/Grunt/ZavicUnit.TXT"), "getup\r\nspawn,run", "getup\r\nhold"); },
         "Units/Grunt/Unit.CNT", "\"getup\" must spawn, not hold"},
        {"a three-hex model on a one-hex structure",
         [](Entries& e) { Entry(e, "Structures/RepairS/RepairS.CNT") = Entry(e, "Structures/Factory/Factory.CNT"); },
         "Structures/RepairS/RepairS.CNT", "reaches beyond its hexes"},
        {"a one-hex model on a three-hex structure",
         [](Entries& e) { Entry(e, "Structures/Silo/Silo.CNT") = Entry(e, "Structures/Radio/Radio.CNT"); },
         "Structures/Silo/Silo.CNT", "less than 60 % covered"},
        {"a heavy tank with a short barrel",
         [](Entries& e) { Entry(e, "Units/HeavyTank/tank_barrel.MDL") = Entry(e, "Units/MedTank/tank_barrrel.MDL"); },
         "Units/HeavyTank/Unit.CNT", "Particles/MuzzleFlashSmall of tank_barrel lies"},
        {"an engineer whose intake is a rifle",
         [](Entries& e) {
             Entry(e, "Units/Engineer/engineer_intake.MDL") = Entry(e, "Units/Grunt/rifle_rifle.MDL");
         },
         "Units/Engineer/Unit.CNT", "Particles/EngineerSuck of engineer_intake lies"},
        {"a soldier vertex whose weights sum to 254",
         [](Entries& e) {
             std::string& mdl = Entry(e, "Units/Trooper/Soldier.MDL");
             char& weight = mdl[FirstWeightByte(mdl)];
             ASSERT_NE(weight, 0);
             weight = static_cast<char>(weight - 1);
         },
         "Units/Trooper/Soldier.MDL",
         "skinned vertices whose weights do not sum to 255: 1 (the first: batch 0 vertex 0 sums to 254)"},
        {"a projectile with a group root",
         [](Entries& e) { Entry(e, "Projectiles/Grenade.CNT") = Entry(e, "Trophies/Gold/Trophy.CNT"); },
         "Projectiles/Grenade.CNT", "a projectile's root must be a mesh node"},
        {"a played-once effect that never ends",
         [](Entries& e) { Entry(e, "Particles/Ricochet.CNT") = Entry(e, "Particles/ComboFlare.CNT"); },
         "Particles/Ricochet.CNT", "the effect lasts"},
        {"a structure whose snow is named otherwise",
         [](Entries& e) {
             e.emplace_back("Structures/Radio/snox.MDL", Entry(e, "Structures/Radio/snow.MDL"));
             ReplaceAll(Entry(e, "Structures/Radio/Radio.CNT"), "snow", "snox");
         },
         "Structures/Radio/Radio.CNT", "no \"snow\" node"},
        {"a level without its model",
         [](Entries& e) { Remove(e, "Campaigns/Skirmish/CloseQuarters/Map.CNT"); },
         "Campaigns/Skirmish/CloseQuarters/Map.CNT", "missing, but the level loads it"},
        {"a tile marker's texture missing", [](Entries& e) { Remove(e, "Common/ExitMarker.png"); },
         "Common/ExitMarker", "the picture is missing"},
    };
    return cases;
}

class DataCheckSeededModelFault : public testing::TestWithParam<ModelCase> {};

TEST_P(DataCheckSeededModelFault, IsNamed) { ExpectModelFault(GetParam()); }

INSTANTIATE_TEST_SUITE_P(DataCheck, DataCheckSeededModelFault, testing::ValuesIn(SeededModelFaults()),
                         CaseName<ModelCase>);

// The cells the code computes are the cell map's: a map entry moved or narrowed by one pixel is named with the
// code's rect.
TEST(DataCheck, TheCodesCellsAreTheMapsEntries) {
    std::string map = datacheck::ShippedCellMap();
    ASSERT_FALSE(map.empty());
    Replace(map, "GUI/ButtonBits, 210, 354, 70, 70, button_icon.3,", "GUI/ButtonBits, 211, 354, 70, 70, button_icon.3,");
    Replace(map, "GUI/ingameUi, 384, 120, 32, 32, small_icon.12,", "GUI/ingameUi, 384, 121, 32, 32, small_icon.12,");
    Replace(map, "GUI/ButtonBits, 280, 790, 52, 52, large_icon.5,", "GUI/ButtonBits, 280, 790, 51, 52, large_icon.5,");
    auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
    ASSERT_NE(archive, nullptr);
    DataCheck check(std::move(archive));
    check.CheckArt(map);
    for (const char* fault : {"button_icon.3 (211, 354, 70, 70): ButtonIconRect(3) cuts (210, 354, 70, 70)",
                              "small_icon.12 (384, 121, 32, 32): the small inline-icon callback (icon 12) cuts "
                              "(384, 120, 32, 32)",
                              "large_icon.5 (280, 790, 51, 52): the large inline-icon callback (icon 5) cuts "
                              "(280, 790, 52, 52)"}) {
        EXPECT_NE(Describe(check.Faults()).find(fault), std::string::npos) << fault << "\n" << Describe(check.Faults());
    }
}

// A cell a screen draws is named when it is empty, even when the cell map marks it spare: the undo button's
// icon cleared and its map line marked spare.
TEST(DataCheck, AnIconCellAScreenDrawsIsNamedWhenEmptyOrMarkedSpare) {
    std::string map = datacheck::ShippedCellMap();
    ASSERT_FALSE(map.empty());
    const std::string line = "GUI/ButtonBits, 70, 424, 70, 70, button_icon.15, tinted, icon buttons; sliders; lists";
    Replace(map, line + "\n", line + ", spare\n");
    Entries entries = Shipped();
    FillPixels(Entry(entries, "GUI/ButtonBits.png"), 70, 424, 70, 70, 0x00000000u);
    testsupport::ZipWriter writer;
    for (const auto& [name, data] : entries) writer.Add(name, data);
    const testsupport::ZipImage image = writer.Build();
    auto archive = datacheck::OpenArchiveMemory(image.bytes);
    ASSERT_NE(archive, nullptr);
    DataCheck check(std::move(archive));
    check.CheckArt(map);
    const std::string faults = Describe(check.Faults());
    for (const char* fault : {"button_icon.15: empty, but the HUD undo draws it",
                              "button_icon.15 (70, 424, 70, 70): marked spare, but the HUD undo draws it"}) {
        EXPECT_NE(faults.find(fault), std::string::npos) << fault << "\n" << faults;
    }
}

}  // namespace
