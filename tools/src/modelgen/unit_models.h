#pragma once
// The unit models: a skinned soldier for the infantry types and a tree of mesh parts for the vehicles,
// ships and aircraft, each written as "<folder>/Unit" with its parts, its tint material and its actions.
#include <array>
#include <string>
#include <vector>

#include "cnt_writer.h"
#include "engine/core/matrix.h"
#include "modelgen/mesh_kit.h"
#include "modelgen/model_output.h"
#include "modelgen/part_source.h"
#include "modelgen/pose_source.h"

namespace modelgen {

// The folder of a prototype path ("Units/Trooper/Unit" gives "Units/Trooper/").
std::string FolderOf(const std::string& path);

// Writes the tint material "<folder><tint name>" (COLOURD over the swatches).
void WriteTintMaterial(ModelOutput& out, const std::string& path);

// A mesh node of the tree: its model written as folder + name, with the material as its node material.
cntbuild::AuthorNode MeshNode(ModelOutput& out, const std::string& folder, const std::string& name, int depth,
                              MeshKit& kit, const std::string& material, const engine::Matrix44& local);

// The nodes of the model at path (a prototype path) from its part list "Models/Parts/<path>.txt": a group root
// and the mesh nodes, each model written into path's folder; tinted parts carry the tint material. A bad line
// is a fault naming the file and line, and leaves the root alone. The parts read are kept in `read` when given.
std::vector<cntbuild::AuthorNode> PartTree(ModelOutput& out, const std::string& path, const std::string& tint,
                                           std::vector<PartNode>* read = nullptr);
// The shapes of a bare model (one with no node tree of its own) from "Models/Parts/<path>.txt", a list of one
// node whose material and offset the caller decides.
void PartMesh(ModelOutput& out, const std::string& path, MeshKit& kit);

// The model-space matrices of the soldier's 16 bones in every baked frame of the type's actions, frame 0
// the bind pose.
std::vector<std::array<engine::Matrix44, 16>> SoldierFrames(const PoseBook& poses, int type);

// Whether the type is drawn as a skinned soldier.
bool IsSoldierType(int type);

// Reads "Models/Poses/Soldier.txt"; a bad line is a fault naming the file and line.
PoseBook ReadPoses(ModelOutput& out);
void WriteSoldier(ModelOutput& out, const PoseBook& poses, int type);
void WriteVehicle(ModelOutput& out, int type);
// The door's wall section, "Structures/Wall_Closed/Wall_Closed".
void WriteDoor(ModelOutput& out);

// Every unit type of the catalogue.
void WriteUnits(ModelOutput& out);

}  // namespace modelgen
