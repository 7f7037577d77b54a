#pragma once
// Shared by the fuzz targets: a broken invariant stops the run with its
// name, so the finding says what went wrong, not only where.

#include <cstdio>
#include <cstdlib>

inline void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}
