/*
 * Kesvo engine: a device-rules engine behind a four-function C interface.
 *
 * Every request is one NUL-terminated UTF-8 JSON text; every reply is one
 * NUL-terminated compact JSON text {"ok":true,"value":...} or
 * {"ok":false,"error":"..."} that the host returns with kesvo_engine_free.
 * All four functions may be called from several threads at once.
 */
#ifndef KESVO_ENGINE_H
#define KESVO_ENGINE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KESVO_BUILDING_SHARED)
#define KESVO_ENGINE_API __attribute__((visibility("default")))
#else
#define KESVO_ENGINE_API
#endif

/* A fresh block of `size` bytes (alignment 1) for building a request in.
 * Size 0 and negative sizes return NULL. Release it with kesvo_engine_dealloc. */
KESVO_ENGINE_API uint8_t* kesvo_engine_alloc(int32_t size);

/* Releases a block from kesvo_engine_alloc; `len` is the size it was
 * allocated with. Does nothing for a NULL pointer or a length of 0. */
KESVO_ENGINE_API void kesvo_engine_dealloc(uint8_t* p, int32_t len);

/* Runs one request and returns a newly allocated reply text, never NULL. */
KESVO_ENGINE_API char* kesvo_engine_eval(const char* request);

/* Releases a reply returned by kesvo_engine_eval, exactly once. NULL is a no-op. */
KESVO_ENGINE_API void kesvo_engine_free(char* reply);

#ifdef __cplusplus
}
#endif

#endif /* KESVO_ENGINE_H */
