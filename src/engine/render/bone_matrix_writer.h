#pragma once
// Where the device's bone palette goes: the vertex-shader constant cache (transposed, four registers,
// compared first).
#include "engine/core/matrix.h"

namespace engine {

class BoneMatrixWriter {
public:
    virtual ~BoneMatrixWriter() = default;
    virtual void SetBoneMatrix(int firstRegister, const Matrix44& matrix) = 0;
};

}  // namespace engine
