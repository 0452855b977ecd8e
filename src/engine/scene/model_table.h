#pragma once
// The global table of models, addressed by 1-based handles. A new model takes the lowest empty slot among the
// first size - 1 (the last slot is never used); handle 0 means none. Each model carries the resource group
// current at its creation, so that a level's models are freed together.
#include <functional>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {

class Model;
class MeshModel;

class ModelTable {
public:
    static constexpr int kDefaultSize = 1024;

    // Allocates the table (size, 1024 when 0 or less) and clears the cached unit cube. Frees an earlier table.
    static bool Init(int size);
    // Deletes every model and the table.
    static void Free();
    // Deletes the models of the group (-1: all).
    static void PurgeResourceGroup(int group);
    static int Size();
    // The lowest empty slot's handle, 0 when the table is full or missing.
    static int FreeHandle();
    static void Set(int handle, Model* model);
    static Model* Get(int handle);
    // The number of models held.
    static int Count();
};

// The model of a valid handle, else null.
Model* GetModelByHandle(int handle);
MeshModel* GetMeshModelByHandle(int handle);
// A model of the group whose name equals name ignoring case; failing that, one named by the name's file-name
// part. The table is searched from handle 1; 0 when neither matches.
int FindModel(const WideString& name, int group);
// The model of that name in the current group, else the data file name + ".MDL" read and loaded. 0 when the
// file does not open or is refused (nothing is then left in the table or on the device).
int LoadModel(const WideString& name);
int LoadModel(const char* name);
// The resource group stamped on models made from now on: from the source when one is set, else the
// engine's current group (0 without an engine).
int CurrentResourceGroup();
void SetModelGroupSource(std::function<int()> source);

// The distinct material handles of a model's batches (or, without batches, its mesh triangles) in order of
// first use, written to out up to capacity. Returns how many; 0 for an invalid handle.
int ListModelMaterials(int modelHandle, int* out, int capacity);

// Installs the engine hooks through which CreateEngine makes the table and the collision-volume assets, a
// purge frees a group's models, the frame step clears the octree counter and shutdown frees it all.
void InstallModelTableHooks();

}  // namespace engine
