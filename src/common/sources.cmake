# Shared header-only helpers (LittleEndian.h); nothing to compile.
