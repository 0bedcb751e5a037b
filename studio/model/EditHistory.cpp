#include "studio/model/EditHistory.h"

#include <utility>

namespace vec::studio {

size_t RecordValueBytes(const RecordValue& value) {
  return sizeof(RecordValue) + std::visit(
                                   [](const auto& v) -> size_t {
                                     using T = std::decay_t<decltype(v)>;
                                     if constexpr (std::is_same_v<T, std::string> ||
                                                   std::is_same_v<T, std::vector<uint8_t>>)
                                       return v.size();
                                     else if constexpr (std::is_same_v<T, SoundSlot>)
                                       return v.FileName.size();
                                     else
                                       return 0;
                                   },
                                   value);
}

size_t StepBytes(const EditStep& step) {
  if (const auto* patch = std::get_if<MaskPatch>(&step)) return patch->Bytes();
  const auto& change = std::get<RecordChange>(step);
  return sizeof(RecordChange) + RecordValueBytes(change.before) + RecordValueBytes(change.after) +
         change.mergeKey.size();
}

void EditHistory::Push(EditStep step) {
  while (steps_.size() > position_) {
    memory_ -= StepBytes(steps_.back());
    steps_.pop_back();
  }
  if (saved_ && *saved_ > position_) saved_.reset();
  if (auto* change = std::get_if<RecordChange>(&step); change && MergeIntoLast(*change)) return;
  memory_ += StepBytes(step);
  steps_.push_back(std::move(step));
  ++position_;
  KeepWithinLimit();
}

bool EditHistory::MergeIntoLast(RecordChange& change) {
  // The saved state must stay reachable: a change made after a save starts a new step.
  if (change.mergeKey.empty() || steps_.empty() || saved_ == position_) return false;
  auto* last = std::get_if<RecordChange>(&steps_.back());
  if (!last || last->id != change.id || last->mergeKey != change.mergeKey) return false;
  memory_ -= StepBytes(steps_.back());
  last->after = std::move(change.after);
  memory_ += StepBytes(steps_.back());
  KeepWithinLimit();
  return true;
}

void EditHistory::KeepWithinLimit() {
  // The newest step always stays, however large, so the last edit can be undone.
  while (memory_ > limit_ && steps_.size() > 1) {
    memory_ -= StepBytes(steps_.front());
    steps_.pop_front();
    --position_;
    if (saved_ && *saved_ == 0)
      saved_.reset();
    else if (saved_)
      --*saved_;
  }
}

const EditStep* EditHistory::Undo() {
  if (!CanUndo()) return nullptr;
  return &steps_[--position_];
}

const EditStep* EditHistory::Redo() {
  if (!CanRedo()) return nullptr;
  return &steps_[position_++];
}

}  // namespace vec::studio
