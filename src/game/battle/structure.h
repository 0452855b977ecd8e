#pragma once
// What the map's fills and the route search ask of a structure. The structure classes implement it.

namespace game {

class Structure {
public:
    virtual ~Structure() = default;

    virtual int GetType() const = 0;  // 1..11; 1 is the build pad
    virtual int GetTeam() const = 0;  // owning team kind, 0 = nobody
    virtual int GetCapturingTeam() const = 0;  // team kind capturing it, 0 = nobody
    virtual void SetTargetMark(bool marked) = 0;
};

}  // namespace game
