# shellcheck shell=bash disable=SC2034 # EMULATED, EMULATE_PREFIX, EMULATION_WHY: read by ./run
# User-mode emulation of 32-bit x86 code, for hosts whose processor cannot execute it.
# Sourced by ./run (after BUILD is set), which asks host_runs_32bit, calls
# prepare_emulation when the 32-bit build must run anyway, starts each 32-bit Wine command
# through EMULATE_PREFIX, and dispatches the "_binfmt" step of that prefix to cmd_binfmt.
# "$0" here is ./run itself: the prefix starts it again inside the namespace.

# Some hosts cannot execute 32-bit x86 code at all (no compatibility mode in the kernel):
# there even Wine's 32-bit loader fails with "Exec format error".
host_runs_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Where the processor cannot, the 32-bit build runs under user-mode emulation: qemu-i386
# fetched into build/emulator (the system's packages and apt sources stay as they are) and
# registered as the interpreter of i386 ELF in the binfmt_misc of a private user and mount
# namespace (the system's binfmt_misc stays as it is). QUILLON_EMULATE=0 turns this off.
EMULATOR_DIR=$BUILD/emulator
QEMU_I386=$EMULATOR_DIR/qemu-i386
# Older qemu-user ignores MAP_FIXED_NOREPLACE, which Wine's 32-bit start-up relies on.
QEMU_MIN_MAJOR=10
EMULATED=0
EMULATION_WHY=""
# What a 32-bit Wine command is started through: empty where the processor runs it.
EMULATE_PREFIX=()

# The Debian mirrors the machine's apt sources name for a plain release (not security).
debian_mirrors() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                uris = ""; suites = ""
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^URIs:/) uris = substr($i, 6)
                    if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
                }
                n = split(uris, u, " ")
                if (suites ~ / [a-z]+ / && n > 0) print u[1]
            }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+[a-z]\+[[:space:]].*/\2/p' "$file"
    done
}

# Brings qemu-i386 into EMULATOR_DIR through an apt configuration of its own: its own
# source list (the machine's mirror, suite bookworm-backports), lists, cache and status.
fetch_emulator() {
    [ -x "$QEMU_I386" ] && return 0
    local mirror apt=$EMULATOR_DIR/apt
    mirror=$(debian_mirrors | head -1)
    if [ -z "$mirror" ]; then
        EMULATION_WHY="the machine's apt sources name no Debian mirror to fetch qemu-user from"
        return 1
    fi
    echo "== fetching qemu-user from $mirror bookworm-backports into $EMULATOR_DIR"
    rm -rf "$apt"
    mkdir -p "$apt/etc/apt.conf.d" "$apt/etc/preferences.d" "$apt/etc/sources.list.d" \
        "$apt/etc/trusted.gpg.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/deb"
    : >"$apt/status"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" \
        >"$apt/etc/sources.list"
    cat >"$apt/apt.conf" <<EOF
Dir::Etc "$apt/etc";
Dir::Etc::SourceList "$apt/etc/sources.list";
Dir::Etc::SourceParts "$apt/etc/sources.list.d";
Dir::Etc::Parts "$apt/etc/apt.conf.d";
Dir::Etc::Preferences "$apt/etc/preferences";
Dir::Etc::PreferencesParts "$apt/etc/preferences.d";
Dir::Etc::Trusted "$apt/etc/trusted.gpg";
Dir::Etc::TrustedParts "$apt/etc/trusted.gpg.d";
Dir::State::Lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt/cache";
APT::Architecture "amd64";
APT::Architectures:: "amd64";
APT::Sandbox::User "root";
EOF
    if ! APT_CONFIG=$apt/apt.conf apt-get update -q >"$apt/update.log" 2>&1; then
        EMULATION_WHY="apt-get update of bookworm-backports failed (see $apt/update.log)"
        return 1
    fi
    if ! (cd "$apt/deb" && APT_CONFIG=$apt/apt.conf apt-get download -q qemu-user/bookworm-backports) \
        >"$apt/download.log" 2>&1; then
        EMULATION_WHY="apt-get download qemu-user failed (see $apt/download.log)"
        return 1
    fi
    dpkg-deb -x "$apt"/deb/qemu-user_*.deb "$apt/root"
    if [ ! -x "$apt/root/usr/bin/qemu-i386" ]; then
        EMULATION_WHY="the qemu-user package holds no usr/bin/qemu-i386"
        return 1
    fi
    mv "$apt/root/usr/bin/qemu-i386" "$QEMU_I386"
    rm -rf "$apt/root" "$apt/deb" "$apt/cache" "$apt/lists"
}

emulator_recent_enough() {
    local version
    version=$("$QEMU_I386" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9.]*\).*/\1/p')
    [ "${version%%.*}" -ge "$QEMU_MIN_MAJOR" ] 2>/dev/null && return 0
    EMULATION_WHY="qemu-i386 ${version:-of unknown version} in $EMULATOR_DIR is older than $QEMU_MIN_MAJOR, under which Wine's 32-bit start-up hangs"
    return 1
}

# Sets EMULATED=1 and EMULATE_PREFIX when 32-bit Wine runs here under emulation; otherwise
# EMULATION_WHY says why not.
prepare_emulation() {
    if [ "${QUILLON_EMULATE:-1}" = 0 ]; then
        EMULATION_WHY="emulation is turned off (QUILLON_EMULATE=0)"
        return 1
    fi
    if ! command -v unshare >/dev/null; then
        EMULATION_WHY="unshare is missing"
        return 1
    fi
    fetch_emulator && emulator_recent_enough || return 1
    local prefix=(unshare --user --map-root-user --mount "$0" _binfmt "$QEMU_I386") err
    if ! err=$("${prefix[@]}" /usr/lib/wine/wine --version 2>&1 >/dev/null); then
        EMULATION_WHY="the kernel refuses a private binfmt_misc (${err:-32-bit Wine did not start}; it needs Linux 6.7 or later and unprivileged user namespaces)"
        return 1
    fi
    EMULATED=1
    EMULATE_PREFIX=("${prefix[@]}")
}

# Inside the private namespace: a binfmt_misc of its own with i386 ELF handed to qemu-i386
# (flag F: the interpreter is opened now, whatever the programs later see), then "$@".
cmd_binfmt() {
    local qemu=$1
    shift
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || return 3
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":quillon-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register || return 3
    exec "$@"
}
