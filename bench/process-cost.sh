#!/bin/sh
# What a fresh process costs on this machine, apart from any work it does: the floor under the
# decoder's one process per picture. A C program forks ITERATIONS children per variant (default
# 300), variants in turn within a round, ROUNDS rounds (default 5); median (min-max) ms a child.
#   fork-exit     fork and _exit at once
#   vfork-exit    the same without copying the address space (shares it: no isolation)
#   read-shared   the child reads one byte in each of 200 pages the parent has written
#   read-huge     the same 800 KB in a 2 MB transparent huge page
#   write-fresh   the child writes 200 pages it has just mapped (first-touch faults)
#   write-shared  the child writes 200 pages the parent has written (copy-on-write faults)
# Subtract fork-exit and divide by 200 for the cost of one page.
# Usage: bench/process-cost.sh
set -eu
rounds=${ROUNDS:-5}
iterations=${ITERATIONS:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/cost.c" <<'C'
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
enum { kPages = 200, kPage = 4096, kHuge = 2 << 20 };
static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
static char *region(int huge)
{
    char *raw = mmap(NULL, 2 * kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    char *aligned = (char *)(((unsigned long)raw + kHuge - 1) & ~(unsigned long)(kHuge - 1));
    madvise(aligned, kHuge, huge ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
    memset(aligned, 1, kHuge);
    return aligned;
}
int main(int argc, char **argv)
{
    const char *variant = argv[1];
    const int count = atoi(argv[2]);
    char *shared = region(0), *huge = region(1);
    volatile char sink = 0;
    const double start = now();
    for (int i = 0; i < count; ++i) {
        const pid_t child = strcmp(variant, "vfork-exit") == 0 ? vfork() : fork();
        if (child == 0) {
            char *fresh = strcmp(variant, "write-fresh") == 0
                ? mmap(NULL, kPages * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                : NULL;
            for (int p = 0; p < kPages; ++p) {
                if (strcmp(variant, "read-shared") == 0) sink += shared[p * kPage];
                if (strcmp(variant, "read-huge") == 0) sink += huge[p * kPage];
                if (fresh != NULL) fresh[p * kPage] = 2;
                if (strcmp(variant, "write-shared") == 0) shared[p * kPage] = 2;
            }
            _exit(0);
        }
        if (child < 0 || waitpid(child, NULL, 0) != child)
            return 1;
    }
    printf("%.3f\n", (now() - start) / count);
    return 0;
}
C
cc -O2 -o "$work/cost" "$work/cost.c"

variants="fork-exit vfork-exit read-shared read-huge write-fresh write-shared"
echo "load at start: $(cat /proc/loadavg)"
round=1
while [ "$round" -le "$rounds" ]; do
    for variant in $variants; do
        echo "$variant $("$work/cost" "$variant" "$iterations")"
    done
    round=$((round + 1))
done >"$work/results"
echo "load at end:   $(cat /proc/loadavg)"
echo
echo "| variant | ms a child, median (min-max) of $rounds rounds |"
echo "|---|---|"
for variant in $variants; do
    grep "^$variant " "$work/results" | sort -k2,2n | awk -v name="$variant" '
        { v[++n] = $2 }
        END { printf "| %s | %.3f (%.3f-%.3f) |\n", name, v[int((n + 1) / 2)], v[1], v[n] }'
done
