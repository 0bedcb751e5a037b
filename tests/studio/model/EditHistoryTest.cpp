#include <gtest/gtest.h>

#include "studio/model/EditHistory.h"

namespace vec::studio {
namespace {

RecordChange Title(std::string before, std::string after, std::string key = {}) {
  return {{RecordKind::Title, 0}, std::move(before), std::move(after), std::move(key)};
}

MaskPatch PatchOf(size_t bytes) {
  MaskPatch p;
  p.tiles.push_back(
      {{0, 0, 1, 1}, std::vector<uint8_t>(bytes / 2), std::vector<uint8_t>(bytes / 2)});
  return p;
}

std::string AfterOf(const EditStep* step) {
  return std::get<std::string>(std::get<RecordChange>(*step).after);
}

TEST(EditHistoryTest, UndoAndRedoWalkTheStepsAndANewStepDropsTheRedos) {
  EditHistory h;
  h.Push(Title("a", "b"));
  h.Push(Title("b", "c"));
  EXPECT_EQ(AfterOf(h.Undo()), "c");
  EXPECT_EQ(AfterOf(h.Undo()), "b");
  EXPECT_EQ(h.Undo(), nullptr);
  EXPECT_EQ(AfterOf(h.Redo()), "b");
  h.Push(Title("b", "x"));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.StepCount(), 2u);
  EXPECT_EQ(AfterOf(h.Undo()), "x");
}

TEST(EditHistoryTest, ChangesWithOneMergeKeyMakeOneStep) {
  struct Case {
    const char* name;
    std::string firstKey, secondKey;
    RecordKind secondKind;
    size_t steps;
  };
  const Case cases[] = {
      {"same key, same record", "wave1.Amplitude", "wave1.Amplitude", RecordKind::Title, 1},
      {"other key", "wave1.Amplitude", "wave1.Cycles", RecordKind::Title, 2},
      {"no key", "", "", RecordKind::Title, 2},
      {"same key, other record", "k", "k", RecordKind::Author, 2},
  };
  for (const Case& c : cases) {
    EditHistory h;
    h.Push(RecordChange{{RecordKind::Title, 0}, std::string("1"), std::string("2"), c.firstKey});
    h.Push(RecordChange{{c.secondKind, 0}, std::string("2"), std::string("3"), c.secondKey});
    EXPECT_EQ(h.StepCount(), c.steps) << c.name;
    if (c.steps == 1) {
      const auto& merged = std::get<RecordChange>(*h.Undo());
      EXPECT_EQ(std::get<std::string>(merged.before), "1") << c.name;
      EXPECT_EQ(std::get<std::string>(merged.after), "3") << c.name;
    }
  }
}

TEST(EditHistoryTest, AChangeAfterASaveIsNotMergedIntoTheSavedStep) {
  EditHistory h;
  h.Push(Title("1", "2", "drag"));
  h.MarkSaved();
  h.Push(Title("2", "3", "drag"));
  EXPECT_EQ(h.StepCount(), 2u);
  EXPECT_FALSE(h.AtSavedState());
  h.Undo();
  EXPECT_TRUE(h.AtSavedState());
}

TEST(EditHistoryTest, SavedStateFollowsUndoRedoAndIsLostWithTheRedoBranch) {
  EditHistory h;
  EXPECT_TRUE(h.AtSavedState());
  h.Push(Title("a", "b"));
  EXPECT_FALSE(h.AtSavedState());
  h.Undo();
  EXPECT_TRUE(h.AtSavedState());
  h.Redo();
  h.MarkSaved();
  h.Undo();
  h.Push(Title("a", "z"));  // the saved step can no longer be reached
  EXPECT_FALSE(h.AtSavedState());
  h.Undo();
  EXPECT_FALSE(h.AtSavedState());
}

TEST(EditHistoryTest, TheOldestStepsGoWhenTheMemoryBoundIsPassed) {
  const size_t step = StepBytes(PatchOf(1000));
  EditHistory h(3 * step);
  for (int i = 0; i < 5; ++i) h.Push(PatchOf(1000));
  EXPECT_EQ(h.StepCount(), 3u);
  EXPECT_EQ(h.MemoryUse(), 3 * step);
  int undos = 0;
  while (h.Undo()) ++undos;
  EXPECT_EQ(undos, 3);
  // The opening state was let go with the oldest steps.
  EXPECT_FALSE(h.AtSavedState());
}

TEST(EditHistoryTest, TheNewestStepStaysEvenWhenItAloneIsOverTheBound) {
  EditHistory h(100);
  h.Push(PatchOf(1000));
  h.Push(PatchOf(5000));
  EXPECT_EQ(h.StepCount(), 1u);
  EXPECT_TRUE(h.CanUndo());
  EXPECT_EQ(h.MemoryUse(), StepBytes(PatchOf(5000)));
}

TEST(EditHistoryTest, RedoStepsDroppedByANewStepGiveTheirMemoryBack) {
  EditHistory h;
  h.Push(PatchOf(4000));
  h.Push(PatchOf(4000));
  h.Undo();
  h.Undo();
  h.Push(Title("a", "b"));
  EXPECT_EQ(h.MemoryUse(), StepBytes(Title("a", "b")));
}

}  // namespace
}  // namespace vec::studio
