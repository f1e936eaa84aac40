#!/bin/sh
# The module's only defined global dynamic symbol must be _mod_descrip.
set -eu
so="$1"
symbols=$(nm -D --defined-only "$so" | awk '{print $NF}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort)
if [ "$symbols" != "_mod_descrip" ]; then
    echo "$so exports: $symbols" >&2
    exit 1
fi
echo "$so exports exactly _mod_descrip"
