#pragma once
// DUDURI_VECTOR_CLONES marks a hot pixel loop to be compiled twice on x86-64:
// for the baseline instruction set and for AVX2, picked once at load time by
// the CPU the player runs on. The loops are plain C++ that the compiler
// vectorises, so both versions come from the same source and give the same
// results; elsewhere the macro is empty.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && defined(__ELF__)
#define DUDURI_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DUDURI_VECTOR_CLONES
#endif
