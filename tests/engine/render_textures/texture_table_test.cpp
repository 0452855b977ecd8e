// The texture table on the test context: handles and groups, the load order, flagged and cube loads, DDS
// files sampled as the CPU decoder reads them, copies, updates, saves and device loss.
#include <cstring>
#include <filesystem>

#include "engine/image/dds_file.h"
#include "engine/image/dds_writer.h"
#include "engine/image/dxt_codec.h"
#include "engine/render_textures/texture_table_fixture.h"

namespace {

using engine::Texture;
using engine::TextureTable;
using rendertest::TexelRgba;
using rendertest::TextureTableTest;
using Bytes = std::vector<std::uint8_t>;

// A DDS file of one 2D level (or a chain) of 8888 texels of one colour.
Bytes SolidDds(std::uint32_t width, std::uint32_t height, std::uint32_t argb, std::uint32_t levels = 1) {
    std::vector<std::vector<std::uint32_t>> storage;
    std::vector<engine::ConstSurfaceView> views;
    for (std::uint32_t level = 0; level < levels; ++level) {
        const std::uint32_t w = std::max(1u, width >> level);
        const std::uint32_t h = std::max(1u, height >> level);
        storage.emplace_back(std::size_t{w} * h, argb);
    }
    for (std::uint32_t level = 0; level < levels; ++level) {
        views.push_back(engine::PackedSurface(engine::SurfaceFormat::kA8R8G8B8, std::max(1u, width >> level),
                                              std::max(1u, height >> level),
                                              reinterpret_cast<const std::uint8_t*>(storage[level].data())));
    }
    return engine::EncodeDds(engine::SurfaceFormat::kA8R8G8B8, width, height, levels, false, views);
}

TEST_F(TextureTableTest, HandlesSlotsAndGroups) {
    EXPECT_EQ(TextureTable::Get(0), nullptr);
    EXPECT_EQ(TextureTable::Get(65), nullptr);
    EXPECT_EQ(TextureTable::GetWidth(0), 0u);
    EXPECT_EQ(TextureTable::GetHeight(-3), 0u);
    EXPECT_EQ(TextureTable::GetAlphaKind(99), 0);
    TextureTable::Release(0);
    TextureTable::Release(65);

    PutPng("Units/Tank.png", 4, 4, 0xFF00FF00);
    PutPng("Units/Jeep.png", 4, 4, 0xFFFF0000);
    const int tank = TextureTable::Load("Units/Tank", 1);
    ASSERT_EQ(tank, 1);
    EXPECT_EQ(TextureTable::Load("Units/Tank", 1), tank);
    EXPECT_EQ(TextureTable::Load("units/TANK", 1), tank);
    EXPECT_EQ(TextureTable::FindLoaded("Other/Tank.tga", 0), 0);
    // The second pass matches a texture named by the file-name part.
    engine::Image rock;
    ASSERT_TRUE(rock.Create(2, 2, engine::WideString("Rock")));
    const int rockHandle = TextureTable::CreateFromImage(rock, 0);
    EXPECT_EQ(TextureTable::FindLoaded("Other/Rock.tga", 0), rockHandle);
    EXPECT_EQ(TextureTable::GetWidth(tank), 4u);

    // A texture of another group is not found: the same name loads a second texture.
    TextureTable::Get(tank)->group = 3;
    const int again = TextureTable::Load("Units/Tank", 1);
    EXPECT_NE(again, tank);
    EXPECT_EQ(TextureTable::FindLoaded("Units/Tank", 3), tank);
    const int jeep = TextureTable::Load("Units/Jeep", 0);
    ASSERT_NE(jeep, 0);

    // Purging group 3 frees the slot and drops the table's reference to the GPU texture.
    sys::GpuTexture* gpu = TextureTable::Get(tank)->texture;
    gpu->AddRef();
    TextureTable::PurgeGroup(3);
    EXPECT_EQ(TextureTable::Get(tank), nullptr);
    EXPECT_EQ(gpu->Release(), 0u);
    EXPECT_EQ(TextureTable::FirstFreeHandle(), tank);
    const auto picture = Sample(jeep, 4, 4);
    EXPECT_EQ(SampledAt(picture, 1, 1), (std::array<int, 4>{255, 0, 0, 255}));

    TextureTable::Release(again);
    EXPECT_EQ(TextureTable::Get(again), nullptr);
    TextureTable::Release(again);  // an emptied slot: nothing happens
}

TEST_F(TextureTableTest, AFullTableRefusesEveryCreation) {
    ASSERT_TRUE(TextureTable::Init(2));
    EXPECT_NE(TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8), 0);
    EXPECT_NE(TextureTable::CreateEmpty("Target"), 0);
    EXPECT_EQ(TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8), 0);
    EXPECT_EQ(TextureTable::CreateEmpty("Target2"), 0);
    PutPng("Full.png", 2, 2, 0xFF000000);
    EXPECT_EQ(TextureTable::Load("Full", 0), 0);
}

