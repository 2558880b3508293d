// Runs a test suite twice: with the processor extensions the engine uses
// (where the processor has them) and without, so that the fast paths and
// the plain ones are both held to the same answers.
#pragma once

#include "CpuFeatures.h"

#include <gtest/gtest.h>

class CpuPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { engine::cpu::AllowExtensions(GetParam()); }
    void TearDown() override { engine::cpu::AllowExtensions(true); }
};

#define TIRELMA_BOTH_CPU_PATHS(Suite)                                                              \
    INSTANTIATE_TEST_SUITE_P(Cpu, Suite, ::testing::Values(true, false),                           \
                             [](const auto& info) { return info.param ? "Fast" : "Plain"; })
