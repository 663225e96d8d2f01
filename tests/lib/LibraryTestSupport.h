// An engine of the C interface that frees itself, for the library's tests.
#pragma once

#include <memory>

#include "tallyon.h"

struct EngineFree {
    void operator()(tly_engine* e) const { tly_engine_free(e); }
};
using Engine = std::unique_ptr<tly_engine, EngineFree>;
