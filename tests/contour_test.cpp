#include <gtest/gtest.h>

#include "model/contour.h"

using model::Contour;

TEST(Conversion, PixelsToUnitsAtTheEdgesAndCentre) {
    Contour c;
    c.WriteToBuffer(0, 0, 192);
    EXPECT_EQ(c.Buffer[0], -960'000'000);
    EXPECT_EQ(c.Buffer[1], 0);
    c.WriteToBuffer(2, 383, 383);
    EXPECT_EQ(c.Buffer[2], 955'000'000);
    EXPECT_EQ(c.Buffer[3], 955'000'000);
    EXPECT_EQ(c.LastWritePos, (model::PixelPos{383, 383}));

    c.ReadFromBuffer(0);
    EXPECT_EQ(c.ReadPos, (model::PixelPos{0, 192}));
    c.ReadFromBuffer(2);
    EXPECT_EQ(c.ReadPos, (model::PixelPos{383, 383}));
}

TEST(Conversion, ReadingTruncatesTowardZeroAndDoesNotClamp) {
    Contour c;
    const std::pair<int32_t, int32_t> cases[] = {
        {954'990'592, 382},   {-959'971'328, 1},          {4'999'999, 192},   {-4'999'999, 192},
        {-5'000'000, 191},    {5'000'000, 193},           {960'000'000, 384}, {-965'000'000, -1},
        {2'147'483'647, 621}, {-2'147'483'647 - 1, -237},
    };
    for (const auto& [unit, pixel] : cases) {
        c.Buffer[10] = unit;
        c.Buffer[11] = unit;
        c.ReadFromBuffer(10);
        EXPECT_EQ(c.ReadPos.x, pixel) << unit;
        EXPECT_EQ(c.ReadPos.y, pixel) << unit;
    }
}

TEST(Conversion, WritesAreClampedAndKeepTheRawPosition) {
    Contour c;
    c.WriteToBuffer(4, 384, -1);
    EXPECT_EQ(c.Buffer[4], 955'000'000);
    EXPECT_EQ(c.Buffer[5], -960'000'000);
    EXPECT_EQ(c.LastWritePos, (model::PixelPos{384, -1}));
    // Far outside the surface the value still clamps rather than wrapping around.
    c.WriteToBuffer(4, 1'000'000, -1'000'000);
    EXPECT_EQ(c.Buffer[4], 955'000'000);
    EXPECT_EQ(c.Buffer[5], -960'000'000);
}

TEST(FillBuffer, AppendsUpTo2041PointsThenIgnores) {
    Contour c;
    c.State.PointCount = 2040;
    EXPECT_TRUE(c.FillBuffer(10, 20));
    EXPECT_EQ(c.State.PointCount, 2041);
    EXPECT_EQ(c.Buffer[4080], (10 - 192) * 5'000'000);
    EXPECT_EQ(c.Buffer[4081], (20 - 192) * 5'000'000);
    const auto before = c.Buffer;
    EXPECT_FALSE(c.FillBuffer(30, 40));
    EXPECT_EQ(c.State.PointCount, 2041);
    EXPECT_EQ(c.Buffer, before);
    EXPECT_EQ(c.LastWritePos, (model::PixelPos{10, 20}));
}

TEST(SlotGuard, NothingOutsideTheBufferIsReadOrWritten) {
    Contour c;
    c.Buffer[4100] = 123'000'000;
    // The x of point 2050 has no y slot: the y reads as 0 and a write drops it.
    c.ReadFromBuffer(4100);
    EXPECT_EQ(c.ReadPos, (model::PixelPos{123 / 5 + 192, 192}));
    c.WriteToBuffer(4100, 0, 0);
    EXPECT_EQ(c.Buffer[4100], -960'000'000);
    c.WriteToBuffer(-2, 0, 0);
    c.WriteToBuffer(5000, 0, 0);
    EXPECT_EQ(c.Buffer[0], 0);
    c.ReadFromBuffer(-100);
    EXPECT_EQ(c.ReadPos, (model::PixelPos{192, 192}));
    // A damaged count cannot make the append leave the buffer either.
    c.State.PointCount = -7;
    c.FillBuffer(1, 1);
    EXPECT_EQ(c.State.PointCount, -6);
}

TEST(Undo, SnapshotCovers4097SlotsAndTheCount) {
    Contour c;
    for (int i = 0; i < model::kSlotCount; ++i) {
        c.Buffer[size_t(i)] = i + 1;
    }
    c.State.PointCount = 2049;
    c.ToUndo();
    EXPECT_EQ(c.State.UndoCount, 2049);
    for (int i = 0; i < model::kSlotCount; ++i) {
        c.Buffer[size_t(i)] = -1;
    }
    c.State.PointCount = 3;
    c.RestoreUndo();
    EXPECT_EQ(c.State.PointCount, 2049);
    for (int i = 0; i < model::kUndoSlots; ++i) {
        ASSERT_EQ(c.Buffer[size_t(i)], i + 1) << i;
    }
    // Slots 4097..4100 are not part of the snapshot.
    for (int i = model::kUndoSlots; i < model::kSlotCount; ++i) {
        EXPECT_EQ(c.Buffer[size_t(i)], -1) << i;
    }
}

TEST(Undo, TwoSnapshotsThenRestoreGoesBackOneStepOnly) {
    Contour c;
    c.FillBuffer(1, 1);
    c.ToUndo();
    c.FillBuffer(2, 2);
    c.ToUndo();
    c.FillBuffer(3, 3);
    c.RestoreUndo();
    EXPECT_EQ(c.State.PointCount, 2);
    EXPECT_EQ(c.Buffer[2], (2 - 192) * 5'000'000);
    // The snapshot stays as it was: restoring again gives the same contour, never a redo.
    c.RestoreUndo();
    EXPECT_EQ(c.State.PointCount, 2);
}

TEST(EditorState, StartValues) {
    const model::EditorState s;
    EXPECT_EQ(s.PickedIndex, 20000);
    EXPECT_EQ(s.PointCount, 0);
    EXPECT_EQ(s.UndoCount, 0);
    EXPECT_EQ(s.ToolMode, 1);
    EXPECT_EQ(s.RotateScale, 1.0L);
    EXPECT_FALSE(s.PenHeld);
    EXPECT_EQ(s.MoveDrag, -1);
    EXPECT_EQ(s.FrameDrag, -1);
    EXPECT_EQ(s.FrameEdge, -1);
    EXPECT_EQ(s.EditDrag, -1);
    EXPECT_EQ(s.FrameRect, (model::FrameRectangle{1, 1, 1, 1}));
    EXPECT_EQ(s.MoveAnchor, (model::PixelPos{1, 1}));
    EXPECT_EQ(s.CentreMark, (model::PixelPos{192, 192}));
    EXPECT_EQ(s.PrevCentreMark, (model::PixelPos{192, 192}));
}