TEST_F(TextureTableTest, LoadOrderTriesDdsThenCommonDdsThenImages) {
    struct Case {
        const char* what;
        std::vector<std::string> files;  // each holds its own colour, by position
        const char* name;
        int expected;  // index of the file that loads, -1 for none
    };
    const std::uint32_t colours[] = {0xFF100000, 0xFF200000, 0xFF300000, 0xFF400000, 0xFF500000};
    const Case cases[] = {
        {"own DDS first", {"T/Grass.dds", "Common/Grass.dds", "T/Grass.png"}, "T/Grass", 0},
        {"common DDS before images", {"Common/Grass.dds", "T/Grass.png"}, "T/Grass", 0},
        {"PNG before TGA", {"T/Grass.png", "Common/Grass.png"}, "T/Grass", 0},
        {"Common/ image after both plain files", {"Common/T/Grass.png"}, "T/Grass", 0},
        {"common name's image last", {"Common/Grass.png"}, "T/Grass", 0},
        {"extension kept for DDS", {"T/Grass.png.dds", "T/Grass.png"}, "T/Grass.png", 0},
        {"extension replaced for images", {"T/Grass.dds", "T/Grass.png"}, "T/Grass.tga", 1},
        {"nothing", {}, "T/Grass", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder_.Path() / "Data");
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const std::string& file = c.files[i];
            if (file.ends_with(".dds")) {
                Put(file, SolidDds(2, 2, colours[i]));
            } else {
                PutPng(file, 2, 2, colours[i]);
            }
        }
        const int handle = TextureTable::Load(c.name, 0);
        if (c.expected < 0) {
            EXPECT_EQ(handle, 0);
            continue;
        }
        ASSERT_NE(handle, 0);
        const auto picture = Sample(handle, 2, 2);
        EXPECT_EQ(SampledAt(picture, 0, 0)[0], static_cast<int>((colours[c.expected] >> 16) & 0xFF));
        TextureTable::Release(handle);
    }
}

