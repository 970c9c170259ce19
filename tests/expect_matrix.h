#pragma once

#include "drawkit/matrix.h"

#include <gtest/gtest.h>

// Each element equal, named by its place when one is not.
inline void ExpectMatrix(const Matrix4& seen, const Matrix4& wanted) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(seen.m[row][column], wanted.m[row][column]) << "m" << row << column;
        }
    }
}
