# Shared by the benchmark scripts: timing and memory of one command, medians, the page cache, and
# where the tool is.

# Runs a command with its output to /dev/null; prints "SECONDS PEAK_KIB" (wall time and the
# child's peak resident memory).
measure() {
    local rss_file start end
    rss_file=$(mktemp)
    start=$(date +%s%N)
    /usr/bin/time -o "$rss_file" -f %M "$@" > /dev/null
    end=$(date +%s%N)
    echo "$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }') $(tail -n 1 "$rss_file")"
    rm -f "$rss_file"
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

# The tool in a build folder.
tool_in() {
    if [ -x "$1/tarnwick" ]; then echo "$1/tarnwick"; else echo "$1/app/tarnwick"; fi
}
