#!/usr/bin/env bash
# The PURNIX benchmark runs with the others: ./run bench
exec "$(cd "$(dirname "$0")/../.." && pwd)/run" bench
