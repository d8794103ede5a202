#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format (.clang-format at the
# root) makes of it, naming the places.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | sort |
    xargs clang-format --dry-run -Werror
