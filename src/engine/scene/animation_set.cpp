#include "engine/scene/animation_set.h"

#include <new>

namespace engine {

bool AnimationRecord::Init(const char* recordName) {
    entries.clear();
    entries.reserve(kInitialCapacity);
    next = nullptr;
    spawnTarget = nullptr;
    length = 0.0f;
    endMode = kAnimationHold;
    return name.AssignNarrow(recordName != nullptr ? recordName : "");
}

AnimationRecord* AnimationRecord::Clone() const {
    auto* copy = new (std::nothrow) AnimationRecord;
    if (copy == nullptr) return nullptr;
    copy->name = name;
    copy->entries.reserve(entries.capacity());
    copy->entries = entries;
    copy->spawnTarget = spawnTarget;
    copy->length = length;
    copy->endMode = endMode;
    return copy;
}

bool AnimationRecord::AddEntry(int frame, float seconds) {
    if (entries.size() == entries.capacity()) {
        const std::size_t capacity = entries.capacity();
        try {
            entries.reserve(capacity == 0 ? kInitialCapacity : capacity + capacity / 2);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    entries.push_back({frame, seconds});
    length = 0.0f;  // the cached sum no longer holds
    return true;
}

float AnimationRecord::GetLength() {
    if (length != 0.0f) return length;
    float sum = 0.0f;
    for (const AnimationEntry& entry : entries) sum += entry.seconds;
    length = sum;
    return length;
}

int AnimationRecord::FrameAt(double t) const {
    if (entries.empty()) return 0;
    double sum = 0.0;
    for (const AnimationEntry& entry : entries) {
        sum += entry.seconds;
        if (sum > t) return entry.frame;
    }
    return entries.back().frame;
}

void AnimationSet::Add(AnimationRecord* record) {
    if (record == nullptr) return;
    record->next = head_;
    head_ = record;
    ++count_;
}

AnimationSet* AnimationSet::Clone() const {
    auto* copy = new (std::nothrow) AnimationSet;
    if (copy == nullptr) return nullptr;
    std::vector<AnimationRecord*> clones;
    clones.reserve(count_);
    for (const AnimationRecord* record = head_; record != nullptr; record = record->next) {
        AnimationRecord* clone = record->Clone();
        if (clone == nullptr) {
            delete copy;
            return nullptr;
        }
        clones.push_back(clone);
        copy->Add(clone);
    }
    // clones[i] copies the record at position i of this list.
    for (AnimationRecord* clone : clones) {
        const int target = IndexOf(clone->spawnTarget);
        clone->spawnTarget = target >= 0 ? clones[target] : nullptr;
    }
    return copy;
}

void AnimationSet::Destroy() {
    while (head_ != nullptr) {
        AnimationRecord* next = head_->next;
        delete head_;
        head_ = next;
    }
    count_ = 0;
}

AnimationRecord* AnimationSet::Find(const char* recordName) const {
    if (recordName == nullptr) return nullptr;
    for (AnimationRecord* record = head_; record != nullptr; record = record->next) {
        if (record->name.EqualsNarrow(recordName)) return record;
    }
    return nullptr;
}

int AnimationSet::IndexOf(const AnimationRecord* record) const {
    if (record == nullptr) return -1;
    int index = 0;
    for (const AnimationRecord* r = head_; r != nullptr; r = r->next, ++index) {
        if (r == record) return index;
    }
    return -1;
}

AnimationRecord* AnimationSet::At(int index) const {
    if (index < 0) return nullptr;
    AnimationRecord* record = head_;
    for (; record != nullptr && index > 0; --index) record = record->next;
    return record;
}

}  // namespace engine
