#pragma once
// Where the model generators write: the data folder (the data set's staging folder), the entries written so
// far, and the writers of the four kinds of file they make (textures, materials, models and containers).
// Every writer records its entry, so that the command can list what a group makes without the data set's
// build having to guess it.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cnt_writer.h"
#include "mdl_builder.h"
#include "mtlwrite/material_text.h"

namespace modelgen {

// One colour of the data build's palette, 0xAARRGGBB with alpha 255.
using Colour = std::uint32_t;

class ModelOutput {
public:
    // folder: the data folder written into. sourceFolder: data/ of the sources (palette, material and scene
    // texts). With listOnly set nothing is written; the entries are only recorded.
    ModelOutput(std::string folder, std::string sourceFolder, bool listOnly);

    // The palette colour of that name ("data/Art/palette.txt"); a missing name is a fault.
    Colour PaletteColour(const std::string& name);

    // A 32-bit texture of width x height texels (0xAARRGGBB, rows top first) as "<path>.DDS", one level.
    void WriteTexture(const std::string& path, int width, int height, const std::vector<std::uint32_t>& texels);
    // The same texels as "<path>.png" (8-bit RGBA; the game makes its mipmaps when it loads it).
    void WritePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& texels);
    // The sorted names (without ".txt") of the source texts in a folder under the sources' "Models/".
    std::vector<std::string> SourceNames(const std::string& folder);
    // A ".MTL" from its description.
    void WriteMaterial(const std::string& path, const tools::MaterialDescription& description);
    // A ".MTL" from a description text under the sources' "Models/" folder, with "{name}" replaced by the given
    // values first.
    void WriteMaterialFromSource(const std::string& path, const std::string& sourceName,
                                 const std::map<std::string, std::string>& values = {});
    // A ".MDL" of the mesh.
    void WriteModel(const std::string& path, const mdlbuild::AuthorMesh& mesh);
    // A ".CNT" (and its animation text when there are actions).
    void WriteContainer(const std::string& path, const std::vector<cntbuild::AuthorNode>& nodes,
                        const std::vector<cntbuild::AuthorAction>& actions = {});
    // A container described in the cntbuild text form by "Models/<sourceName>" of the sources.
    void WriteContainerFromSource(const std::string& path, const std::string& sourceName);

    // The text of a source file under the sources' folder; empty with a fault when missing.
    std::string ReadSource(const std::string& relative);

    const std::set<std::string>& Entries() const { return entries_; }
    const std::vector<std::string>& Faults() const { return faults_; }
    void Fault(const std::string& message) { faults_.push_back(message); }

private:
    void Record(const std::string& entry);
    bool Prepare(const std::string& entry);
    bool MaterialExists(const std::string& name) const;
    void LoadPalette();

    std::string folder_;
    std::string source_;
    bool listOnly_ = false;
    bool paletteLoaded_ = false;
    std::map<std::string, Colour> palette_;
    std::set<std::string> entries_;
    std::set<std::string> materials_;  // written this run, without extension
    std::vector<std::string> faults_;
};

}  // namespace modelgen