TEST_F(TextureTableTest, FlaggedAndCubeLoads) {
    PutPng("Plain.png", 2, 2, 0xFF000000);
    ASSERT_NE(TextureTable::Load("Plain", 0), 0);
    EXPECT_EQ(TextureTable::LoadFlagged("Plain"), 0);
    PutPng("Glow.png", 2, 2, 0xFF000000);
    const int flagged = TextureTable::LoadFlagged("Glow");
    ASSERT_NE(flagged, 0);
    EXPECT_EQ(TextureTable::Get(flagged)->flags, engine::kTextureFlagged);
    EXPECT_EQ(TextureTable::LoadFlagged("Glow"), flagged);
    EXPECT_EQ(TextureTable::FindLoaded("Glow", 0), 0);

    const char* suffixes[] = {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"};
    for (int face = 0; face < 5; ++face) PutPng(std::string("Sky/Dome") + suffixes[face] + ".png", 4, 4, 0xFF000000);
    const int before = TextureTable::FirstFreeHandle();
    EXPECT_EQ(TextureTable::LoadCubeMap("Sky/Dome_X.png"), 0);
    EXPECT_EQ(TextureTable::FirstFreeHandle(), before);
    EXPECT_EQ(TextureTable::Get(before), nullptr);
    PutPng("Common/Dome_NZ.png", 4, 4, 0xFF000000);
    const int first = TextureTable::LoadCubeMap("Sky/Dome_X.png");
    const int second = TextureTable::LoadCubeMap("Sky/Dome");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(TextureTable::Get(first)->flags, engine::kTextureCube);
    EXPECT_TRUE(TextureTable::Get(first)->name.EqualsNarrow("Sky/Dome"));
}

TEST_F(TextureTableTest, SixColourCubeSamplesEachFace) {
    const std::uint32_t colours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    std::vector<std::unique_ptr<engine::Image>> images;
    const engine::Image* faces[6];
    for (int face = 0; face < 6; ++face) {
        images.push_back(std::make_unique<engine::Image>());
        ASSERT_TRUE(images.back()->Create(8, 8, engine::WideString("Cube_X")));
        auto* texels = reinterpret_cast<std::uint32_t*>(images.back()->Pixels());
        std::fill(texels, texels + 64, colours[face]);
        faces[face] = images.back().get();
    }
    const int cube = TextureTable::CreateCubeFromImages(faces);
    ASSERT_NE(cube, 0);
    EXPECT_TRUE(TextureTable::Get(cube)->name.EqualsNarrow("Cube"));
    EXPECT_EQ(TextureTable::Get(cube)->cubeTexture->GetLevelCount(), 4u);
    UseQuad(rendertest::kCubePixelShader);
    device_->SetTexture(0, cube);
    const float directions[6][4] = {{1, 0, 0, 0}, {-1, 0, 0, 0}, {0, 1, 0, 0},
                                    {0, -1, 0, 0}, {0, 0, 1, 0}, {0, 0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        SCOPED_TRACE(face);
        ASSERT_EQ(Gpu().SetPixelShaderConstantF(0, directions[face], 1), sys::kGpuOk);
        DrawQuad(4, 4);
        EXPECT_EQ(Pixel(2, 2), rendertest::Rgba(colours[face]));
    }
    // A face of another size is refused.
    ASSERT_TRUE(images[3]->Resize(4, 4));
    EXPECT_EQ(TextureTable::CreateCubeFromImages(faces), 0);
    const int check = TextureTable::MakeCheckCubeMap(0xFF0000FF, 0xFFFF0000);
    ASSERT_NE(check, 0);
    EXPECT_EQ(TextureTable::GetWidth(check), 32u);
}

TEST_F(TextureTableTest, CheckTexturesAndMipLevels) {
    EXPECT_EQ(TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 0), 0);
    EXPECT_EQ(TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 4), 0);
    EXPECT_EQ(TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 12), 0);
    const int check = TextureTable::MakeCheckTexture(0xFF0000FF, 0x80FF0000, 16);
    ASSERT_NE(check, 0);
    EXPECT_EQ(TextureTable::GetAlphaKind(check), engine::kAlphaBlended);
    const auto picture = Sample(check, 16, 16);
    EXPECT_EQ(SampledAt(picture, 0, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(SampledAt(picture, 2, 0), (std::array<int, 4>{255, 0, 0, 128}));
    EXPECT_EQ(SampledAt(picture, 2, 2), (std::array<int, 4>{0, 0, 255, 255}));

    engine::Image odd;
    ASSERT_TRUE(odd.Create(100, 60, engine::WideString("Odd")));
    EXPECT_EQ(TextureTable::Get(TextureTable::CreateFromImage(odd, 1))->texture->GetLevelCount(), 1u);
    ASSERT_TRUE(odd.Resize(64, 32));
    EXPECT_EQ(TextureTable::Get(TextureTable::CreateFromImage(odd, 1))->texture->GetLevelCount(), 7u);
    engine::Image empty;
    EXPECT_EQ(TextureTable::CreateFromImage(empty, 0), 0);
}

}  // namespace

