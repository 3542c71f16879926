#pragma once
// The entry point every fuzz target defines: libFuzzer calls it in the fuzz
// build, replay_main.cpp calls it once per seed file in the test suite.

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
