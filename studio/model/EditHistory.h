#pragma once
// Undo and redo of a picture's edits: mask edits as the tiles they changed, record changes
// as the record's value before and after. The history holds any number of steps within a
// memory bound; beyond it the oldest steps are let go. Consecutive changes with the same
// merge key (a slider being dragged) make one step.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <variant>

#include "studio/model/MaskEdit.h"
#include "studio/model/Records.h"

namespace vec::studio {

struct RecordChange {
  RecordId id;
  RecordValue before, after;
  std::string mergeKey;  // empty: never merged
};

using EditStep = std::variant<MaskPatch, RecordChange>;

size_t StepBytes(const EditStep& step);

class EditHistory {
 public:
  static constexpr size_t kDefaultMemoryLimit = size_t{256} << 20;

  explicit EditHistory(size_t memoryLimit = kDefaultMemoryLimit) : limit_(memoryLimit) {}

  // Adds a step after the current position; the steps that could be redone are dropped.
  void Push(EditStep step);
  // The step to undo (apply its "before"), or null; moves the position back.
  const EditStep* Undo();
  // The step to redo (apply its "after"), or null; moves the position on.
  const EditStep* Redo();
  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }

  // Whether the steps applied are those of the last save (or of the opening).
  bool AtSavedState() const { return saved_ == position_; }
  void MarkSaved() { saved_ = position_; }
  // The saved state can no longer be reached by undo or redo (its steps were let go).
  void ForgetSavedState() { saved_.reset(); }

  size_t StepCount() const { return steps_.size(); }
  size_t Position() const { return position_; }
  size_t MemoryUse() const { return memory_; }
  size_t MemoryLimit() const { return limit_; }

 private:
  bool MergeIntoLast(RecordChange& change);
  void KeepWithinLimit();

  std::deque<EditStep> steps_;
  size_t position_ = 0;  // steps applied
  std::optional<size_t> saved_ = 0;
  size_t memory_ = 0;
  size_t limit_;
};

}  // namespace vec::studio