namespace {

using engine::TextureTable;
using rendertest::TextureTableTest;

TEST_F(TextureTableTest, SetTextureKeepsPlainAndCubeTexturesInTheirCacheEntries) {
    const int plain = TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8);
    const int cube = TextureTable::MakeCheckCubeMap(0xFF0000FF, 0xFFFF0000);
    const int empty = TextureTable::CreateEmpty("Nothing");
    Gpu().ResetCallCounts();
    const auto calls = [&] { return Gpu().CallCount(sys::GpuCall::SetTexture); };
    device_->SetTexture(1, plain);
    device_->SetTexture(1, plain);
    EXPECT_EQ(calls(), 1u);
    EXPECT_EQ(Gpu().GetTexture(1), TextureTable::Get(plain)->texture);
    device_->SetTexture(1, cube);
    device_->SetTexture(1, cube);
    EXPECT_EQ(calls(), 2u);
    EXPECT_EQ(Gpu().GetTexture(1), TextureTable::Get(cube)->cubeTexture);
    device_->SetTexture(1, plain);  // binding the cube cleared the plain entry
    EXPECT_EQ(calls(), 3u);
    device_->SetTexture(1, empty);
    device_->SetTexture(1, 0);
    device_->SetTexture(1, 999);
    EXPECT_EQ(calls(), 3u);
    device_->UnbindTexture(1);
    EXPECT_EQ(Gpu().GetTexture(1), nullptr);
    device_->SetTexture(1, plain);
    EXPECT_EQ(calls(), 5u);
}

TEST_F(TextureTableTest, TgaAndPngSavesReloadBitExact) {
    std::filesystem::create_directories(folder_.Path() / "Data" / "PC" / "Saved");
    std::filesystem::create_directories(folder_.Path() / "Data" / "PC" / "Common");
    engine::Image image;
    ASSERT_TRUE(image.Create(4, 2, engine::WideString("Saved/Shot")));
    for (std::size_t i = 0; i < 32; ++i) image.Pixels()[i] = static_cast<std::uint8_t>(i * 7 + 1);
    image.SetAlphaKind(engine::kAlphaBlended);
    const int saved = TextureTable::CreateFromImage(image, 0);
    ASSERT_EQ(TextureTable::Get(saved)->SaveTga(), 1);
    ASSERT_EQ(TextureTable::Get(saved)->SavePng(), 1);
    engine::Image tga;
    ASSERT_EQ(tga.LoadTga(engine::WideString("Saved/Shot")), 1);
    ASSERT_EQ(tga.Width(), 4u);
    EXPECT_EQ(std::memcmp(tga.Pixels(), image.Pixels(), 32), 0);
    engine::Image png;
    ASSERT_EQ(png.LoadPng(engine::WideString("Saved/Shot")), 1);
    EXPECT_EQ(std::memcmp(png.Pixels(), image.Pixels(), 32), 0);

    // A name without a folder saves its PNG under Common/.
    ASSERT_TRUE(image.SetName(engine::WideString("Bare")));
    const int bare = TextureTable::CreateFromImage(image, 0);
    ASSERT_EQ(TextureTable::Get(bare)->SavePng(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "Data" / "PC" / "Common" / "Bare.PNG"));

    // A cube saves one opaque TGA per face.
    const int cube = TextureTable::MakeCheckCubeMap(0x800000FF, 0xFFFF0000);
    TextureTable::Get(cube)->name.AssignNarrow("Saved/Box");
    EXPECT_EQ(TextureTable::Get(cube)->SavePng(), 0);
    ASSERT_EQ(TextureTable::Get(cube)->SaveTga(), 1);
    for (const char* face : {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"}) {
        engine::Image faceImage;
        ASSERT_EQ(faceImage.LoadTga(engine::WideString(engine::WideString("Saved/Box"), face)), 1) << face;
        EXPECT_EQ(faceImage.Pixels()[3], 255);
    }
}

}  // namespace
