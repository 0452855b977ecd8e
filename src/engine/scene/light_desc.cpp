#include "engine/scene/light_desc.h"

#include "engine/render/render_target.h"

namespace engine {

LightDesc::LightDesc(int lightType) : type(lightType) {
    castsShadow = lightType == 3 || lightType == 4 ? 0 : 1;
    depthBias = lightType == 1 || lightType == 2 ? 0.05f : 0.001f;
}

LightDesc::~LightDesc() { delete shadowTarget; }

}  // namespace engine
