// Marks the calls that the simulated library's module exports; everything else stays
// inside it.
#pragma once

#ifdef _WIN32
#define SANSIM_EXPORT __declspec(dllexport)
#else
#define SANSIM_EXPORT __attribute__((visibility("default")))
#endif
