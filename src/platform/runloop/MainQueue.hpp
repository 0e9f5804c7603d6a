#pragma once

// Debug-only check that core code runs on the main queue, where all core
// state lives. Compiled out in release builds unless TELVORA_ENABLE_DCHECKS
// is set.

#include <telvora/platform/RunLoop.hpp>

#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || defined(TELVORA_ENABLE_DCHECKS)
#define TELVORA_DCHECK_ON_MAIN_QUEUE()                                                             \
  do {                                                                                             \
    if (!::telvora::RunLoop::main().isCurrent()) {                                                 \
      std::fprintf(stderr, "%s:%d: %s called off the main queue\n", __FILE__, __LINE__, __func__); \
      std::abort();                                                                                \
    }                                                                                              \
  } while (false)
#else
#define TELVORA_DCHECK_ON_MAIN_QUEUE() \
  do {                                 \
  } while (false)
#endif
