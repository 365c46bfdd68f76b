# Shared by the benchmark scripts: timing and memory of one command, medians, the page cache.

# Runs a command with its output to /dev/null; prints "SECONDS PEAK_KIB" (wall time and the
# child's peak resident memory). Needs $build set to the build folder.
measure() {
    "$build/bench/measure_run" "$@"
}

# The median of the numbers given as arguments.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Reads the whole file so that the runs after it find it in the page cache.
warm() {
    cat "$1" > /dev/null
    cat "$1" > /dev/null
}


# Makes the damaged movie $build/bench-data/NAME with the generator's OPTIONS unless it is there
# from an earlier run, warms the page cache with it and prints its path.
prepare_movie() {
    local movie="$build/bench-data/$1"
    shift
    mkdir -p "$build/bench-data"
    if [ ! -f "$movie" ]; then
        "$build/tools/make_damaged_movie" "$movie" "$@"
    fi
    warm "$movie"
    echo "$movie"
}
