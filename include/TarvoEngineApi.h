// Export marker of the TarvoEngine library.
#pragma once

#if defined(TARVOENGINE_BUILD)
#define TARVOENGINE_API __attribute__((visibility("default")))
#else
#define TARVOENGINE_API
#endif
